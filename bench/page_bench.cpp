// Page generation into memory and into a file, beside fwrite of the same pieces, for pages of
// about 100 KB, 10 MB and 100 MB; the Modern page of the same projects into memory and into a
// file; and the comparison of a page with the homepage file that the editor makes at start. Rates
// count each page's own bytes; modern_to_classic is the Modern page's size over the Classic
// page's. Both styles also for a project of 10,000 link items that each have a site icon.
#include "bench_support.h"
#include "synthetic.h"

#include "homepage/modern_page.h"
#include "homepage/page_compare.h"
#include "homepage/page_writer.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/streams.h"
#include "platform/platform.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Records the page once: its bytes and where each piece ends.
class CPieceRecorder : public CStream
{
public:
    std::int32_t Read(void*, std::int32_t) override { return 0; }
    std::int32_t Write(const void* source, std::int32_t count) override
    {
        bytes.append(static_cast<const char*>(source), static_cast<std::size_t>(count));
        ends.push_back(bytes.size());
        return count;
    }
    std::int32_t Skip(std::int32_t) override { return 0; }
    std::string bytes;
    std::vector<std::size_t> ends;
};

// The median length of the recorded pieces.
std::size_t MedianPiece(const CPieceRecorder& pieces)
{
    std::vector<std::size_t> lengths;
    std::size_t start = 0;
    for (std::size_t end : pieces.ends) {
        lengths.push_back(end - start);
        start = end;
    }
    std::nth_element(lengths.begin(), lengths.begin() + lengths.size() / 2, lengths.end());
    return lengths[lengths.size() / 2];
}

struct Page
{
    CProject project;
    std::size_t size = 0;
    CPieceRecorder pieces;
    std::size_t medianPiece = 0;
};

// Built once per size and shared by all benchmarks of that size.
Page& PageOfSize(std::int64_t bytes)
{
    static std::map<std::int64_t, std::unique_ptr<Page>> pages;
    auto& page = pages[bytes];
    if (!page) {
        page.reset(new Page);
        page->size = LoadSyntheticProjectOfPageSize(page->project, static_cast<std::size_t>(bytes));
        WritePage(page->project, page->pieces);
        page->medianPiece = MedianPiece(page->pieces);
    }
    return *page;
}

std::wstring BenchFile()
{
    return platform::TempFolder() + L"quillomere-page-bench.html";
}

std::string NarrowPath(const std::wstring& path)
{
    return std::string(path.begin(), path.end());
}

void Report(benchmark::State& state, const Page& page)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(page.size) * state.iterations());
    state.counters["page_bytes"] = static_cast<double>(page.size);
    state.counters["pieces"] = static_cast<double>(page.pieces.ends.size());
    state.counters["median_piece"] = static_cast<double>(page.medianPiece);
}

void WritePageToMemory(benchmark::State& state)
{
    Page& page = PageOfSize(state.range(0));
    CByteSink sink;
    WritePage(page.project, sink); // once, untimed, so that the sink has grown to the page
    for (auto _ : state) {
        sink.Clear();
        WritePage(page.project, sink);
    }
    Report(state, page);
}

// The Modern page of the same project; its rate counts its own bytes. Its pieces are counted
// after the timing, as the Classic page's are before it.
void ReportModern(benchmark::State& state, const Page& page, std::size_t modernSize)
{
    CPieceRecorder pieces;
    WriteModernPage(page.project, pieces, "en");
    state.SetBytesProcessed(static_cast<std::int64_t>(modernSize) * state.iterations());
    state.counters["page_bytes"] = static_cast<double>(modernSize);
    state.counters["pieces"] = static_cast<double>(pieces.ends.size());
    state.counters["median_piece"] = static_cast<double>(MedianPiece(pieces));
    state.counters["modern_to_classic"] =
        static_cast<double>(modernSize) / static_cast<double>(page.size);
}

void WriteModernPageToMemory(benchmark::State& state)
{
    Page& page = PageOfSize(state.range(0));
    CByteSink sink;
    WriteModernPage(page.project, sink, "en");
    const std::size_t size = sink.Size();
    for (auto _ : state) {
        sink.Clear();
        WriteModernPage(page.project, sink, "en");
    }
    ReportModern(state, page, size);
}

void WriteModernPageToFile(benchmark::State& state)
{
    Page& page = PageOfSize(state.range(0));
    CByteSink sink;
    WriteModernPage(page.project, sink, "en");
    std::wstring path = BenchFile();
    for (auto _ : state) {
        CFileStream file(path, true);
        WriteModernPage(page.project, file, "en");
        if (!file.Close()) state.SkipWithError("write failed");
    }
    platform::RemoveFile(path);
    ReportModern(state, page, sink.Size());
}

// Hands each recorded piece of the page to `write`.
template <typename Write> void ForEachPiece(const Page& page, Write write)
{
    std::size_t start = 0;
    for (std::size_t end : page.pieces.ends) {
        write(page.pieces.bytes.data() + start, end - start);
        start = end;
    }
}

void WritePageToFile(benchmark::State& state)
{
    Page& page = PageOfSize(state.range(0));
    std::wstring path = BenchFile();
    for (auto _ : state) {
        CFileStream file(path, true);
        WritePage(page.project, file);
        if (!file.Close()) state.SkipWithError("write failed");
    }
    platform::RemoveFile(path);
    Report(state, page);
}

// The same pieces through stdio, one fwrite each.
void FwritePieces(benchmark::State& state)
{
    Page& page = PageOfSize(state.range(0));
    std::string path = NarrowPath(BenchFile());
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "wb");
        ForEachPiece(page, [file](const char* piece, std::size_t length) {
            std::fwrite(piece, 1, length, file);
        });
        std::fclose(file);
    }
    std::remove(path.c_str());
    Report(state, page);
}

// The same pieces through the buffered file stream, one virtual Write each: the write
// mechanism alone, without walking the project.
void BufferedStreamPieces(benchmark::State& state)
{
    Page& page = PageOfSize(state.range(0));
    std::wstring path = BenchFile();
    for (auto _ : state) {
        CFileStream file(path, true);
        CStream& stream = file;
        ForEachPiece(page, [&stream](const char* piece, std::size_t length) {
            stream.Write(piece, static_cast<std::int32_t>(length));
        });
        if (!file.Close()) state.SkipWithError("write failed");
    }
    platform::RemoveFile(path);
    Report(state, page);
}

// The ceiling: the finished page in one write.
void WholePageOneWrite(benchmark::State& state)
{
    Page& page = PageOfSize(state.range(0));
    std::wstring path = BenchFile();
    for (auto _ : state) {
        CHandleStream file(platform::OpenFile(path, true));
        file.Write(page.pieces.bytes.data(), static_cast<std::int32_t>(page.pieces.bytes.size()));
    }
    platform::RemoveFile(path);
    Report(state, page);
}

// What the editor does at start to tell whether the homepage file shows the project: generate the
// page and compare it with the file as it goes.
void ComparePageWithFile(benchmark::State& state)
{
    Page& page = PageOfSize(state.range(0));
    std::wstring path = BenchFile();
    {
        CFileStream file(path, true);
        WritePage(page.project, file);
    }
    for (auto _ : state) {
        CFileStream file(path, false);
        if (!PageMatches(page.project, file)) state.SkipWithError("the page did not match");
    }
    platform::RemoveFile(path);
    Report(state, page);
}

// 10,000 link items, each with an icon of its own of 300 bytes to 4 KiB (browsers' exports hold
// icons of one to four kilobytes), as a PNG's first bytes say.
CProject& ProjectWithIcons()
{
    static CProject* project = nullptr;
    if (project) return *project;
    project = new CProject;
    BuildSyntheticProject(*project, 12000);
    std::uint32_t state = 1;
    std::size_t linked = 0;
    for (CColumn* column : project->columns) {
        for (CGroup* group : column->groups) {
            for (CItem* item : group->items) {
                if (item->GetTag() != tags::kItemLink || linked == 10000) continue;
                std::string bytes = "\x89PNG\r\n\x1A\n";
                state = state * 1664525u + 1013904223u;
                bytes.resize(300 + state % 3800);
                for (std::size_t i = 8; i < bytes.size(); ++i) {
                    state = state * 1664525u + 1013904223u;
                    bytes[i] = static_cast<char>(state >> 24);
                }
                static_cast<CItemLink*>(item)->icon = CLinkIcon::FromBytes(std::move(bytes));
                ++linked;
            }
        }
    }
    return *project;
}

template <bool modern> void WritePageWithIcons(benchmark::State& state)
{
    CProject& project = ProjectWithIcons();
    CByteSink sink;
    auto write = [&] {
        if (modern) {
            WriteModernPage(project, sink, "en");
        } else {
            WritePage(project, sink);
        }
    };
    write();
    const std::size_t size = sink.Size();
    for (auto _ : state) {
        sink.Clear();
        write();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(size) * state.iterations());
    state.counters["page_bytes"] = static_cast<double>(size);
}

void Sizes(benchmark::internal::Benchmark* benchmark)
{
    // Rates are per CPU second, as the reference figures were taken.
    benchmark->Arg(100 << 10)->Arg(10 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(WritePageToMemory)->Apply(Sizes);
BENCHMARK(WritePageToFile)->Apply(Sizes);
BENCHMARK(WriteModernPageToMemory)->Apply(Sizes);
BENCHMARK(WriteModernPageToFile)->Apply(Sizes);
BENCHMARK(FwritePieces)->Apply(Sizes);
BENCHMARK(BufferedStreamPieces)->Apply(Sizes);
BENCHMARK(WholePageOneWrite)->Apply(Sizes);
BENCHMARK(ComparePageWithFile)->Apply(Sizes);
BENCHMARK_TEMPLATE(WritePageWithIcons, false)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(WritePageWithIcons, true)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, false);
}

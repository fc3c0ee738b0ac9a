// Reading homepages of about 10 MB and 100 MB back: the tokenizer alone, the tokenizer with tag
// splitting, the whole import, and libxml2's HTML parser with a SAX handler that does nothing,
// side by side on the same bytes. Beside them, browser bookmark files of the same sizes with
// icons, read through the entry point that tells them from pages.
#include "bench_support.h"
#include "synthetic.h"

#include "homepage/page_writer.h"
#include "import/html_import.h"
#include "import/project_html_parser.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/streams.h"
#include "platform/platform.h"

#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

const std::string& PageOfSize(std::int64_t size)
{
    static std::map<std::int64_t, std::string> pages;
    std::string& page = pages[size];
    if (page.empty()) {
        CProject project;
        BuildSyntheticProjectOfPageSize(project, static_cast<std::size_t>(size));
        CByteSink sink;
        WritePage(project, sink);
        page = sink.Bytes();
    }
    return page;
}

// The tokenizer with callbacks that do nothing.
class CTokenizerOnly : public CHTMLParser
{
protected:
    void OnTag(const char*, std::int32_t) override { ++tags; }
    void OnText(const char*, std::int32_t) override {}
    bool OnError(const char*) override { return false; }
    void OnEnd() override {}

public:
    std::size_t tags = 0;
};

// The tokenizer with each tag split into name and attributes and its name lower-cased.
class CTokenizerAndSplit : public CHTMLParser
{
protected:
    void OnTag(const char* content, std::int32_t length) override
    {
        std::string_view name;
        if (!SplitTag(content, length, name, attributes)) return;
        lower.assign(name.data(), name.size());
        if (!lower.empty())
            platform::LowerAnsi(&lower[0], static_cast<std::uint32_t>(lower.size()));
    }
    void OnText(const char*, std::int32_t) override {}
    bool OnError(const char*) override { return false; }
    void OnEnd() override {}

private:
    TagAttributes attributes;
    std::string lower;
};

void Report(benchmark::State& state, const std::string& page)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(page.size()) * state.iterations());
    state.counters["page_bytes"] = static_cast<double>(page.size());
}

void Tokenizer(benchmark::State& state)
{
    const std::string& page = PageOfSize(state.range(0));
    for (auto _ : state) {
        CByteSource source(page);
        CTokenizerOnly parser;
        if (!parser.Parse(source)) state.SkipWithError("page did not read to its end");
        benchmark::DoNotOptimize(parser.tags);
    }
    Report(state, page);
}

void TokenizerAndSplit(benchmark::State& state)
{
    const std::string& page = PageOfSize(state.range(0));
    for (auto _ : state) {
        CByteSource source(page);
        CTokenizerAndSplit parser;
        if (!parser.Parse(source)) state.SkipWithError("page did not read to its end");
    }
    Report(state, page);
}

void FullImport(benchmark::State& state)
{
    const std::string& page = PageOfSize(state.range(0));
    {
        // Once, untimed, so that the heap has grown to a tree's size before the timed imports.
        CProject project;
        CByteSource source(page);
        CProjectHTMLParser(project).Parse(source);
    }
    for (auto _ : state) {
        std::unique_ptr<CProject> project(new CProject);
        CByteSource source(page);
        CProjectHTMLParser parser(*project);
        if (!parser.Parse(source)) state.SkipWithError("page did not read to its end");
        state.PauseTiming(); // destroying the tree is not importing
        project.reset();
        state.ResumeTiming();
    }
    Report(state, page);
}

// A page of 100 000 link items, each with its popup: resolving the popups must stay linear.
void ManyPopups(benchmark::State& state)
{
    static const std::string page = [] {
        CProject project;
        CGroup* group = new CGroup(*new CColumn(project, L"Popups"), L"All");
        for (int i = 0; i < 100000; ++i) {
            CItemLink* link =
                new CItemLink(*group, L"Link " + std::to_wstring(i), L"https://example.com/");
            link->SetPopupContent(L"Popup " + std::to_wstring(i));
        }
        CByteSink sink;
        WritePage(project, sink);
        return sink.Bytes();
    }();
    for (auto _ : state) {
        std::unique_ptr<CProject> project(new CProject);
        CByteSource source(page);
        CProjectHTMLParser parser(*project);
        if (!parser.Parse(source)) state.SkipWithError("page did not read to its end");
        state.PauseTiming();
        project.reset();
        state.ResumeTiming();
    }
    Report(state, page);
}

const std::string& BookmarkFileOfSize(std::int64_t size, bool icons)
{
    static std::map<std::pair<std::int64_t, bool>, std::string> files;
    std::string& file = files[{size, icons}];
    if (file.empty()) file = SyntheticBookmarkFile(static_cast<std::size_t>(size), icons);
    return file;
}

void ReadBookmarks(benchmark::State& state, bool icons)
{
    const std::string& file = BookmarkFileOfSize(state.range(0), icons);
    std::size_t links = 0;
    {
        CProject project;
        CByteSource source(file);
        links = ImportPageOrBookmarks(project, source).links;
    }
    for (auto _ : state) {
        std::unique_ptr<CProject> project(new CProject);
        CByteSource source(file);
        HtmlImportResult result = ImportPageOrBookmarks(*project, source);
        if (!result.complete || result.kind != HtmlFileKind::Bookmarks)
            state.SkipWithError("bookmark file did not read to its end");
        state.PauseTiming();
        project.reset();
        state.ResumeTiming();
    }
    Report(state, file);
    state.counters["links"] = static_cast<double>(links);
}

// Most of an exported file is icons, which the reader skips over.
void BookmarkImport(benchmark::State& state)
{
    ReadBookmarks(state, true);
}

// Without icons nearly every byte is folder and bookmark structure: the cost of the tree.
void BookmarkImportNoIcons(benchmark::State& state)
{
    ReadBookmarks(state, false);
}

void Libxml2SaxNoCallbacks(benchmark::State& state)
{
    const std::string& page = PageOfSize(state.range(0));
    htmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    for (auto _ : state) {
        htmlParserCtxtPtr context =
            htmlCreateMemoryParserCtxt(page.data(), static_cast<int>(page.size()));
        std::memcpy(context->sax, &handler, sizeof handler);
        htmlCtxtUseOptions(context, HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                                        HTML_PARSE_COMPACT);
        htmlParseDocument(context);
        htmlFreeParserCtxt(context);
    }
    Report(state, page);
}

} // namespace

BENCHMARK(Tokenizer)->Apply(TenAndHundredMegabytes);
BENCHMARK(TokenizerAndSplit)->Apply(TenAndHundredMegabytes);
BENCHMARK(FullImport)->Apply(TenAndHundredMegabytes);
BENCHMARK(Libxml2SaxNoCallbacks)->Apply(TenAndHundredMegabytes);
BENCHMARK(BookmarkImport)->Apply(TenAndHundredMegabytes);
BENCHMARK(BookmarkImportNoIcons)->Apply(TenAndHundredMegabytes);
BENCHMARK(ManyPopups)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    xmlInitParser();
    return RunBenchmarks(argc, argv, true);
}

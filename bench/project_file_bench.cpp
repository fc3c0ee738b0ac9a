// Saving and loading project files of about 10 MB and 100 MB, into memory and into a file.
#include "synthetic.h"

#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "platform/platform.h"

#include <benchmark/benchmark.h>

#include <cstring>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Copies what it is given into one reused buffer; reads it back.
class CBufferStream : public CStream
{
public:
    std::int32_t Read(void* destination, std::int32_t count) override
    {
        std::size_t n = std::min(used - position, static_cast<std::size_t>(count));
        std::memcpy(destination, bytes.data() + position, n);
        position += n;
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const void* source, std::int32_t count) override
    {
        if (used + count > bytes.size()) bytes.resize((used + count) * 2);
        std::memcpy(bytes.data() + used, source, static_cast<std::size_t>(count));
        used += static_cast<std::size_t>(count);
        return count;
    }
    std::int32_t Skip(std::int32_t count) override
    {
        std::size_t n = std::min(used - position, static_cast<std::size_t>(count));
        position += n;
        return static_cast<std::int32_t>(n);
    }
    std::vector<char> bytes;
    std::size_t used = 0;
    std::size_t position = 0;
};

struct Project
{
    CProject project;
    CBufferStream file; // the saved project file
};

// About `bytes` of project file, built once per size.
Project& ProjectOfSize(std::int64_t bytes)
{
    static std::map<std::int64_t, std::unique_ptr<Project>> projects;
    auto& entry = projects[bytes];
    if (!entry) {
        entry.reset(new Project);
        // A page is about as long as its project file; calibrate on the file itself.
        std::size_t items = 2000;
        {
            CProject sample;
            BuildSyntheticProject(sample, items);
            CBufferStream probe;
            CStructStream writer(probe);
            sample.Save(writer);
            items = static_cast<std::size_t>(bytes) * items / probe.used;
        }
        BuildSyntheticProject(entry->project, items);
        CStructStream writer(entry->file);
        entry->project.Save(writer);
    }
    return *entry;
}

std::wstring BenchFile()
{
    return platform::TempFolder() + L"quillomere-file-bench.quil";
}

void Report(benchmark::State& state, const Project& project)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(project.file.used) * state.iterations());
    state.counters["file_bytes"] = static_cast<double>(project.file.used);
}

void SaveToMemory(benchmark::State& state)
{
    Project& source = ProjectOfSize(state.range(0));
    CBufferStream sink;
    for (auto _ : state) {
        sink.used = 0;
        CStructStream writer(sink);
        source.project.Save(writer);
    }
    Report(state, source);
}

void SaveToFile(benchmark::State& state)
{
    Project& source = ProjectOfSize(state.range(0));
    std::wstring path = BenchFile();
    for (auto _ : state) {
        if (!SaveProjectFile(source.project, path)) state.SkipWithError("save failed");
    }
    platform::RemoveFile(path);
    Report(state, source);
}

void LoadFromMemory(benchmark::State& state)
{
    Project& source = ProjectOfSize(state.range(0));
    for (auto _ : state) {
        std::unique_ptr<CProject> loaded(new CProject);
        source.file.position = 0;
        CStructStream reader(source.file);
        if (loaded->Load(reader, static_cast<std::int32_t>(source.file.used)) <= 0)
            state.SkipWithError("load failed");
        state.PauseTiming(); // destroying the tree is not loading
        loaded.reset();
        state.ResumeTiming();
    }
    Report(state, source);
}

void LoadFromFile(benchmark::State& state)
{
    Project& source = ProjectOfSize(state.range(0));
    std::wstring path = BenchFile();
    SaveProjectFile(source.project, path);
    for (auto _ : state) {
        std::unique_ptr<CProject> loaded(new CProject);
        if (LoadProjectFile(*loaded, path) <= 0) state.SkipWithError("load failed");
        state.PauseTiming();
        loaded.reset();
        state.ResumeTiming();
    }
    platform::RemoveFile(path);
    Report(state, source);
}

void Sizes(benchmark::internal::Benchmark* benchmark)
{
    // Rates are per CPU second; two sizes show whether the cost grows linearly.
    benchmark->Arg(10 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(SaveToMemory)->Apply(Sizes);
BENCHMARK(SaveToFile)->Apply(Sizes);
BENCHMARK(LoadFromMemory)->Apply(Sizes);
BENCHMARK(LoadFromFile)->Apply(Sizes);

int main(int argc, char** argv)
{
#if defined(__GLIBC__)
    // Keep freed memory for the next iteration, as the Windows heap does, instead of handing it
    // back to the kernel and paying its page faults again on every load of a large tree.
    mallopt(M_TRIM_THRESHOLD, 0x7FFFFFFF);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

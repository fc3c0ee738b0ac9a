// Saving and loading project files of about 10 MB and 100 MB, into memory and into a file.
#include "bench_support.h"
#include "synthetic.h"

#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "platform/platform.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Project
{
    CProject project;
    std::string file; // the saved project file
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
            CCountingStream probe;
            CStructStream writer(probe);
            sample.Save(writer);
            items = static_cast<std::size_t>(bytes) * items / probe.total;
        }
        BuildSyntheticProject(entry->project, items);
        CByteSink file;
        CStructStream writer(file);
        entry->project.Save(writer);
        entry->file = file.Bytes();
    }
    return *entry;
}

std::wstring BenchFile()
{
    return platform::TempFolder() + L"quillomere-file-bench.quil";
}

void Report(benchmark::State& state, const Project& project)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(project.file.size()) * state.iterations());
    state.counters["file_bytes"] = static_cast<double>(project.file.size());
}

void SaveToMemory(benchmark::State& state)
{
    Project& source = ProjectOfSize(state.range(0));
    CByteSink sink;
    for (auto _ : state) {
        sink.Clear();
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

// Loads once, untimed, so that the heap has grown to a tree's size before the timed loads.
void WarmUp(const std::string& file)
{
    CProject project;
    CByteSource bytes(file);
    CStructStream reader(bytes);
    project.Load(reader, static_cast<std::int32_t>(file.size()));
}

void LoadFromMemory(benchmark::State& state)
{
    Project& source = ProjectOfSize(state.range(0));
    WarmUp(source.file);
    for (auto _ : state) {
        std::unique_ptr<CProject> loaded(new CProject);
        CByteSource file(source.file);
        CStructStream reader(file);
        if (loaded->Load(reader, static_cast<std::int32_t>(source.file.size())) <= 0)
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
    WarmUp(source.file);
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

} // namespace

BENCHMARK(SaveToMemory)->Apply(TenAndHundredMegabytes);
BENCHMARK(SaveToFile)->Apply(TenAndHundredMegabytes);
BENCHMARK(LoadFromMemory)->Apply(TenAndHundredMegabytes);
BENCHMARK(LoadFromFile)->Apply(TenAndHundredMegabytes);

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, true);
}

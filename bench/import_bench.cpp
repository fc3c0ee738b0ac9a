// Reading homepages of about 10 MB and 100 MB back: the tokenizer alone, the tokenizer with tag
// splitting, the whole import, and libxml2's HTML parser with a SAX handler that does nothing,
// side by side on the same bytes.
#include "synthetic.h"

#include "homepage/page_writer.h"
#include "import/project_html_parser.h"
#include "model/project.h"
#include "persist/streams.h"
#include "platform/platform.h"

#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Hands out the page's bytes.
class CPageSource : public CStream
{
public:
    explicit CPageSource(const std::string& bytes) : bytes(bytes) {}
    std::int32_t Read(void* destination, std::int32_t count) override
    {
        std::size_t n = std::min(bytes.size() - position, static_cast<std::size_t>(count));
        std::memcpy(destination, bytes.data() + position, n);
        position += n;
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
    std::int32_t Skip(std::int32_t) override { return 0; }

private:
    const std::string& bytes;
    std::size_t position = 0;
};

class CPageSink : public CStream
{
public:
    std::int32_t Read(void*, std::int32_t) override { return 0; }
    std::int32_t Write(const void* source, std::int32_t count) override
    {
        bytes.append(static_cast<const char*>(source), static_cast<std::size_t>(count));
        return count;
    }
    std::int32_t Skip(std::int32_t) override { return 0; }
    std::string bytes;
};

const std::string& PageOfSize(std::int64_t size)
{
    static std::map<std::int64_t, std::string> pages;
    std::string& page = pages[size];
    if (page.empty()) {
        CProject project;
        BuildSyntheticProjectOfPageSize(project, static_cast<std::size_t>(size));
        CPageSink sink;
        WritePage(project, sink);
        page = std::move(sink.bytes);
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
        CPageSource source(page);
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
        CPageSource source(page);
        CTokenizerAndSplit parser;
        if (!parser.Parse(source)) state.SkipWithError("page did not read to its end");
    }
    Report(state, page);
}

void FullImport(benchmark::State& state)
{
    const std::string& page = PageOfSize(state.range(0));
    for (auto _ : state) {
        std::unique_ptr<CProject> project(new CProject);
        CPageSource source(page);
        CProjectHTMLParser parser(*project);
        if (!parser.Parse(source)) state.SkipWithError("page did not read to its end");
        state.PauseTiming(); // destroying the tree is not importing
        project.reset();
        state.ResumeTiming();
    }
    Report(state, page);
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

void Sizes(benchmark::internal::Benchmark* benchmark)
{
    // Rates are per CPU second.
    benchmark->Arg(10 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(Tokenizer)->Apply(Sizes);
BENCHMARK(TokenizerAndSplit)->Apply(Sizes);
BENCHMARK(FullImport)->Apply(Sizes);
BENCHMARK(Libxml2SaxNoCallbacks)->Apply(Sizes);

int main(int argc, char** argv)
{
#if defined(__GLIBC__)
    // Keep freed memory for the next iteration, as the Windows heap does, instead of handing it
    // back to the kernel and paying its page faults again on every import of a large tree.
    mallopt(M_TRIM_THRESHOLD, 0x7FFFFFFF);
#endif
    xmlInitParser();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

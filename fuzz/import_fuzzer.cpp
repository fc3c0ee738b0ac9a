// libFuzzer target: the homepage importer on arbitrary bytes. A page that reads to its end
// yields a project whose own page must read to its end again.
#include "homepage/page_writer.h"
#include "import/project_html_parser.h"
#include "model/project.h"
#include "persist/streams.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

class CByteSource : public CStream
{
public:
    CByteSource(const char* data, std::size_t size) : data(data), size(size) {}
    std::int32_t Read(void* destination, std::int32_t count) override
    {
        std::size_t n = count > 0 ? std::min(size - position, static_cast<std::size_t>(count)) : 0;
        std::memcpy(destination, data + position, n);
        position += n;
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const void* source, std::int32_t count) override
    {
        written.append(static_cast<const char*>(source), static_cast<std::size_t>(count));
        return count;
    }
    std::int32_t Skip(std::int32_t) override { return 0; }
    std::string written;

private:
    const char* data;
    std::size_t size;
    std::size_t position = 0;
};

bool Import(CProject& project, const char* data, std::size_t size)
{
    CByteSource source(data, size);
    CProjectHTMLParser parser(project);
    return parser.Parse(source);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CProject project;
    if (!Import(project, reinterpret_cast<const char*>(data), size)) return 0;
    CByteSource page(nullptr, 0);
    WritePage(project, page);
    CProject again;
    if (!Import(again, page.written.data(), page.written.size())) __builtin_trap();
    return 0;
}

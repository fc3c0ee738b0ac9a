// libFuzzer target: the homepage importer on arbitrary bytes. A page that reads to its end
// yields a project whose own page must read to its end again.
#include "homepage/page_writer.h"
#include "import/project_html_parser.h"
#include "model/project.h"
#include "persist/streams.h"
#include "test_support.h"

#include <cstdint>
#include <string>

namespace {

bool Import(CProject& project, const std::string& page)
{
    CRecordingStream source(page);
    CProjectHTMLParser parser(project);
    return parser.Parse(source);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CProject project;
    if (!Import(project, std::string(reinterpret_cast<const char*>(data), size))) return 0;
    CRecordingStream page;
    WritePage(project, page);
    CProject again;
    if (!Import(again, page.bytes)) __builtin_trap();
    return 0;
}

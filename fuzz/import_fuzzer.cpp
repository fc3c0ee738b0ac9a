// libFuzzer target: the HTML import on arbitrary bytes, Classic and Modern homepages and bookmark
// files alike. A page that reads to its end yields a project whose own page reads to its end
// again. A bookmark file that reads to its end yields a project whose page, and whose own bookmark
// file, read back to the same project. Whatever was read writes a bookmark file that reads to its
// end with every link, and a Modern page that reads to its end as one; what that page gives
// writes that very page again, and reads back to itself.
#include "homepage/bookmark_writer.h"
#include "homepage/modern_page.h"
#include "homepage/page_writer.h"
#include "import/html_import.h"
#include "import/project_html_parser.h"
#include "model/project.h"
#include "persist/streams.h"
#include "random_project.h"
#include "test_support.h"

#include <cstdint>
#include <string>

namespace {

std::string Page(const CProject& project)
{
    CRecordingStream page;
    WritePage(project, page);
    return page.bytes;
}

std::string Modern(const CProject& project)
{
    CRecordingStream page;
    WriteModernPage(project, page, "en");
    return page.bytes;
}

// Reads a Modern page into `project`; traps unless it is read to its end as one.
void ReadModern(CProject& project, const std::string& page)
{
    CRecordingStream stream(page);
    HtmlImportResult result = ImportPageOrBookmarks(project, stream);
    if (!result.complete || result.kind != HtmlFileKind::ModernPage) __builtin_trap();
}

std::string Bookmarks(const CProject& project)
{
    CRecordingStream file;
    WriteBookmarks(project, file);
    return file.bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CProject project;
    CRecordingStream source(std::string(reinterpret_cast<const char*>(data), size));
    HtmlImportResult result = ImportPageOrBookmarks(project, source);
    if (!result.complete) return 0;

    CRecordingStream page(Page(project));
    CProject fromPage;
    if (!CProjectHTMLParser(fromPage).Parse(page)) __builtin_trap();

    CRecordingStream file(Bookmarks(project));
    CProject fromFile;
    HtmlImportResult again = ImportPageOrBookmarks(fromFile, file);
    if (!again.complete || again.kind != HtmlFileKind::Bookmarks) __builtin_trap();
    if (again.links != CountLinks(project)) __builtin_trap();

    // Modern: the first round may lose what the page cannot hold (an attribute with a double
    // quote, say); from then on page and project stay as they are.
    CProject once, twice;
    ReadModern(once, Modern(project));
    std::string modern = Modern(once);
    ReadModern(twice, modern);
    if (Modern(twice) != modern) __builtin_trap();
    if (DumpText(twice) != DumpText(once)) __builtin_trap();

    if (result.kind == HtmlFileKind::Bookmarks) {
        if (DumpText(fromFile) != DumpText(project)) __builtin_trap();
        AddPopupLineBreaksAsAPageGivesThem(project);
        if (DumpText(fromPage) != DumpText(project)) __builtin_trap();
    }
    return 0;
}

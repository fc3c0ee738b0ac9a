// libFuzzer target: the HTML import on arbitrary bytes, homepages and bookmark files alike.
// A page that reads to its end yields a project whose own page reads to its end again. A bookmark
// file that reads to its end yields a project whose page, and whose own bookmark file, read back
// to the same project. Whatever was read writes a bookmark file that reads to its end with every
// link.
#include "cli/dump.h"
#include "homepage/bookmark_writer.h"
#include "homepage/page_writer.h"
#include "import/html_import.h"
#include "import/project_html_parser.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/streams.h"
#include "test_support.h"

#include <cstdint>
#include <string>

namespace {

std::string Dump(const CProject& project)
{
    CRecordingStream out;
    DumpProject(project, out);
    return out.bytes;
}

std::string Page(const CProject& project)
{
    CRecordingStream page;
    WritePage(project, page);
    return page.bytes;
}

std::string Bookmarks(const CProject& project)
{
    CRecordingStream file;
    WriteBookmarks(project, file);
    return file.bytes;
}

std::size_t CountLinks(const CProject& project)
{
    std::size_t links = 0;
    for (const CColumn* column : project.columns) {
        for (const CGroup* group : column->groups) {
            for (const CItem* item : group->items) {
                if (item->GetTag() == tags::kItemLink)
                    links += 1 + static_cast<const CItemLink*>(item)->links.size();
            }
        }
    }
    return links;
}

// A page cannot carry a popup's content exactly: it gains the line break after its cell.
void AsAPageGivesItBack(CProject& project)
{
    for (CColumn* column : project.columns) {
        for (CGroup* group : column->groups) {
            for (CItem* item : group->items) {
                if (item->GetTag() != tags::kItemLink) continue;
                auto* link = static_cast<CItemLink*>(item);
                if (link->popup) link->popup->content = L"\r\n" + link->popup->content;
            }
        }
    }
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

    if (result.kind == HtmlFileKind::Bookmarks) {
        if (Dump(fromFile) != Dump(project)) __builtin_trap();
        AsAPageGivesItBack(project);
        if (Dump(fromPage) != Dump(project)) __builtin_trap();
    }
    return 0;
}

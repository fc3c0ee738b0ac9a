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
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
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

bool HasQuote(const std::wstring& text)
{
    return text.find(L'"') != std::wstring::npos;
}

// Whether a text that a page writes as an attribute value holds a double quote.
bool QuoteInAnAttribute(const CProject& project)
{
    for (const CColumn* column : project.columns) {
        for (const CGroup* group : column->groups) {
            for (const CItem* item : group->items) {
                if (item->GetTag() == tags::kItemLink) {
                    const auto* link = static_cast<const CItemLink*>(item);
                    if (HasQuote(link->mainLink.url)) return true;
                    for (const CItemLink::CLink* further : link->links) {
                        if (HasQuote(further->url)) return true;
                    }
                    continue;
                }
                const auto* form = static_cast<const CItemForm*>(item);
                if (HasQuote(form->name) || HasQuote(form->action)) return true;
                for (const CItemForm::CField* field : form->fields) {
                    if (HasQuote(field->name) || HasQuote(field->value)) return true;
                    for (const CItemForm::COption* option : field->options) {
                        if (HasQuote(option->value)) return true;
                    }
                }
            }
        }
    }
    return false;
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

    // Modern: the first round may change what the page cannot carry (a size of 0, an option
    // without a value); from then on page and project stay as they are, unless a text that goes
    // into an attribute holds a double quote, which breaks its tag on any page.
    CProject once, twice;
    ReadModern(once, Modern(project));
    std::string modern = Modern(once);
    ReadModern(twice, modern);
    if (!QuoteInAnAttribute(once)) {
        if (Modern(twice) != modern) __builtin_trap();
        if (DumpText(twice) != DumpText(once)) __builtin_trap();
    }

    if (result.kind == HtmlFileKind::Bookmarks) {
        if (DumpText(fromFile) != DumpText(project)) __builtin_trap();
        AddPopupLineBreaksAsAPageGivesThem(project);
        if (DumpText(fromPage) != DumpText(project)) __builtin_trap();
    }
    return 0;
}

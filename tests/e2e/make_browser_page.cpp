// Writes the pages that the browser checks open, into one folder:
//   browser-page.html      Classic: the sample project plus a link item with a popup, a form
//                          with a select field, and non-ASCII captions
//   classic-sample.html, modern-sample.html   the sample project in either style
//   classic-large.html, modern-large.html     every kind of item, popups and forms with every
//                                             field type, in either style
//   modern-10k.html        10,000 links (modern-1k.html: 1,000)
//   modern-tabs.html       three tabs (one in two runs of columns), columns on every tab, a
//                          search form, popups and further links
//   modern-awkward.html    no title; empty, white-space and markup-only captions; empty columns
//                          and groups; a group captioned as its column; 5,000-character
//                          captions; markup in captions; accents; popups and forms of every kind
//   modern-bookmarks.html  a bookmark file read in, as Modern
//   classic-icons.html, modern-icons.html     links with site icons of every kept kind (each a
//                                             square of its own colour) and one without
// The Modern pages are in English, whatever the machine's language.
#include "homepage/modern_page.h"
#include "homepage/page_writer.h"
#include "icons/test_images.h"
#include "import/html_import.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "services/default_project.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string folder;

bool Write(const CProject& project, const char* name, bool modern)
{
    CFileStream page(FromUtf8(folder + "/" + name), true);
    if (modern) {
        WriteModernPage(project, page, "en");
    } else {
        WritePage(project, page);
    }
    return page.Close();
}

void AddClassicExtras(CProject& project)
{
    CColumn* first = project.columns[0];
    CGroup* examples = first->groups[1];
    CItemLink* hover = new CItemLink(*examples, L"Hover me", L"https://www.example.net/");
    hover->SetPopupContent(L"Popup text with <b>markup</b>");

    CColumn* second = project.columns[1];
    CGroup* czech =
        new CGroup(*second, L"P\u0159\u00EDli\u0161 \u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148");
    new CItemLink(*czech, L"\u00DAp\u011Bl \u010F\u00E1belsk\u00E9 \u00F3dy",
                  L"https://www.example.net/");
    CItemForm* form = new CItemForm(*czech);
    form->name = L"Choose";
    form->action = L"https://www.example.net/choose";
    CItemForm::CField* select = form->AddField(1, L"n", L"2", -1);
    select->AddOption(L"One", L"1");
    select->AddOption(L"Two", L"2");
    select->AddOption(L"Three", L"3");
}

// Five columns of four groups; every group mixes plain links, links with further links and a
// divider, links with popups (the first and last item of every group, so that popups stand at
// every corner of the page) and one form, each form with other field types.
void BuildLargeProject(CProject& project)
{
    project.title = L"Large start page";
    const wchar_t* popups[] = {L"A popup with <b>bold</b> and <em>emphasis</em>",
                               L"Two lines:<br />the second one",
                               L"Plain text about the link, long enough to wrap onto a second line "
                               L"in a narrow column"};
    int made = 0, forms = 0;
    for (int c = 0; c < 5; ++c) {
        CColumn* column = new CColumn(project, L"Column " + std::to_wstring(c + 1));
        for (int g = 0; g < 4; ++g) {
            CGroup* group = new CGroup(*column, L"Group " + std::to_wstring(c + 1) + L"." +
                                                    std::to_wstring(g + 1));
            for (int i = 0; i < 6; ++i, ++made) {
                std::wstring n = std::to_wstring(made);
                if (i == 3) {
                    CItemForm* form = new CItemForm(*group);
                    form->action = L"https://search.example.com/q" + n;
                    // Counted apart from the items: every fourth form is of the same kind.
                    switch (forms++ % 4) {
                    case 0: // a search box with a hint and hidden parameters
                        form->name = L"Search " + n;
                        form->AddField(0, L"q", L"what to look for", 30);
                        form->AddField(0, L"source", L"start", -1)->hidden = true;
                        break;
                    case 1: // a select with a preselected option, posted
                        form->name = L"Choose " + n;
                        form->method = 1;
                        {
                            CItemForm::CField* select = form->AddField(1, L"size", L"m", -1);
                            select->AddOption(L"Small", L"s");
                            select->AddOption(L"Medium", L"m");
                            select->AddOption(L"Large", L"l");
                        }
                        form->AddField(0, L"note", L"", -1);
                        break;
                    case 2: // a field without a name, a hidden select, a form without a name
                        form->AddField(0, L"", L"anything", -1);
                        {
                            CItemForm::CField* hidden = form->AddField(1, L"lang", L"en", -1);
                            hidden->hidden = true;
                            hidden->AddOption(L"en", L"en");
                            hidden->AddOption(L"de", L"de");
                        }
                        break;
                    default: // two visible inputs and a select
                        form->name = L"Route " + n;
                        form->AddField(0, L"from", L"Start", 12);
                        form->AddField(0, L"to", L"Destination", 12);
                        {
                            CItemForm::CField* mode = form->AddField(1, L"mode", L"", -1);
                            mode->AddOption(L"Walk", L"walk");
                            mode->AddOption(L"Bike", L"bike");
                        }
                        break;
                    }
                    continue;
                }
                CItemLink* link =
                    new CItemLink(*group, L"Link " + n, L"https://www.example.com/" + n);
                if (i == 2) {
                    link->divider = L" \u00B7 ";
                    link->AddLink(L"docs", L"https://docs.example.com/" + n);
                    link->AddLink(L"blog", L"https://blog.example.com/" + n);
                }
                if (i == 0 || i == 5) link->SetPopupContent(popups[made % 3]);
            }
        }
    }
}

void BuildIconProject(CProject& project)
{
    project.title = L"Site icons";
    CGroup* sites = new CGroup(*new CColumn(project, L"Sites"), L"Daily");
    CGroup* more = new CGroup(*new CColumn(project, L"More"), L"Now and then");
    struct Site
    {
        CGroup* group;
        const wchar_t* caption;
        std::string icon;
    } sitesWithIcons[] = {
        {sites, L"Red PNG", MakePng(16, 0xd03030)},
        {sites, L"Blue PNG, 32 pixels", MakePng(32, 0x3060d0)},
        {sites, L"Green GIF", MakeGif(16, 0x30a040)},
        {more, L"Orange ICO", MakeIco({{16, MakePng(16, 0xe08020)}})},
        {more, L"Purple SVG", MakeSvg(0x8040c0)},
        {more, L"No icon", std::string()},
    };
    int n = 0;
    for (const Site& site : sitesWithIcons) {
        CItemLink* link = new CItemLink(*site.group, site.caption,
                                        L"https://site" + std::to_wstring(n++) + L".example/");
        if (!site.icon.empty()) link->icon = CLinkIcon::FromBytes(site.icon);
    }
    CItemLink* further = static_cast<CItemLink*>(sites->items[0]);
    further->divider = L" | ";
    further->AddLink(L"further link", L"https://further.example/");
    further->SetPopupContent(L"The icon belongs to the main link only");
}

void BuildManyLinksProject(CProject& project, int groups)
{
    project.title = groups == 100 ? L"Ten thousand links" : L"A thousand links";
    int made = 0;
    for (int c = 0; c < 5; ++c) {
        CColumn* column = new CColumn(project, L"Column " + std::to_wstring(c + 1));
        for (int g = 0; g < groups; ++g) {
            CGroup* group = new CGroup(*column, L"Group " + std::to_wstring(g + 1));
            for (int i = 0; i < 20; ++i, ++made) {
                CItemLink* link =
                    new CItemLink(*group, L"Link number " + std::to_wstring(made),
                                  L"https://www.example.com/page/" + std::to_wstring(made));
                if (made % 50 == 0) link->SetPopupContent(L"About link " + std::to_wstring(made));
            }
        }
    }
}

CItemForm* AddSearchForm(CGroup& group, const wchar_t* name, const wchar_t* action)
{
    CItemForm* form = new CItemForm(group);
    form->name = name;
    form->action = action;
    form->AddField(0, L"q", L"", -1);
    form->AddField(0, L"source", L"start", -1)->hidden = true;
    return form;
}

// Columns in the tab order Work, Work, Play & fun, Reading, Play & fun, and two on every tab.
void BuildTabsProject(CProject& project)
{
    project.title = L"Tabs";
    struct Column
    {
        const wchar_t* caption;
        const wchar_t* tab;
        const wchar_t* links[3];
    } columns[] = {
        {L"Every day", L"", {L"Mail", L"Calendar", L"Weather"}},
        {L"Projects", L"Work", {L"Issue board", L"Build status", L"Handbook"}},
        {L"Reference", L" Work ", {L"C++ reference", L"HTML elements", L"CSS properties"}},
        {L"Games", L"Play & fun", {L"Chess club", L"Crosswords", L"Sudoku"}},
        {L"Books", L"Reading", {L"Library", L"Caf\u00E9 des livres", L"Poetry"}},
        {L"Videos", L"Play & fun", {L"Film archive", L"Concerts", L"Nature films"}},
        {L"Search", L"", {L"Dictionary", L"Maps", L"Timetable"}},
    };
    int made = 0;
    for (const Column& each : columns) {
        CColumn* column = new CColumn(project, each.caption);
        column->tab = each.tab;
        CGroup* group = new CGroup(*column, std::wstring(each.caption) + L" links");
        for (const wchar_t* caption : each.links) {
            std::wstring slug = std::to_wstring(made++);
            CItemLink* link =
                new CItemLink(*group, caption, L"https://site" + slug + L".example/" + slug);
            if (made % 4 == 0) link->SetPopupContent(L"About " + std::wstring(caption));
            if (made % 5 == 0) {
                link->divider = L" \u00B7 ";
                link->AddLink(L"archive", L"https://archive.example/" + slug);
            }
        }
        if (each.caption == std::wstring(L"Search"))
            AddSearchForm(*group, L"Web", L"https://search.example/find");
    }
}

// Everything a page must stay accessible with: no title, captions that show nothing, empty
// columns and groups, a group captioned as its column, very long captions, markup in captions,
// accents, popups and forms of every kind.
void BuildAwkwardProject(CProject& project)
{
    project.title = L"";
    CColumn* first = new CColumn(project, L"");
    CGroup* blank = new CGroup(*first, L"");
    new CItemLink(*blank, L"", L"https://empty.example/path/");
    new CItemLink(*blank, L"   ", L"https://space.example/");
    new CItemLink(*blank, L"<b></b>", L"https://tag.example/a?b=c");
    new CItemLink(*blank, L"<span> </span>&nbsp;", L"mailto:someone@example.org");
    CItemLink* further = new CItemLink(*blank, L"Main", L"https://main.example/");
    further->divider = L" | ";
    further->AddLink(L"", L"https://further.example/x");
    CItemLink* blankPopup = new CItemLink(*blank, L"", L"https://popup.example/");
    blankPopup->SetPopupContent(L"A popup on a link without a caption");
    new CGroup(*first, L" ");
    new CGroup(*first, L"<i></i>");
    new CGroup(*first, L"");

    new CColumn(project, L"");
    new CColumn(project, L"<em>  </em>");

    CColumn* work = new CColumn(project, L"Work");
    CGroup* echo = new CGroup(*work, L"Work");
    new CItemLink(*echo, L"Tracker", L"https://tracker.example/");
    CGroup* marked = new CGroup(*work, L"<b>Bold</b> and <i>italic</i>");
    new CItemLink(*marked, L"<b>Bold</b> link with <code>code</code>", L"https://bold.example/");
    new CItemLink(*marked, L"\u00C9cole \u00D6sterreich na\u00EFve", L"https://accents.example/");
    CItemLink* popup = new CItemLink(*marked, L"Popup with markup", L"https://pop.example/");
    popup->SetPopupContent(L"<b>Bold</b>, <a href=\"https://in.example/\">a link</a> and a list "
                           L"<ul><li>one</li><li>two</li></ul>");

    std::wstring longWord(5000, L'w');
    std::wstring longWords;
    while (longWords.size() < 5000)
        longWords += L"long caption ";
    CColumn* longColumn = new CColumn(project, longWords);
    CGroup* longGroup = new CGroup(*longColumn, longWord);
    new CItemLink(*longGroup, longWord, L"https://long.example/");
    new CItemLink(*longGroup, longWords, L"https://words.example/");

    CColumn* forms = new CColumn(project, L"Forms");
    CGroup* all = new CGroup(*forms, L"Every kind");
    AddSearchForm(*all, L"Find", L"https://find.example/");
    CItemForm* posted = new CItemForm(*all);
    posted->name = L"Post";
    posted->method = 1;
    posted->action = L"https://post.example/";
    posted->AddField(0, L"", L"value", 10);
    CItemForm::CField* select = posted->AddField(1, L"choice", L"b", -1);
    select->AddOption(L"A", L"a");
    select->AddOption(L"B", L"b");
    CItemForm* nameless = new CItemForm(*all);
    nameless->AddField(0, L"q", L"", -1);
    CItemForm::CField* hidden = nameless->AddField(1, L"h", L"", -1);
    hidden->hidden = true;
    hidden->AddOption(L"x", L"x");
    new CItemForm(*all); // no fields at all
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_browser_page FOLDER BOOKMARKS.html\n");
        return 2;
    }
    folder = argv[1];
    bool ok = true;
    {
        CProject project;
        BuildDefaultProject(project);
        ok &= Write(project, "classic-sample.html", false);
        ok &= Write(project, "modern-sample.html", true);
        AddClassicExtras(project);
        ok &= Write(project, "browser-page.html", false);
    }
    {
        CProject project;
        BuildLargeProject(project);
        ok &= Write(project, "classic-large.html", false);
        ok &= Write(project, "modern-large.html", true);
    }
    {
        CProject project;
        BuildIconProject(project);
        ok &= Write(project, "classic-icons.html", false);
        ok &= Write(project, "modern-icons.html", true);
    }
    {
        CProject project;
        BuildManyLinksProject(project, 100);
        ok &= Write(project, "modern-10k.html", true);
    }
    {
        CProject project;
        BuildManyLinksProject(project, 10);
        ok &= Write(project, "modern-1k.html", true);
    }
    {
        CProject project;
        BuildTabsProject(project);
        ok &= Write(project, "modern-tabs.html", true);
        ok &= Write(project, "classic-tabs.html", false);
    }
    {
        CProject project;
        BuildAwkwardProject(project);
        ok &= Write(project, "modern-awkward.html", true);
    }
    {
        CProject project;
        CFileStream file(FromUtf8(argv[2], std::strlen(argv[2])), false);
        ok &= ImportPageOrBookmarks(project, file).complete;
        ok &= Write(project, "modern-bookmarks.html", true);
    }
    return ok ? 0 : 1;
}

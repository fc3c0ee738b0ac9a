#include "homepage/page_writer.h"
#include "import/project_html_parser.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "random_project.h"
#include "services/default_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

bool Import(CProject& project, const std::string& page)
{
    CRecordingStream stream(page);
    CProjectHTMLParser parser(project);
    return parser.Parse(stream);
}

std::string Page(const CProject& project)
{
    CRecordingStream stream;
    WritePage(project, stream);
    return stream.bytes;
}

std::vector<std::wstring> Captions(const CProject& project)
{
    std::vector<std::wstring> captions;
    for (const CColumn* column : project.columns)
        captions.push_back(column->caption);
    return captions;
}

using Names = std::vector<std::wstring>;

CItemLink* LinkAt(const CProject& project, std::size_t column, std::size_t group, std::size_t item)
{
    return static_cast<CItemLink*>(project.columns[column]->groups[group]->items[item]);
}

// A page table with one group holding `cell` as its only item cell.
std::string OneItemPage(const std::string& cell)
{
    return "<html><table><tr><th>C</th></tr><tr><td><table><tr><th>G</th></tr><tr><td>" + cell +
           "</td></tr></table></td></tr></table></html>";
}

} // namespace

TEST(Import, TheSampleProjectComesBack)
{
    CProject original;
    BuildDefaultProject(original);
    CProject imported;
    new CColumn(imported, L"replaced by the html element");
    imported.modified = true;
    ASSERT_TRUE(Import(imported, Page(original)));
    EXPECT_EQ(DumpText(imported), DumpText(original));
    EXPECT_TRUE(imported.modified); // the importer leaves the flag alone
}

TEST(Import, HeaderCellsMakeColumnsAndBodyCellsFillThemByPosition)
{
    CProject project;
    ASSERT_TRUE(Import(project, "<table><tr><th> A </th><th>B</th><th>C</th></tr>"
                                "<tr><td><table><tr><th>g1</th></tr></table></td>"
                                "<td><table><tr><th>g2</th></tr></table></td></tr></table>"));
    EXPECT_EQ(Captions(project), (Names{L"A", L"B", L"C"}));
    EXPECT_EQ(project.columns[0]->groups[0]->caption, L"g1");
    EXPECT_EQ(project.columns[1]->groups[0]->caption, L"g2");
    EXPECT_TRUE(project.columns[2]->groups.empty());

    CProject extra;
    ASSERT_TRUE(Import(extra, "<table><tr><th>A</th></tr><tr><td></td>"
                              "<td><table><tr><th>lost</th></tr></table></td></tr></table>"));
    ASSERT_EQ(extra.columns.size(), 1u);
    EXPECT_TRUE(extra.columns[0]->groups.empty());
}

TEST(Import, EachTableFillsOnlyItsOwnColumns)
{
    CProject project;
    new CColumn(project, L"existing");
    // No html element: the columns are added after the existing ones.
    ASSERT_TRUE(Import(project, "<table><tr><th>A</th></tr><tr><td><table><tr><th>a</th></tr>"
                                "</table></td></tr></table>"
                                "<table><tr><th>B</th></tr><tr><td><table><tr><th>b</th></tr>"
                                "</table></td></tr></table>"));
    EXPECT_EQ(Captions(project), (Names{L"existing", L"A", L"B"}));
    EXPECT_TRUE(project.columns[0]->groups.empty());
    EXPECT_EQ(project.columns[1]->groups[0]->caption, L"a");
    EXPECT_EQ(project.columns[2]->groups[0]->caption, L"b");
}

TEST(Import, RowsAreImpliedAndCellsClosedByTheNext)
{
    CProject project;
    // The second body cell closes the first, so it fills the second column; the item cell
    // right after the group table's start stands in an implied row.
    ASSERT_TRUE(Import(project, "<html><table><tr><th>A</th><th>B</th></tr><tr>"
                                "<td><table><tr><th>g1</th></tr></table>"
                                "<td><table><td><a href=\"u\">x</a></td></table></td>"
                                "</tr></table></html>"));
    EXPECT_EQ(Captions(project), (Names{L"A", L"B"}));
    ASSERT_EQ(project.columns[0]->groups.size(), 1u);
    EXPECT_EQ(project.columns[0]->groups[0]->caption, L"g1");
    ASSERT_EQ(project.columns[1]->groups.size(), 1u);
    EXPECT_EQ(LinkAt(project, 1, 0, 0)->mainLink.url, L"u");
    EXPECT_EQ(LinkAt(project, 1, 0, 0)->mainLink.caption, L"x");
}

TEST(Import, AnchorsMakeOneLinkItemPerCell)
{
    CProject project;
    ASSERT_TRUE(Import(project, OneItemPage("<a href=\"u1\"> One </a> | <a href=\"u2\">Two</a>"
                                            "</td><td><a href=\"u3\">Three</a>")));
    ASSERT_EQ(project.columns[0]->groups[0]->items.size(), 2u);
    CItemLink* first = LinkAt(project, 0, 0, 0);
    EXPECT_EQ(first->mainLink.caption, L"One");
    EXPECT_EQ(first->mainLink.url, L"u1");
    EXPECT_EQ(first->divider, L" | ");
    ASSERT_EQ(first->links.size(), 1u);
    EXPECT_EQ(first->links[0]->caption, L"Two");
    EXPECT_EQ(first->links[0]->url, L"u2");
    EXPECT_EQ(LinkAt(project, 0, 0, 1)->mainLink.caption, L"Three");
}

TEST(Import, FormsWithInputsSelectsAndOptions)
{
    CProject project;
    ASSERT_TRUE(
        Import(project, OneItemPage("<form name=\"f\" action=\"http://s\" method=\"POST\">"
                                    "<input name=\"q\" value=\"x\" size=\" +20px\"/>"
                                    "<input type=\"IMAGE\" name=\"i\" size=\"\"/>"
                                    "<input type=\"Hidden\" name=\"h\" size=\"abc\"/>"
                                    "<select name=\"s\" value=\"1\" size=\"5\" type=\"hidden\">"
                                    "<option value=\"1\">One</option><option> Two </option>"
                                    "</select></form>")));
    auto* form = static_cast<CItemForm*>(project.columns[0]->groups[0]->items[0]);
    EXPECT_EQ(form->name, L"f");
    EXPECT_EQ(form->action, L"http://s");
    EXPECT_EQ(form->method, 1);
    ASSERT_EQ(form->fields.size(), 4u);
    EXPECT_EQ(form->fields[0]->size, 20);
    EXPECT_FALSE(form->fields[0]->hidden);
    EXPECT_EQ(form->fields[1]->size, -1);
    EXPECT_TRUE(form->fields[1]->hidden);
    EXPECT_EQ(form->fields[2]->size, 0);
    EXPECT_TRUE(form->fields[2]->hidden);
    CItemForm::CField* select = form->fields[3];
    EXPECT_EQ(select->type, 1);
    EXPECT_TRUE(select->hidden);
    EXPECT_EQ(select->size, 5);
    ASSERT_EQ(select->options.size(), 2u);
    EXPECT_EQ(select->options[0]->text, L"One");
    EXPECT_EQ(select->options[0]->value, L"1");
    EXPECT_EQ(select->options[1]->text, L" Two ");
    EXPECT_EQ(select->options[1]->value, L" Two ");
}

TEST(Import, PopupBlocksBecomeThePopupsOfTheLinksThatNameThem)
{
    std::string block = "<div id=\"p7\" style=\"DISPLAY: none\">\r\n<table><tr><td>\r\n";
    CProject project;
    ASSERT_TRUE(Import(project, OneItemPage("<span onmouseout=\"phide('p7');\" "
                                            "onmouseover=\"pshow('p7');\">\r\n"
                                            "<a href=\"u\">a</a></span>\r\n</td><td>"
                                            "<span id=\"p8\" onmouseout=\"phide(this.id)\" "
                                            "onmouseover=\"pshow(this.id)\"><a href=\"v\">b</a>"
                                            "</span></td><td><span onmouseout=\"phide('p7')\" "
                                            "onmouseover=\"pshow('p7')\"><a>c</a></span>") +
                                    block + "text</td></tr></table></div>" +
                                    "<div id=\"p8\" style=\"display:none\"><table><tr><td>x<br />"
                                    "<b class=\"k\" hidden>y</b>z</td></tr></table></div>" +
                                    "<div id=\"unused\" style=\"display:none\"><table><tr><td>"
                                    "</td></tr></table></div>"));
    CItemLink* a = LinkAt(project, 0, 0, 0);
    CItemLink* b = LinkAt(project, 0, 0, 1);
    CItemLink* c = LinkAt(project, 0, 0, 2);
    ASSERT_TRUE(a->popup && b->popup && c->popup);
    EXPECT_EQ(a->popup->content, L"\r\ntext");
    EXPECT_EQ(b->popup->content, L"x<br /><b class=\"k\" hidden>y</b>z");
    // Two spans naming one popup: the same content, numbers of their own, in reference order.
    EXPECT_EQ(c->popup->content, a->popup->content);
    EXPECT_EQ(b->popup->id, a->popup->id + 1);
    EXPECT_EQ(c->popup->id, a->popup->id + 2);
}

TEST(Import, TheLastDefinitionOfAPopupWins)
{
    std::string page = OneItemPage("<span onmouseout=\"phide('p')\" onmouseover=\"pshow('p')\">"
                                   "<a href=\"u\">a</a></span>");
    for (const char* content : {"first", "second"}) {
        page += "<div id=\"p\" style=\"display: none\"><table><tr><td>" + std::string(content) +
                "</td></tr></table></div>";
    }
    CProject project;
    ASSERT_TRUE(Import(project, page));
    EXPECT_EQ(LinkAt(project, 0, 0, 0)->popup->content, L"second");
}

TEST(Import, APopupBlockOfSeveralCellsHoldsEverythingSinceItsDiv)
{
    std::string page = OneItemPage("<span onmouseout=\"phide('x1')\" onmouseover=\"pshow('x1')\">"
                                   "<a href=\"u\">a</a></span>");
    CProject project;
    ASSERT_TRUE(Import(project, page + "<div id=\"x1\" style=\"display:none\"><table><tr>"
                                       "<td>A</td><td>B</td></tr></table></div>"));
    EXPECT_EQ(LinkAt(project, 0, 0, 0)->popup->content, L"AB");

    // Rows and markup count alike; a later block of the same id starts afresh and wins.
    CProject again;
    ASSERT_TRUE(Import(again, page + "<div id=\"x1\" style=\"display:none\"><table><tr><td>A</td>"
                                     "</tr><tr><td><b>B</b></td></tr></table></div>"
                                     "<div id=\"x1\" style=\"display:none\"><table><tr><td>C</td>"
                                     "<td>D</td></tr></table></div>"));
    EXPECT_EQ(LinkAt(again, 0, 0, 0)->popup->content, L"CD");

    CProject first;
    ASSERT_TRUE(Import(first, page + "<div id=\"x1\" style=\"display:none\"><table><tr><td>A"
                                     "</td></tr><tr><td><b>B</b></td></tr></table></div>"));
    EXPECT_EQ(LinkAt(first, 0, 0, 0)->popup->content, L"A<b>B</b>");

    // A block of very many cells costs what its text costs, not that times the cells.
    std::string cells;
    for (int i = 0; i < 100000; ++i)
        cells += "<td>x</td>";
    CProject many;
    ASSERT_TRUE(Import(many, page + "<div id=\"x1\" style=\"display:none\"><table><tr>" + cells +
                                 "</tr></table></div>"));
    const std::wstring& content = LinkAt(many, 0, 0, 0)->popup->content;
    EXPECT_EQ(content.size(), 100000u);
    EXPECT_EQ(content.find_first_not_of(L'x'), std::wstring::npos);
}

TEST(Import, TitleAndCaptionsAreTrimmedButNotEmptied)
{
    CProject project;
    ASSERT_TRUE(Import(project, "<html><head><title>\r\n\tMy page \r\n</title></head>"
                                "<table><tr><th>   </th></tr></table></html>"));
    EXPECT_EQ(project.title, L"My page");
    EXPECT_EQ(project.columns[0]->caption, L"   ");
}

TEST(Import, AMisplacedBracketStopsTheImportAndKeepsWhatWasRead)
{
    CProject original;
    BuildDefaultProject(original);
    CGroup* group = original.columns[0]->groups[1];
    static_cast<CItemLink*>(group->items[0])->SetPopupContent(L"popup");
    group->caption = L"a > b";
    CProject imported;
    CRecordingStream stream(Page(original));
    CProjectHTMLParser parser(imported);
    EXPECT_FALSE(parser.Parse(stream));
    EXPECT_TRUE(parser.Failed());
    EXPECT_EQ(Page(original).substr(static_cast<std::size_t>(parser.ErrorOffset()), 3), "> b");
    // The search group was read before the error; the popups are never attached.
    ASSERT_EQ(imported.columns.size(), 2u);
    EXPECT_EQ(imported.columns[0]->groups[0]->caption, L"Search");
    for (const CGroup* g : imported.columns[0]->groups) {
        for (const CItem* item : g->items) {
            if (item->GetTag() == tags::kItemLink) {
                EXPECT_FALSE(static_cast<const CItemLink*>(item)->popup);
            }
        }
    }

    CProject lessThan;
    original.columns[0]->groups[1]->caption = L"a < b";
    EXPECT_FALSE(Import(lessThan, Page(original)));
}

TEST(Import, ForeignMarkupIsToleratedAndStrayEndTagsIgnored)
{
    CProject project;
    ASSERT_TRUE(Import(project, "</p></html><HTML><Table Border=1><TR><TH>A</TH></TR>"
                                "<tr><td><p>x<p>y<table><tr><th>G</th></tr><tr><td>"
                                "<a HREF=\"upper\" href='lower'>L</a><a bad=\"x>t</a>"
                                "</td></tr></table></td></tr></TABLE></HTML></body>"));
    ASSERT_EQ(project.columns.size(), 1u);
    CItemLink* link = LinkAt(project, 0, 0, 0);
    EXPECT_EQ(link->mainLink.url, L"lower");
    EXPECT_EQ(link->mainLink.caption, L"L");
}

TEST(Import, ASecondHtmlElementDropsEverythingBuiltSoFar)
{
    // The first page's popup reference points into columns that the second html element
    // deletes: it must be forgotten with them, not resolved against a destroyed item.
    std::string first = OneItemPage("<span onmouseout=\"phide('p')\" onmouseover=\"pshow('p')\">"
                                    "<a href=\"u\">a</a></span>");
    std::string block =
        "<div id=\"p\" style=\"display:none\"><table><tr><td>x</td></tr></table></div>";
    CProject project;
    ASSERT_TRUE(Import(project, first + OneItemPage("<a href=\"v\">b</a>") + block));
    ASSERT_EQ(project.columns.size(), 1u);
    CItemLink* link = LinkAt(project, 0, 0, 0);
    EXPECT_EQ(link->mainLink.url, L"v");
    EXPECT_FALSE(link->popup);
}

TEST(Import, DeepNestingCostsMemoryInProportionToTheInput)
{
    std::string page;
    for (int i = 0; i < 200000; ++i)
        page += "<x>";
    CProject project;
    CRecordingStream stream(page);
    CProjectHTMLParser parser(project);
    EXPECT_TRUE(parser.Parse(stream));
    EXPECT_LE(parser.ElementStackBytes(), 4 * page.size());
}

TEST(Import, RandomProjectsComeBackFromTheirPages)
{
    std::mt19937 random(99);
    RandomProjectOptions options;
    options.pageSafe = true;
    options.keptChunks = false;
    for (int round = 0; round < 300; ++round) {
        CProject original;
        BuildRandomProject(original, random, options);
        CProject imported;
        ASSERT_TRUE(Import(imported, Page(original))) << "round " << round;
        AddPopupLineBreaksAsAPageGivesThem(original);
        EXPECT_EQ(DumpText(imported), DumpText(original)) << "round " << round;
    }
}

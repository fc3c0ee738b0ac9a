#include "homepage/modern_page.h"
#include "homepage/page_writer.h"
#include "import/modern_page_parser.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "random_project.h"
#include "services/default_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string Modern(const CProject& project)
{
    CRecordingStream stream;
    WriteModernPage(project, stream, "en");
    return stream.bytes;
}

// A Modern page's head, then `body` as what stands between <body> and </body>.
std::string PageWithBody(const std::string& body)
{
    CProject empty;
    std::string page = Modern(empty);
    return page.substr(0, page.find("<main>")) + body + "</body>\r\n</html>\r\n";
}

// Reads a page the way the program does; fails the test unless it is read as a Modern page.
void ReadModern(CProject& project, const std::string& page)
{
    HtmlImportResult result = ImportBytes(project, page);
    EXPECT_EQ(result.kind, HtmlFileKind::ModernPage);
    EXPECT_TRUE(result.complete);
}

CItemLink* LinkAt(const CProject& project, std::size_t column, std::size_t group, std::size_t item)
{
    return static_cast<CItemLink*>(project.columns[column]->groups[group]->items[item]);
}

// Markup in every text, surrounding white space, an empty main address, nested elements in a
// popup: what the Classic page loses and the Modern one keeps.
void BuildAwkwardProject(CProject& project)
{
    project.title = L" Home <small>page</small> ";
    CColumn* column = new CColumn(project, L"\tC & <b>D</b>");
    CGroup* group = new CGroup(*column, L" G<br />");
    CItemLink* link = new CItemLink(*group, L" <img src=\"i.png\" alt=\"\"> a ", L"");
    link->divider = L" <b>|</b> ";
    link->links.Append(new CItemLink::CLink(L"", L"v"));
    link->links.Append(new CItemLink::CLink(L"c", L""));
    link->SetPopupContent(L"<div><div>x</div></div> <a href=\"w\">more</a><br />");
    CItemForm* form = new CItemForm(*group);
    form->name = L"f";
    CItemForm::CField* select = form->AddField(1, L"s", L"b", 4);
    select->AddOption(L" A ", L"a");
    select->AddOption(L"b", L"b");
    new CGroup(*column, L"");
    new CColumn(project, L"");
}

} // namespace

TEST(ModernImport, TheSampleProjectComesBackModern)
{
    CProject original;
    BuildDefaultProject(original);
    original.pageStyle = PageStyle::Modern;
    CProject imported;
    new CColumn(imported, L"replaced by the html element");
    imported.title = L"replaced";
    imported.modified = true;
    ReadModern(imported, Modern(original));
    EXPECT_EQ(DumpText(imported), DumpText(original));
    EXPECT_NE(DumpText(imported).find("style modern"), std::string::npos);
    EXPECT_TRUE(imported.modified); // the importer leaves the flag alone
    EXPECT_EQ(Modern(imported), Modern(original));
}

TEST(ModernImport, RandomProjectsComeBackExactlyAndTheirPagesByteForByte)
{
    std::mt19937 random(41);
    RandomProjectOptions options;
    options.pageSafe = true;
    options.keptChunks = false;
    for (int round = 0; round < 300; ++round) {
        CProject original;
        BuildRandomProject(original, random, options);
        original.pageStyle = PageStyle::Modern;
        std::string page = Modern(original);
        CProject imported;
        ReadModern(imported, page);
        // Unlike the Classic page, no popup gains a line break.
        ASSERT_EQ(DumpText(imported), DumpText(original)) << "round " << round;
        ASSERT_EQ(Modern(imported), page) << "round " << round;
    }
}

TEST(ModernImport, MarkupAndWhiteSpaceInTextsComeBackAsTheyWere)
{
    CProject original;
    BuildAwkwardProject(original);
    original.pageStyle = PageStyle::Modern;
    CProject imported;
    ReadModern(imported, Modern(original));
    EXPECT_EQ(DumpText(imported), DumpText(original));
    CItemLink* link = LinkAt(imported, 0, 0, 0);
    EXPECT_EQ(link->mainLink.url, L"");
    EXPECT_EQ(link->links.size(), 2u);
    EXPECT_EQ(Modern(imported), Modern(original));
}

TEST(ModernImport, OnlyAModernPageStartIsReadAsOne)
{
    CProject sample;
    BuildDefaultProject(sample);
    std::string page = Modern(sample);
    std::string rest = page.substr(page.find("<html"));
    for (const std::string& start :
         {std::string("\xEF\xBB\xBF \r\n<!doctype HTML>\n\n"), std::string("<!DOCTYPE html>")}) {
        for (std::int32_t limit : {0x7FFFFFFF, 1}) {
            CProject project;
            HtmlImportResult result = ImportBytes(project, start + rest, limit);
            EXPECT_EQ(result.kind, HtmlFileKind::ModernPage) << start;
            EXPECT_EQ(project.pageStyle, PageStyle::Modern);
            EXPECT_EQ(project.columns.size(), 2u);
        }
    }
    // Another page, or the marker later on, is read as a Classic page, which keeps the style.
    for (const std::string& other :
         {"<!DOCTYPE html><html lang=\"en\" class=\"quillomere-modern\">" + rest,
          "<html class=\"quillomere-modern\">" + rest, std::string("<!DOCTYPE html>")}) {
        CProject project;
        project.pageStyle = PageStyle::Modern;
        EXPECT_EQ(ImportBytes(project, other).kind, HtmlFileKind::Page);
        EXPECT_EQ(project.pageStyle, PageStyle::Modern);
    }
    CProject classic;
    classic.pageStyle = PageStyle::Modern;
    EXPECT_EQ(ImportBytes(classic, GeneratedPage(sample)).kind, HtmlFileKind::Page);
    EXPECT_EQ(classic.pageStyle, PageStyle::Modern);
}

TEST(ModernImport, ForeignMarkupIsPassedOverWithoutHarm)
{
    // Sections, items and headings where they make no sense, stray end tags, self-closed
    // elements, and a column that starts inside an item.
    std::string body = "</li></section></form><h2>no column</h2><li><a href=\"x\">no group</a>"
                       "<section class=\"grp\"><h3>no column</h3></section>"
                       "<section class=\"col\"><h2>C</h2><section><h3>not a group</h3></section>"
                       "<section class=\"grp\"><h3/><ul><li><a href=\"u\"/></li>"
                       "<li><section class=\"col\"><a href=\"w\">in no group</a><form><input>"
                       "</form></li></section></section>"
                       "<section class=\"col\"><section class=\"grp\"><ul><li><form name=\"f\">"
                       "<input name=\"q\" value=\"typed\"><option>stray</option><a href=\"y\">n</a>"
                       "</form><a href=\"z\">after</a></li></ul>";
    CProject project;
    ReadModern(project, PageWithBody(body));
    EXPECT_EQ(DumpText(project), "project \"\"\n  style modern\n"
                                 "  column \"C\"\n    group \"\"\n"
                                 "      link \"\" -> \"u\"\n        divider \"\"\n"
                                 "  column \"\"\n"
                                 "  column \"\"\n    group \"\"\n"
                                 "      form \"f\" get (method 0) -> \"\"\n"
                                 "        field input (type 0) \"q\" = \"typed\" size -1\n");
}

TEST(ModernImport, AnInputsValueIsItsValueAttributeOrAnEarlierPagesPlaceholder)
{
    // Pages of an earlier build gave a visible input its value as the placeholder alone.
    std::string body = "<section class=\"col\"><section class=\"grp\"><ul><li><form name=\"f\">"
                       "<label>a<input name=\"a\" value=\"v\" placeholder=\"p\"></label>"
                       "<label>b<input name=\"b\" placeholder=\"p\"></label>"
                       "<label>c<input name=\"c\" value=\"\" placeholder=\"p\"></label>"
                       "<input type=\"hidden\" name=\"d\" placeholder=\"p\">"
                       "</form></li></ul>";
    CProject project;
    ReadModern(project, PageWithBody(body));
    auto* form = static_cast<CItemForm*>(project.columns[0]->groups[0]->items[0]);
    ASSERT_EQ(form->fields.size(), 4u);
    EXPECT_EQ(form->fields[0]->value, L"v");
    EXPECT_EQ(form->fields[1]->value, L"p");
    EXPECT_EQ(form->fields[2]->value, L"");
    EXPECT_EQ(form->fields[3]->value, L"");
}

TEST(ModernImport, AMisplacedBracketStopsTheReadAndSaysWhere)
{
    CProject sample;
    BuildDefaultProject(sample);
    sample.columns[0]->caption = L"a > b";
    std::string page = Modern(sample);
    CProject project;
    HtmlImportResult result = ImportBytes(project, page);
    EXPECT_EQ(result.kind, HtmlFileKind::ModernPage);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.errorOffset, static_cast<std::int64_t>(page.find("a > b") + 2));
    EXPECT_EQ(project.columns.size(), 1u); // what was read before stays
}

TEST(ModernImport, DeepNestingCostsMemoryInProportionToTheInput)
{
    std::string body;
    for (int i = 0; i < 200000; ++i)
        body += "<section>";
    std::string page = PageWithBody(body);
    CProject project;
    CRecordingStream stream(page);
    CModernPageParser parser(project);
    EXPECT_TRUE(parser.Parse(stream));
    EXPECT_LE(parser.SectionStackBytes(), page.size());
}

TEST(ModernImport, AnElementStillOpenAtTheEndGivesNothing)
{
    // Were the open anchor to keep what follows it, its caption would swallow the end of the page
    // written from it, and grow with every round.
    std::string body = "<section class=\"col\"><section class=\"grp\"><ul><li>"
                       "<a href=\"u\">never closed <a href=\"v\">x</a>";
    CProject project;
    ReadModern(project, PageWithBody(body));
    EXPECT_EQ(DumpText(project), "project \"\"\n  style modern\n  column \"\"\n    group \"\"\n"
                                 "      link \"\" -> \"\"\n        divider \"\"\n");
    std::string page = Modern(project);
    CProject again;
    ReadModern(again, page);
    EXPECT_EQ(Modern(again), page);
}

TEST(ModernImport, TabsComeBackAndTheirPagesByteForByte)
{
    CProject original;
    original.pageStyle = PageStyle::Modern;
    const wchar_t* tabs[] = {L"", L"Work", L"Work",         L"Play & <fun>",
                             L"", L"Work", L"\u00C9t\u00E9"};
    for (const wchar_t* tab : tabs)
        (new CColumn(original, L"C"))->tab = tab;
    std::string page = Modern(original);
    CProject imported;
    ReadModern(imported, page);
    ASSERT_EQ(imported.columns.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(imported.columns[i]->tab, tabs[i]) << i;
    EXPECT_EQ(Modern(imported), page);

    // A tab's name is written without the blanks at its ends, and read back so.
    original.columns[1]->tab = L" Work\t";
    EXPECT_EQ(Modern(original), page);

    std::mt19937 random(43);
    RandomProjectOptions options;
    options.pageSafe = true;
    options.keptChunks = false;
    options.tabs = true;
    for (int round = 0; round < 200; ++round) {
        CProject project;
        BuildRandomProject(project, random, options);
        project.pageStyle = PageStyle::Modern;
        page = Modern(project);
        CProject back;
        ReadModern(back, page);
        ASSERT_EQ(DumpText(back), DumpText(project)) << "round " << round;
        ASSERT_EQ(Modern(back), page) << "round " << round;
    }
}

TEST(ModernImport, WhatThePageAddsForSightAndScreenReadersIsLeftOut)
{
    CProject original;
    original.pageStyle = PageStyle::Modern;
    for (const wchar_t* title : {L"", L" ", L"<i></i>"}) {
        original.title = title;
        CColumn* column = new CColumn(original, L"Work");
        new CGroup(*column, L"Work"); // said by its column's heading
        new CGroup(*column, L"<b> </b>");
        CGroup* group = new CGroup(*new CColumn(original, L" "), L"");
        for (const wchar_t* caption : {L"", L"  ", L"<b></b>", L"&nbsp;", L"www.example.com"})
            new CItemLink(*group, caption, L"https://www.example.com/");
        CItemLink* further = new CItemLink(*group, L"", L"");
        further->links.Append(new CItemLink::CLink(L"<span></span>", L"mailto:a@example.org"));
        further->SetPopupContent(L"about");
        std::string page = Modern(original);
        CProject imported;
        ReadModern(imported, page);
        EXPECT_EQ(DumpText(imported), DumpText(original)) << page;
        EXPECT_EQ(Modern(imported), page);
        original.DeleteChildren();
    }
}

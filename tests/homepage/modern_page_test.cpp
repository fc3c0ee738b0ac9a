#include "homepage/modern_page.h"
#include "homepage/page_writer.h"
#include "icons/test_images.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/link_icon.h"
#include "model/project.h"
#include "platform/platform.h"
#include "random_project.h"
#include "services/default_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::string Modern(const CProject& project, const std::string& language = "en")
{
    CRecordingStream stream;
    WriteModernPage(project, stream, language);
    return stream.bytes;
}

// What follows the head: the header, the columns and the end.
std::string Body(const std::string& page)
{
    std::size_t body = page.find("<body>\r\n");
    return body == std::string::npos ? std::string() : page.substr(body + 8);
}

// The one item of a page with one column and one group.
std::string OnlyItem(const CProject& project)
{
    std::string body = Body(Modern(project));
    std::size_t start = body.find("<ul>\r\n"), end = body.find("</ul>\r\n");
    if (start == std::string::npos || end == std::string::npos) return std::string();
    return body.substr(start + 6, end - start - 6);
}

CGroup* OneGroup(CProject& project)
{
    return new CGroup(*new CColumn(project, L"C"), L"G");
}

} // namespace

TEST(ModernPage, TheSampleProject)
{
    CProject project;
    BuildDefaultProject(project);
    std::string page = Modern(project, "de");
    EXPECT_EQ(page.substr(0, 67),
              "<!DOCTYPE html>\r\n<html class=\"quillomere-modern\" lang=\"de\">\r\n<head>");
    EXPECT_NE(page.find("<title>New project</title>"), std::string::npos);
    EXPECT_EQ(Body(page),
              "<header><h1>New project</h1></header>\r\n<main>\r\n"
              "<section class=\"col\">\r\n<h2>New Column</h2>\r\n"
              "<section class=\"grp\">\r\n<h3>Search</h3>\r\n<ul>\r\n"
              "<li><form name=\"Google\" action=\"https://www.google.com/search\" "
              "method=\"get\">\r\n"
              "<label>q<input name=\"q\" value=\"google search\"></label>\r\n"
              "<button type=\"submit\">Google</button></form></li>\r\n"
              "</ul>\r\n</section>\r\n"
              "<section class=\"grp\">\r\n<h3>Example group</h3>\r\n<ul>\r\n"
              "<li><a href=\"https://www.example.com/\">The author's web site</a></li>\r\n"
              "<li><a href=\"https://www.example.org/quillomere/\">Quillomere</a></li>\r\n"
              "</ul>\r\n</section>\r\n</section>\r\n"
              "<section class=\"col\">\r\n<h2>Another column</h2>\r\n</section>\r\n"
              "</main>\r\n</body>\r\n</html>\r\n");
}

TEST(ModernPage, TheProjectsStyleChoosesThePage)
{
    CProject project;
    BuildDefaultProject(project);
    std::string classic = GeneratedPage(project);
    EXPECT_EQ(classic.substr(0, 8), "<html>\r\n");
    project.pageStyle = PageStyle::Modern;
    EXPECT_EQ(GeneratedPage(project), Modern(project, platform::UserLanguage()));
    // A style of a later version is written as Classic.
    project.pageStyle = static_cast<PageStyle>(7);
    EXPECT_EQ(GeneratedPage(project), classic);
}

// A project that uses every part of the style sheet and the script.
void AddEveryPart(CProject& project)
{
    CGroup* group = OneGroup(project);
    CItemLink* link = new CItemLink(*group, L"a", L"http://a/");
    link->AddLink(L"b", L"http://b/");
    link->SetPopupContent(L"about a");
    link->icon = CLinkIcon::FromBytes(MakePng(16, 0x336699));
    new CItemForm(*group);
    static_cast<CItemForm*>(group->items.back())->AddField(0, L"q", L"hint", -1);
}

std::string Between(const std::string& page, const std::string& open, const std::string& close)
{
    std::size_t start = page.find(open), end = page.find(close);
    if (start == std::string::npos || end == std::string::npos) return std::string();
    return page.substr(start + open.size(), end - start - open.size());
}

TEST(ModernPage, StyleAndScriptHoldNoAngleBracketsForTheImport)
{
    CProject project;
    AddEveryPart(project);
    std::string page = Modern(project);
    std::string style = Between(page, "<style>", "</style>");
    std::string script = Between(page, "<script>", "</script>");
    ASSERT_NE(style.find(".tip{"), std::string::npos);
    ASSERT_NE(script.find("'label input'"), std::string::npos);
    ASSERT_NE(style.find("img["), std::string::npos);
    EXPECT_EQ((style + script).find_first_of("<>"), std::string::npos);
    // Nothing outside the file: no address in the head at all.
    EXPECT_EQ(page.substr(0, page.find("<body>")).find("//"), std::string::npos);
}

TEST(ModernPage, APageCarriesOnlyTheStyleAndScriptItsProjectUses)
{
    CProject project;
    CGroup* group = OneGroup(project);
    CItemLink* link = new CItemLink(*group, L"a", L"http://a/");
    std::string plain = Modern(project);
    EXPECT_EQ(plain.find("<script>"), std::string::npos);
    for (const char* part : {"li a~a", ".tip{", "input,select", "::placeholder", "img["})
        EXPECT_EQ(plain.find(part), std::string::npos) << part;

    link->AddLink(L"b", L"http://b/");
    EXPECT_NE(Modern(project).find("li a~a{"), std::string::npos);
    EXPECT_EQ(Modern(project).find("<script>"), std::string::npos);

    // A form whose visible fields have no value needs its style but no script.
    CItemForm* form = new CItemForm(*group);
    form->AddField(0, L"q", L"", -1);
    form->AddField(0, L"h", L"v", -1)->hidden = true;
    std::string page = Modern(project);
    EXPECT_NE(page.find("input,select"), std::string::npos);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(page.find("::placeholder"), std::string::npos);

    form->fields.front()->value = L"hint";
    page = Modern(project);
    EXPECT_NE(page.find("::placeholder"), std::string::npos);
    EXPECT_NE(Between(page, "<script>", "</script>").find("defaultValue"), std::string::npos);
    EXPECT_EQ(page.find(".tip{"), std::string::npos);

    link->SetPopupContent(L"about a");
    page = Modern(project);
    std::string script = Between(page, "<script>", "</script>");
    EXPECT_NE(page.find(".tip{"), std::string::npos);
    EXPECT_NE(script.find("'Escape'"), std::string::npos);
    EXPECT_NE(script.find("defaultValue"), std::string::npos);

    // A large project carries every part without a look at its items.
    CProject large;
    CGroup* many = OneGroup(large);
    for (int i = 0; i < 1000; ++i)
        new CItemLink(*many, L"a", L"http://a/");
    EXPECT_EQ(Modern(large).find("<script>"), std::string::npos);
    new CItemLink(*many, L"a", L"http://a/");
    page = Modern(large);
    for (const char* part :
         {"li a~a", ".tip{", "input,select", "::placeholder", "img[", "'Escape'", "defaultValue"})
        EXPECT_NE(page.find(part), std::string::npos) << part;
}

TEST(ModernPage, EmptyTitleAndCaptionsWriteNoEmptyHeadings)
{
    CProject project;
    CColumn* column = new CColumn(project, L"");
    new CGroup(*column, L"");
    EXPECT_NE(Modern(project).find("<title>Quillomere</title>"), std::string::npos);
    EXPECT_EQ(Body(Modern(project)), "<main>\r\n<section class=\"col\">\r\n"
                                     "<section class=\"grp\">\r\n</section>\r\n</section>\r\n"
                                     "</main>\r\n</body>\r\n</html>\r\n");
}

TEST(ModernPage, ModelTextIsMarkupAndGoesOutUnescaped)
{
    CProject project;
    project.title = L"Tom & <i>Jerry</i> \u010D";
    CGroup* group = new CGroup(*new CColumn(project, L"<b>C</b>"), L"a&b");
    new CItemLink(*group, L"x \"y\"", L"http://h/?a=1&b=2");
    std::string page = Modern(project);
    std::string body = Body(page);
    EXPECT_NE(body.find("<h1>Tom & <i>Jerry</i> \xC4\x8D</h1>"), std::string::npos);
    // The title element shows text, so it gets the title without its tags.
    EXPECT_NE(page.find("<title>Tom & Jerry \xC4\x8D</title>"), std::string::npos);
    project.title = L" <img src=\"logo.png\" alt=\"\"> ";
    EXPECT_NE(Modern(project).find("<title>Quillomere</title>"), std::string::npos);
    EXPECT_NE(body.find("<h2><b>C</b></h2>"), std::string::npos);
    EXPECT_NE(body.find("<h3>a&b</h3>"), std::string::npos);
    EXPECT_NE(body.find("<li><a href=\"http://h/?a=1&b=2\">x \"y\"</a></li>"), std::string::npos);
}

TEST(ModernPage, LinksDividersAndPopupsNumberedInTreeOrder)
{
    CProject project;
    CGroup* group = OneGroup(project);
    CItemLink* first = new CItemLink(*group, L"a", L"u");
    CItemLink* second = new CItemLink(*group, L"b", L"v");
    second->divider = L" | ";
    second->AddLink(L"c", L"w");
    second->AddLink(L"d", L"x");
    // Created in the other order: the page numbers them by place, not by birth.
    second->SetPopupContent(L"two <b>2</b>");
    first->SetPopupContent(L"one");
    EXPECT_EQ(OnlyItem(project),
              "<li class=\"pop\"><a id=\"l1\" aria-describedby=\"p1\" href=\"u\">a</a>"
              "<button type=\"button\" tabindex=\"-1\" aria-expanded=\"false\" "
              "aria-controls=\"p1\" aria-labelledby=\"l1\">i</button>"
              "<div class=\"tip\" id=\"p1\">one</div></li>\r\n"
              "<li class=\"pop\"><a id=\"l2\" aria-describedby=\"p2\" href=\"v\">b</a>"
              " | <a href=\"w\">c</a> | <a href=\"x\">d</a>"
              "<button type=\"button\" tabindex=\"-1\" aria-expanded=\"false\" "
              "aria-controls=\"p2\" aria-labelledby=\"l2\">i</button>"
              "<div class=\"tip\" id=\"p2\">two <b>2</b></div></li>\r\n");
    // New popup objects (as a load or an import makes) give the same page.
    std::string before = Modern(project);
    first->popup.reset();
    first->SetPopupContent(L"one");
    EXPECT_EQ(Modern(project), before);
}

TEST(ModernPage, FormsHaveLabelsClassicsValuesAndASubmitButton)
{
    CProject project;
    CGroup* group = OneGroup(project);
    CItemForm* form = new CItemForm(*group);
    form->name = L"Find";
    form->action = L"https://s/";
    form->method = 1;
    form->AddField(0, L"q", L"hint", 20);
    form->AddField(0, L"", L"", -1);
    form->AddField(0, L"h", L"v", 5)->hidden = true;
    CItemForm::CField* select = form->AddField(1, L"n", L"2", 3);
    select->AddOption(L"One", L"1");
    select->AddOption(L"Two", L"2");
    select->AddOption(L"Same", L"Same");
    CItemForm::CField* hiddenSelect = form->AddField(1, L"k", L"", -1);
    hiddenSelect->hidden = true;
    hiddenSelect->AddOption(L"Empty", L"");
    form->AddField(2, L"other", L"", -1); // a type without markup
    CItemForm* nameless = new CItemForm(*group);
    nameless->AddField(0, L"", L"", -1);
    EXPECT_EQ(OnlyItem(project),
              "<li><form name=\"Find\" action=\"https://s/\" method=\"post\">\r\n"
              "<label>q<input size=\"20\" name=\"q\" value=\"hint\"></label>\r\n"
              "<label>Find<input name=\"\"></label>\r\n"
              "<input type=\"hidden\" size=\"5\" name=\"h\" value=\"v\">\r\n"
              "<label>n<select name=\"n\" data-value=\"2\" data-size=\"3\">\r\n"
              "<option value=\"1\">One</option>\r\n<option value=\"2\" selected>Two</option>\r\n"
              "<option>Same</option>\r\n</select></label>\r\n"
              "<select hidden name=\"k\">\r\n<option selected>Empty</option>\r\n</select>\r\n"
              "<button type=\"submit\">Find</button></form></li>\r\n"
              "<li><form name=\"\" action=\"\" method=\"get\">\r\n"
              "<label>Field<input name=\"\"></label>\r\n"
              "<button type=\"submit\">Go</button></form></li>\r\n");
}

TEST(ModernPage, AtMostAFifthLargerThanClassicForTheSampleAndALargeProject)
{
    CProject sample;
    BuildDefaultProject(sample);
    EXPECT_LE(Modern(sample).size() * 5, GeneratedPage(sample).size() * 6)
        << Modern(sample).size() << " against " << GeneratedPage(sample).size();

    std::mt19937 random(5);
    CProject project;
    RandomProjectOptions options;
    options.keptChunks = false;
    for (int i = 0; i < 40; ++i)
        BuildRandomProject(project, random, options);
    std::size_t classic = GeneratedPage(project).size();
    std::size_t modern = Modern(project).size();
    EXPECT_GT(classic, 50000u);
    EXPECT_LE(modern * 5, classic * 6) << modern << " against " << classic;
}

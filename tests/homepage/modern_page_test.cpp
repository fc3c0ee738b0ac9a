#include "homepage/modern_page.h"
#include "homepage/page_writer.h"
#include "homepage/shown_text.h"
#include "icons/test_images.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/link_icon.h"
#include "model/project.h"
#include "persist/text.h"
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

// The header's script element: the search box's, with the web search's and the tabs' parts.
std::string Script(const std::string& page)
{
    std::size_t start = page.find("<script><!--\r\n"), end = page.find("--></script>\r\n");
    if (start == std::string::npos || end == std::string::npos) return std::string();
    return page.substr(start, end + 14 - start);
}

// The body without that script.
std::string BodyWithoutScript(const std::string& page)
{
    std::string body = Body(page);
    std::string script = Script(page);
    std::size_t at = body.find(script);
    return script.empty() || at == std::string::npos ? body : body.erase(at, script.size());
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
    EXPECT_EQ(BodyWithoutScript(page),
              "<header><h1>New project</h1>\r\n</header>\r\n<main>\r\n"
              "<section class=\"col\">\r\n<h2>New Column</h2>\r\n"
              "<section class=\"grp\">\r\n<h3>Search</h3>\r\n<ul>\r\n"
              "<li><form class=\"w\" name=\"Google\" action=\"https://www.google.com/search\" "
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
    project.title = L"T";
    CGroup* group = OneGroup(project);
    CItemLink* link = new CItemLink(*group, L"a", L"http://a/");
    std::string plain = Modern(project);
    EXPECT_EQ(plain.find("<script>\r\n"), std::string::npos);
    for (const char* part :
         {"li a~a", ".tip{", "input,select,button", "::placeholder", "img[", ".vh{", ".tab{",
          "role=\"tablist\"", "form.w", "L.onkeydown", "content-visibility"})
        EXPECT_EQ(plain.find(part), std::string::npos) << part;
    // Every page has the search box.
    EXPECT_NE(Script(plain).find("Search links"), std::string::npos);
    EXPECT_NE(plain.find("::highlight(q)"), std::string::npos);

    link->AddLink(L"b", L"http://b/");
    EXPECT_NE(Modern(project).find("li a~a{"), std::string::npos);
    EXPECT_EQ(Modern(project).find("<script>\r\n"), std::string::npos);

    // A form whose visible fields have no value needs its style but no script; it is no search
    // form, having two visible fields.
    CItemForm* form = new CItemForm(*group);
    form->AddField(0, L"q", L"", -1);
    form->AddField(0, L"h", L"", -1);
    std::string page = Modern(project);
    EXPECT_NE(page.find("input,select,button"), std::string::npos);
    EXPECT_EQ(page.find("<script>\r\n"), std::string::npos);
    EXPECT_EQ(page.find("::placeholder"), std::string::npos);
    EXPECT_EQ(page.find("form.w"), std::string::npos);

    // One visible text field sent with GET: the search box sends it.
    form->fields.back()->hidden = true;
    page = Modern(project);
    EXPECT_NE(Script(page).find("form.w"), std::string::npos);
    EXPECT_NE(page.find("<form class=\"w\" name"), std::string::npos);
    form->method = 1;
    EXPECT_EQ(Modern(project).find("form.w"), std::string::npos) << "posted";
    form->method = 0;

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

    // Tabs bring their style, bar and script; a blank tab is none.
    project.columns[0]->tab = L" ";
    EXPECT_EQ(Modern(project).find(".tab{"), std::string::npos);
    project.columns[0]->tab = L"T";
    page = Modern(project);
    EXPECT_NE(page.find(".tab{"), std::string::npos);
    EXPECT_NE(Script(page).find("L.onkeydown"), std::string::npos);

    // A large project carries every part without a look at its items, and its groups are laid
    // out as they come into the window.
    CProject large;
    CGroup* many = OneGroup(large);
    for (int i = 0; i < 1000; ++i)
        new CItemLink(*many, L"a", L"http://a/");
    EXPECT_EQ(Modern(large).find("<script>\r\n"), std::string::npos);
    EXPECT_EQ(Modern(large).find("content-visibility"), std::string::npos);
    new CItemLink(*many, L"a", L"http://a/");
    page = Modern(large);
    for (const char* part : {"li a~a", ".tip{", "input,select,button", "::placeholder", "img[",
                             "'Escape'", "defaultValue", "form.w", "content-visibility"})
        EXPECT_NE(page.find(part), std::string::npos) << part;
    EXPECT_EQ(page.find(".tab{"), std::string::npos);
}

TEST(ModernPage, TheScriptInTheBodyHidesFromTheImportAndEndsOnlyAtItsEnd)
{
    CProject project;
    AddEveryPart(project);
    project.columns[0]->tab = L"T";
    std::string script = Script(Modern(project));
    ASSERT_NE(script.find("L.onkeydown"), std::string::npos);
    // In an HTML comment: "-->" only at its end, and nothing that would start another script.
    EXPECT_EQ(script.find("-->"), script.size() - 14);
    EXPECT_EQ(script.find("<!--", 1), 8u);
    EXPECT_EQ(script.find("<script", 1), std::string::npos);
    EXPECT_EQ(script.find("</script"), script.size() - 11);
}

TEST(ModernPage, ABlankTitleGetsAStandInHeadingAndEmptyCaptionsNone)
{
    CProject project;
    CColumn* column = new CColumn(project, L"");
    new CGroup(*column, L"");
    std::string page = Modern(project);
    EXPECT_NE(page.find("<title>Quillomere</title>"), std::string::npos);
    EXPECT_NE(page.find(".vh{position:absolute"), std::string::npos);
    EXPECT_EQ(BodyWithoutScript(page),
              "<header><h1 class=\"vh\">Quillomere</h1>\r\n</header>\r\n<main>\r\n"
              "<section class=\"col\">\r\n"
              "<section class=\"grp\">\r\n</section>\r\n</section>\r\n"
              "</main>\r\n</body>\r\n</html>\r\n");
    // A title that shows no text is kept out of sight, the stand-in after it.
    project.title = L" <i> </i> ";
    EXPECT_NE(Body(Modern(project))
                  .find("<header><h1 hidden> <i> </i> </h1>"
                        "<h1 class=\"vh\">Quillomere</h1>"),
              std::string::npos);
}

TEST(ModernPage, HeadingLevelsNeverSkipAndTextlessOrRepeatedOnesStayOutOfSight)
{
    CProject project;
    project.title = L"T";
    CColumn* captioned = new CColumn(project, L"Work");
    new CGroup(*captioned, L"Work"); // says what its column says
    new CGroup(*captioned, L"Mail");
    new CGroup(*captioned, L"<b> </b>");
    CColumn* bare = new CColumn(project, L"");
    new CGroup(*bare, L"News");
    CColumn* blank = new CColumn(project, L"&nbsp; ");
    new CGroup(*blank, L"Radio");
    EXPECT_EQ(BodyWithoutScript(Modern(project)),
              "<header><h1>T</h1>\r\n</header>\r\n<main>\r\n"
              "<section class=\"col\">\r\n<h2>Work</h2>\r\n"
              "<section class=\"grp\">\r\n<h3 class=\"vh\">Work</h3>\r\n</section>\r\n"
              "<section class=\"grp\">\r\n<h3>Mail</h3>\r\n</section>\r\n"
              "<section class=\"grp\">\r\n<h3 hidden><b> </b></h3>\r\n</section>\r\n"
              "</section>\r\n"
              "<section class=\"col\">\r\n"
              "<section class=\"grp\">\r\n<h2>News</h2>\r\n</section>\r\n</section>\r\n"
              "<section class=\"col\">\r\n<h2 hidden>&nbsp; </h2>\r\n"
              "<section class=\"grp\">\r\n<h2>Radio</h2>\r\n</section>\r\n</section>\r\n"
              "</main>\r\n</body>\r\n</html>\r\n");
}

TEST(ModernPage, ACaptionThatShowsNoTextIsFollowedByItsAddress)
{
    CProject project;
    CGroup* group = OneGroup(project);
    for (const wchar_t* caption : {L"", L" \t", L"<b></b>", L"<img src=\"x.png\">"})
        new CItemLink(*group, caption, L"https://www.example.com/a/b?c#d");
    new CItemLink(*group, L"<img src=\"x.png\" alt=\"Logo\">", L"https://x/");
    CItemLink* further = new CItemLink(*group, L"Main", L"mailto:a@example.org");
    further->links.Append(new CItemLink::CLink(L"", L""));
    further->links.Append(new CItemLink::CLink(L"&#160;", L"page.html"));
    CItemLink* icon = new CItemLink(*group, L"", L"https://icon.example/");
    icon->icon = CLinkIcon::FromBytes(MakePng(16, 0x336699));
    std::string items = OnlyItem(project);
    const char* expected[] = {
        "<li><a href=\"https://www.example.com/a/b?c#d\" class=\"u\">www.example.com/a/b</a>",
        "<li><a href=\"https://www.example.com/a/b?c#d\" class=\"u\"> \twww.example.com/a/b</a>",
        "<li><a href=\"https://www.example.com/a/b?c#d\" class=\"u\"><b></b>www.example.com/a/b",
        "class=\"u\"><img src=\"x.png\">www.example.com/a/b</a>",
        "<li><a href=\"https://x/\"><img src=\"x.png\" alt=\"Logo\"></a>",
        "<a href=\"mailto:a@example.org\">Main</a><a href=\"\" class=\"u\">Link</a>"
        "<a href=\"page.html\" class=\"u\">&#160;page.html</a>",
        "<a href=\"https://icon.example/\" class=\"u\"><img src=\"data:",
    };
    for (const char* each : expected)
        EXPECT_NE(items.find(each), std::string::npos) << each << "\n" << items;
    EXPECT_NE(items.find("alt=\"\">icon.example</a>"), std::string::npos);
}

TEST(ModernPage, TabsGroupTheirColumnsInSectionsNamedByABar)
{
    CProject project;
    project.title = L"T";
    const wchar_t* tabs[] = {L"", L"Work", L" Work ", L"A & <b>", L"", L"Work"};
    for (const wchar_t* tab : tabs)
        (new CColumn(project, L"C"))->tab = tab;
    std::string page = Modern(project);
    EXPECT_NE(page.find(".s :is(#t1,#t3) li::after{content:\"Work\"}"
                        ".s :is(#t2) li::after{content:\"A & \\3c b\\3e \"}\r\n"),
              std::string::npos);
    EXPECT_NE(page.find("<div role=\"tablist\" aria-label=\"Tabs\" hidden>"
                        "<button role=\"tab\" id=\"tab1\" aria-controls=\"t1 t3\" "
                        "value=\"#t1,#t3\">Work</button>"
                        "<button role=\"tab\" id=\"tab2\" aria-controls=\"t2\" "
                        "value=\"#t2\">A &amp; &lt;b&gt;</button></div>\r\n"),
              std::string::npos);
    const std::string column = "<section class=\"col\">\r\n<h2>C</h2>\r\n</section>\r\n";
    const std::string inTab = "<section class=\"col\">\r\n<h3>C</h3>\r\n</section>\r\n";
    EXPECT_EQ(Body(page).substr(Body(page).find("<main>")),
              "<main>\r\n" + column +
                  "<section class=\"tab\" id=\"t1\" role=\"tabpanel\" aria-labelledby=\"tab1\">"
                  "\r\n<h2>Work</h2>\r\n" +
                  inTab + inTab + "</section>\r\n" +
                  "<section class=\"tab\" id=\"t2\" role=\"tabpanel\" aria-labelledby=\"tab2\">"
                  "\r\n<h2>A &amp; &lt;b&gt;</h2>\r\n" +
                  inTab + "</section>\r\n" + column +
                  "<section class=\"tab\" id=\"t3\" role=\"tabpanel\" aria-labelledby=\"tab1\">"
                  "\r\n<h2>Work</h2>\r\n" +
                  inTab + "</section>\r\n</main>\r\n</body>\r\n</html>\r\n");

    // The Classic page knows no tabs.
    std::string classic = GeneratedPage(project);
    for (CColumn* each : project.columns)
        each->tab.clear();
    EXPECT_EQ(GeneratedPage(project), classic);
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
              "<li><form class=\"w\" name=\"\" action=\"\" method=\"get\">\r\n"
              "<label>Field<input name=\"\"></label>\r\n"
              "<button type=\"submit\">Go</button></form></li>\r\n");
}

// The search box's code and style come to at most 3 KB; the tabs' part, only on pages with tabs,
// comes on top. A large project's page stays at most a fifth larger than its Classic page.
TEST(ModernPage, TheSearchBoxAddsAtMost3KBAndALargePageAFifth)
{
    CProject sample;
    BuildDefaultProject(sample);
    std::string page = Modern(sample);
    std::string style = Between(page, "<style>", "</style>");
    std::string search = style.substr(style.find("[role=search]"));
    search = search.substr(0, search.find("\r\n") + 2);
    EXPECT_NE(Script(page).find("form.w"), std::string::npos);
    EXPECT_LE(Script(page).size() + search.size(), 3072u);

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

TEST(ShownText, TagsAndNoBreakSpacesShowNoTextImagesWithAltTextAndReferencesDo)
{
    for (const wchar_t* blank :
         {L"", L" \t\r\n", L"<b></b>", L"<span> </span>&nbsp;", L"&#160;", L"&#xA0;",
          L"<img src=\"x.png\">", L"<img alt=\"\" src=x>", L"<img alt = ' '>", L"<br/>\u00A0"})
        EXPECT_FALSE(ShowsText(blank)) << blank;
    for (const wchar_t* shown : {L"a", L" <b>x</b> ", L"&amp;", L"&#65;", L"<img alt=\"Logo\">",
                                 L"<IMG src=x ALT=Logo>", L"a <", L"&", L"\u4E2D"})
        EXPECT_TRUE(ShowsText(shown)) << shown;
    EXPECT_EQ(HostAndPath(L"HTTPS://Www.Example.com"), L"Www.Example.com");
    EXPECT_EQ(HostAndPath(L"ftp://host/dir/"), L"host/dir");
    EXPECT_EQ(HostAndPath(L"//cdn.example/x?y"), L"cdn.example/x");
    EXPECT_EQ(HostAndPath(L"?only=query"), L"?only=query");
    EXPECT_EQ(HostAndPath(L"javascript:void(0)"), L"void(0)");
    EXPECT_EQ(UnescapeText(FromUtf8(EscapeText(L"a & <b> &amp; \u00E9"))), L"a & <b> &amp; \u00E9");
}

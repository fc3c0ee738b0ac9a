#include "homepage/form_markup.h"
#include "homepage/link_markup.h"
#include "homepage/page_writer.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "services/default_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The fixed pieces of a page, typed out again here so that a slip in either copy shows.
const std::string kOpening = "<html>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
                             "charset=utf-8\">\r\n<head>\r\n<title>";

const std::string kScriptBefore =
    "</title>\r\n<script>\r\n\r\nfunction objGet(x)\r\n{\r\n\tif "
    "(Boolean(document.getElementById)) return document.getElementById(x);\r\n\telse if "
    "(Boolean(document.ids)) return eval('document.ids.'+x);\r\n\telse if "
    "(Boolean(document.all)) return eval('document.all.'+x);\r\n\telse return "
    "null;\r\n}\r\n\r\nfunction pshow(ids)\r\n{\r\n\tvar elpop = "
    "objGet(ids);\r\n\telpop.style.pixelLeft = event.clientX + 32;\r\n\telpop.style.pixelTop  = "
    "event.clientY - 120;\r\n";
const std::string kScriptFix = "\telpop.style.left = (event.clientX + 32) + \"px\";\r\n"
                               "\telpop.style.top = (event.clientY - 120) + \"px\";\r\n";
const std::string kScriptAfter =
    "\telpop.style.display = \"block\";\r\n}\r\n\r\nfunction phide(ids)\r\n{\r\n\tvar elpop = "
    "objGet(ids);\r\n\telpop.style.display = \"none\";\r\n}\r\n\r\n</script>\r\n\r\n";

const std::string kTableStart = "</head>\r\n<body>\r\n<table width=\"100%\" border=1 "
                                "cellpadding=3 cellspacing=0>\r\n<tr>\r\n";
const std::string kRowBreak = "</tr>\r\n<tr>\r\n";
const std::string kTableEnd = "</tr>\r\n</table>\r\n\r\n";

const std::string kGroupStart = "<table class=\"Group\" width=\"100%\" border=0 "
                                "bgcolor=\"#ffffcf\" cellspacing=0 cellpadding=3>\r\n<tr "
                                "bgcolor=\"cyan\">\r\n<th class=\"GroupCaption\">";
const std::string kGroupCaptionEnd = "</th>\r\n</tr>\r\n";
const std::string kItemStart = "<tr>\r\n<td class=\"Item\">";
const std::string kItemEnd = "</td>\r\n</tr>\r\n";

std::string Head(const std::string& title)
{
    return kOpening + title + kScriptBefore + kScriptFix + kScriptAfter + kTableStart;
}

std::string Page(const CProject& project)
{
    CRecordingStream stream;
    WritePage(project, stream);
    return stream.bytes;
}

std::string Group(const std::string& caption, const std::string& items)
{
    return kGroupStart + caption + kGroupCaptionEnd + items + "</table>";
}

std::string Item(const std::string& markup)
{
    return kItemStart + markup + kItemEnd;
}

std::string PopupBlock(int id, const std::string& content)
{
    return "<div id=\"quillomere_popup" + std::to_string(id) +
           "\" style=\"display: none; POSITION: absolute; \">\r\n<table style=\"border: solid 1pt; "
           "background: #e4e0d8; border-color: #fcf8f0 #7f7f7f #7f7f7f #fcf8f0\" "
           "cellpadding=0>\r\n<tr> <td style=\"padding: 0pt; border: solid 1pt; border-color: "
           "#7f7f7f #fcf8f0 #e4e0d8 #7f7f7f; vertical-align: center; font: 100% Arial, arial ce\" "
           "valign=\"center\">\r\n" +
           content + "</td> </tr>\r\n</table>\r\n</div>";
}

std::string LinkMarkup(const CItemLink& item)
{
    CRecordingStream stream;
    item.WriteHtml(stream);
    return stream.bytes;
}

std::string FormMarkup(const CItemForm& form)
{
    CRecordingStream stream;
    form.WriteHtml(stream);
    return stream.bytes;
}

struct Fixture
{
    CProject project;
    CColumn* column = new CColumn(project, L"C");
    CGroup* group = new CGroup(*column, L"G");
};

} // namespace

TEST(PageWriter, FixedPiecesHaveTheirDocumentedLengths)
{
    EXPECT_EQ(kOpening.size(), 92u);
    EXPECT_EQ((kScriptBefore + kScriptAfter).size(), 560u);
}

TEST(PageWriter, EmptyProjectIsTheBareFrame)
{
    CProject project;
    EXPECT_EQ(Page(project), Head("") + kRowBreak + kTableEnd + "</html>");
}

TEST(PageWriter, ColumnsGiveHeaderCellsAndBodyCells)
{
    CProject project;
    project.title = L"T";
    new CColumn(project, L"One");
    CColumn* two = new CColumn(project, L"Two");
    new CGroup(*two, L"A");
    new CGroup(*two, L"B");
    std::string expected = Head("T") + "\t<th>One</th>\r\n\t<th>Two</th>\r\n" + kRowBreak +
                           "\t<td valign=\"top\">\t</td>\r\n" + "\t<td valign=\"top\">" +
                           Group("A", "") + "<br />\r\n" + Group("B", "") + "\t</td>\r\n" +
                           kTableEnd + "</html>";
    EXPECT_EQ(Page(project), expected);
}

TEST(PageWriter, CompletePageWithLinksPopupsAndForms)
{
    CProject project;
    project.title = L"Home";
    CColumn* column = new CColumn(project, L"Col");
    CGroup* group = new CGroup(*column, L"Grp");
    CItemLink* plain = new CItemLink(*group, L"a", L"http://a");
    CItemLink* withPopup = new CItemLink(*group, L"b", L"http://b");
    CItemForm* form = new CItemForm(*group);
    form->name = L"f";
    form->AddField(0, L"q", L"", 20);
    withPopup->SetPopupContent(L"pop <b>up</b>");
    int id = withPopup->popup->id;
    (void)plain;
    std::string span = "<span onmouseout=\"phide('quillomere_popup" + std::to_string(id) +
                       "');\" onmouseover=\"pshow('quillomere_popup" + std::to_string(id) +
                       "');\">\r\n";
    std::string expected =
        Head("Home") + "\t<th>Col</th>\r\n" + kRowBreak + "\t<td valign=\"top\">" +
        Group("Grp", Item("<a class=\"Item\" href=\"http://a\">a</a>") +
                         Item(span + "<a class=\"Item\" href=\"http://b\">b</a></span>\r\n") +
                         Item("<form name=\"f\" action=\"\" method=\"get\">\r\n<input size=20 "
                              "name=\"q\" /></form>\r\n")) +
        "\t</td>\r\n" + kTableEnd + PopupBlock(id, "pop <b>up</b>") + "</html>";
    EXPECT_EQ(Page(project), expected);
}

TEST(PageWriter, EachPieceIsItsOwnWrite)
{
    CProject project;
    project.title = L"Title";
    new CColumn(project, L"Caption");
    CRecordingStream stream;
    WritePage(project, stream);
    ASSERT_GE(stream.pieces.size(), 6u);
    EXPECT_EQ(stream.pieces[0], kOpening);
    EXPECT_EQ(stream.pieces[1], "Title");
    EXPECT_EQ(stream.pieces[2], kScriptBefore + kScriptFix + kScriptAfter);
    EXPECT_EQ(stream.pieces[3], kTableStart);
    EXPECT_EQ(stream.pieces[4], "\t<th>");
    EXPECT_EQ(stream.pieces[5], "Caption");
    EXPECT_EQ(stream.pieces.back(), "</html>");
}

TEST(PageWriter, ModelTextIsWrittenAsUtf8WithoutEscaping)
{
    CProject project;
    project.title = L"P\u0159\u00EDli\u0161 \u017Elu\u0165ou\u010Dk\u00FD";
    new CColumn(project, L"A & B <i>c</i> \"d\" > e");
    std::string page = Page(project);
    EXPECT_NE(page.find("<title>P\xC5\x99\xC3\xADli\xC5\xA1 \xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD"
                        "</title>"),
              std::string::npos);
    EXPECT_NE(page.find("\t<th>A & B <i>c</i> \"d\" > e</th>\r\n"), std::string::npos);
}

TEST(PageWriter, PopupBlocksFollowTheTreeNotTheirNumbers)
{
    Fixture f;
    CItemLink* first = new CItemLink(*f.group, L"first", L"u1");
    CItemLink* second = new CItemLink(*f.group, L"second", L"u2");
    new CItemForm(*f.group);
    new CItemLink(*f.group, L"no popup", L"u3");
    second->SetPopupContent(L"B");
    first->SetPopupContent(L"A");
    ASSERT_LT(second->popup->id, first->popup->id);
    std::string page = Page(f.project);
    std::string blocks = PopupBlock(first->popup->id, "A") + PopupBlock(second->popup->id, "B");
    EXPECT_EQ(page.substr(page.size() - blocks.size() - 7), blocks + "</html>");
    EXPECT_NE(page.find("pshow('quillomere_popup" + std::to_string(first->popup->id) + "')"),
              std::string::npos);
}

TEST(PageWriter, GeneratingTwiceGivesIdenticalBytes)
{
    CProject project;
    BuildDefaultProject(project);
    CGroup* group = project.columns[0]->groups[1];
    static_cast<CItemLink*>(group->items[0])->SetPopupContent(L"hello");
    EXPECT_EQ(Page(project), Page(project));
}

TEST(LinkMarkup, EmptyLinkStillWritesItsAnchor)
{
    Fixture f;
    CItemLink* item = new CItemLink(*f.group);
    EXPECT_EQ(LinkMarkup(*item), "<a class=\"Item\" href=\"\"></a>");
}

TEST(LinkMarkup, DividerStandsBeforeEachFurtherLinkOnly)
{
    Fixture f;
    CItemLink* item = new CItemLink(*f.group, L"One", L"u1");
    item->divider = L" | ";
    item->AddLink(L"Two", L"u2");
    item->AddLink(L"Three", L"u3");
    EXPECT_EQ(LinkMarkup(*item), "<a class=\"Item\" href=\"u1\">One</a> | <a class=\"Item\" "
                                 "href=\"u2\">Two</a> | <a class=\"Item\" href=\"u3\">Three</a>");
    item->divider.clear();
    EXPECT_EQ(LinkMarkup(*item), "<a class=\"Item\" href=\"u1\">One</a><a class=\"Item\" "
                                 "href=\"u2\">Two</a><a class=\"Item\" href=\"u3\">Three</a>");
}

TEST(LinkMarkup, PopupSpanAndBlockShareTheElementId)
{
    Fixture f;
    CItemLink* item = new CItemLink(*f.group, L"x", L"u");
    item->SetPopupContent(L"a<br />b");
    const CPopup& popup = *item->popup;
    std::string id = "quillomere_popup" + std::to_string(popup.id);
    EXPECT_EQ(PopupElementId(popup), id);
    EXPECT_EQ(LinkMarkup(*item), "<span onmouseout=\"phide('" + id + "');\" onmouseover=\"pshow('" +
                                     id +
                                     "');\">\r\n<a class=\"Item\" href=\"u\">x</a></span>\r\n");
    CRecordingStream block;
    WritePopupBlock(block, popup);
    EXPECT_EQ(block.bytes, PopupBlock(popup.id, "a<br />b"));
}

TEST(LinkMarkup, GroupWithoutItems)
{
    Fixture f;
    CRecordingStream stream;
    WriteGroup(stream, *f.group);
    EXPECT_EQ(stream.bytes, Group("G", ""));
}

TEST(FormMarkup, SearchFormOfTheExample)
{
    Fixture f;
    CItemForm* form = new CItemForm(*f.group);
    form->name = L"Search";
    form->AddField(0, L"q", L"x", -1);
    EXPECT_EQ(FormMarkup(*form), "<form name=\"Search\" action=\"\" method=\"get\">\r\n<input "
                                 "name=\"q\" value=\"x\" /></form>\r\n");
    form->method = 2;
    EXPECT_NE(FormMarkup(*form).find("method=\"post\""), std::string::npos);
}

TEST(FormMarkup, InputsHiddenSizedAndBackToBack)
{
    Fixture f;
    CItemForm* form = new CItemForm(*f.group);
    form->action = L"http://s";
    form->method = 1;
    form->AddField(0, L"a", L"", 0)->hidden = true;
    form->AddField(0, L"b", L"v", 20);
    form->AddField(2, L"ignored", L"v", 5);
    form->AddField(0, L"c", L"", -3);
    EXPECT_EQ(FormMarkup(*form), "<form name=\"\" action=\"http://s\" method=\"post\">\r\n"
                                 "<input type=\"hidden\" name=\"a\" />"
                                 "<input size=20 name=\"b\" value=\"v\" />"
                                 "<input name=\"c\" /></form>\r\n");
}

TEST(FormMarkup, SelectMarksTheOptionsWhoseValueMatches)
{
    Fixture f;
    CItemForm* form = new CItemForm(*f.group);
    CItemForm::CField* select = form->AddField(1, L"s", L"1", 30);
    select->AddOption(L"One", L"1");
    select->AddOption(L"Two", L"Two");
    select->AddOption(L"Three", L"");
    CRecordingStream stream;
    WriteField(stream, *select);
    EXPECT_EQ(stream.bytes, "<select name=\"s\" value=\"1\">\r\n"
                            "\t<option value=\"1\" selected>One</option>\r\n"
                            "\t<option>Two</option>\r\n"
                            "\t<option>Three</option>\r\n"
                            "</select>\r\n");
    // An empty field value selects every option with an empty value; a hidden select says so.
    select->value.clear();
    select->hidden = true;
    CRecordingStream empty;
    WriteField(empty, *select);
    EXPECT_EQ(empty.bytes, "<select type=\"hidden\" name=\"s\">\r\n"
                           "\t<option value=\"1\">One</option>\r\n"
                           "\t<option>Two</option>\r\n"
                           "\t<option selected>Three</option>\r\n"
                           "</select>\r\n");
    // Comparisons are exact: case matters, and no option matches a stray value.
    select->value = L"two";
    CRecordingStream none;
    WriteField(none, *select);
    EXPECT_EQ(none.bytes.find("selected"), std::string::npos);
}

TEST(FormMarkup, OptionsOnAnInputReachThePageOnlyAsASelect)
{
    Fixture f;
    CItemForm* form = new CItemForm(*f.group);
    CItemForm::CField* field = form->AddField(0, L"q", L"", -1);
    field->AddOption(L"One", L"One");
    EXPECT_EQ(FormMarkup(*form).find("option"), std::string::npos);
    field->type = 1;
    EXPECT_NE(FormMarkup(*form).find("\t<option>One</option>"), std::string::npos);
}

TEST(FormatNarrow, FormatsShortAndLongTexts)
{
    std::string text = "old";
    FormatNarrow(text, "size=%d ", 20);
    EXPECT_EQ(text, "size=20 ");
    FormatNarrowAppend(text, "%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(text, "size=20 " + std::string(5000, 'x'));
}

TEST(DefaultProject, SampleHasTwoColumnsASearchFormAndTwoLinks)
{
    CProject project;
    BuildDefaultProject(project);
    EXPECT_EQ(project.title, L"New project");
    ASSERT_EQ(project.columns.size(), 2u);
    CColumn* first = project.columns[0];
    EXPECT_EQ(first->caption, L"New Column");
    EXPECT_EQ(project.columns[1]->caption, L"Another column");
    EXPECT_TRUE(project.columns[1]->groups.empty());
    ASSERT_EQ(first->groups.size(), 2u);
    EXPECT_EQ(first->groups[0]->caption, L"Search");
    EXPECT_EQ(first->groups[1]->caption, L"Example group");
    ASSERT_EQ(first->groups[1]->items.size(), 2u);
    EXPECT_EQ(first->groups[1]->items[1]->GetLabel(), L"Quillomere");
    const auto* link = static_cast<const CItemLink*>(first->groups[1]->items[0]);
    EXPECT_EQ(link->mainLink.url.compare(0, 8, L"https://"), 0);
    std::string page = Page(project);
    EXPECT_NE(page.find("method=\"get\">\r\n<input name=\"q\" value=\"google search\" />"),
              std::string::npos);
    EXPECT_NE(page.find("<form name=\"Google\" action=\"https://"), std::string::npos);
    EXPECT_NE(page.find("\t<th>New Column</th>\r\n\t<th>Another column</th>\r\n"),
              std::string::npos);
}

// Finding text in the project: every kind of text, case folding in several scripts, wrapping
// and both directions.
#include "edit/project_finder.h"

#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FinderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        project.title = L"title-text";
        work = new CColumn(project, L"column-text");
        mail = new CGroup(*work, L"group-text");
        inbox = new CItemLink(*mail, L"main-caption", L"https://main-url/");
        inbox->divider = L"divider-text";
        inbox->SetPopupContent(L"popup-text");
        further = inbox->AddLink(L"further-caption", L"https://further-url/");
        form = new CItemForm(*mail);
        form->name = L"form-name";
        form->action = L"https://form-url/";
        field = form->AddField(1, L"field-name", L"field-value", -1);
        option = field->AddOption(L"option-text", L"option-value");
        other =
            new CColumn(project, L"\u03A3\u039F\u03A6\u0399\u0391 \u00C4rger \u041F\u0420\u0418");
    }

    // Finds from the start of the project.
    bool FindFirst(const std::wstring& text, CSite& found, bool matchCase = false)
    {
        return CProjectFinder(project, text, matchCase).Find(CSite(), true, true, found);
    }

    CProject project;
    CColumn* work = nullptr;
    CGroup* mail = nullptr;
    CItemLink* inbox = nullptr;
    CItemLink::CLink* further = nullptr;
    CItemForm* form = nullptr;
    CItemForm::CField* field = nullptr;
    CItemForm::COption* option = nullptr;
    CColumn* other = nullptr;
};

TEST_F(FinderTest, FindsEveryKindOfTextAtItsNodeAndRow)
{
    struct Case
    {
        const wchar_t* text;
        CStreamable* node;
        SitePart part;
        const void* row;
    };
    const Case cases[] = {
        {L"column-text", work, SitePart::Caption, nullptr},
        {L"group-text", mail, SitePart::Caption, nullptr},
        {L"main-caption", inbox, SitePart::MainCaption, nullptr},
        {L"main-url", inbox, SitePart::MainUrl, nullptr},
        {L"divider-text", inbox, SitePart::Divider, nullptr},
        {L"popup-text", inbox, SitePart::Popup, nullptr},
        {L"further-caption", inbox, SitePart::LinkCaption, further},
        {L"further-url", inbox, SitePart::LinkUrl, further},
        {L"form-name", form, SitePart::FormName, nullptr},
        {L"form-url", form, SitePart::FormAction, nullptr},
        {L"field-name", form, SitePart::FieldName, field},
        {L"field-value", form, SitePart::FieldValue, field},
        {L"option-text", form, SitePart::OptionText, option},
        {L"option-value", form, SitePart::OptionValue, option},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CSite found;
        ASSERT_TRUE(FindFirst(c.text, found));
        EXPECT_EQ(found.node, c.node);
        EXPECT_EQ(found.part, c.part);
        EXPECT_EQ(found.Row(), c.row);
    }
    CSite found;
    EXPECT_FALSE(FindFirst(L"title-text", found)); // the title is not searched
    EXPECT_FALSE(FindFirst(L"nowhere", found));
    EXPECT_FALSE(FindFirst(L"", found));
}

TEST_F(FinderTest, MatchesTextsAsThePageShowsThemAndAddressesAsABrowserReadsThem)
{
    auto* news = new CGroup(*work, L"News &amp; Weather");
    auto* att =
        new CItemLink(*news, L"AT&amp;T  <b>Business</b>", L"https://att.example/?a=1&amp;b=2");
    auto* escaped = new CItemLink(*news, L"&lt;b&gt;tag", L"https://escaped.example/");
    att->SetPopupContent(L"<i>Shop</i>&nbsp;now");
    field->value = L"x&amp;y";
    struct Case
    {
        const wchar_t* text;
        CStreamable* node;
        SitePart part;
    };
    const Case cases[] = {
        {L"News & Weather", news, SitePart::Caption},
        {L"AT&T Business", att, SitePart::MainCaption},
        {L"?a=1&b=2", att, SitePart::MainUrl},
        {L"Shop\u00A0now", att, SitePart::Popup},
        {L"<b>tag", escaped, SitePart::MainCaption},
        {L"x&y", form, SitePart::FieldValue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CSite found;
        ASSERT_TRUE(FindFirst(c.text, found));
        EXPECT_EQ(found.node, c.node);
        EXPECT_EQ(found.part, c.part);
    }
    // The markup itself is not what the page shows.
    CSite found;
    for (const wchar_t* markup : {L"&amp;", L"<b>Business", L"&lt;", L"<i>", L"T  <"})
        EXPECT_FALSE(FindFirst(markup, found)) << markup;
}

TEST_F(FinderTest, IgnoresCaseInEveryScriptUnlessAsked)
{
    CSite found;
    for (const wchar_t* text : {L"\u03C3\u03BF\u03C6\u03B9\u03B1", L"\u00E4RGER",
                                L"\u043F\u0440\u0438", L"COLUMN-TEXT", L"Main-Caption"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(FindFirst(text, found));
        EXPECT_FALSE(FindFirst(text, found, true));
    }
    EXPECT_TRUE(FindFirst(L"\u00C4rger", found, true));
    EXPECT_EQ(found.node, other);
    EXPECT_TRUE(FindFirst(L"main-caption", found, true));
}

TEST_F(FinderTest, GoesOnFromAPositionWrappingInBothDirections)
{
    // "-text" is in the column, group, divider, popup, option and the other column... and
    // "url" in the main link, the further link and the form.
    CProjectFinder finder(project, L"URL", false);
    CSite at;
    ASSERT_TRUE(finder.Find(CSite(), true, false, at));
    EXPECT_EQ(at.node, inbox);
    EXPECT_EQ(at.Row(), nullptr);
    ASSERT_TRUE(finder.Find(at, true, false, at));
    EXPECT_EQ(at.Row(), further);
    ASSERT_TRUE(finder.Find(at, true, false, at));
    EXPECT_EQ(at.node, form);
    // Past the last match: back to the first.
    ASSERT_TRUE(finder.Find(at, true, false, at));
    EXPECT_EQ(at.node, inbox);
    EXPECT_EQ(at.Row(), nullptr);
    // Backward from the first: the last.
    ASSERT_TRUE(finder.Find(at, false, false, at));
    EXPECT_EQ(at.node, form);
    ASSERT_TRUE(finder.Find(at, false, false, at));
    EXPECT_EQ(at.Row(), further);
    // At the position itself when it matches and the search includes it.
    ASSERT_TRUE(finder.Find(at, true, true, at));
    EXPECT_EQ(at.Row(), further);
    ASSERT_TRUE(finder.Find(at, false, true, at));
    EXPECT_EQ(at.Row(), further);
}

TEST_F(FinderTest, TheOnlyMatchIsFoundAgainFromItself)
{
    CProjectFinder finder(project, L"option-value", true);
    CSite at;
    ASSERT_TRUE(finder.Find(CSite(), false, false, at));
    EXPECT_EQ(at.option, option);
    CSite again;
    ASSERT_TRUE(finder.Find(at, true, false, again));
    EXPECT_EQ(again.option, option);
    ASSERT_TRUE(finder.Find(at, false, false, again));
    EXPECT_EQ(again.option, option);
    // A field stop and its option stop are different stops.
    CSite fieldStop = at;
    fieldStop.option = nullptr;
    ASSERT_TRUE(finder.Find(fieldStop, true, false, again));
    EXPECT_EQ(again.option, option);
}

} // namespace

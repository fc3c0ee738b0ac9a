#include "edit/project_changes.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "network/link_check_results.h"
#include "network/link_report.h"
#include "persist/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// One column of two groups: a link with a further link, a GET form, and links of every kind of
// result.
struct CheckedProject
{
    CProject project;
    CItemLink* home;
    CItemLink* gone;
    CItemForm* search;
    CItemLink* shop;

    CheckedProject()
    {
        auto* column = new CColumn(project, L"Daily");
        auto* news = new CGroup(*column, L"News");
        home = new CItemLink(*news, L"Home", L"http://home.test/");
        home->AddLink(L"Old", L"http://home.test/old");
        gone = new CItemLink(*news, L"Gone", L"http://gone.test/");
        search = new CItemForm(*news);
        search->name = L"search";
        search->action = L"http://search.test/";
        auto* shops = new CGroup(*column, L"Shops");
        shop = new CItemLink(*shops, L"Shop", L"http://shop.test/?a=1&amp;b=2");
        new CItemLink(*shops, L"Mail", L"mailto:me@home.test");
        new CItemLink(*shops, L"away", L"http://away.test/");
        project.modified = false;
    }
};

LinkOutcome Outcome(LinkResult result, int status, std::string final = std::string(),
                    std::string reason = std::string(), bool https = false)
{
    LinkOutcome outcome;
    outcome.result = result;
    outcome.status = status;
    outcome.finalUrl = std::move(final);
    outcome.reason = std::move(reason);
    outcome.httpsAvailable = https;
    return outcome;
}

std::vector<LinkOutcome> OutcomesFor(const LinkCheckPlan& plan,
                                     std::map<std::string, LinkOutcome> byAddress)
{
    std::vector<LinkOutcome> outcomes;
    for (const std::string& address : plan.addresses)
        outcomes.push_back(byAddress[address]);
    return outcomes;
}

std::vector<std::string> Column(const CLinkCheckResults& results, LinkColumn column)
{
    std::vector<std::string> texts;
    for (std::size_t row = 0; row < results.Count(); ++row)
        texts.push_back(results.Text(row, column));
    return texts;
}

class LinkCheckResultsTest : public ::testing::Test
{
protected:
    LinkCheckResultsTest()
        : plan(CollectLinkPlaces(sample.project)),
          outcomes(OutcomesFor(
              plan,
              {{"http://home.test/", Outcome(LinkResult::Ok, 200, "", "", true)},
               {"http://home.test/old", Outcome(LinkResult::Moved, 200, "http://home.test/new")},
               {"http://gone.test/", Outcome(LinkResult::NotFound, 404)},
               {"http://search.test/",
                Outcome(LinkResult::Redirected, 200, "http://search.test/today")},
               {"http://shop.test/?a=1&b=2",
                Outcome(LinkResult::CannotConnect, 0, "", "the connection was refused")},
               {"http://away.test/", Outcome(LinkResult::Moved, 200, "https://away.test/?x&y")}})),
          results(plan, outcomes)
    {
    }

    CheckedProject sample;
    LinkCheckPlan plan;
    std::vector<LinkOutcome> outcomes;
    CLinkCheckResults results;
};

} // namespace

TEST_F(LinkCheckResultsTest, ListsProblemsFirstWithEachPlacesTexts)
{
    EXPECT_EQ(Column(results, LinkColumn::Caption),
              (std::vector<std::string>{"Old", "away", "Gone", "Shop", "search", "Home", "Mail"}));
    EXPECT_EQ(Column(results, LinkColumn::Result),
              (std::vector<std::string>{"Moved", "Moved", "Not found (404)", "Cannot connect",
                                        "Redirected", "OK, https available", "Not checked"}));
    EXPECT_EQ(Column(results, LinkColumn::FinalOrReason),
              (std::vector<std::string>{"http://home.test/new", "https://away.test/?x&y", "",
                                        "The connection was refused", "http://search.test/today",
                                        "https answered too", "Not an http or https address"}));
    // The address as the project holds it, markup and all.
    EXPECT_EQ(results.Text(3, LinkColumn::Url), "http://shop.test/?a=1&amp;b=2");
    EXPECT_EQ(results.Text(0, LinkColumn::Where), "Daily / News");
    EXPECT_EQ(results.Text(3, LinkColumn::Where), "Daily / Shops");
    EXPECT_EQ(results.Summary().rfind("7 places", 0), 0u) << results.Summary();

    // Each place's site names the text that holds its address.
    for (std::size_t place = 0; place < plan.places.size(); ++place) {
        const std::wstring* text = TextOf(results.SiteOf(place));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(ToUtf8(*text), plan.UrlOf(plan.places[place]));
    }
    EXPECT_EQ(results.SiteOf(1).link, sample.home->links[0]);
    EXPECT_EQ(results.SiteOf(3).part, SitePart::FormAction);
}

TEST_F(LinkCheckResultsTest, SortsByAColumnAndReversesOnTheSecondClick)
{
    results.SortBy(LinkColumn::Caption);
    EXPECT_FALSE(results.Descending());
    // Letters of either case together.
    EXPECT_EQ(Column(results, LinkColumn::Caption),
              (std::vector<std::string>{"away", "Gone", "Home", "Mail", "Old", "search", "Shop"}));
    results.SortBy(LinkColumn::Caption);
    EXPECT_TRUE(results.Descending());
    EXPECT_EQ(Column(results, LinkColumn::Caption),
              (std::vector<std::string>{"Shop", "search", "Old", "Mail", "Home", "Gone", "away"}));
    // Another column starts ascending; equal texts keep page order.
    results.SortBy(LinkColumn::Where);
    EXPECT_FALSE(results.Descending());
    EXPECT_EQ(Column(results, LinkColumn::Caption),
              (std::vector<std::string>{"Home", "Old", "Gone", "search", "Shop", "Mail", "away"}));
    results.SortBy(LinkColumn::Result);
    results.SortBy(LinkColumn::Result);
    EXPECT_EQ(results.Text(0, LinkColumn::Result), "Not checked");
    EXPECT_EQ(results.RowOf(plan.places.size()), CLinkCheckResults::kNoRow);
    EXPECT_EQ(results.PlaceAt(results.RowOf(2)), 2u);
}

TEST_F(LinkCheckResultsTest, DeletedNodesDropOutAndReplacementsShowUntilUndone)
{
    CProjectChanges changes(sample.project);
    changes.RemoveNode(kNodeItem, sample.gone);
    results.Refresh(sample.project);
    EXPECT_EQ(results.Count(), 6u);
    EXPECT_EQ(results.RowOf(2), CLinkCheckResults::kNoRow);

    // What the window does for "Replace moved links", with https.
    std::vector<LinkFix> fixes = results.Fixes(sample.project, true);
    ASSERT_EQ(fixes.size(), 3u); // Old, Home to https, away
    EXPECT_TRUE(results.CanFix(true));
    {
        CStepScope step(changes, L"replace moved links");
        for (const LinkFix& fix : fixes)
            changes.SetText(results.SiteOf(fix.place), fix.to);
    }
    results.NoteReplaced(fixes);
    results.Refresh(sample.project);
    EXPECT_EQ(sample.home->links[0]->url, L"http://home.test/new");
    EXPECT_EQ(sample.home->mainLink.url, L"https://home.test/");
    EXPECT_EQ(plan.places[6].caption, "away");
    EXPECT_EQ(results.Text(results.RowOf(6), LinkColumn::Url), "https://away.test/?x&amp;y");
    EXPECT_EQ(results.Text(results.RowOf(6), LinkColumn::Result), "Replaced");
    EXPECT_EQ(results.Text(results.RowOf(6), LinkColumn::FinalOrReason), "was http://away.test/");
    EXPECT_TRUE(results.Fixes(sample.project, true).empty());
    EXPECT_FALSE(results.CanFix(true));
    // Replaced places come after the problems.
    EXPECT_EQ(Column(results, LinkColumn::Result),
              (std::vector<std::string>{"Cannot connect", "Replaced", "Replaced", "Replaced",
                                        "Redirected", "Not checked"}));

    ASSERT_TRUE(changes.Undo()); // the replacement
    ASSERT_TRUE(changes.Undo()); // the delete
    results.Refresh(sample.project);
    EXPECT_EQ(results.Count(), 7u);
    EXPECT_EQ(results.Text(0, LinkColumn::Result), "Moved");
    EXPECT_EQ(results.Text(results.RowOf(6), LinkColumn::Url), "http://away.test/");
    EXPECT_EQ(results.Fixes(sample.project, false).size(), 2u);
    EXPECT_TRUE(results.CanFix(false));
}

TEST(LinkCheckResultsText, CaptionsAndPlacesReadAsThePageShowsThem)
{
    CProject project;
    auto* column = new CColumn(project, L"<b>Daily</b>");
    auto* group = new CGroup(*column, L"News &amp; Weather");
    new CItemLink(*group, L"AT&amp;T &lt;b&gt;", L"http://att.test/");
    new CItemLink(*group, L" <i></i> ", L"http://user@blank.test/a/?q#f");
    const LinkCheckPlan plan = CollectLinkPlaces(project);
    const std::vector<LinkOutcome> outcomes(plan.addresses.size(), Outcome(LinkResult::Ok, 200));
    CLinkCheckResults results(plan, outcomes);
    results.SortBy(LinkColumn::Caption);
    EXPECT_EQ(Column(results, LinkColumn::Caption),
              (std::vector<std::string>{"AT&T <b>", "blank.test/a"}));
    EXPECT_EQ(results.Text(0, LinkColumn::Where), "Daily / News & Weather");
}

TEST_F(LinkCheckResultsTest, TheSummaryCountsTheRowsAsTheyStandAfterDeletesReplacesAndUndo)
{
    const std::string atFirst =
        "7 places, 6 addresses: 1 OK, 2 Moved, 1 Redirected, 1 Not found, 1 Cannot connect; 1 "
        "not checked";
    EXPECT_EQ(results.Summary(), atFirst);
    EXPECT_EQ(results.Summary(), LinkCheckSummary(plan, outcomes)) << "the report's summary";

    CProjectChanges changes(sample.project);
    changes.RemoveNode(kNodeItem, sample.gone);
    results.Refresh(sample.project);
    EXPECT_EQ(
        results.Summary(),
        "6 places, 5 addresses: 1 OK, 2 Moved, 1 Redirected, 1 Cannot connect; 1 not checked");
    const std::vector<LinkFix> fixes = results.Fixes(sample.project, false);
    {
        CStepScope step(changes, L"replace moved links");
        for (const LinkFix& fix : fixes)
            changes.SetText(results.SiteOf(fix.place), fix.to);
    }
    results.NoteReplaced(fixes);
    results.Refresh(sample.project);
    EXPECT_EQ(results.Summary(),
              "6 places, 5 addresses: 1 OK, 1 Redirected, 1 Cannot connect, 2 Replaced; 1 not "
              "checked");
    ASSERT_TRUE(changes.Undo());
    ASSERT_TRUE(changes.Undo());
    results.Refresh(sample.project);
    EXPECT_EQ(results.Summary(), atFirst);
}

TEST_F(LinkCheckResultsTest,
       DeletingLinksTakesItemsOfMainLinksAndFormsAndFurtherLinksAloneInOneStep)
{
    CProjectChanges changes(sample.project);
    const std::string before = SaveToBytes(sample.project);
    CItemLink::CLink* old = sample.home->links[0];
    // Old (a further link), Gone (a main link), search (a form's address); Gone twice.
    EXPECT_EQ(results.DeleteLinks(changes, {1, 2, 3, 2}), 3u);
    CGroup& news = *sample.project.columns[0]->groups[0];
    ASSERT_EQ(news.items.size(), 1u);
    EXPECT_EQ(news.items[0], sample.home);
    EXPECT_TRUE(sample.home->links.empty());
    EXPECT_EQ(changes.UndoName(), L"delete links");
    results.Refresh(sample.project);
    EXPECT_EQ(results.Count(), 4u);
    EXPECT_EQ(results.Summary(),
              "4 places, 3 addresses: 1 OK, 1 Moved, 1 Cannot connect; 1 not checked");

    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(SaveToBytes(sample.project), before) << "one step brings every link back";
    EXPECT_EQ(sample.home->links[0], old);
    EXPECT_FALSE(changes.Undo()) << "and it was the only step";
    results.Refresh(sample.project);
    EXPECT_EQ(results.Count(), 7u);

    // A main link and a further link of the same item: the item goes, once.
    EXPECT_EQ(results.DeleteLinks(changes, {1, 0}), 2u);
    EXPECT_EQ(news.items.size(), 2u);
    ASSERT_TRUE(changes.Undo());
    // Places whose node is gone are left out; nothing left records nothing.
    changes.RemoveNode(kNodeItem, sample.gone);
    EXPECT_EQ(results.DeleteLinks(changes, {2, 99}), 0u);
    EXPECT_EQ(changes.UndoName(), L"delete");
}

TEST(LinkCheckResultsOffline, SaysOfflineOnlyWhenEveryAskedAddressFailedToResolveOrConnect)
{
    CProject project;
    auto* group = new CGroup(*new CColumn(project, L"Web"), L"Sites");
    new CItemLink(*group, L"a", L"http://a.invalid/");
    new CItemLink(*group, L"a again", L"http://a.invalid/");
    new CItemLink(*group, L"b", L"http://b.invalid/");
    new CItemLink(*group, L"mail", L"mailto:me@a.invalid");
    new CItemLink(*group, L"bad", L"http://exa mple.invalid/");
    const LinkCheckPlan plan = CollectLinkPlaces(project);
    ASSERT_EQ(plan.addresses.size(), 3u);
    std::vector<LinkOutcome> outcomes(3);
    for (LinkOutcome& outcome : outcomes) {
        outcome.result = LinkResult::CannotConnect;
        outcome.failure = HttpFailure::HostUnknown;
    }
    outcomes[1].failure = HttpFailure::Refused;
    outcomes[2].result = LinkResult::BadUrl;
    outcomes[2].failure = HttpFailure::None;
    std::size_t addresses = 0;
    EXPECT_TRUE(CLinkCheckResults(plan, outcomes).SeemsOffline(addresses));
    EXPECT_EQ(addresses, 2u);

    // One address that was reached, timed out or broke off says the network is there.
    for (HttpFailure other : {HttpFailure::None, HttpFailure::Timeout, HttpFailure::Reset}) {
        std::vector<LinkOutcome> mixed = outcomes;
        mixed[1].failure = other;
        mixed[1].result = other == HttpFailure::None      ? LinkResult::NotFound
                          : other == HttpFailure::Timeout ? LinkResult::Timeout
                                                          : LinkResult::CannotConnect;
        EXPECT_FALSE(CLinkCheckResults(plan, mixed).SeemsOffline(addresses));
    }
    // Nothing asked (a check cancelled at once) says nothing either.
    EXPECT_FALSE(CLinkCheckResults(plan, std::vector<LinkOutcome>(3)).SeemsOffline(addresses));
}

TEST_F(LinkCheckResultsTest, SelectedRowsCopyAsTabSeparatedLines)
{
    sample.home->links[0]->caption = L"Old\tand\nnew";
    const LinkCheckPlan again = CollectLinkPlaces(sample.project);
    CLinkCheckResults copied(again, outcomes);
    EXPECT_EQ(copied.RowsText({0, 2}),
              "Moved\tOld and new\thttp://home.test/old\tDaily / News\thttp://home.test/new\r\n"
              "Not found (404)\tGone\thttp://gone.test/\tDaily / News\t\r\n");
    EXPECT_EQ(copied.RowsText({}), "");
}

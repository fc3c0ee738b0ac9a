// The icon fetch's engine against scripted sites in virtual time: which of a page's icon links is
// taken, where relative ones lead, the /favicon.ico fallback, what is not kept, and the fetch's
// results reaching the project as one undoable step.
#include "edit/project_changes.h"
#include "icons/ico_file.h"
#include "icons/test_images.h"
#include "model/item_link.h"
#include "model/project.h"
#include "network/fake_transport.h"
#include "network/icon_fetch_job.h"
#include "network/icon_fetch_results.h"
#include "network/icon_fetcher.h"
#include "network/icon_links.h"
#include "persist/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

namespace {

using Answer = CFakeTransport::Answer;

Answer Body(std::string body, int latencyMs = 10)
{
    Answer answer;
    answer.body = std::move(body);
    answer.latencyMs = latencyMs;
    return answer;
}

Answer Redirect(std::string location)
{
    Answer answer;
    answer.status = 302;
    answer.location = std::move(location);
    return answer;
}

// Sites by full address; anything else is 404.
CFakeTransport::Script Sites(const std::map<std::string, Answer>& answers)
{
    return [answers](const HttpRequest& request, int) {
        auto at = answers.find(request.url);
        if (at != answers.end()) return at->second;
        Answer missing;
        missing.status = 404;
        return missing;
    };
}

std::string Page(const std::string& head)
{
    return "<!DOCTYPE html><html><head><title>t</title>" + head + "</head><body>x</body></html>";
}

int CountSent(const CFakeTransport& transport, const std::string& url)
{
    int count = 0;
    for (const auto& sent : transport.sent)
        count += sent.url == url;
    return count;
}

TEST(IconLinks, BestForASixteenPixelPlaceFirst)
{
    std::string page = Page("<link rel=icon href=/any.svg sizes=any type=image/svg+xml>"
                            "<link rel=\"shortcut icon\" href=\"/plain.ico\">"
                            "<LINK REL=ICON HREF=/s16.png SIZES=16x16>"
                            "<link rel=apple-touch-icon href=/touch.png>"
                            "<link rel=icon href=/s48.png sizes=48x48>"
                            "<link rel=icon href=/s12.png sizes=12x12>"
                            "<link rel=icon href=/s.avif sizes=32x32 type=image/avif>"
                            "<link rel=icon href=/s32.png sizes=\"64x64 32x32\">"
                            "<link rel=stylesheet href=/style.css>"
                            "<link rel=icon href=/s16.png>"
                            "<link rel=icon href='/a?x=1&amp;y=2'>"
                            "<link rel=icon href=' /s16.png\n'>");
    EXPECT_EQ(FindIconLinks(page), (std::vector<std::string>{"/s32.png", "/s16.png", "/s48.png",
                                                             "/touch.png", "/any.svg", "/plain.ico",
                                                             "/a?x=1&y=2", "/s12.png", "/s.avif"}));
}

TEST(IconLinks, HostilePagesAreReadWithoutHarm)
{
    EXPECT_TRUE(FindIconLinks("").empty());
    EXPECT_TRUE(FindIconLinks("<link rel=icon href=").empty());
    EXPECT_TRUE(FindIconLinks("<link rel=icon sizes=99999999999x9 href=\"   \">").empty());
    EXPECT_EQ(FindIconLinks("<script>if (a < b) x = '<'</script>><<link rel=icon href=/i.png>"),
              (std::vector<std::string>{"/i.png"}));
    EXPECT_EQ(FindIconLinks(std::string(100000, '<') + "<link rel=icon href=/i.png>"),
              (std::vector<std::string>{"/i.png"}));
}

TEST(IconFetcher, TakesThePagesBestIconAndNeverTheRest)
{
    const std::string icon32 = MakePng(32, 0x2060c0), icon16 = MakePng(16, 0xc02020);
    CFakeTransport transport(Sites({
        {"http://a.test/", Body(Page("<link rel=icon sizes=16x16 href=/16.png>"
                                     "<link rel=icon sizes=32x32 href=/32.png>"))},
        {"http://a.test/16.png", Body(icon16)},
        {"http://a.test/32.png", Body(icon32)},
    }));
    auto outcomes = CIconFetcher(transport, IconFetchSettings()).Fetch({"http://a.test/"});
    ASSERT_EQ(outcomes.size(), 1u);
    ASSERT_EQ(outcomes[0].result, IconFetchResult::Kept) << outcomes[0].reason;
    EXPECT_EQ(outcomes[0].icon->Bytes(), icon32);
    EXPECT_EQ(outcomes[0].iconUrl, "http://a.test/32.png");
    EXPECT_EQ(CountSent(transport, "http://a.test/16.png"), 0);
    EXPECT_EQ(CountSent(transport, "http://a.test/favicon.ico"), 0);
}

TEST(IconFetcher, RelativeIconsResolveAgainstWhereThePageEndedUp)
{
    const std::string gif = MakeGif(16, 0x30a030);
    CFakeTransport transport(Sites({
        {"http://a.test/start", Redirect("http://b.test/deep/page.html")},
        {"http://b.test/deep/page.html", Body(Page("<link rel=icon href=icon.gif>"))},
        {"http://b.test/deep/icon.gif", Body(gif)},
        {"http://a.test/icon.gif", Body(MakeGif(16, 0xffffff))},
    }));
    auto outcomes = CIconFetcher(transport, IconFetchSettings()).Fetch({"http://a.test/start"});
    ASSERT_EQ(outcomes[0].result, IconFetchResult::Kept) << outcomes[0].reason;
    EXPECT_EQ(outcomes[0].icon->Bytes(), gif);
}

TEST(IconFetcher, FallsBackToTheFinalHostsFaviconAfterWhatIsNotKept)
{
    const std::string ico = MakeIco({{16, MakePng(16, 0x808000)}});
    std::string large = MakePng(16, 0x000080);
    large.resize(100 * 1024, '\0');
    CFakeTransport transport(Sites({
        // Only /favicon.ico, of the host redirected to.
        {"http://a.test/", Redirect("http://b.test/home")},
        {"http://b.test/home", Body(Page(""))},
        {"http://b.test/favicon.ico", Body(ico)},
        // A page served as the icon; its favicon is good.
        {"http://c.test/", Body(Page("<link rel=icon href=/icon.png>"))},
        {"http://c.test/icon.png", Body(Page("not an image"))},
        {"http://c.test/favicon.ico", Body(ico)},
        // An icon of 100 KiB and no favicon: the size is what the report tells.
        {"http://d.test/", Body(Page("<link rel=icon href=/big.png>"))},
        {"http://d.test/big.png", Body(large)},
        // Nothing at all.
        {"http://e.test/", Body(Page(""))},
        // A page served as the only icon.
        {"http://f.test/", Body(Page(""))},
        {"http://f.test/favicon.ico", Body(Page("soft 404"))},
    }));
    auto outcomes = CIconFetcher(transport, IconFetchSettings())
                        .Fetch({"http://a.test/", "http://c.test/", "http://d.test/",
                                "http://e.test/", "http://f.test/"});
    ASSERT_EQ(outcomes.size(), 5u);
    ASSERT_EQ(outcomes[0].result, IconFetchResult::Kept) << outcomes[0].reason;
    EXPECT_EQ(outcomes[0].icon->Bytes(), ico);
    EXPECT_EQ(outcomes[0].iconUrl, "http://b.test/favicon.ico");
    EXPECT_EQ(CountSent(transport, "http://a.test/favicon.ico"), 0);
    ASSERT_EQ(outcomes[1].result, IconFetchResult::Kept) << outcomes[1].reason;
    EXPECT_EQ(outcomes[1].iconUrl, "http://c.test/favicon.ico");
    EXPECT_EQ(outcomes[2].result, IconFetchResult::TooLarge) << outcomes[2].reason;
    EXPECT_NE(outcomes[2].reason.find("http://d.test/big.png"), std::string::npos);
    EXPECT_EQ(outcomes[3].result, IconFetchResult::NoIcon) << outcomes[3].reason;
    EXPECT_EQ(outcomes[4].result, IconFetchResult::NotAnImage) << outcomes[4].reason;
    for (const auto& outcome : outcomes)
        EXPECT_EQ(outcome.result == IconFetchResult::Kept, outcome.icon != nullptr);
}

TEST(IconFetcher, ADownloadServesEveryPageThatNamesIt)
{
    const std::string png = MakePng(16, 0x123456);
    std::map<std::string, Answer> sites{{"http://cdn.test/i.png", Body(png)}};
    std::vector<std::string> pages;
    for (int i = 0; i < 20; ++i) {
        std::string url = "http://a.test/" + std::to_string(i);
        sites[url] = Body(Page("<link rel=icon href=http://cdn.test/i.png>"));
        pages.push_back(url);
    }
    CFakeTransport transport(Sites(sites));
    IconFetchSettings settings;
    settings.jobs = 4;
    settings.perHost = 2;
    auto outcomes = CIconFetcher(transport, settings).Fetch(pages);
    for (const auto& outcome : outcomes)
        ASSERT_EQ(outcome.result, IconFetchResult::Kept) << outcome.reason;
    EXPECT_EQ(CountSent(transport, "http://cdn.test/i.png"), 1);
    EXPECT_LE(transport.maxTotal, 4);
    for (const auto& [host, most] : transport.maxPerHost)
        EXPECT_LE(most, 2) << host;
}

TEST(IconFetcher, PagesThatFailSayWhyAndDataIconsNeedNoRequest)
{
    const std::string png = MakePng(16, 0x00ff00);
    Answer silent;
    silent.failure = HttpFailure::Timeout;
    silent.latencyMs = 15000;
    CFakeTransport transport(Sites({
        {"http://slow.test/", silent},
        {"http://data.test/",
         Body(Page("<link rel=icon href=\"" + DataUri("image/png", png) + "\">"))},
    }));
    auto outcomes = CIconFetcher(transport, IconFetchSettings())
                        .Fetch({"http://slow.test/", "http://data.test/", "ftp://x.test/",
                                "http://exa mple.test/"});
    EXPECT_EQ(outcomes[0].result, IconFetchResult::Timeout);
    ASSERT_EQ(outcomes[1].result, IconFetchResult::Kept) << outcomes[1].reason;
    EXPECT_EQ(outcomes[1].icon->Bytes(), png);
    EXPECT_EQ(CountSent(transport, "http://data.test/favicon.ico"), 0);
    EXPECT_EQ(outcomes[2].result, IconFetchResult::BadUrl);
    EXPECT_EQ(outcomes[3].result, IconFetchResult::BadUrl);
}

TEST(IconFetcher, CancelLeavesThePagesNotDoneCancelled)
{
    CFakeTransport transport(Sites({}));
    std::atomic<bool> cancel{true};
    auto outcomes = CIconFetcher(transport, IconFetchSettings())
                        .Fetch({"http://a.test/", "http://b.test/"}, {}, &cancel);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].result, IconFetchResult::Cancelled);
    EXPECT_EQ(outcomes[1].result, IconFetchResult::Cancelled);
}

TEST(IconFile, AnIcoAboveTheLimitKeepsItsImageBestForSixteenPixels)
{
    // 64x64 and 48x48 images make the file too large; the 32x32 one alone fits.
    const std::string png32 = MakePng(32, 0x0000ff);
    const std::string png48 = MakePng(48, 0);
    std::string ico = MakeIco({{64, MakePng(64, 0xff0000)}, {32, png32}, {48, png48}});
    ASSERT_GT(ico.size(), CLinkIcon::kMaxBytes);
    IconFetchOutcome outcome = JudgeIconFile(ico, false, 64 * 1024);
    ASSERT_EQ(outcome.result, IconFetchResult::Kept) << outcome.reason;
    EXPECT_EQ(outcome.icon->Bytes(), MakeIco({{32, png32}}));

    // An entry that points outside the file is passed over; none left gives nothing to keep.
    std::string broken = ico;
    broken[6 + 16 + 15] = '\x7f'; // the 32x32 image's offset
    EXPECT_TRUE(ReduceIco(broken, CLinkIcon::kMaxBytes) == MakeIco({{48, png48}}));
    broken[6 + 32 + 15] = '\x7f';
    broken[6 + 15] = '\x7f';
    EXPECT_TRUE(ReduceIco(broken, CLinkIcon::kMaxBytes).empty());
    EXPECT_TRUE(ReduceIco(ico.substr(0, 20), CLinkIcon::kMaxBytes).empty());
    EXPECT_EQ(JudgeIconFile(ico, true, 64 * 1024).result, IconFetchResult::TooLarge);
}

class IconFetchJobTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto* group = new CGroup(*new CColumn(project, L"Sites"), L"Sites");
        const wchar_t* urls[] = {L"http://a.test/", L"https://b.test/", L"mailto:x@y.test",
                                 L"http://a.test/"};
        for (const wchar_t* url : urls)
            new CItemLink(*group, L"Site", url);
        Item(1).icon = CLinkIcon::FromBytes(MakePng(16, 0x111111));
    }
    CItemLink& Item(std::size_t i)
    {
        return *static_cast<CItemLink*>(project.columns[0]->groups[0]->items[i]);
    }

    CProject project;
};

TEST_F(IconFetchJobTest, RunsInTheBackgroundAndLandsAsOneUndoableStep)
{
    const std::string png = MakePng(16, 0xabcdef);
    std::atomic<int> notified{0};
    CIconFetchJob job(
        project, false, IconFetchSettings(),
        [&](const TransportSettings&, std::string&) -> std::unique_ptr<IHttpTransport> {
            return std::make_unique<CFakeTransport>(Sites({
                {"http://a.test/", Body(Page("<link rel=icon href=/i.png>"))},
                {"http://a.test/i.png", Body(png)},
            }));
        },
        [&] { ++notified; });
    for (int i = 0; i < 500 && !job.Finished(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(job.Finished());
    // One page for both items of the same address; the one with an icon and the mail address
    // are left alone.
    EXPECT_EQ(job.Total(), 1u);
    EXPECT_EQ(job.Done(), 1u);
    EXPECT_EQ(job.Plan().withIcon, 1u);
    EXPECT_EQ(job.Plan().notFetched, 1u);
    EXPECT_GE(notified.load(), 2);

    const std::string before = SaveToBytes(project);
    CProjectChanges changes(project);
    EXPECT_EQ(ApplyIconChanges(changes, PlanIconChanges(project, job.Plan(), job.Outcomes())), 2u);
    ASSERT_TRUE(Item(0).icon && Item(3).icon);
    EXPECT_EQ(Item(0).icon->Bytes(), png);
    const std::string after = SaveToBytes(project);
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(SaveToBytes(project), before);
    EXPECT_FALSE(Item(0).icon);
    ASSERT_TRUE(changes.Redo());
    EXPECT_EQ(SaveToBytes(project), after);
}

TEST_F(IconFetchJobTest, ResultsSkipItemsWhoseAddressChangedMeanwhile)
{
    IconFetchPlan plan = CollectIconPlaces(project, true);
    EXPECT_EQ(plan.pages, (std::vector<std::string>{"http://a.test/", "https://b.test/"}));
    std::vector<IconFetchOutcome> outcomes(2);
    for (auto& outcome : outcomes) {
        outcome.result = IconFetchResult::Kept;
        outcome.icon = CLinkIcon::FromBytes(MakeGif(16, 0x222222));
    }
    Item(0).mainLink.url = L"http://elsewhere.test/";
    std::vector<IconChange> icons = PlanIconChanges(project, plan, outcomes);
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0].item, &Item(1));
    EXPECT_EQ(icons[1].item, &Item(3));
}

TEST(IconFetchResults, ListsTheLinksWithoutAnIconWithWhyAndFollowsDeletes)
{
    CProject project;
    auto* group = new CGroup(*new CColumn(project, L"Web"), L"Sites");
    new CItemLink(*group, L"Kept", L"http://kept.test/");
    auto* big = new CItemLink(*group, L"Big", L"http://big.test/");
    auto* down = new CItemLink(*group, L"Down", L"http://down.test/");
    new CItemLink(*group, L"Big again", L"http://big.test/");
    const IconFetchPlan plan = CollectIconPlaces(project, false);
    ASSERT_EQ(plan.pages.size(), 3u);
    std::vector<IconFetchOutcome> outcomes(3);
    outcomes[0].result = IconFetchResult::Kept;
    outcomes[0].icon = CLinkIcon::FromBytes(MakePng(16, 0x123456));
    outcomes[1].result = IconFetchResult::TooLarge;
    outcomes[1].reason = "http://big.test/i.png: larger than 64 KiB";
    outcomes[1].iconUrl = "http://big.test/i.png";
    outcomes[2].result = IconFetchResult::CannotConnect;
    outcomes[2].reason = "the page: WinHTTP error 12029: could not connect to the server";

    CIconFetchResults results(plan, outcomes);
    ASSERT_EQ(results.Count(), 3u) << "the links that got no icon, in page order";
    EXPECT_TRUE(results.InPageOrder());
    EXPECT_EQ(results.RowsText({0, 1}),
              "Too large\tBig\thttp://big.test/\tWeb / Sites\tLarger than 64 KiB: "
              "http://big.test/i.png\r\n"
              "Could not connect\tDown\thttp://down.test/\tWeb / Sites\tThe page: could not "
              "connect to the server (WinHTTP error 12029)\r\n");
    EXPECT_EQ(results.SiteOf(results.EntryAt(1)).node, down);
    EXPECT_EQ(results.SiteOf(results.EntryAt(1)).part, SitePart::MainUrl);

    results.SortBy(IconColumn::Why);
    EXPECT_EQ(results.Text(0, IconColumn::Caption), "Down");
    results.SortBy(IconColumn::Why);
    EXPECT_TRUE(results.Descending());
    EXPECT_EQ(results.Text(2, IconColumn::Caption), "Down");

    CProjectChanges changes(project);
    changes.RemoveNode(kNodeItem, big);
    results.Refresh(project);
    EXPECT_EQ(results.Count(), 2u);
    EXPECT_FALSE(results.Live(1));
    EXPECT_EQ(results.RowOf(1), CIconFetchResults::kNoRow);
    ASSERT_TRUE(changes.Undo());
    results.Refresh(project);
    EXPECT_EQ(results.Count(), 3u);
}

TEST(IconFetchResults, CaptionsAndPlacesReadAsThePageShowsThem)
{
    CProject project;
    auto* group = new CGroup(*new CColumn(project, L"<i>Web</i>"), L"Q&amp;A");
    new CItemLink(*group, L"AT&amp;T", L"http://att.test/");
    new CItemLink(*group, L"", L"http://blank.test/page/");
    const IconFetchPlan plan = CollectIconPlaces(project, false);
    std::vector<IconFetchOutcome> outcomes(plan.pages.size());
    for (auto& outcome : outcomes)
        outcome.result = IconFetchResult::NoIcon;
    CIconFetchResults results(plan, outcomes);
    ASSERT_EQ(results.Count(), 2u);
    EXPECT_EQ(results.Text(0, IconColumn::Caption), "AT&T");
    EXPECT_EQ(results.Text(1, IconColumn::Caption), "blank.test/page");
    EXPECT_EQ(results.Text(0, IconColumn::Where), "Web / Q&A");
}

} // namespace

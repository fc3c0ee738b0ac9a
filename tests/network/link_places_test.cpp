#include "fake_transport.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "network/link_check_job.h"
#include "network/link_places.h"
#include "network/link_report.h"
#include "persist/text.h"
#include "quil_version.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// Two columns: links with further links, a GET and a POST form, repeats and other schemes.
struct SampleProject
{
    CProject project;
    CItemLink* news;
    CItemLink* shop;
    CItemForm* search;

    SampleProject()
    {
        auto* daily = new CColumn(project, L"Daily");
        auto* reading = new CGroup(*daily, L"Reading");
        news = new CItemLink(*reading, L"News", L"http://news.test/?a=1&amp;b=2");
        news->AddLink(L"Archive", L"http://news.test/old");
        news->AddLink(L"Mail", L"mailto:editor@news.test");
        new CItemLink(*reading, L"Empty", L"");
        search = new CItemForm(*reading);
        search->name = L"Search";
        search->action = L"http://search.test/find";
        auto* post = new CItemForm(*reading);
        post->action = L"http://search.test/post";
        post->method = 1;
        auto* other = new CColumn(project, L"Other");
        auto* shops = new CGroup(*other, L"Shops");
        shop = new CItemLink(*shops, L"Shop", L"HTTP://NEWS.test:80/old");
        new CItemLink(*shops, L"Broken", L"http://bro ken.test/");
        project.modified = false;
    }
};

std::vector<LinkOutcome> OutcomesFor(const LinkCheckPlan& plan,
                                     std::map<std::string, LinkOutcome> byAddress)
{
    std::vector<LinkOutcome> outcomes;
    for (const std::string& address : plan.addresses)
        outcomes.push_back(byAddress[address]);
    return outcomes;
}

LinkOutcome Outcome(LinkResult result, std::string finalUrl = std::string(), bool https = false)
{
    LinkOutcome outcome;
    outcome.result = result;
    outcome.status = result == LinkResult::NotFound ? 404 : 200;
    outcome.finalUrl = std::move(finalUrl);
    outcome.httpsAvailable = https;
    return outcome;
}

} // namespace

TEST(LinkPlaces, CollectsEveryPlaceAndChecksEachAddressOnce)
{
    SampleProject sample;
    LinkCheckPlan plan = CollectLinkPlaces(sample.project);
    // News, Archive, Mail, the GET form, Shop and Broken; not the empty link nor the POST form.
    ASSERT_EQ(plan.places.size(), 6u);
    EXPECT_EQ(plan.addresses,
              (std::vector<std::string>{"http://news.test/?a=1&b=2", "http://news.test/old",
                                        "http://search.test/find", "http://bro ken.test/"}));
    const LinkPlace& news = plan.places[0];
    EXPECT_EQ(news.kind, LinkPlaceKind::MainLink);
    EXPECT_EQ(plan.UrlOf(news), "http://news.test/?a=1&amp;b=2"); // as the project holds it
    EXPECT_EQ(plan.UrlOf(plan.places[1]), "http://news.test/old");
    EXPECT_EQ(*news.column, L"Daily");
    EXPECT_EQ(*news.group, L"Reading");
    EXPECT_EQ(news.caption, "News");
    EXPECT_EQ(news.item, sample.news);
    EXPECT_EQ(news.link, &sample.news->mainLink);
    const LinkPlace& archive = plan.places[1];
    EXPECT_EQ(archive.kind, LinkPlaceKind::FurtherLink);
    EXPECT_EQ(archive.linkIndex, 1u);
    EXPECT_EQ(plan.places[2].address, LinkPlace::kNoAddress);
    const LinkPlace& form = plan.places[3];
    EXPECT_EQ(form.kind, LinkPlaceKind::FormAddress);
    EXPECT_EQ(form.caption, "Search");
    EXPECT_EQ(*plan.places[5].column, L"Other");
    EXPECT_EQ(*plan.places[5].group, L"Shops");
    EXPECT_EQ(form.itemIndex, 2u);
    const LinkPlace& shop = plan.places[4];
    EXPECT_EQ(shop.address, archive.address); // the same address spelt otherwise
    EXPECT_EQ(shop.columnIndex, 1u);
    EXPECT_EQ(shop.groupIndex, 0u);
    EXPECT_EQ(OutcomeOfPlace(plan, {}, 2).result, LinkResult::NotChecked);
}

TEST(LinkPlaces, FixesOnlyTheNodesThatStillHoldTheCheckedAddress)
{
    SampleProject sample;
    LinkCheckPlan plan = CollectLinkPlaces(sample.project);
    auto outcomes = OutcomesFor(
        plan,
        {{"http://news.test/?a=1&b=2", Outcome(LinkResult::Ok, "", true)},
         {"http://news.test/old", Outcome(LinkResult::Moved, "http://news.test/new?x=\"1\"&y")},
         {"http://search.test/find", Outcome(LinkResult::Moved, "https://search.test/find")}});
    std::vector<LinkFix> moves = PlanLinkFixes(sample.project, plan, outcomes, false);
    ASSERT_EQ(moves.size(), 3u); // Archive, the form, Shop
    EXPECT_EQ(moves[0].to, L"http://news.test/new?x=&quot;1&quot;&amp;y");
    std::vector<LinkFix> all = PlanLinkFixes(sample.project, plan, outcomes, true);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_TRUE(all[0].https);
    EXPECT_EQ(all[0].to, L"https://news.test/?a=1&amp;b=2");

    // Edited during the check: the shop's address changed, the archive link is gone.
    sample.shop->mainLink.url = L"http://shop.test/";
    sample.news->RemoveLink(sample.news->links[0]);
    EXPECT_EQ(LivePlaces(sample.project, plan),
              (std::vector<bool>{true, false, true, true, true, true}));
    EXPECT_EQ(ApplyLinkFixes(sample.project, plan, all), 2u);
    EXPECT_TRUE(sample.project.modified);
    EXPECT_EQ(sample.news->mainLink.url, L"https://news.test/?a=1&amp;b=2");
    EXPECT_EQ(sample.search->action, L"https://search.test/find");
    EXPECT_EQ(sample.shop->mainLink.url, L"http://shop.test/");

    CProject untouched;
    EXPECT_EQ(ApplyLinkFixes(untouched, plan, {}), 0u);
    EXPECT_FALSE(untouched.modified);
}

TEST(LinkPlaces, ALinkNowInAnotherItemIsNotTheNodeThatWasChecked)
{
    // A freed link's memory may be given to a link of another item; a link handed from one item
    // to another is the same case with the pointer kept: the place must not take it for its own.
    SampleProject sample;
    LinkCheckPlan plan = CollectLinkPlaces(sample.project);
    auto outcomes = OutcomesFor(
        plan, {{"http://news.test/old", Outcome(LinkResult::Moved, "http://news.test/new")}});
    const std::vector<LinkFix> before = PlanLinkFixes(sample.project, plan, outcomes, false);
    ASSERT_EQ(before.size(), 2u); // Archive, Shop
    CItemLink::CLink* archive = sample.news->links[0];
    ASSERT_TRUE(sample.news->links.Remove(archive));
    sample.shop->links.Append(archive);
    EXPECT_EQ(LivePlaces(sample.project, plan),
              (std::vector<bool>{true, false, true, true, true, true}));
    std::vector<LinkFix> after = PlanLinkFixes(sample.project, plan, outcomes, false);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(plan.places[after[0].place].item, sample.shop);
    EXPECT_EQ(ApplyLinkFixes(sample.project, plan, before), 1u);
    EXPECT_EQ(archive->url, L"http://news.test/old");
}

TEST(LinkPlaces, NoReplacementEverPutsAnAddressOtherThanHttpOrHttpsIntoTheProject)
{
    for (const wchar_t* web :
         {L"http://a.test/", L" HTTPS://a.test/x?y=1&amp;z", L"http&colon;//a.test/"})
        EXPECT_TRUE(IsWebAddress(web)) << ToUtf8(web);
    for (const wchar_t* other :
         {L"javascript:alert(1)", L"&#106;avascript:alert(1)", L"java&Tab;script:x", L"data:,x",
          L"file:///etc/passwd", L"/relative", L"http://bro ken.test/", L""})
        EXPECT_FALSE(IsWebAddress(other)) << ToUtf8(other);

    SampleProject sample;
    LinkCheckPlan plan = CollectLinkPlaces(sample.project);
    // A redirect out of the web is its own result; and even a Moved one that named such an
    // address (as no check gives) would not be planned.
    auto outcomes = OutcomesFor(
        plan, {{"http://news.test/?a=1&b=2", Outcome(LinkResult::NonWebRedirect, "javascript:x")},
               {"http://news.test/old", Outcome(LinkResult::Moved, "java\tscript:x")},
               {"http://search.test/find", Outcome(LinkResult::Moved, "data:text/html,x")}});
    EXPECT_TRUE(PlanLinkFixes(sample.project, plan, outcomes, true).empty());
    // A fix made elsewhere is checked again as it goes in.
    std::vector<LinkFix> forged = {
        {0, L"http://news.test/?a=1&amp;b=2", L"&#106;avascript:x", false},
        {1, L"http://news.test/old", L"http://news.test/new", false}};
    EXPECT_EQ(ApplyLinkFixes(sample.project, plan, forged), 1u);
    EXPECT_EQ(sample.news->mainLink.url, L"http://news.test/?a=1&amp;b=2");
    EXPECT_EQ(sample.news->links[0]->url, L"http://news.test/new");
}

TEST(LinkReport, TextPrintsNoControlCharacterFromTheNetworkOrTheFile)
{
    SampleProject sample;
    sample.news->mainLink.caption = L"\x1B]0;title\x07"
                                    L"caption";
    LinkCheckPlan plan = CollectLinkPlaces(sample.project);
    LinkOutcome out = Outcome(LinkResult::NonWebRedirect, "javascript:\x1B[2J\xC2\x9B"
                                                          "31m\x7F");
    out.reason = "said \x1B[8m";
    auto outcomes = OutcomesFor(plan, {{"http://news.test/?a=1&b=2", out}});
    CRecordingStream text;
    WriteLinkTextReport(plan, outcomes, text);
    const std::string expected =
        "Redirect to a non-web address (200): http://news.test/?a=1&amp;b=2 -> "
        "javascript:\\x1b[2J\\u009b31m\\x7f (said \\x1b[8m)  [Daily / Reading / "
        "\\x1b]0;title\\x07caption]\n";
    EXPECT_EQ(text.bytes.substr(0, expected.size()), expected);
    for (char c : text.bytes)
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
    EXPECT_EQ(PrintableText("a\tb\r\n\xC2\x85\xC2\xA0\xFF"),
              "a\\x09b\\x0d\\x0a\\u0085\xC2\xA0\xEF\xBF\xBD");
}

TEST(LinkReport, TextListsTheProblemsAndJsonEveryPlace)
{
    SampleProject sample;
    sample.news->mainLink.caption = L"Say \"hi\"\t\x00e9";
    LinkCheckPlan plan = CollectLinkPlaces(sample.project);
    auto outcomes = OutcomesFor(
        plan, {{"http://news.test/?a=1&b=2", Outcome(LinkResult::Ok)},
               {"http://news.test/old", Outcome(LinkResult::NotFound)},
               {"http://search.test/find", Outcome(LinkResult::Moved, "http://search.test/\xFF")},
               {"http://bro ken.test/", Outcome(LinkResult::BadUrl)}});
    outcomes[3].status = 0;
    outcomes[3].reason = "the host name holds a character that is not allowed";
    CRecordingStream text;
    WriteLinkTextReport(plan, outcomes, text);
    EXPECT_EQ(text.bytes,
              "Not found (404): http://news.test/old  [Daily / Reading / Archive]\n"
              "Not checked: mailto:editor@news.test (not an http or https address)  "
              "[Daily / Reading / Mail]\n"
              "Moved: http://search.test/find -> http://search.test/\xEF\xBF\xBD  "
              "[Daily / Reading / Search]\n"
              "Not found (404): HTTP://NEWS.test:80/old  [Other / Shops / Shop]\n"
              "Bad URL: http://bro ken.test/ (the host name holds a character that is not "
              "allowed)  [Other / Shops / Broken]\n"
              "6 places, 4 addresses: 1 OK, 1 Moved, 2 Not found, 1 Bad URL; 1 not checked\n");
    CRecordingStream json;
    WriteLinkJsonReport(plan, outcomes, json);
    EXPECT_NE(json.bytes.find("\"caption\": \"Say \\\"hi\\\"\\u0009\xC3\xA9\""), std::string::npos);
    EXPECT_NE(json.bytes.find("\"url\": \"http://news.test/?a=1&amp;b=2\", \"result\": \"OK\", "
                              "\"status\": 200, \"final_url\": null"),
              std::string::npos);
    EXPECT_NE(json.bytes.find("\"result\": \"Bad URL\", \"status\": null"), std::string::npos);
    EXPECT_NE(json.bytes.find("\"results\": {\"OK\": 1, \"Moved\": 1, \"Not found\": 2, "
                              "\"Bad URL\": 1, \"Not checked\": 1}"),
              std::string::npos);
}

TEST(LinkCheckJob, ChecksInTheBackgroundWithProgressAndCanBeCancelled)
{
    SampleProject sample;
    std::atomic<int> notified{0};
    auto factory = [](const TransportSettings& settings, std::string&) {
        EXPECT_EQ(settings.userAgent, std::string("Quillomere/") + QUIL_VERSION);
        return std::unique_ptr<IHttpTransport>(
            new CFakeTransport([](const HttpRequest& request, int) {
                CFakeTransport::Answer answer;
                answer.status = request.target == "/old" ? 301 : 200;
                answer.location = "/new";
                return answer;
            }));
    };
    {
        CLinkCheckJob job(sample.project, LinkCheckSettings(), factory, [&] { ++notified; });
        // The project may change at once: the job took its places already.
        sample.shop->mainLink.url = L"http://changed.test/";
        while (!job.Finished())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(job.Total(), 4u);
        EXPECT_EQ(job.Done(), 4u);
        EXPECT_EQ(notified.load(), 5); // each address, then the end
        EXPECT_EQ(job.OutcomeOf(1).result, LinkResult::Moved);
        EXPECT_EQ(job.OutcomeOf(4).result, LinkResult::Moved); // reported with what was checked
        EXPECT_EQ(job.Plan().UrlOf(job.Plan().places[4]), "HTTP://NEWS.test:80/old");
        EXPECT_TRUE(job.Error().empty());
    }
    // A check that never ends is cancelled; the destructor would do the same.
    auto endless = [](const TransportSettings&, std::string&) {
        return std::unique_ptr<IHttpTransport>(new CFakeTransport([](const HttpRequest&, int) {
            CFakeTransport::Answer answer;
            answer.latencyMs = 1000000000;
            return answer;
        }));
    };
    CLinkCheckJob job(sample.project, LinkCheckSettings(), endless);
    job.Cancel();
    while (!job.Finished())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(job.Cancelled());
    EXPECT_EQ(job.OutcomeOf(0).reason, "cancelled");

    CLinkCheckJob failing(sample.project, LinkCheckSettings(),
                          [](const TransportSettings&, std::string& error) {
                              error = "no stack";
                              return std::unique_ptr<IHttpTransport>();
                          });
    while (!failing.Finished())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(failing.Error(), "no stack");
    EXPECT_EQ(failing.OutcomeOf(0).result, LinkResult::NotChecked);
}

#include "fake_transport.h"
#include "network/link_checker.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Answer = CFakeTransport::Answer;

Answer Status(int status, std::string location = std::string())
{
    Answer answer;
    answer.status = status;
    answer.location = std::move(location);
    return answer;
}

Answer Failure(HttpFailure failure, std::string reason = std::string())
{
    Answer answer;
    answer.failure = failure;
    answer.reason = std::move(reason);
    return answer;
}

// A site on one host by path; HEAD and GET may answer differently. Unknown paths are 404.
struct Site
{
    std::map<std::string, Answer> head, get;

    CFakeTransport::Script Script() const
    {
        return [this](const HttpRequest& request, int) {
            const auto& answers = request.head ? head : get;
            auto at = answers.find(request.target);
            if (at != answers.end()) return at->second;
            if (!request.head) {
                at = head.find(request.target);
                if (at != head.end()) return at->second;
            }
            return Status(404);
        };
    }
};

LinkCheckSettings NoProbe()
{
    LinkCheckSettings settings;
    settings.probeHttps = false;
    return settings;
}

std::vector<LinkOutcome> CheckAll(CFakeTransport& transport, const std::vector<std::string>& urls,
                                  LinkCheckSettings settings = NoProbe())
{
    CLinkChecker checker(transport, settings);
    return checker.Check(urls);
}

} // namespace

TEST(LinkChecker, ClassifiesEachAnswerAndRedirectChain)
{
    Site site;
    site.head = {{"/ok", Status(200)},
                 {"/empty", Status(204)},
                 {"/moved", Status(301, "/ok")},
                 {"/perm", Status(308, "http://other.test/new")},
                 {"/temp", Status(302, "/ok")},
                 {"/see", Status(303, "/temp")},
                 {"/temp-perm", Status(307, "/moved")},
                 {"/temp-missing", Status(302, "/missing")},
                 {"/gone", Status(410)},
                 {"/teapot", Status(418)},
                 {"/error", Status(500)},
                 {"/busy", Status(503)},
                 {"/no-location", Status(302)},
                 {"/loop-a", Status(302, "/loop-b")},
                 {"/loop-b", Status(301, "/loop-a")},
                 {"/to-mail", Status(301, "mailto:someone@example.test")}};
    for (int i = 1; i <= 11; ++i)
        site.head["/chain" + std::to_string(i)] = Status(302, "/chain" + std::to_string(i - 1));
    site.head["/chain0"] = Status(200);
    site.head["/new"] = Status(200);
    CFakeTransport transport(site.Script());
    auto outcomes = CheckAll(transport, {"http://a.test/ok",        "http://a.test/empty",
                                         "http://a.test/moved",     "http://a.test/perm",
                                         "http://a.test/temp",      "http://a.test/see",
                                         "http://a.test/temp-perm", "http://a.test/temp-missing",
                                         "http://a.test/missing",   "http://a.test/gone",
                                         "http://a.test/teapot",    "http://a.test/error",
                                         "http://a.test/busy",      "http://a.test/no-location",
                                         "http://a.test/loop-a",    "http://a.test/chain10",
                                         "http://a.test/chain11",   "http://a.test/to-mail",
                                         "http://exa mple.test/",   "mailto:x@y.test"});
    struct Expected
    {
        LinkResult result;
        int status;
        const char* finalUrl;
    };
    const Expected expected[] = {
        {LinkResult::Ok, 200, ""},
        {LinkResult::Ok, 204, ""},
        {LinkResult::Moved, 200, "http://a.test/ok"},
        {LinkResult::Moved, 200, "http://other.test/new"},
        {LinkResult::Redirected, 200, "http://a.test/ok"},
        {LinkResult::Redirected, 200, "http://a.test/ok"},
        {LinkResult::Moved, 200, "http://a.test/ok"}, // a 301 later in the chain still counts
        {LinkResult::NotFound, 404, "http://a.test/missing"},
        {LinkResult::NotFound, 404, ""},
        {LinkResult::NotFound, 410, ""},
        {LinkResult::ClientError, 418, ""},
        {LinkResult::ServerError, 500, ""},
        {LinkResult::ServerError, 503, ""}, // without Retry-After: not retried
        {LinkResult::ServerError, 302, ""},
        {LinkResult::TooManyRedirects, 301, "http://a.test/loop-a"},
        {LinkResult::Redirected, 200, "http://a.test/chain0"},
        {LinkResult::TooManyRedirects, 302, "http://a.test/chain0"},
        {LinkResult::NonWebRedirect, 301, "mailto:someone@example.test"},
        {LinkResult::BadUrl, 0, ""},
        {LinkResult::NotChecked, 0, ""},
    };
    ASSERT_EQ(outcomes.size(), std::size(expected));
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(LinkResultName(outcomes[i].result), LinkResultName(expected[i].result));
        EXPECT_EQ(outcomes[i].status, expected[i].status);
        EXPECT_EQ(outcomes[i].finalUrl, expected[i].finalUrl);
    }
    EXPECT_EQ(outcomes[14].reason, "a redirect loop");
    EXPECT_EQ(outcomes[16].reason, "more than 10 redirects");
    EXPECT_FALSE(outcomes[18].reason.empty());
}

TEST(LinkChecker, ARedirectOutOfTheWebIsAResultOfItsOwn)
{
    // However a browser would spell it, and wherever in the chain, a redirect to another scheme
    // is never Moved or Redirected; nor does a reference in a Location header spell a scheme.
    const std::vector<std::string> locations = {
        "javascript:alert(1)",
        " JaVaScRiPt:alert(1)",
        "java\tscript:alert(1)",
        "\x01\x1F javascript:x",
        "data:text/html,<script>x</script>",
        "file:///etc/passwd",
        "vbscript:msgbox(1)",
        "jar:http://a.test/x!/y",
    };
    Site site;
    std::vector<std::string> urls;
    for (std::size_t i = 0; i < locations.size(); ++i) {
        site.head["/to" + std::to_string(i)] = Status(i % 2 ? 308 : 301, locations[i]);
        urls.push_back("http://a.test/to" + std::to_string(i));
    }
    site.head["/temp-then-out"] = Status(302, "/to0");
    site.head["/reference"] = Status(301, "&#106;avascript:alert(1)");
    site.head["/&"] = Status(200); // where "&#106;..." leads: a relative http address
    site.head["/too-long"] = Status(301, "/" + std::string(kMaxLocationBytes, 'x'));
    site.head["/bad-host"] = Status(301, "http://exa mple.test/");
    urls.insert(urls.end(), {"http://a.test/temp-then-out", "http://a.test/reference",
                             "http://a.test/too-long", "http://a.test/bad-host"});
    CFakeTransport transport(site.Script());
    auto outcomes = CheckAll(transport, urls);
    ASSERT_EQ(outcomes.size(), locations.size() + 4);
    for (std::size_t i = 0; i < locations.size(); ++i) {
        SCOPED_TRACE(locations[i]);
        EXPECT_EQ(LinkResultName(outcomes[i].result), std::string("Redirect to a non-web address"));
        EXPECT_EQ(outcomes[i].status, i % 2 ? 308 : 301);
        EXPECT_TRUE(IsLinkProblem(outcomes[i].result));
    }
    EXPECT_EQ(outcomes[2].finalUrl, "javascript:alert(1)"); // as a browser reads it
    EXPECT_EQ(outcomes[0].reason, "only http and https addresses are followed");
    const LinkOutcome& temp = outcomes[locations.size()];
    EXPECT_EQ(temp.result, LinkResult::NonWebRedirect);
    EXPECT_EQ(temp.finalUrl, "javascript:alert(1)");
    const LinkOutcome& reference = outcomes[locations.size() + 1];
    EXPECT_EQ(reference.result, LinkResult::Moved);
    EXPECT_EQ(reference.finalUrl, "http://a.test/&");
    const LinkOutcome& tooLong = outcomes[locations.size() + 2];
    EXPECT_EQ(tooLong.result, LinkResult::ServerError);
    EXPECT_EQ(tooLong.reason, "a redirect to an address longer than 8 KiB");
    EXPECT_TRUE(tooLong.finalUrl.empty());
    const LinkOutcome& badHost = outcomes[locations.size() + 3];
    EXPECT_EQ(badHost.result, LinkResult::BadUrl);
    EXPECT_EQ(badHost.reason.rfind("redirected to an address that does not parse: ", 0), 0u);

    // A Location of exactly the limit is followed.
    Site edge;
    edge.head["/long"] = Status(301, "/" + std::string(kMaxLocationBytes - 1, 'x'));
    edge.head["/" + std::string(kMaxLocationBytes - 1, 'x')] = Status(200);
    CFakeTransport edgeTransport(edge.Script());
    EXPECT_EQ(CheckAll(edgeTransport, {"http://a.test/long"})[0].result, LinkResult::Moved);
}

TEST(LinkChecker, FallsBackToGetWhereHeadIsRefusedAndMapsFailures)
{
    Site site;
    for (const char* path : {"/403", "/405", "/501"}) {
        site.head[path] = Status(std::atoi(path + 1));
        site.get[path] = Status(200);
    }
    site.head["/closes"] = Failure(HttpFailure::ClosedWithoutAnswer);
    site.get["/closes"] = Status(200);
    site.head["/always-closes"] = Failure(HttpFailure::ClosedWithoutAnswer);
    site.head["/get-forbidden"] = Status(403);
    site.get["/get-forbidden"] = Status(403);
    site.head["/tls"] = Failure(HttpFailure::Tls, "self-signed certificate");
    site.head["/unknown"] = Failure(HttpFailure::HostUnknown);
    site.head["/refused"] = Failure(HttpFailure::Refused, "refused by the test");
    site.head["/bad-answer"] = Failure(HttpFailure::BadAnswer, "headers without end");
    CFakeTransport transport(site.Script());
    auto outcomes = CheckAll(
        transport,
        {"http://a.test/403", "http://a.test/405", "http://a.test/501", "http://a.test/closes",
         "http://a.test/always-closes", "http://a.test/get-forbidden", "http://a.test/tls",
         "http://a.test/unknown", "http://a.test/refused", "http://a.test/bad-answer"});
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(outcomes[i].result, LinkResult::Ok) << i;
    EXPECT_EQ(outcomes[4].result, LinkResult::CannotConnect);
    EXPECT_EQ(outcomes[4].reason, "closed without an answer");
    EXPECT_EQ(outcomes[5].result, LinkResult::ClientError);
    EXPECT_EQ(outcomes[5].status, 403);
    EXPECT_EQ(outcomes[6].result, LinkResult::TlsError);
    EXPECT_EQ(outcomes[6].reason, "self-signed certificate");
    EXPECT_EQ(outcomes[7].result, LinkResult::CannotConnect);
    EXPECT_EQ(outcomes[7].reason, "host unknown");
    EXPECT_EQ(outcomes[8].reason, "refused by the test");
    // How each failed, for the window's sentences and its offline verdict.
    EXPECT_EQ(outcomes[6].failure, HttpFailure::Tls);
    EXPECT_EQ(outcomes[7].failure, HttpFailure::HostUnknown);
    EXPECT_EQ(outcomes[8].failure, HttpFailure::Refused);
    EXPECT_EQ(outcomes[5].failure, HttpFailure::None);
    // An answer that is not sound HTTP is the server's fault, and not asked again.
    EXPECT_EQ(outcomes[9].result, LinkResult::ServerError);
    EXPECT_EQ(outcomes[9].status, 0);
    EXPECT_EQ(outcomes[9].reason, "headers without end");
    // Each refused HEAD was followed by one GET, and nothing else was asked.
    int heads = 0, gets = 0;
    for (const auto& sent : transport.sent)
        (sent.method == "HEAD" ? heads : gets)++;
    EXPECT_EQ(heads, 10);
    EXPECT_EQ(gets, 6);
}

TEST(LinkChecker, RetriesRateLimitsAndPassingFaultsOnce)
{
    CFakeTransport transport([](const HttpRequest& request, int previous) {
        const std::string& path = request.target;
        Answer answer;
        if (path == "/rate-once") {
            answer = previous == 0 ? Status(429) : Status(200);
            answer.retryAfter = previous == 0 ? "3" : "";
        } else if (path == "/rate-always") {
            answer = Status(429);
            answer.retryAfter = "1";
        } else if (path == "/rate-long") {
            answer = Status(503);
            answer.retryAfter = "31";
        } else if (path == "/rate-date") {
            answer = previous == 0 ? Status(503) : Status(200);
            answer.retryAfter = "Wed, 21 Oct 2015 07:28:00 GMT";
        } else if (path == "/timeout-once") {
            answer = previous == 0 ? Failure(HttpFailure::Timeout) : Status(200);
        } else if (path == "/timeout") {
            answer = Failure(HttpFailure::Timeout);
        } else if (path == "/reset") {
            answer = Failure(HttpFailure::Reset);
        }
        return answer;
    });
    LinkCheckSettings settings = NoProbe();
    settings.retryPauseMs = 700;
    auto outcomes =
        CheckAll(transport,
                 {"http://a.test/rate-once", "http://b.test/rate-always", "http://c.test/rate-long",
                  "http://d.test/rate-date", "http://e.test/timeout-once", "http://f.test/timeout",
                  "http://g.test/reset"},
                 settings);
    EXPECT_EQ(outcomes[0].result, LinkResult::Ok);
    EXPECT_EQ(outcomes[1].result, LinkResult::RateLimited);
    EXPECT_EQ(outcomes[1].reason, "still rate limited after one retry");
    EXPECT_EQ(outcomes[2].result, LinkResult::RateLimited);
    EXPECT_EQ(outcomes[2].reason, "asked to wait 31 s");
    EXPECT_EQ(outcomes[3].result, LinkResult::Ok);
    EXPECT_EQ(outcomes[4].result, LinkResult::Ok);
    EXPECT_EQ(outcomes[5].result, LinkResult::Timeout);
    EXPECT_EQ(outcomes[6].result, LinkResult::CannotConnect);

    // When each retry went out: after the time asked for, or after the short pause.
    std::map<std::string, std::vector<std::int64_t>> times;
    for (const auto& sent : transport.sent)
        times[sent.url].push_back(sent.at);
    auto gap = [&times](const std::string& url) {
        const auto& at = times[url];
        return at.size() == 2 ? at[1] - at[0] : -1;
    };
    EXPECT_GE(gap("http://a.test/rate-once"), 3000);
    EXPECT_LT(gap("http://a.test/rate-once"), 3100);
    EXPECT_EQ(times["http://c.test/rate-long"].size(), 1u);
    EXPECT_GE(gap("http://d.test/rate-date"), 700);
    EXPECT_GE(gap("http://e.test/timeout-once"), 700);
    EXPECT_GE(gap("http://f.test/timeout"), 700);
    EXPECT_GE(gap("http://g.test/reset"), 700);
}

TEST(LinkChecker, ProbesHttpsForHttpAddressesThatAnsweredOk)
{
    CFakeTransport transport([](const HttpRequest& request, int) {
        if (request.https && request.host == "no-tls.test") return Failure(HttpFailure::Tls);
        if (request.https && request.host == "moves.test")
            return Status(301, "https://elsewhere.test/");
        return Status(200);
    });
    auto outcomes = CheckAll(transport,
                             {"http://both.test/page?x=1", "http://no-tls.test/",
                              "http://moves.test/", "http://both.test:8080/", "https://both.test/"},
                             LinkCheckSettings());
    EXPECT_EQ(outcomes[0].result, LinkResult::Ok);
    EXPECT_TRUE(outcomes[0].httpsAvailable);
    EXPECT_TRUE(std::any_of(transport.sent.begin(), transport.sent.end(), [](const auto& sent) {
        return sent.url == "https://both.test/page?x=1";
    }));
    EXPECT_EQ(outcomes[1].result, LinkResult::Ok);
    EXPECT_FALSE(outcomes[1].httpsAvailable);
    EXPECT_TRUE(outcomes[1].reason.empty());
    EXPECT_FALSE(outcomes[2].httpsAvailable);
    // A port of its own, and an address that is https already, are not probed.
    EXPECT_FALSE(outcomes[3].httpsAvailable);
    EXPECT_FALSE(outcomes[4].httpsAvailable);
    EXPECT_EQ(transport.sent.size(), 9u); // 2 + 2 + 3 (the probe's redirect) + 1 + 1
}

TEST(LinkChecker, KeepsThePolitenessLimitsAndSpreadsRequestsAcrossHosts)
{
    // One slow host with many links, and four quick ones.
    CFakeTransport transport([](const HttpRequest& request, int) {
        Answer answer = Status(200);
        answer.latencyMs = request.host == "slow.test" ? 5000 : 10;
        return answer;
    });
    std::vector<std::string> urls;
    for (int i = 0; i < 40; ++i)
        urls.push_back("http://slow.test:81/" + std::to_string(i));
    for (int i = 0; i < 160; ++i)
        urls.push_back("http://quick" + std::to_string(i % 4) + ".test:81/" + std::to_string(i));
    LinkCheckSettings settings;
    settings.jobs = 8;
    settings.perHost = 3;
    CLinkChecker checker(transport, settings);
    std::size_t count = 0;
    std::vector<std::int64_t> finishTimes;
    auto outcomes = checker.Check(urls, [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(done, ++count);
        EXPECT_EQ(total, urls.size());
        finishTimes.push_back(transport.NowMs());
    });
    EXPECT_EQ(count, urls.size());
    for (const auto& entry : transport.maxPerHost)
        EXPECT_LE(entry.second, 3) << entry.first;
    EXPECT_EQ(transport.maxPerHost["slow.test"], 3);
    EXPECT_EQ(transport.maxTotal, 8);
    // The quick hosts share the five connections the slow one leaves: their 160 links take
    // about 160 * 10 ms / 5, not a turn behind the slow host's 40 * 5 s / 3.
    std::vector<std::int64_t> sorted = finishTimes;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_LT(sorted[159], 1000);
    EXPECT_GE(sorted.back(), 5000 * 40 / 3);
}

TEST(LinkChecker, KeptAliveConnectionsNeverAddUpPastTheLimits)
{
    // More hosts than connections, and one host with most of the links, at uneven speeds: a
    // connection kept for its host's next request must find one there, or it stays open idle
    // beside the others.
    for (unsigned seed = 1; seed <= 50; ++seed) {
        unsigned state = seed;
        CFakeTransport transport([&state](const HttpRequest&, int) {
            state = state * 1103515245u + 12345u;
            Answer answer = Status(200);
            answer.latencyMs = 100 + static_cast<int>((state >> 16) % 200);
            return answer;
        });
        std::vector<std::string> urls;
        for (int i = 0; i < 48; ++i)
            urls.push_back("http://127.0.0." + std::to_string(i % 8 + 1) + ":81/" +
                           std::to_string(i));
        for (int i = 0; i < 24; ++i)
            urls.push_back("http://127.0.0.1:81/busy" + std::to_string(i));
        LinkCheckSettings settings;
        settings.jobs = 6;
        settings.perHost = 2;
        auto outcomes = CheckAll(transport, urls, settings);
        for (const LinkOutcome& outcome : outcomes)
            ASSERT_EQ(outcome.result, LinkResult::Ok);
        for (const auto& entry : transport.maxPerHost)
            EXPECT_LE(entry.second, 2) << entry.first << ", seed " << seed;
        EXPECT_LE(transport.maxTotal, 6) << "seed " << seed;
        EXPECT_GE(transport.maxTotal, 5) << "seed " << seed;
    }
}

TEST(LinkChecker, TenThousandLinksOnAHundredHostsTakeTheFloorOfThirtyTwoConnections)
{
    CFakeTransport transport([](const HttpRequest&, int) {
        Answer answer = Status(200);
        answer.latencyMs = 50;
        return answer;
    });
    std::vector<std::string> urls;
    for (int i = 0; i < 10000; ++i)
        urls.push_back("http://127.0.1." + std::to_string(i % 100 + 1) + ":8000/" +
                       std::to_string(i));
    auto outcomes = CheckAll(transport, urls, LinkCheckSettings());
    for (const LinkOutcome& outcome : outcomes)
        ASSERT_EQ(outcome.result, LinkResult::Ok);
    // Virtual time: 10,000 / 32 answers of 50 ms each is 15.6 s.
    EXPECT_LE(transport.NowMs(), 15700);
    EXPECT_EQ(transport.maxTotal, 32);
    EXPECT_EQ(transport.sent.size(), 10000u);
}

TEST(LinkChecker, CancelLeavesTheRestNotChecked)
{
    CFakeTransport transport([](const HttpRequest&, int) { return Status(200); });
    std::vector<std::string> urls(100);
    for (int i = 0; i < 100; ++i)
        urls[i] = "http://a.test:81/" + std::to_string(i);
    std::atomic<bool> cancel{false};
    LinkCheckSettings settings;
    settings.perHost = 1;
    CLinkChecker checker(transport, settings);
    auto outcomes = checker.Check(
        urls, [&cancel](std::size_t done, std::size_t) { cancel = done >= 10; }, &cancel);
    EXPECT_EQ(outcomes[9].result, LinkResult::Ok);
    EXPECT_EQ(outcomes[10].result, LinkResult::NotChecked);
    EXPECT_EQ(outcomes[99].reason, "cancelled");
    EXPECT_LT(transport.sent.size(), 12u);
}

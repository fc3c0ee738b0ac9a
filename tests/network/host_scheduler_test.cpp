#include "network/host_scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// The connections as a server counts them: a running request's own, and a kept-alive one from
// its request's end until the scheduler hands it the host's next request.
class CConnections
{
public:
    CConnections(CHostScheduler& scheduler, std::size_t hosts)
        : scheduler(scheduler), idle(hosts, 0), open(hosts, 0)
    {
    }

    void Dispatch()
    {
        scheduler.Dispatch([this](std::size_t request, bool keepAlive) {
            const std::size_t host = hostOf[request];
            if (idle[host] > 0)
                --idle[host];
            else
                ++open[host];
            running.push_back({request, host, keepAlive});
        });
        for (std::size_t host = 0; host < idle.size(); ++host)
            EXPECT_EQ(idle[host], 0) << "a kept-alive connection to host " << host << " is idle";
        total = 0;
        for (int count : open)
            total += count;
        maxTotal = std::max(maxTotal, total);
    }
    // Ends `count` of the running requests together, the oldest first.
    void End(std::size_t count)
    {
        count = std::min(count, running.size());
        for (std::size_t i = 0; i < count; ++i) {
            const Running ended = running[i];
            scheduler.Ended(ended.host, ended.keepAlive);
            if (ended.keepAlive)
                ++idle[ended.host];
            else
                --open[ended.host];
        }
        running.erase(running.begin(), running.begin() + static_cast<std::ptrdiff_t>(count));
    }

    struct Running
    {
        std::size_t request, host;
        bool keepAlive;
    };
    CHostScheduler& scheduler;
    std::vector<std::size_t> hostOf; // by request
    std::vector<int> idle, open;     // by host
    std::vector<Running> running;
    int total = 0, maxTotal = 0;
};

} // namespace

TEST(HostScheduler, AHostsConnectionsEndingTogetherLeaveNoneOpenIdle)
{
    // Two kept-alive connections to one host end at once with two requests left: each takes
    // one, so neither may be promised to a next request that the other has taken.
    CHostScheduler scheduler(4, 2);
    CConnections connections(scheduler, 1);
    const std::size_t host = scheduler.HostOf("a:80");
    for (std::size_t request = 0; request < 4; ++request) {
        connections.hostOf.push_back(host);
        scheduler.Queue(request, host, false);
    }
    connections.Dispatch();
    ASSERT_EQ(connections.running.size(), 2u);
    connections.End(2);
    connections.Dispatch();
    ASSERT_EQ(connections.running.size(), 2u);
    connections.End(2);
    connections.Dispatch();
    EXPECT_TRUE(scheduler.Idle());
    EXPECT_EQ(connections.open[host], 0);
}

TEST(HostScheduler, ConnectionsStayWithinTheLimitsWhateverEndsTogether)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        const int jobs = 1 + static_cast<int>(random() % 6);
        const int perHost = 1 + static_cast<int>(random() % 3);
        const std::size_t hostCount = 1 + random() % 8;
        CHostScheduler scheduler(jobs, perHost);
        CConnections connections(scheduler, hostCount);
        for (std::size_t host = 0; host < hostCount; ++host)
            scheduler.HostOf("h" + std::to_string(host));
        const std::size_t requests = 1 + random() % 60;
        for (std::size_t request = 0; request < requests; ++request) {
            // Most requests go to the first host, as on a page of one site's links.
            const std::size_t host = random() % 2 ? 0 : random() % hostCount;
            connections.hostOf.push_back(host);
            scheduler.Queue(request, host, random() % 4 == 0);
        }
        std::size_t started = 0;
        for (int round = 0; round < 10000 && !scheduler.Idle(); ++round) {
            const std::size_t before = connections.running.size();
            connections.Dispatch();
            started += connections.running.size() - before;
            for (std::size_t host = 0; host < hostCount; ++host)
                ASSERT_LE(connections.open[host], perHost) << "seed " << seed;
            ASSERT_LE(connections.total, jobs) << "seed " << seed;
            connections.End(1 + random() % std::max<std::size_t>(1, connections.running.size()));
        }
        connections.Dispatch();
        EXPECT_EQ(started, requests) << "seed " << seed;
        EXPECT_TRUE(scheduler.Idle()) << "seed " << seed;
        EXPECT_EQ(connections.total, 0) << "seed " << seed;
    }
}

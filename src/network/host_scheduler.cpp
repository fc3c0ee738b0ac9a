#include "network/host_scheduler.h"

#include <algorithm>

CHostScheduler::CHostScheduler(int jobs, int perHost)
    : jobs(std::max(1, jobs)), perHost(std::max(1, perHost))
{
}

std::size_t CHostScheduler::HostOf(const std::string& key)
{
    auto [at, added] = hostIndex.emplace(key, hosts.size());
    if (added) hosts.emplace_back();
    return at->second;
}

void CHostScheduler::Queue(std::size_t request, std::size_t host, bool urgent)
{
    HostQueue& queue = hosts[host];
    Unlist(host);
    if (urgent)
        queue.pending.push_front(request);
    else
        queue.pending.push_back(request);
    List(host);
}

void CHostScheduler::QueueAt(std::int64_t dueMs, std::size_t request, std::size_t host, bool urgent)
{
    held.push(Held{dueMs, request, host, urgent});
}

int CHostScheduler::ReleaseDue(std::int64_t nowMs, int maxWaitMs)
{
    while (!held.empty() && held.top().dueMs <= nowMs) {
        Held due = held.top();
        held.pop();
        Queue(due.request, due.host, due.urgent);
    }
    if (held.empty()) return maxWaitMs;
    return static_cast<int>(
        std::max<std::int64_t>(0, std::min<std::int64_t>(maxWaitMs, held.top().dueMs - nowMs)));
}

void CHostScheduler::List(std::size_t host)
{
    HostQueue& queue = hosts[host];
    if (queue.listed || queue.pending.size() <= queue.promised || queue.active >= perHost) return;
    queue.listed = true;
    queue.listedAs = queue.pending.size();
    ready.emplace(queue.listedAs, host);
}

void CHostScheduler::Unlist(std::size_t host)
{
    HostQueue& queue = hosts[host];
    if (!queue.listed) return;
    ready.erase({queue.listedAs, host});
    queue.listed = false;
}

// A request that was promised its connection's next use hands it on to its host; every other
// connection goes to the host with the most waiting. So the hosts drain evenly, no host has more
// than its share, and a slow host holds no other.
void CHostScheduler::Dispatch(const std::function<void(std::size_t, bool)>& start)
{
    // A renewed host starts next even when it is not in the ready list: its waiting requests
    // may all be promised. Each renewal gives up its promise only here, as it takes a request:
    // given up earlier, an earlier start's keep-alive choice would count that request as free,
    // and of two connections of one host ending together, one could be promised the request the
    // other then takes, and stay open idle.
    for (std::size_t host : renewed) {
        HostQueue& queue = hosts[host];
        Unlist(host);
        --queue.promised;
        List(host);
        if (active < jobs && !queue.pending.empty() && queue.active < perHost)
            StartNext(host, start);
    }
    renewed.clear();
    while (active < jobs && !ready.empty())
        StartNext(ready.begin()->second, start);
}

void CHostScheduler::StartNext(std::size_t host,
                               const std::function<void(std::size_t, bool)>& start)
{
    HostQueue& queue = hosts[host];
    Unlist(host);
    std::size_t request = queue.pending.front();
    queue.pending.pop_front();
    ++queue.active;
    ++active;
    List(host);
    // The connection stays open for the host's next request when every connection to the host
    // has one waiting and the host has at least half as much waiting as the host with the most.
    // A promised request is held back from new connections, so that the connection never finds
    // its host's queue empty.
    std::size_t most = ready.empty() ? 0 : ready.begin()->first;
    Unlist(host);
    bool keepAlive = queue.pending.size() > queue.promised &&
                     queue.pending.size() >= static_cast<std::size_t>(queue.active) &&
                     queue.pending.size() * 2 >= most;
    if (keepAlive) ++queue.promised;
    List(host);
    start(request, keepAlive);
}

void CHostScheduler::Ended(std::size_t host, bool keepAlive)
{
    Unlist(host);
    --hosts[host].active;
    --active;
    if (keepAlive) renewed.push_back(host); // its promised request stays held until Dispatch
    List(host);
}

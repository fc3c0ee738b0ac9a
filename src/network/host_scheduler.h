// Which request goes out next under the politeness limits: at most `jobs` connections overall
// and `perHost` to one host, hosts drained evenly (the one with the most waiting goes first), a
// request whose connection was promised to its host's next request handing it on, and requests
// held back until a time of their own (retries). Requests are the caller's numbers; the
// scheduler knows nothing of addresses beyond the host key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <queue>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CHostScheduler
{
public:
    CHostScheduler(int jobs, int perHost);

    // The number of a host ("host:port"), given on first sight.
    std::size_t HostOf(const std::string& key);
    // Queues a request to `host`; an `urgent` one (a redirect chain under way, which holds memory
    // and is nearly done) goes before the others of its host.
    void Queue(std::size_t request, std::size_t host, bool urgent);
    // Queues it once the clock reaches `dueMs`.
    void QueueAt(std::int64_t dueMs, std::size_t request, std::size_t host, bool urgent);
    // Queues the held-back requests that are due at `nowMs`; returns how long the caller may
    // wait for answers before the next one is due, at most `maxWaitMs`.
    int ReleaseDue(std::int64_t nowMs, int maxWaitMs);

    // Starts requests while connections are free: `start(request, keepAlive)` for each. With
    // `keepAlive` the request's connection should stay open for its host's next request, which
    // is then promised it; otherwise it should close, so that idle kept-alive connections never
    // add to the limits (WinHTTP keeps every idle one open for a while).
    void Dispatch(const std::function<void(std::size_t request, bool keepAlive)>& start);
    // A request to `host` has ended; `keepAlive` as Dispatch gave it.
    void Ended(std::size_t host, bool keepAlive);
    // Nothing running, waiting or held back.
    bool Idle() const { return active == 0 && ready.empty() && held.empty() && renewed.empty(); }

private:
    struct HostQueue
    {
        std::deque<std::size_t> pending;
        int active = 0;
        std::size_t promised = 0; // pending requests held for the host's kept-alive connections
        bool listed = false;      // in the ready list, under pending.size() as it was then
        std::size_t listedAs = 0;
    };
    struct Held
    {
        std::int64_t dueMs;
        std::size_t request, host;
        bool urgent;
        bool operator>(const Held& other) const
        {
            return dueMs != other.dueMs ? dueMs > other.dueMs : request > other.request;
        }
    };

    void List(std::size_t host);
    void Unlist(std::size_t host);
    void StartNext(std::size_t host,
                   const std::function<void(std::size_t request, bool keepAlive)>& start);

    int jobs, perHost;
    int active = 0;
    std::unordered_map<std::string, std::size_t> hostIndex;
    std::vector<HostQueue> hosts;
    // The hosts with a request waiting that no kept-alive connection holds and a connection free,
    // the most waiting first.
    std::set<std::pair<std::size_t, std::size_t>, std::greater<>> ready; // (waiting, host)
    // Hosts whose kept-alive connection has ended its request, one entry each; their promised
    // requests are held until Dispatch hands them over.
    std::vector<std::size_t> renewed;
    std::priority_queue<Held, std::vector<Held>, std::greater<Held>> held;
};

// What the editor's background jobs over the network share (the link check, the icon fetch): a
// thread of their own with a transport made for it, n of N and the finish told through a
// callback, cancel at any time, and the outcomes once finished.
#pragma once

#include "network/http_transport.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

template <class Outcome> class CNetworkJob
{
public:
    using TransportFactory = std::function<std::unique_ptr<IHttpTransport>(
        const TransportSettings& settings, std::string& error)>;
    using Progress = std::function<void(std::size_t done, std::size_t total)>;
    // The job's own work on its thread: the outcomes of every request it makes.
    using Work = std::function<std::vector<Outcome>(
        IHttpTransport& transport, const Progress& progress, const std::atomic<bool>* cancel)>;

    CNetworkJob(const CNetworkJob&) = delete;
    CNetworkJob& operator=(const CNetworkJob&) = delete;

    std::size_t Done() const { return done.load(); }
    bool Finished() const { return finished.load(); }
    void Cancel() { cancel.store(true); }
    bool Cancelled() const { return cancel.load(); }
    // Once Finished: the outcomes, one per request the work was given.
    const std::vector<Outcome>& Outcomes() const { return outcomes; }
    // Once Finished: why nothing ran (the HTTP stack could not be set up); empty otherwise.
    const std::string& Error() const { return error; }

protected:
    // `notify` is called on the job's thread after each request and once at the end; it must not
    // block (a window posts itself a message).
    explicit CNetworkJob(std::function<void()> notify) : notify(std::move(notify)) {}
    // The derived job calls Stop in its destructor, before its own members go.
    ~CNetworkJob() = default;

    // Starts `work` on the job's thread; without a transport, `count` outcomes carry the reason.
    void Start(TransportFactory factory, const TransportSettings& settings, std::size_t count,
               Work work)
    {
        thread = std::thread(
            [this, factory = std::move(factory), settings, count, work = std::move(work)] {
                std::unique_ptr<IHttpTransport> transport = factory(settings, error);
                std::vector<Outcome> results;
                if (transport) {
                    results = work(
                        *transport,
                        [this](std::size_t doneCount, std::size_t) {
                            done.store(doneCount);
                            if (notify) notify();
                        },
                        &cancel);
                    // The transport goes before the finish is told: its connections and threads end
                    // here.
                    transport.reset();
                } else {
                    results.resize(count);
                    for (Outcome& outcome : results)
                        outcome.reason = error;
                }
                outcomes = std::move(results);
                finished.store(true);
                if (notify) notify();
            });
    }

    // Cancels the work still running and waits for its thread.
    void Stop()
    {
        Cancel();
        if (thread.joinable()) thread.join();
    }

private:
    std::function<void()> notify;
    std::vector<Outcome> outcomes;
    std::string error;
    std::atomic<std::size_t> done{0};
    std::atomic<bool> finished{false};
    std::atomic<bool> cancel{false};
    std::thread thread;
};

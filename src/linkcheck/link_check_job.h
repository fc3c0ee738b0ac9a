// A whole project's link check on a thread of its own, for the window: the places are taken on
// the caller's thread, the requests run in the background, progress and the finish are told
// through a callback, and the check can be cancelled at any time.
#pragma once

#include "linkcheck/http_transport.h"
#include "linkcheck/link_checker.h"
#include "linkcheck/link_places.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CProject;

class CLinkCheckJob
{
public:
    using TransportFactory = std::function<std::unique_ptr<IHttpTransport>(
        const TransportSettings& settings, std::string& error)>;

    // Takes the project's places now (the project is not touched afterwards) and starts the
    // check. `notify` is called on the check's thread after each address and once at the end;
    // it must not block (a window posts itself a message).
    CLinkCheckJob(const CProject& project, const LinkCheckSettings& settings,
                  TransportFactory factory = CreateSystemTransport,
                  std::function<void()> notify = std::function<void()>());
    // Cancels a check still running and waits for its thread.
    ~CLinkCheckJob();
    CLinkCheckJob(const CLinkCheckJob&) = delete;
    CLinkCheckJob& operator=(const CLinkCheckJob&) = delete;

    // n of N: addresses done and to do.
    std::size_t Done() const { return done.load(); }
    std::size_t Total() const { return plan.addresses.size(); }
    bool Finished() const { return finished.load(); }
    void Cancel() { cancel.store(true); }
    bool Cancelled() const { return cancel.load(); }

    // The places, in page order, fixed when the job was made.
    const LinkCheckPlan& Plan() const { return plan; }
    // Once Finished: the outcomes by address, and a place's outcome.
    const std::vector<LinkOutcome>& Outcomes() const { return outcomes; }
    LinkOutcome OutcomeOf(std::size_t place) const;
    // Once Finished: why no check ran (the HTTP stack could not be set up); empty otherwise.
    const std::string& Error() const { return error; }

private:
    void Run(TransportFactory factory);

    LinkCheckSettings settings;
    LinkCheckPlan plan;
    std::function<void()> notify;
    std::vector<LinkOutcome> outcomes;
    std::string error;
    std::atomic<std::size_t> done{0};
    std::atomic<bool> finished{false};
    std::atomic<bool> cancel{false};
    std::thread thread;
};

// A whole project's link check on a thread of its own, for the window: the places are taken on
// the caller's thread, the requests run in the background, progress and the finish are told
// through a callback, and the check can be cancelled at any time.
#pragma once

#include "network/http_transport.h"
#include "network/link_checker.h"
#include "network/link_places.h"
#include "network/network_job.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CProject;

class CLinkCheckJob : public CNetworkJob<LinkOutcome>
{
public:
    // Takes the project's places now (the project is not touched afterwards) and starts the
    // check; `notify` is told after each address and at the end.
    CLinkCheckJob(const CProject& project, const LinkCheckSettings& settings,
                  TransportFactory factory = CreateSystemTransport,
                  std::function<void()> notify = std::function<void()>());
    // Cancels a check still running and waits for its thread.
    ~CLinkCheckJob() { Stop(); }

    // n of N: addresses done and to do.
    std::size_t Total() const { return plan.addresses.size(); }
    // The places, in page order, fixed when the job was made.
    const LinkCheckPlan& Plan() const { return plan; }
    // Once Finished: a place's outcome.
    LinkOutcome OutcomeOf(std::size_t place) const;

private:
    LinkCheckSettings settings;
    LinkCheckPlan plan;
};

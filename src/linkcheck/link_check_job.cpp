#include "linkcheck/link_check_job.h"

CLinkCheckJob::CLinkCheckJob(const CProject& project, const LinkCheckSettings& settings,
                             TransportFactory factory, std::function<void()> notify)
    : settings(settings), plan(CollectLinkPlaces(project)), notify(std::move(notify))
{
    thread = std::thread(&CLinkCheckJob::Run, this, std::move(factory));
}

CLinkCheckJob::~CLinkCheckJob()
{
    Cancel();
    if (thread.joinable()) thread.join();
}

LinkOutcome CLinkCheckJob::OutcomeOf(std::size_t place) const
{
    return OutcomeOfPlace(plan, outcomes, place);
}

void CLinkCheckJob::Run(TransportFactory factory)
{
    std::unique_ptr<IHttpTransport> transport = factory(TransportSettingsFor(settings), error);
    std::vector<LinkOutcome> results;
    if (transport) {
        CLinkChecker checker(*transport, settings);
        results = checker.Check(
            plan.addresses,
            [this](std::size_t count, std::size_t) {
                done.store(count);
                if (notify) notify();
            },
            &cancel);
        // The transport goes before the finish is told: its connections and threads end here.
        transport.reset();
    } else {
        results.resize(plan.addresses.size());
        for (LinkOutcome& outcome : results)
            outcome.reason = error;
    }
    outcomes = std::move(results);
    finished.store(true);
    if (notify) notify();
}

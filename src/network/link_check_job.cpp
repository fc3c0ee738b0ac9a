#include "network/link_check_job.h"

CLinkCheckJob::CLinkCheckJob(const CProject& project, const LinkCheckSettings& settings,
                             TransportFactory factory, std::function<void()> notify)
    : CNetworkJob(std::move(notify)), settings(settings), plan(CollectLinkPlaces(project))
{
    Start(
        std::move(factory), TransportSettingsFor(settings), plan.addresses.size(),
        [this](IHttpTransport& transport, const Progress& progress,
               const std::atomic<bool>* cancel) {
            return CLinkChecker(transport, this->settings).Check(plan.addresses, progress, cancel);
        });
}

LinkOutcome CLinkCheckJob::OutcomeOf(std::size_t place) const
{
    return OutcomeOfPlace(plan, Outcomes(), place);
}

#include "network/icon_fetch_job.h"

#include "edit/project_changes.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "network/link_url.h"
#include "persist/text.h"

#include <unordered_map>

IconFetchPlan CollectIconPlaces(const CProject& project, bool refresh)
{
    IconFetchPlan plan;
    plan.links = CollectLinkPlaces(project);
    std::unordered_map<std::uint32_t, std::uint32_t> pageOfAddress;
    for (const CColumn* column : project.columns) {
        for (const CGroup* group : column->groups) {
            for (const CItem* item : group->items) {
                if (item->GetTag() != tags::kItemLink) continue;
                // Main links of an empty address have no place; the others are counted below.
                if (static_cast<const CItemLink*>(item)->mainLink.url.empty()) ++plan.notFetched;
            }
        }
    }
    for (std::size_t i = 0; i < plan.links.places.size(); ++i) {
        const LinkPlace& place = plan.links.places[i];
        if (place.kind != LinkPlaceKind::MainLink) continue;
        if (place.address == LinkPlace::kNoAddress) {
            ++plan.notFetched;
            continue;
        }
        if (!refresh && static_cast<const CItemLink*>(place.item)->icon) {
            ++plan.withIcon;
            continue;
        }
        auto [at, added] =
            pageOfAddress.emplace(place.address, static_cast<std::uint32_t>(plan.pages.size()));
        if (added) plan.pages.push_back(plan.links.addresses[place.address]);
        plan.places.push_back(i);
        plan.pageOf.push_back(at->second);
    }
    return plan;
}

std::vector<IconChange> PlanIconChanges(const CProject& project, const IconFetchPlan& plan,
                                        const std::vector<IconFetchOutcome>& outcomes)
{
    std::vector<bool> live = LivePlaces(project, plan.links);
    std::vector<IconChange> changes;
    for (std::size_t entry = 0; entry < plan.places.size(); ++entry) {
        const std::size_t index = plan.places[entry];
        if (plan.pageOf[entry] >= outcomes.size() || !live[index]) continue;
        const IconFetchOutcome& outcome = outcomes[plan.pageOf[entry]];
        if (outcome.result != IconFetchResult::Kept || !outcome.icon) continue;
        const LinkPlace& place = plan.links.places[index];
        auto* item = static_cast<CItemLink*>(const_cast<CItem*>(place.item));
        // An address changed since is left alone: the icon is of another site.
        if (ToUtf8(item->mainLink.url) != plan.links.UrlOf(place)) continue;
        if (item->icon && *item->icon == *outcome.icon) continue;
        changes.push_back(IconChange{item, outcome.icon});
    }
    return changes;
}

std::size_t ApplyIconChanges(CProject& project, const std::vector<IconChange>& changes)
{
    for (const IconChange& change : changes)
        change.item->icon = change.icon;
    if (!changes.empty()) project.modified = true;
    return changes.size();
}

std::size_t ApplyIconChanges(CProjectChanges& changes, const std::vector<IconChange>& icons)
{
    CStepScope step(changes, L"fetch icons");
    for (const IconChange& change : icons)
        changes.SetIcon(*change.item, change.icon);
    return icons.size();
}

CIconFetchJob::CIconFetchJob(const CProject& project, bool refresh,
                             const IconFetchSettings& settings, TransportFactory factory,
                             std::function<void()> notify)
    : CNetworkJob(std::move(notify)), settings(settings), plan(CollectIconPlaces(project, refresh))
{
    Start(std::move(factory), TransportSettingsFor(settings), plan.pages.size(),
          [this](IHttpTransport& transport, const Progress& progress,
                 const std::atomic<bool>* cancel) {
              return CIconFetcher(transport, this->settings).Fetch(plan.pages, progress, cancel);
          });
}

// A project's icon fetch: which link items it looks at, the fetch on a thread of its own for the
// window (progress, cancel, like the link check's job), and giving the icons it found to the
// items that are still there, directly (the command line) or as one undoable step (the window).
#pragma once

#include "network/icon_fetcher.h"
#include "network/link_check_job.h"
#include "network/link_places.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CItemLink;
class CProject;
class CProjectChanges;

// Moves but does not copy, as its link places.
struct IconFetchPlan
{
    LinkCheckPlan links;               // every place of the project: captions, nodes, addresses
    std::vector<std::size_t> places;   // the main links whose icon is fetched, into links.places
    std::vector<std::uint32_t> pageOf; // by entry of `places`: its page, into `pages`
    std::vector<std::string> pages;    // the distinct decoded page addresses fetched
    std::size_t withIcon = 0;          // main links left alone because they have an icon
    std::size_t notFetched = 0;        // main links of another scheme, relative or empty
};

// The main link of every link item with an http or https address, without an icon unless
// `refresh`, in page order.
IconFetchPlan CollectIconPlaces(const CProject& project, bool refresh);

// An icon found for a link item.
struct IconChange
{
    CItemLink* item; // not owned
    std::shared_ptr<const CLinkIcon> icon;
};

// The icons of a finished fetch for the items still in the project whose main address is still
// the one fetched and whose icon would change; by entry of plan.places. A failed fetch changes
// nothing: an icon an item had stays.
std::vector<IconChange> PlanIconChanges(const CProject& project, const IconFetchPlan& plan,
                                        const std::vector<IconFetchOutcome>& outcomes);
// Gives the items their icons and marks the project modified when any changed; returns how many.
std::size_t ApplyIconChanges(CProject& project, const std::vector<IconChange>& changes);
// The same through the change path, as one step ("fetch icons") that undo takes back whole.
std::size_t ApplyIconChanges(CProjectChanges& changes, const std::vector<IconChange>& icons);

class CIconFetchJob : public CNetworkJob<IconFetchOutcome>
{
public:
    // Takes the project's places now (the project is not touched afterwards) and starts the
    // fetch; `notify` is told after each page and at the end.
    CIconFetchJob(const CProject& project, bool refresh, const IconFetchSettings& settings,
                  TransportFactory factory = CreateSystemTransport,
                  std::function<void()> notify = std::function<void()>());
    // Cancels a fetch still running and waits for its thread.
    ~CIconFetchJob() { Stop(); }

    // n of N: pages done and to do.
    std::size_t Total() const { return plan.pages.size(); }
    const IconFetchPlan& Plan() const { return plan; }
    // Once Finished: the outcome of an entry of Plan().places (Outcomes() are by page).
    const IconFetchOutcome& OutcomeOf(std::size_t entry) const
    {
        return Outcomes()[plan.pageOf[entry]];
    }

private:
    IconFetchSettings settings;
    IconFetchPlan plan;
};

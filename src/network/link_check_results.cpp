#include "network/link_check_results.h"

#include "edit/project_changes.h"
#include "homepage/shown_text.h"
#include "model/item.h"
#include "model/project.h"
#include "network/link_report.h"
#include "network/reason_texts.h"
#include "network/result_rows.h"
#include "persist/text.h"

#include <algorithm>
#include <unordered_set>

namespace {

// Results whose status says more than their name.
bool ShowsStatus(LinkResult result)
{
    return result == LinkResult::NotFound || result == LinkResult::ClientError ||
           result == LinkResult::ServerError || result == LinkResult::RateLimited;
}

} // namespace

CLinkCheckResults::CLinkCheckResults(const LinkCheckPlan& plan,
                                     const std::vector<LinkOutcome>& outcomes)
    : plan(&plan), outcomes(&outcomes)
{
    rows.reserve(plan.places.size());
    for (std::size_t place = 0; place < plan.places.size(); ++place)
        rows.push_back({place, false});
    live.assign(plan.places.size(), true);
    Sort();
}

void CLinkCheckResults::Refresh(const CProject& project)
{
    live = LivePlaces(project, *plan);
    rows.clear();
    for (std::size_t place = 0; place < live.size(); ++place) {
        if (!live[place]) continue;
        bool replaced = false;
        auto at = replacedTo.find(place);
        if (at != replacedTo.end()) {
            const std::wstring* now = TextOf(SiteOf(place));
            replaced = now && *now == at->second;
        }
        rows.push_back({place, replaced});
    }
    Sort();
}

void CLinkCheckResults::SortBy(LinkColumn column)
{
    descending = column == sortColumn ? !descending : false;
    sortColumn = column;
    Sort();
}

int CLinkCheckResults::Rank(const Row& row) const
{
    if (row.replaced) return 100;
    const LinkOutcome outcome = OutcomeOfPlace(*plan, *outcomes, row.place);
    if (IsLinkProblem(outcome.result)) return static_cast<int>(outcome.result);
    switch (outcome.result) {
    case LinkResult::Redirected:
        return 101;
    case LinkResult::Ok:
        return outcome.httpsAvailable ? 102 : 103;
    default:
        return 104;
    }
}

void CLinkCheckResults::Sort()
{
    if (sortColumn == LinkColumn::Result) {
        SortRowsByKey(rows, descending, [this](std::size_t i) { return Rank(rows[i]); });
    } else {
        SortRowsByKey(rows, descending,
                      [this](std::size_t i) { return FoldedForSort(Text(i, sortColumn)); });
    }
}

std::size_t CLinkCheckResults::RowOf(std::size_t place) const
{
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].place == place) return row;
    }
    return kNoRow;
}

std::string CLinkCheckResults::Text(std::size_t row, LinkColumn column) const
{
    const Row& shown = rows[row];
    const LinkPlace& place = plan->places[shown.place];
    switch (column) {
    case LinkColumn::Result: {
        if (shown.replaced) return "Replaced";
        const LinkOutcome outcome = OutcomeOfPlace(*plan, *outcomes, shown.place);
        std::string text = LinkResultName(outcome.result);
        if (ShowsStatus(outcome.result) && outcome.status > 0)
            text += " (" + std::to_string(outcome.status) + ")";
        if (outcome.httpsAvailable) text += ", https available";
        return text;
    }
    // Captions as the page shows them; an empty one as a pasted address's.
    case LinkColumn::Caption:
        return ToUtf8(LinkLabel(FromUtf8(place.caption), FromUtf8(plan->UrlOf(place))));
    case LinkColumn::Url:
        if (shown.replaced) return ToUtf8(replacedTo.at(shown.place));
        return plan->UrlOf(place);
    case LinkColumn::Where:
        return ToUtf8(ShownText(*place.column)) + " / " + ToUtf8(ShownText(*place.group));
    case LinkColumn::FinalOrReason: {
        if (shown.replaced) return "was " + plan->UrlOf(place);
        const LinkOutcome outcome = OutcomeOfPlace(*plan, *outcomes, shown.place);
        if (!outcome.finalUrl.empty()) return outcome.finalUrl;
        if (outcome.httpsAvailable) return "https answered too";
        return LinkReasonText(outcome);
    }
    }
    return std::string();
}

std::string CLinkCheckResults::RowsText(const std::vector<std::size_t>& rowList) const
{
    return RowsAsText(rowList, kLinkColumnCount, [this](std::size_t row, int column) {
        return Text(row, static_cast<LinkColumn>(column));
    });
}

std::string CLinkCheckResults::Summary() const
{
    std::vector<std::size_t> places;
    std::vector<bool> replaced;
    places.reserve(rows.size());
    replaced.reserve(rows.size());
    for (const Row& row : rows) {
        places.push_back(row.place);
        replaced.push_back(row.replaced);
    }
    return LinkCheckSummary(*plan, *outcomes, places, replaced);
}

bool CLinkCheckResults::SeemsOffline(std::size_t& addresses) const
{
    std::unordered_set<std::uint32_t> asked;
    for (const Row& row : rows) {
        if (row.replaced) continue;
        const LinkOutcome outcome = OutcomeOfPlace(*plan, *outcomes, row.place);
        // Places of other schemes, bad addresses and those a cancel left were asked of no one.
        if (outcome.result == LinkResult::NotChecked || outcome.result == LinkResult::BadUrl)
            continue;
        if (outcome.failure != HttpFailure::HostUnknown && outcome.failure != HttpFailure::Refused)
            return false;
        asked.insert(plan->places[row.place].address);
    }
    addresses = asked.size();
    return !asked.empty();
}

std::vector<LinkFix> CLinkCheckResults::Fixes(const CProject& project, bool https) const
{
    return PlanLinkFixes(project, *plan, *outcomes, https);
}

bool CLinkCheckResults::CanFix(bool https) const
{
    return !PlanLinkFixes(*plan, *outcomes, https, live).empty();
}

void CLinkCheckResults::NoteReplaced(const std::vector<LinkFix>& fixes)
{
    for (const LinkFix& fix : fixes)
        replacedTo[fix.place] = fix.to;
}

CSite CLinkCheckResults::SiteOf(std::size_t index) const
{
    const LinkPlace& place = plan->places[index];
    CSite site;
    site.kind = kNodeItem;
    // The places hold the nodes as the check saw them; the change path writes through them.
    site.node = const_cast<CItem*>(place.item);
    switch (place.kind) {
    case LinkPlaceKind::MainLink:
        site.part = SitePart::MainUrl;
        break;
    case LinkPlaceKind::FurtherLink:
        site.part = SitePart::LinkUrl;
        site.link = static_cast<CItemLink::CLink*>(const_cast<void*>(place.link));
        break;
    case LinkPlaceKind::FormAddress:
        site.part = SitePart::FormAction;
        break;
    }
    return site;
}

std::size_t CLinkCheckResults::DeleteLinks(CProjectChanges& changes,
                                           const std::vector<std::size_t>& places) const
{
    const std::vector<bool> alive = LivePlaces(changes.Project(), *plan);
    // The items that go whole; a further link of one of them goes with it.
    std::vector<const CItem*> items;
    std::unordered_set<const CItem*> whole;
    std::vector<const LinkPlace*> further;
    std::unordered_set<std::size_t> taken;
    std::size_t deleted = 0;
    for (std::size_t index : places) {
        if (index >= alive.size() || !alive[index] || !taken.insert(index).second) continue;
        const LinkPlace& place = plan->places[index];
        ++deleted;
        if (place.kind == LinkPlaceKind::FurtherLink)
            further.push_back(&place);
        else if (whole.insert(place.item).second)
            items.push_back(place.item);
    }
    if (deleted == 0) return 0;
    CStepScope step(changes, L"delete links");
    std::unordered_set<const void*> linksGone;
    for (const LinkPlace* place : further) {
        if (whole.count(place->item) || !linksGone.insert(place->link).second) continue;
        auto* item = static_cast<CItemLink*>(const_cast<CItem*>(place->item));
        changes.RemoveLink(*item, static_cast<CItemLink::CLink*>(const_cast<void*>(place->link)));
    }
    for (const CItem* item : items)
        changes.RemoveNode(kNodeItem, const_cast<CItem*>(item));
    return deleted;
}

#include "network/link_check_results.h"

#include "model/item.h"
#include "model/project.h"
#include "network/link_report.h"
#include "persist/text.h"

#include <algorithm>

namespace {

// Results whose status says more than their name.
bool ShowsStatus(LinkResult result)
{
    return result == LinkResult::NotFound || result == LinkResult::ClientError ||
           result == LinkResult::ServerError || result == LinkResult::RateLimited;
}

// For sorting: letters of either case together.
std::string Folded(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Sorts the rows by the key of each (taken before any row moves); ties keep page order, whichever
// way the column goes.
template <class Row, class KeyOf>
void SortByKey(std::vector<Row>& rows, bool descending, KeyOf keyOf)
{
    using Key = decltype(keyOf(std::size_t()));
    std::vector<std::pair<Key, Row>> keyed;
    keyed.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        keyed.emplace_back(keyOf(i), rows[i]);
    std::sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
        if (a.first != b.first) return descending ? b.first < a.first : a.first < b.first;
        return a.second.place < b.second.place;
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
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
        SortByKey(rows, descending, [this](std::size_t i) { return Rank(rows[i]); });
    } else {
        SortByKey(rows, descending, [this](std::size_t i) { return Folded(Text(i, sortColumn)); });
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
    case LinkColumn::Caption:
        return place.caption;
    case LinkColumn::Url:
        if (shown.replaced) return ToUtf8(replacedTo.at(shown.place));
        return plan->UrlOf(place);
    case LinkColumn::Where:
        return ToUtf8(*place.column) + " / " + ToUtf8(*place.group);
    case LinkColumn::FinalOrReason: {
        if (shown.replaced) return "was " + plan->UrlOf(place);
        const LinkOutcome outcome = OutcomeOfPlace(*plan, *outcomes, shown.place);
        if (!outcome.finalUrl.empty()) return outcome.finalUrl;
        if (outcome.httpsAvailable) return "https answered too";
        return outcome.reason;
    }
    }
    return std::string();
}

std::string CLinkCheckResults::Summary() const
{
    return LinkCheckSummary(*plan, *outcomes);
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

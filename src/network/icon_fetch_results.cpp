#include "network/icon_fetch_results.h"

#include "homepage/shown_text.h"
#include "model/item.h"
#include "network/reason_texts.h"
#include "network/result_rows.h"
#include "persist/text.h"

CIconFetchResults::CIconFetchResults(const IconFetchPlan& plan,
                                     const std::vector<IconFetchOutcome>& outcomes)
    : plan(&plan), outcomes(&outcomes)
{
    live.assign(plan.places.size(), true);
    for (std::size_t entry = 0; entry < plan.places.size(); ++entry) {
        if (plan.pageOf[entry] >= outcomes.size() ||
            outcomes[plan.pageOf[entry]].result != IconFetchResult::Kept)
            rows.push_back({entry});
    }
}

void CIconFetchResults::Refresh(const CProject& project)
{
    const std::vector<bool> places = LivePlaces(project, plan->links);
    rows.clear();
    for (std::size_t entry = 0; entry < plan->places.size(); ++entry) {
        live[entry] = places[plan->places[entry]];
        if (!live[entry]) continue;
        if (plan->pageOf[entry] >= outcomes->size() ||
            (*outcomes)[plan->pageOf[entry]].result != IconFetchResult::Kept)
            rows.push_back({entry});
    }
    Sort();
}

void CIconFetchResults::SortBy(IconColumn column)
{
    descending = !pageOrder && column == sortColumn ? !descending : false;
    sortColumn = column;
    pageOrder = false;
    Sort();
}

void CIconFetchResults::Sort()
{
    if (pageOrder) return;
    SortRowsByKey(rows, descending,
                  [this](std::size_t i) { return FoldedForSort(Text(i, sortColumn)); });
}

std::size_t CIconFetchResults::RowOf(std::size_t entry) const
{
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].place == entry) return row;
    }
    return kNoRow;
}

std::string CIconFetchResults::Text(std::size_t row, IconColumn column) const
{
    const std::size_t entry = rows[row].place;
    const LinkPlace& place = plan->links.places[plan->places[entry]];
    IconFetchOutcome outcome;
    if (plan->pageOf[entry] < outcomes->size()) outcome = (*outcomes)[plan->pageOf[entry]];
    switch (column) {
    case IconColumn::Why:
        return IconMissingWhy(outcome.result);
    // Captions as the page shows them; an empty one as a pasted address's.
    case IconColumn::Caption:
        return ToUtf8(LinkLabel(FromUtf8(place.caption), FromUtf8(plan->links.UrlOf(place))));
    case IconColumn::Url:
        return plan->links.UrlOf(place);
    case IconColumn::Where:
        return ToUtf8(ShownText(*place.column)) + " / " + ToUtf8(ShownText(*place.group));
    case IconColumn::Details:
        return IconReasonText(outcome);
    }
    return std::string();
}

std::string CIconFetchResults::RowsText(const std::vector<std::size_t>& rowList) const
{
    return RowsAsText(rowList, kIconColumnCount, [this](std::size_t row, int column) {
        return Text(row, static_cast<IconColumn>(column));
    });
}

CSite CIconFetchResults::SiteOf(std::size_t entry) const
{
    const LinkPlace& place = plan->links.places[plan->places[entry]];
    CSite site;
    site.kind = kNodeItem;
    // The places hold the nodes as the fetch saw them; showing a node needs it writable.
    site.node = const_cast<CItem*>(place.item);
    site.part = SitePart::MainUrl;
    return site;
}

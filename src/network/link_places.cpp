#include "network/link_places.h"

#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "network/link_url.h"
#include "persist/text.h"

#include <unordered_map>
#include <unordered_set>

namespace {

// Calls `visit(item, link, place)` for every place of the project whose address is not empty;
// `link` is the CLink of a link place and null for a form address.
template <typename Visit> void ForEachPlace(const CProject& project, Visit visit)
{
    LinkPlace place;
    place.columnIndex = 0;
    for (CColumn* column : project.columns) {
        place.groupIndex = 0;
        for (CGroup* group : column->groups) {
            place.itemIndex = 0;
            for (CItem* item : group->items) {
                place.item = item;
                if (item->GetTag() == tags::kItemLink) {
                    auto* link = static_cast<CItemLink*>(item);
                    place.linkIndex = 0;
                    place.kind = LinkPlaceKind::MainLink;
                    visit(column, group, item, &link->mainLink, place);
                    for (CItemLink::CLink* further : link->links) {
                        ++place.linkIndex;
                        place.kind = LinkPlaceKind::FurtherLink;
                        visit(column, group, item, further, place);
                    }
                } else if (item->GetTag() == tags::kItemForm) {
                    place.linkIndex = 0;
                    place.kind = LinkPlaceKind::FormAddress;
                    visit(column, group, item, nullptr, place);
                }
                ++place.itemIndex;
            }
            ++place.groupIndex;
        }
        ++place.columnIndex;
    }
}

// The address a place holds now; null for a POST form, which the check leaves out.
const std::wstring* AddressOf(const CItem* item, const CItemLink::CLink* link)
{
    if (link) return &link->url;
    auto* form = static_cast<const CItemForm*>(item);
    return form->method == 0 ? &form->action : nullptr;
}

// A place's node by identity: the item, the link within it (the item itself for a form) and the
// kind. All three must match: a node freed since the places were taken (its step fell out of
// the history) may leave its address to a new node of another kind or in another item.
struct NodeKey
{
    const void* item;
    const void* link;
    LinkPlaceKind kind;
    bool operator==(const NodeKey& other) const
    {
        return item == other.item && link == other.link && kind == other.kind;
    }
};

struct NodeKeyHash
{
    std::size_t operator()(const NodeKey& key) const
    {
        const std::hash<const void*> pointer;
        return pointer(key.link) ^ (pointer(key.item) * 31) ^ static_cast<std::size_t>(key.kind);
    }
};

using LiveNodeSet = std::unordered_set<NodeKey, NodeKeyHash>;

// The places' nodes that are still in the project.
LiveNodeSet LiveNodes(const CProject& project)
{
    LiveNodeSet nodes;
    ForEachPlace(project, [&nodes](CColumn*, CGroup*, CItem* item, CItemLink::CLink* link,
                                   const LinkPlace& where) {
        nodes.insert({item, link ? static_cast<const void*>(link) : item, where.kind});
    });
    return nodes;
}

bool IsLive(const LiveNodeSet& live, const LinkPlace& place)
{
    return live.count({place.item, place.link, place.kind}) > 0;
}

} // namespace

LinkCheckPlan CollectLinkPlaces(const CProject& project)
{
    LinkCheckPlan plan;
    std::size_t count = 0;
    ForEachPlace(project, [&count](CColumn*, CGroup*, CItem* item, CItemLink::CLink* link,
                                   const LinkPlace&) {
        const std::wstring* url = AddressOf(item, link);
        if (url && !url->empty()) ++count;
    });
    plan.places.reserve(count);
    plan.addresses.reserve(count);
    std::unordered_map<std::string, std::uint32_t> addressIndex;
    const CColumn* lastColumn = nullptr;
    const CGroup* lastGroup = nullptr;
    // The plan's copies of the current column's and group's captions (a deque keeps them put).
    const std::wstring* columnCaption = nullptr;
    const std::wstring* groupCaption = nullptr;
    ForEachPlace(project, [&](CColumn* column, CGroup* group, CItem* item, CItemLink::CLink* link,
                              const LinkPlace& where) {
        const std::wstring* url = AddressOf(item, link);
        if (!url || url->empty()) return;
        if (column != lastColumn) {
            plan.captions.push_back(column->caption);
            columnCaption = &plan.captions.back();
            lastColumn = column;
        }
        if (group != lastGroup) {
            plan.captions.push_back(group->caption);
            groupCaption = &plan.captions.back();
            lastGroup = group;
        }
        LinkPlace place = where;
        place.column = columnCaption;
        place.group = groupCaption;
        place.caption = ToUtf8(link ? link->caption : item->GetLabel());
        std::string held = ToUtf8(*url);
        place.link = link ? static_cast<const void*>(link) : item;
        std::string decoded = DecodeAttributeReferences(held);
        HttpUrl parsed;
        std::string reason;
        UrlKind kind = ParseHttpUrl(decoded, parsed, reason);
        if (kind != UrlKind::NotChecked) {
            // Spellings of one address (case, default port, dot segments) are one address.
            std::string key = kind == UrlKind::Http ? parsed.ToString() : decoded;
            auto [at, added] =
                addressIndex.emplace(key, static_cast<std::uint32_t>(plan.addresses.size()));
            if (added) plan.addresses.push_back(key);
            place.address = at->second;
        }
        if (place.address == LinkPlace::kNoAddress || plan.addresses[place.address] != held)
            place.url = std::move(held);
        plan.places.push_back(std::move(place));
    });
    plan.addresses.shrink_to_fit();
    return plan;
}

LinkOutcome OutcomeOfPlace(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes,
                           std::size_t place)
{
    std::size_t address = plan.places[place].address;
    if (address < outcomes.size()) return outcomes[address];
    LinkOutcome outcome;
    outcome.reason = "not an http or https address";
    return outcome;
}

std::string AddressAsMarkup(const std::string& address)
{
    std::string markup;
    for (char c : address) {
        if (c == '&')
            markup += "&amp;";
        else if (c == '"')
            markup += "&quot;";
        else
            markup += c;
    }
    return markup;
}

bool IsWebAddress(const std::wstring& markup)
{
    HttpUrl url;
    std::string reason;
    return ParseHttpUrl(DecodeAttributeReferences(ToUtf8(markup)), url, reason) == UrlKind::Http;
}

std::vector<bool> LivePlaces(const CProject& project, const LinkCheckPlan& plan)
{
    const LiveNodeSet live = LiveNodes(project);
    std::vector<bool> result(plan.places.size());
    for (std::size_t i = 0; i < plan.places.size(); ++i)
        result[i] = IsLive(live, plan.places[i]);
    return result;
}

std::vector<LinkFix> PlanLinkFixes(const CProject& project, const LinkCheckPlan& plan,
                                   const std::vector<LinkOutcome>& outcomes, bool https)
{
    return PlanLinkFixes(plan, outcomes, https, LivePlaces(project, plan));
}

std::vector<LinkFix> PlanLinkFixes(const LinkCheckPlan& plan,
                                   const std::vector<LinkOutcome>& outcomes, bool https,
                                   const std::vector<bool>& live)
{
    std::vector<LinkFix> fixes;
    for (std::size_t i = 0; i < plan.places.size(); ++i) {
        const LinkPlace& place = plan.places[i];
        if (place.address >= outcomes.size() || i >= live.size() || !live[i]) continue;
        const std::wstring* now = AddressOf(
            place.item,
            place.link == place.item ? nullptr : static_cast<const CItemLink::CLink*>(place.link));
        if (!now || ToUtf8(*now) != plan.UrlOf(place))
            continue; // changed since the check: left alone
        const LinkOutcome& outcome = outcomes[place.address];
        LinkFix fix{i, *now, std::wstring(), false};
        if (outcome.result == LinkResult::Moved && !outcome.finalUrl.empty()) {
            fix.to = FromUtf8(AddressAsMarkup(outcome.finalUrl));
        } else if (https && outcome.httpsAvailable) {
            // Only the scheme changes, so the rest keeps its markup as written.
            std::size_t colon = now->find(L':');
            if (colon == std::wstring::npos) continue;
            fix.to = L"https" + now->substr(colon);
            fix.https = true;
        }
        if (!fix.to.empty() && IsWebAddress(fix.to)) fixes.push_back(std::move(fix));
    }
    return fixes;
}

std::size_t ApplyLinkFixes(CProject& project, const LinkCheckPlan& plan,
                           const std::vector<LinkFix>& fixes)
{
    const LiveNodeSet live = LiveNodes(project);
    std::size_t applied = 0;
    for (const LinkFix& fix : fixes) {
        const LinkPlace& place = plan.places[fix.place];
        if (!IsLive(live, place)) continue;
        std::wstring* url;
        if (place.link == place.item)
            url = &static_cast<CItemForm*>(const_cast<CItem*>(place.item))->action;
        else
            url = &static_cast<CItemLink::CLink*>(const_cast<void*>(place.link))->url;
        // Checked again as it goes in: nothing but a web address ever replaces a link's.
        if (*url != fix.from || !IsWebAddress(fix.to)) continue;
        *url = fix.to;
        ++applied;
    }
    if (applied > 0) project.modified = true;
    return applied;
}

#include "network/duplicate_links.h"

#include "edit/project_changes.h"
#include "edit/site.h"
#include "model/project.h"
#include "model/tags.h"
#include "network/address_key.h"

#include <unordered_map>

std::vector<DuplicateAddress> FindDuplicateLinks(const CProject& project)
{
    std::vector<DuplicateAddress> found;
    // Key to its index in `found`; the places of addresses seen once wait in `found` too and are
    // dropped at the end.
    std::unordered_map<std::string, std::size_t> byKey;
    DuplicatePlace place;
    for (const CColumn* column : project.columns) {
        place.groupIndex = 0;
        for (const CGroup* group : column->groups) {
            place.itemIndex = 0;
            for (const CItem* item : group->items) {
                if (item->GetTag() == tags::kItemLink) {
                    const auto* linkItem = static_cast<const CItemLink*>(item);
                    place.item = linkItem;
                    place.linkIndex = 0;
                    auto visit = [&](const CItemLink::CLink& link, bool further) {
                        std::string key = AddressKey(link.url);
                        if (key.empty()) return;
                        auto [at, added] = byKey.emplace(std::move(key), found.size());
                        if (added) found.push_back(DuplicateAddress{at->first, {}});
                        place.link = further ? &link : nullptr;
                        place.caption = link.caption;
                        place.url = link.url;
                        place.column = column->caption;
                        place.group = group->caption;
                        place.preselected = !found[at->second].places.empty();
                        found[at->second].places.push_back(place);
                    };
                    visit(linkItem->mainLink, false);
                    for (const CItemLink::CLink* further : linkItem->links) {
                        ++place.linkIndex;
                        visit(*further, true);
                    }
                }
                ++place.itemIndex;
            }
            ++place.groupIndex;
        }
        ++place.columnIndex;
    }
    std::vector<DuplicateAddress> duplicates;
    for (DuplicateAddress& address : found)
        if (address.places.size() > 1) duplicates.push_back(std::move(address));
    return duplicates;
}

std::size_t DeleteLinkPlaces(CProjectChanges& changes,
                             const std::vector<const DuplicatePlace*>& places)
{
    // Only links still in the project with the address they were found with are touched: the
    // places may be older than the project, and a node freed since may have left its memory to
    // another.
    std::unordered_map<const CItemLink*, const std::wstring*> doomedItems;
    std::unordered_map<const CItemLink::CLink*, const std::wstring*> doomedLinks;
    for (const DuplicatePlace* place : places) {
        if (!place) continue;
        if (place->link)
            doomedLinks.emplace(place->link, &place->url);
        else
            doomedItems.emplace(place->item, &place->url);
    }
    std::vector<CItemLink*> items;
    std::vector<std::pair<CItemLink*, CItemLink::CLink*>> links;
    for (CColumn* column : changes.Project().columns) {
        for (CGroup* group : column->groups) {
            for (CItem* item : group->items) {
                if (item->GetTag() != tags::kItemLink) continue;
                auto* linkItem = static_cast<CItemLink*>(item);
                auto doomed = doomedItems.find(linkItem);
                if (doomed != doomedItems.end() && *doomed->second == linkItem->mainLink.url) {
                    items.push_back(linkItem);
                    continue;
                }
                for (CItemLink::CLink* link : linkItem->links) {
                    auto further = doomedLinks.find(link);
                    if (further != doomedLinks.end() && *further->second == link->url)
                        links.emplace_back(linkItem, link);
                }
            }
        }
    }
    CStepScope step(changes, L"delete");
    for (auto& [item, link] : links)
        changes.RemoveLink(*item, link);
    for (CItemLink* item : items)
        changes.RemoveNode(kNodeItem, item);
    return items.size() + links.size();
}

// Find duplicate links: every address that more than one link of the project leads to, compared
// as a browser compares addresses (AddressKey), with each place it occurs in.
#pragma once

#include "model/item_link.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CProject;
class CProjectChanges;

// One link with a duplicated address: a link item's main link or one of its further links.
struct DuplicatePlace
{
    // The node's identity when the places were taken, for finding it again. Not owned; the item
    // may be gone by the time the place is used.
    const CItemLink* item = nullptr;
    const CItemLink::CLink* link = nullptr; // a further link; null for the item's main link
    // The texts at that time, as the project holds them (page markup).
    std::wstring caption; // the link's caption
    std::wstring url;
    std::wstring column, group; // the captions of the item's column and group
    // The path at that time: indices of the column, the group, the item and the link (0 the
    // main link, 1 the first further link).
    std::uint32_t columnIndex = 0, groupIndex = 0, itemIndex = 0, linkIndex = 0;
    // Every place but the first of its address: the ones a results list selects beforehand, so
    // that deleting them leaves each address once.
    bool preselected = false;
};

// One address with its places (at least two), in page order.
struct DuplicateAddress
{
    std::string key; // AddressKey of the places' addresses
    std::vector<DuplicatePlace> places;
};

// Every non-empty address that occurs more than once, ordered by its first place in page order.
std::vector<DuplicateAddress> FindDuplicateLinks(const CProject& project);

// Deletes the places whose links are still in the project, as one step named "delete" through
// the change path: a main link's place deletes its item (with its further links), a further
// link's place only that link. Returns how many places were deleted (a further link whose item
// is deleted too counts with its item, not on its own).
std::size_t DeleteLinkPlaces(CProjectChanges& changes,
                             const std::vector<const DuplicatePlace*>& places);

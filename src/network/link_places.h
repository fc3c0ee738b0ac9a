// Where a project's links are: every main link, further link and GET form address, with the
// distinct addresses to check. The same address in several places is checked once.
#pragma once

#include "network/link_checker.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class CProject;
class CItem;

enum class LinkPlaceKind : std::uint8_t
{
    MainLink,
    FurtherLink,
    FormAddress,
};

struct LinkPlace
{
    static constexpr std::uint32_t kNoAddress = 0xFFFFFFFFu;

    LinkPlaceKind kind = LinkPlaceKind::MainLink;
    // The captions when the places were taken. Column and group captions are the plan's, shared
    // by their places; caption and address are UTF-8. A check may hold a hundred thousand
    // places, so the address as the project holds it (page markup; LinkCheckPlan::UrlOf) is
    // kept only when it is not spelt as the address checked.
    const std::wstring* column = nullptr;
    const std::wstring* group = nullptr;
    std::string caption;
    std::string url; // empty: as addresses[address]
    // The node's identity when the places were taken, for finding it again: the item, and for
    // links the link itself. Not owned; the node may be gone by the time the results come.
    const CItem* item = nullptr;
    const void* link = nullptr;
    // The path at that time: indices of the column, the group, the item, and the link (0 the
    // main link, 1 the first further link; 0 for a form).
    std::uint32_t columnIndex = 0, groupIndex = 0, itemIndex = 0, linkIndex = 0;
    // Index into LinkCheckPlan::addresses; kNoAddress for a place that is not checked.
    std::uint32_t address = kNoAddress;
};

// Moves but does not copy: its places point into its captions.
struct LinkCheckPlan
{
    LinkCheckPlan() = default;
    LinkCheckPlan(LinkCheckPlan&&) = default;
    LinkCheckPlan& operator=(LinkCheckPlan&&) = default;
    LinkCheckPlan(const LinkCheckPlan&) = delete;
    LinkCheckPlan& operator=(const LinkCheckPlan&) = delete;

    std::vector<LinkPlace> places;
    std::vector<std::string> addresses; // decoded, distinct; what the checker is given
    std::deque<std::wstring> captions;  // the columns' and groups' (a deque: they stay put)

    // The place's address as the project held it.
    const std::string& UrlOf(const LinkPlace& place) const
    {
        return place.url.empty() ? addresses[place.address] : place.url;
    }
};

// Takes the places of every non-empty link address and GET form address, in page order.
LinkCheckPlan CollectLinkPlaces(const CProject& project);

// The outcome that belongs to a place: its address's, or Not checked for another scheme.
LinkOutcome OutcomeOfPlace(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes,
                           std::size_t place);

// Which places' nodes are still in the project, by place: a node deleted while its links were
// checked drops out of the results.
std::vector<bool> LivePlaces(const CProject& project, const LinkCheckPlan& plan);

// A change the fixes make: a place's address, from what was checked to its new markup.
struct LinkFix
{
    std::size_t place;
    std::wstring from, to;
    bool https; // an upgrade to https rather than a move
};

// The fixes of a finished check: every Moved place to its final address, and with `https` every
// http place whose https twin answered OK to https. Only places whose node is still in the
// project and still holds the address that was checked, and only to web addresses.
std::vector<LinkFix> PlanLinkFixes(const CProject& project, const LinkCheckPlan& plan,
                                   const std::vector<LinkOutcome>& outcomes, bool https);
// The same with the places' liveness known already (LivePlaces).
std::vector<LinkFix> PlanLinkFixes(const LinkCheckPlan& plan,
                                   const std::vector<LinkOutcome>& outcomes, bool https,
                                   const std::vector<bool>& live);
// Applies planned fixes to the nodes that are still there and marks the project modified when
// anything changed; returns how many were applied. A fix to anything but a web address is not.
std::size_t ApplyLinkFixes(CProject& project, const LinkCheckPlan& plan,
                           const std::vector<LinkFix>& fixes);
// An address from the network as page markup for the project: '&' and '"' as references.
std::string AddressAsMarkup(const std::string& address);
// Whether an address held as page markup is one a browser takes for http or https (after
// decoding its references and dropping what a browser drops): the only addresses a replacement
// may put into the project.
bool IsWebAddress(const std::wstring& markup);

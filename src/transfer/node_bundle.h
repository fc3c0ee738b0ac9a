// Nodes out of any project, all of one kind, in order: what a copy, the clipboard or a drop
// holds until it is pasted. Destroys whatever it still holds.
#pragma once

#include "edit/node_places.h"

#include <cstdint>
#include <vector>

class CProject;

struct CNodeBundle
{
    std::int32_t kind = 0; // a NodeKind: column, group or item
    std::vector<CDetachedNode> nodes;

    bool Empty() const { return nodes.empty(); }
};

// Takes every node of `kind` out of `scratch` (a project made for the purpose) into the bundle:
// its columns, the groups of all its columns, or the items of all its groups, in order.
CNodeBundle TakeAll(CProject& scratch, std::int32_t kind);

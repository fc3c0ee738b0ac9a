#include "edit/node_placement.h"

#include "edit/node_places.h"
#include "edit/site.h"
#include "model/project.h"

namespace {

// The node of `kind` that holds (or is) the node; null when the node lies above that kind.
CStreamable* AncestorOf(std::int32_t nodeKind, CStreamable* node, std::int32_t kind)
{
    if (nodeKind < kind) return nullptr;
    for (; nodeKind > kind && node; --nodeKind)
        node = ParentOf(nodeKind, node);
    return node;
}

// The last child of kind `kind` below `node` (of `nodeKind`), going down one level at a time
// through the last children; null when one level has none.
CStreamable* LastDescendant(std::int32_t nodeKind, CStreamable* node, std::int32_t kind)
{
    for (; node && nodeKind < kind; ++nodeKind) {
        const std::size_t count = ChildCount(nodeKind + 1, node);
        node = count ? ChildAt(nodeKind + 1, node, count - 1) : nullptr;
    }
    return node;
}

bool AtEnd(std::int32_t parentKind, CStreamable* parent, CNodePlace& place)
{
    if (!parent) return false;
    place.parent = parent;
    place.index = ChildCount(parentKind + 1, parent);
    return true;
}

bool After(std::int32_t kind, CStreamable* sibling, CNodePlace& place)
{
    place.parent = ParentOf(kind, sibling);
    if (!place.parent) return false;
    place.index = IndexOf(kind, sibling) + 1;
    return true;
}

} // namespace

bool PastePlace(std::int32_t actingKind, CStreamable* acting, std::int32_t pastedKind,
                CNodePlace& place)
{
    if (!acting || pastedKind < kNodeColumn || pastedKind > kNodeItem ||
        actingKind < kNodeProject || actingKind > kNodeItem)
        return false;
    const std::int32_t parentKind = pastedKind - 1;
    // Acted on at the pasted kind or below it: after the node of that kind that holds it.
    if (actingKind >= pastedKind)
        return After(pastedKind, AncestorOf(actingKind, acting, pastedKind), place);
    // Acted on right above it: at the end of the acted-on node.
    if (actingKind == parentKind) return AtEnd(parentKind, acting, place);
    // Further up: at the end of the acted-on node's last descendant that holds the kind.
    return AtEnd(parentKind, LastDescendant(actingKind, acting, parentKind), place);
}

bool DropPlace(std::int32_t targetKind, CStreamable* target, std::int32_t draggedKind,
               bool upperHalf, CNodePlace& place)
{
    if (target && targetKind == draggedKind && upperHalf && targetKind != kNodeProject) {
        place.parent = ParentOf(targetKind, target);
        if (!place.parent) return false;
        place.index = IndexOf(targetKind, target);
        return true;
    }
    return PastePlace(targetKind, target, draggedKind, place);
}

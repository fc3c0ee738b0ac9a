#include "transfer/node_bundle.h"

#include "edit/site.h"
#include "model/item.h"
#include "model/project.h"

#include <utility>

namespace {

// A node out of its scratch parent points at no parent: the scratch project goes before the
// node is put into the real one.
template <typename Node> void Take(CNodeBundle& bundle, std::int32_t kind, Node* node)
{
    CDetachedNode taken = CDetachedNode::Take(kind, node);
    if (!taken.Get()) return;
    node->parent = nullptr;
    bundle.nodes.push_back(std::move(taken));
}

// The list's nodes as they are now: taking a node changes its parent's list.
template <typename Node> std::vector<Node*> Snapshot(const COwnedList<Node>& list)
{
    std::vector<Node*> nodes;
    nodes.reserve(list.size());
    for (Node* node : list)
        nodes.push_back(node);
    return nodes;
}

} // namespace

CNodeBundle TakeAll(CProject& scratch, std::int32_t kind)
{
    CNodeBundle bundle;
    bundle.kind = kind;
    for (CColumn* column : Snapshot(scratch.columns)) {
        if (kind == kNodeColumn) {
            Take(bundle, kind, column);
            continue;
        }
        for (CGroup* group : Snapshot(column->groups)) {
            if (kind == kNodeGroup) {
                Take(bundle, kind, group);
                continue;
            }
            for (CItem* item : Snapshot(group->items))
                Take(bundle, kind, item);
        }
    }
    return bundle;
}

// The tree view bound to the project: rebuilding it, finding and releasing the item records,
// and labels that follow the panes' edits.
#include "editor/tree_editor.h"

#include "model/item.h"
#include "model/project.h"

#include <commctrl.h>

#include <vector>

namespace {

// The text a node shows in the tree.
std::wstring Label(std::int32_t kind, const CStreamable* node)
{
    switch (kind) {
    case kNodeProject:
        return static_cast<const CProject*>(node)->title;
    case kNodeColumn:
        return static_cast<const CColumn*>(node)->caption;
    case kNodeGroup:
        return static_cast<const CGroup*>(node)->caption;
    case kNodeItem:
        return static_cast<const CItem*>(node)->GetLabel();
    default:
        return std::wstring();
    }
}

std::size_t CountNodes(const CProject& project)
{
    std::size_t count = 1 + project.columns.size();
    for (const CColumn* column : project.columns) {
        count += column->groups.size();
        for (const CGroup* group : column->groups)
            count += group->items.size();
    }
    return count;
}

} // namespace

void CfrmTreeEditor::Populate()
{
    std::int32_t kind = kNodeProject;
    const CStreamable* node = project;
    if (const TreeItemData* selected = SelectedRecord()) {
        kind = selected->kind;
        node = selected->node;
    }
    ClearTree();
    FillTree(kind, node);
}

void CfrmTreeEditor::ClearTree()
{
    rebuilding = true;
    ::SendMessageW(treeView, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    records.Clear();
}

void CfrmTreeEditor::FillTree(std::int32_t selectKind, const CStreamable* selectNode)
{
    records.Reserve(CountNodes(*project));
    HTREEITEM root = InsertItem(TVI_ROOT, TVI_LAST, kNodeProject, project, project->title);

    // Every item goes in at the front of its siblings, last sibling first, and all columns and
    // groups go in before any item. The tree comes out the same as inserting in page order at
    // the end, but the tree view (as Wine implements it) then neither walks the siblings for
    // the end nor searches its whole item list to check an insert-after handle: a rebuild
    // stays linear in the number of nodes, however long a group is.
    std::vector<HTREEITEM> columnItems;
    std::vector<std::pair<HTREEITEM, const CGroup*>> groupItems;
    if (root) {
        const auto& columns = project->columns;
        columnItems.resize(columns.size());
        for (std::size_t c = columns.size(); c-- > 0;)
            columnItems[c] =
                InsertItem(root, TVI_FIRST, kNodeColumn, columns[c], columns[c]->caption);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (!columnItems[c]) continue;
            const auto& groups = columns[c]->groups;
            std::size_t first = groupItems.size();
            groupItems.resize(first + groups.size());
            for (std::size_t g = groups.size(); g-- > 0;)
                groupItems[first + g] = {InsertItem(columnItems[c], TVI_FIRST, kNodeGroup,
                                                    groups[g], groups[g]->caption),
                                         groups[g]};
        }
        for (const auto& groupItem : groupItems) {
            if (!groupItem.first) continue;
            const auto& items = groupItem.second->items;
            for (std::size_t i = items.size(); i-- > 0;)
                InsertItem(groupItem.first, TVI_FIRST, kNodeItem, items[i], items[i]->GetLabel());
        }
    }
    // Groups, then columns, then the root: the whole tree is open.
    for (const auto& groupItem : groupItems)
        ::SendMessageW(treeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(groupItem.first));
    for (HTREEITEM columnItem : columnItems)
        ::SendMessageW(treeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(columnItem));
    ::SendMessageW(treeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    rebuilding = false;

    const TreeItemData* selected = records.Find(selectKind, selectNode);
    HTREEITEM selection = selected ? selected->item : root;
    ::SendMessageW(treeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selection));
}

HTREEITEM CfrmTreeEditor::InsertItem(HTREEITEM parent, HTREEITEM after, std::int32_t kind,
                                     CStreamable* node, const std::wstring& label)
{
    TreeItemData* record = records.Add(kind, node);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(label.c_str()); // copied by the tree view
    insert.item.lParam = reinterpret_cast<LPARAM>(record);
    auto* item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(treeView, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!item) {
        records.Release(record);
        return nullptr;
    }
    record->item = item;
    return item;
}

TreeItemData* CfrmTreeEditor::FindTreeItemData(std::int32_t kind, const CStreamable* node) const
{
    return records.Find(kind, node);
}

void CfrmTreeEditor::NodeEdited(std::int32_t kind, CStreamable* node)
{
    ProjectChanged();
    const TreeItemData* record = records.Find(kind, node);
    if (!record) return;
    labels.Set(record->item, Label(kind, node));
}

void CfrmTreeEditor::ReleaseRecord(TreeItemData* record)
{
    if (rebuilding || !record) return;
    if (record == contextRecord) contextRecord = nullptr;
    records.Release(record);
}

TreeItemData* CfrmTreeEditor::RecordOf(HTREEITEM item) const
{
    if (!item) return nullptr;
    TVITEMW data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!::SendMessageW(treeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return nullptr;
    return reinterpret_cast<TreeItemData*>(data.lParam);
}

TreeItemData* CfrmTreeEditor::ParentRecord(const TreeItemData& record) const
{
    return RecordOf(NextItem(record.item, TVGN_PARENT));
}

TreeItemData* CfrmTreeEditor::SelectedRecord() const
{
    return RecordOf(NextItem(nullptr, TVGN_CARET));
}

HTREEITEM CfrmTreeEditor::NextItem(HTREEITEM item, UINT relation) const
{
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(treeView, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

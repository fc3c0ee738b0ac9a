// The tree view bound to the project: rebuilding it, finding and releasing the item records,
// and following each change the change path reports: labels, and items removed, inserted and
// moved, never a rebuild.
#include "editor/tree_editor.h"

#include "edit/node_places.h"
#include "homepage/shown_text.h"
#include "model/item.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "winui/controls.h"

#include <commctrl.h>

#include <optional>
#include <unordered_map>
#include <vector>

namespace {

// The text a node shows in the tree: its caption, title or name as the page shows it. The
// node's own text when the page shows it as written (most do: no copy), else one made in
// `scratch`.
const std::wstring& Label(std::int32_t kind, const CStreamable* node, std::wstring& scratch)
{
    switch (kind) {
    case kNodeProject:
        return ReadableText(static_cast<const CProject*>(node)->title, false, scratch);
    case kNodeColumn:
        return ReadableText(static_cast<const CColumn*>(node)->caption, false, scratch);
    case kNodeGroup:
        return ReadableText(static_cast<const CGroup*>(node)->caption, false, scratch);
    case kNodeItem: {
        const auto* item = static_cast<const CItem*>(node);
        if (item->GetTag() == tags::kItemLink) {
            const auto& link = static_cast<const CItemLink*>(item)->mainLink;
            if (link.caption.find_first_not_of(L'\u00A0') != std::wstring::npos &&
                ShowsAsWritten(link.caption))
                return link.caption;
            scratch = LinkLabel(link.caption, link.url);
            return scratch;
        }
        if (item->GetTag() == tags::kItemForm) {
            const std::wstring& name = static_cast<const CItemForm*>(item)->name;
            const std::wstring& shown = ReadableText(name, false, scratch);
            if (!shown.empty()) return shown;
        }
        scratch = item->GetLabel();
        return scratch;
    }
    default:
        scratch.clear();
        return scratch;
    }
}

std::wstring Label(std::int32_t kind, const CStreamable* node)
{
    std::wstring scratch;
    return Label(kind, node, scratch);
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
    HTREEITEM root = InsertItem(TVI_ROOT, TVI_LAST, kNodeProject, project);

    // Every item goes in at the front of its siblings, last sibling first, and all columns and
    // groups go in before any item. The tree comes out the same as inserting in page order at
    // the end, but the tree view (as Wine implements it) then neither walks the siblings for
    // the end nor searches its whole item list to check an insert-after handle: a rebuild
    // stays linear in the number of nodes, however long a group is. Columns and groups go in
    // open, under the root while it is still closed, so that opening the root at the end opens
    // the whole tree at once: no message and no notification per container.
    std::vector<HTREEITEM> columnItems;
    std::vector<std::pair<HTREEITEM, const CGroup*>> groupItems;
    if (root) {
        const auto& columns = project->columns;
        columnItems.resize(columns.size());
        for (std::size_t c = columns.size(); c-- > 0;)
            columnItems[c] = InsertItem(root, TVI_FIRST, kNodeColumn, columns[c], true);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (!columnItems[c]) continue;
            const auto& groups = columns[c]->groups;
            std::size_t first = groupItems.size();
            groupItems.resize(first + groups.size());
            for (std::size_t g = groups.size(); g-- > 0;)
                groupItems[first + g] = {
                    InsertItem(columnItems[c], TVI_FIRST, kNodeGroup, groups[g], true), groups[g]};
        }
        for (const auto& groupItem : groupItems) {
            if (!groupItem.first) continue;
            const auto& items = groupItem.second->items;
            for (std::size_t i = items.size(); i-- > 0;)
                InsertItem(groupItem.first, TVI_FIRST, kNodeItem, items[i]);
        }
    }
    ::SendMessageW(treeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    rebuilding = false;

    const TreeItemData* selected = records.Find(selectKind, selectNode);
    HTREEITEM selection = selected ? selected->item : root;
    ::SendMessageW(treeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selection));
}

HTREEITEM CfrmTreeEditor::InsertItem(HTREEITEM parent, HTREEITEM after, std::int32_t kind,
                                     CStreamable* node, bool open)
{
    const std::wstring& label = Label(kind, node, labelScratch);
    TreeItemData* record = records.Add(kind, node);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(label.c_str()); // copied by the tree view
    if (open) {
        insert.item.mask |= TVIF_STATE;
        insert.item.state = insert.item.stateMask = TVIS_EXPANDED;
    }
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

void CfrmTreeEditor::NodeChanged(const CSite& site)
{
    // The homepage file no longer shows the project.
    SetPageUpToDate(false);
    ChangeForRecovery();
    linkCheck.ProjectChanged();
    iconFetch.ProjectChanged();
    if (treeDeferred) {
        treeStale = true;
        return;
    }
    const TreeItemData* record = records.Find(site.kind, site.node);
    if (record) labels.Set(record->item, Label(site.kind, site.node));
}

void CfrmTreeEditor::NodeRemoving(std::int32_t kind, CStreamable* node)
{
    SetPageUpToDate(false);
    ChangeForRecovery();
    linkCheck.ProjectChanged();
    iconFetch.ProjectChanged();
    ReleasePanesWithin(kind, node);
    if (treeDeferred) {
        treeStale = true;
        return;
    }
    // One removal costs Wine's tree view less with the drawing on than the walk over every item
    // that turning it back on costs; several cost more.
    if (treeQuiet && removalsFollowed++ > 0) HoldDrawing();
    // Deletes the subtree; the notifications release its records.
    if (const TreeItemData* record = records.Find(kind, node))
        ::SendMessageW(treeView, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(record->item));
}

void CfrmTreeEditor::NodeInserted(std::int32_t kind, CStreamable* node)
{
    SetPageUpToDate(false);
    ChangeForRecovery();
    linkCheck.ProjectChanged();
    iconFetch.ProjectChanged();
    if (treeDeferred) {
        treeStale = true;
        return;
    }
    CStreamable* parent = ParentOf(kind, node);
    const TreeItemData* parentRecord = records.Find(kind - 1, parent);
    if (!parentRecord) return;
    // After the item of the sibling before it; first when there is none.
    HTREEITEM after = TVI_FIRST;
    if (const std::size_t index = IndexOf(kind, node)) {
        const TreeItemData* previous = records.Find(kind, ChildAt(kind, parent, index - 1));
        after = previous ? previous->item : TVI_LAST;
    }
    // With the drawing on, Wine's tree view brings its scroll bars and paint up to date after
    // each insert into the open tree: seconds for a branch in a tree of 50,000 items.
    std::optional<winui::CRedrawOff> quiet;
    if (treeQuiet) {
        HoldDrawing();
    } else {
        quiet.emplace(treeView);
    }
    HTREEITEM item = InsertItem(parentRecord->item, after, kind, node);
    if (!item) return;
    InsertChildren(item, kind, node);
    // Expanding an open item again still costs Wine's tree view a walk over every item.
    const auto state = ::SendMessageW(treeView, TVM_GETITEMSTATE,
                                      reinterpret_cast<WPARAM>(parentRecord->item), TVIS_EXPANDED);
    if (!(state & TVIS_EXPANDED))
        ::SendMessageW(treeView, TVM_EXPAND, TVE_EXPAND,
                       reinterpret_cast<LPARAM>(parentRecord->item));
}

void CfrmTreeEditor::NodeMoved(std::int32_t kind, CStreamable* node)
{
    SetPageUpToDate(false);
    ChangeForRecovery();
    if (treeDeferred) {
        treeStale = true;
        return;
    }
    TreeItemData* record = records.Find(kind, node);
    CStreamable* parent = ParentOf(kind, node);
    const TreeItemData* parentRecord = records.Find(kind - 1, parent);
    std::optional<winui::CRedrawOff> quiet;
    if (treeQuiet) {
        HoldDrawing();
    } else {
        quiet.emplace(treeView);
    }
    if (record && parentRecord && NextItem(record->item, TVGN_PARENT) == parentRecord->item) {
        SortChildren(parentRecord->item, kind - 1, parent);
        return;
    }
    // Under another parent: the branch's items go and come again at the new place.
    const bool selected = record && record == SelectedRecord();
    if (record) ::SendMessageW(treeView, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(record->item));
    NodeInserted(kind, node);
    const TreeItemData* moved = records.Find(kind, node);
    if (selected && moved)
        ::SendMessageW(treeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(moved->item));
}

void CfrmTreeEditor::WithTreeRebuiltAfter(const std::function<void()>& change)
{
    treeDeferred = true;
    treeStale = false;
    pendingSite = CSite();
    pendingSite.node = project;
    try {
        change();
    } catch (...) {
        treeDeferred = false;
        throw;
    }
    treeDeferred = false;
    if (!treeStale) return;
    // The panes let go of their nodes; the selection binds the one that shows.
    ShowPaneFor(nullptr);
    ReleasePanesWithin(kNodeProject, project);
    ClearTree();
    FillTree(kNodeProject, project);
    ShowSite(pendingSite);
}

void CfrmTreeEditor::WithTreeQuietDuring(const std::function<void()>& change)
{
    // Each time its drawing comes back on, Wine's tree view walks every item again: tens of
    // milliseconds in a tree of 50,000, paid once here and not once per branch inserted or
    // removed. The site is shown after, with the drawing on, so that it scrolls into view.
    sitePending = false;
    removalsFollowed = 0;
    treeQuiet = true;
    auto end = [this] {
        treeQuiet = false;
        if (!drawingHeld) return;
        drawingHeld = false;
        ::SendMessageW(treeView, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(treeView, nullptr, TRUE);
    };
    try {
        change();
    } catch (...) {
        end();
        throw;
    }
    end();
    if (sitePending) StepShown(pendingSite);
}

void CfrmTreeEditor::HoldDrawing()
{
    if (drawingHeld) return;
    drawingHeld = true;
    ::SendMessageW(treeView, WM_SETREDRAW, FALSE, 0);
}

void CfrmTreeEditor::InsertChildren(HTREEITEM item, std::int32_t kind, CStreamable* node)
{
    if (kind >= kNodeItem) return;
    // Last child first, each at the front: as in FillTree, the tree view then never walks the
    // siblings for the end.
    const std::int32_t childKind = kind + 1;
    std::vector<std::pair<HTREEITEM, CStreamable*>> children(ChildCount(childKind, node));
    for (std::size_t i = children.size(); i-- > 0;) {
        CStreamable* child = ChildAt(childKind, node, i);
        children[i] = {InsertItem(item, TVI_FIRST, childKind, child), child};
    }
    for (const auto& child : children) {
        if (child.first) InsertChildren(child.first, childKind, child.second);
    }
    ::SendMessageW(treeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

namespace {

// The model positions of the children being sorted, by their records.
struct ChildOrder
{
    std::unordered_map<const CStreamable*, std::size_t> index;
};

int CALLBACK CompareByModel(LPARAM first, LPARAM second, LPARAM orderParameter)
{
    const auto& order = reinterpret_cast<const ChildOrder*>(orderParameter)->index;
    const auto* a = reinterpret_cast<const TreeItemData*>(first);
    const auto* b = reinterpret_cast<const TreeItemData*>(second);
    const auto at = order.find(a->node), bt = order.find(b->node);
    const std::size_t ia = at == order.end() ? 0 : at->second;
    const std::size_t ib = bt == order.end() ? 0 : bt->second;
    return ia < ib ? -1 : ia > ib ? 1 : 0;
}

} // namespace

void CfrmTreeEditor::SortChildren(HTREEITEM item, std::int32_t parentKind,
                                  const CStreamable* parent)
{
    ChildOrder order;
    const std::size_t count = ChildCount(parentKind + 1, parent);
    order.index.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        order.index[ChildAt(parentKind + 1, parent, i)] = i;
    TVSORTCB sort = {};
    sort.hParent = item;
    sort.lpfnCompare = CompareByModel;
    sort.lParam = reinterpret_cast<LPARAM>(&order);
    ::SendMessageW(treeView, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
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

// Nodes moved anywhere: Cut, Copy and Paste through the clipboard, nodes dragged inside the tree,
// and links and pages dropped from other programs. Every change is one step of the change path.
#include "editor/tree_editor.h"

#include "edit/node_places.h"
#include "model/project.h"
#include "persist/streams.h"
#include "resources/resource.h"
#include "services/status_texts.h"
#include "transfer/node_bytes.h"

#include <commctrl.h>

namespace {

// The bytes the nodes hold, for the choice between following the tree and rebuilding it.
std::size_t BundleBytes(const CNodeBundle& bundle)
{
    std::size_t bytes = 0;
    for (const CDetachedNode& node : bundle.nodes)
        bytes += BranchBytes(bundle.kind, node.Get());
    return bytes;
}

// Where a dragged node goes when dropped onto the target's upper or lower half; false when it
// may not go there: the project, onto itself or into its own branch.
bool PlaceForDrop(const TreeItemData* dragged, const TreeItemData* target, bool upperHalf,
                  CNodePlace& place)
{
    if (!dragged || !target || dragged->kind == kNodeProject) return false;
    if (IsWithin(target->kind, target->node, dragged->kind, dragged->node)) return false;
    return DropPlace(target->kind, target->node, dragged->kind, upperHalf, place);
}

} // namespace

void CfrmTreeEditor::Copy(TreeItemData* acting)
{
    if (!acting || acting->kind == kNodeProject ||
        !transfer::PutNodes(mainWindow, acting->kind, {acting->node}))
        ::MessageBeep(MB_OK);
}

void CfrmTreeEditor::Cut(TreeItemData* acting)
{
    if (!acting || acting->kind == kNodeProject) {
        ::MessageBeep(MB_OK);
        return;
    }
    // Nothing leaves the project unless the clipboard took it.
    if (!transfer::PutNodes(mainWindow, acting->kind, {acting->node})) {
        ::MessageBeep(MB_OK);
        return;
    }
    const std::int32_t kind = acting->kind;
    CStreamable* node = acting->node;
    auto cut = [this, kind, node] { changes.RemoveNode(kind, node, L"cut"); };
    if (BranchBytes(kind, node) > kRebuildAboveBytes) {
        WithTreeRebuiltAfter([this, &cut, kind, node] {
            CStreamable* parent = ParentOf(kind, node);
            cut();
            pendingSite = CSite();
            pendingSite.kind = kind - 1;
            pendingSite.node = parent;
        });
    } else {
        cut();
    }
}

void CfrmTreeEditor::Paste(TreeItemData* acting)
{
    CIncoming incoming;
    CNodePlace place;
    if (!acting || !transfer::ReadClipboard(mainWindow, incoming) ||
        (!incoming.bundle.Empty() && !PlaceOnto(acting, incoming.bundle.kind, place))) {
        ::MessageBeep(MB_OK);
        return;
    }
    PutIncoming(place, std::move(incoming), L"paste");
}

bool CfrmTreeEditor::PlaceOnto(const TreeItemData* acting, std::int32_t kind,
                               CNodePlace& place) const
{
    return acting && PastePlace(acting->kind, acting->node, kind, place);
}

void CfrmTreeEditor::PutIncoming(const CNodePlace& place, CIncoming incoming, const wchar_t* name)
{
    const std::int32_t kind = incoming.bundle.kind;
    CStreamable* first = incoming.bundle.Empty() ? nullptr : incoming.bundle.nodes.front().Get();
    auto put = [this, &place, &incoming, name] {
        CStepScope step(changes, name);
        if (!incoming.bundle.Empty())
            changes.InsertNodes(std::move(incoming.bundle.nodes), place.parent, place.index, name);
        for (const std::wstring& path : incoming.htmlFiles) {
            CFileStream file(path, false);
            const HtmlImportResult result = changes.ReadHtml(file);
            statusBar.SetOutcome(ReadFileText(FileNameOf(path), result, *project));
        }
    };
    if (!incoming.htmlFiles.empty() || BundleBytes(incoming.bundle) > kRebuildAboveBytes) {
        WithTreeRebuiltAfter([this, &put, kind, first] {
            put();
            treeStale = true;
            pendingSite = CSite();
            pendingSite.kind = first ? kind : kNodeProject;
            pendingSite.node = first ? first : project;
        });
        return;
    }
    put();
    // The selection change shows and binds the first new node's pane.
    if (const TreeItemData* record = first ? records.Find(kind, first) : nullptr) {
        ::SendMessageW(treeView, TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(record->item));
        ::SendMessageW(treeView, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(record->item));
    }
}

bool CfrmTreeEditor::DropOver(POINT screen, const CIncoming& incoming)
{
    const HTREEITEM item = CTreeDrag::ItemAt(treeView, screen, nullptr);
    CNodePlace place;
    // Pages and bookmark files go where Read HTML file puts them, whatever is under the mouse.
    const bool possible = item && (!incoming.htmlFiles.empty() ||
                                   PlaceOnto(RecordOf(item), incoming.bundle.kind, place));
    CTreeDrag::Highlight(treeView, possible ? item : nullptr);
    return possible;
}

void CfrmTreeEditor::DropLeft()
{
    CTreeDrag::Highlight(treeView, nullptr);
}

void CfrmTreeEditor::Dropped(POINT screen, CIncoming incoming)
{
    changes.Seal();
    const TreeItemData* acting = RecordOf(CTreeDrag::ItemAt(treeView, screen, nullptr));
    CNodePlace place;
    if (!acting || (!incoming.bundle.Empty() && !PlaceOnto(acting, incoming.bundle.kind, place)))
        return;
    PutIncoming(place, std::move(incoming), L"drop");
}

bool CfrmTreeEditor::CanDrop(HTREEITEM draggedItem, HTREEITEM targetItem, bool upperHalf, bool)
{
    CNodePlace place;
    return PlaceForDrop(RecordOf(draggedItem), RecordOf(targetItem), upperHalf, place);
}

bool CfrmTreeEditor::DropsBeside(HTREEITEM draggedItem, HTREEITEM targetItem)
{
    const TreeItemData* dragged = RecordOf(draggedItem);
    const TreeItemData* target = RecordOf(targetItem);
    return dragged && target && dragged->kind == target->kind;
}

void CfrmTreeEditor::Drop(HTREEITEM draggedItem, HTREEITEM targetItem, bool upperHalf, bool copy)
{
    changes.Seal();
    const TreeItemData* dragged = RecordOf(draggedItem);
    CNodePlace place;
    if (!PlaceForDrop(dragged, RecordOf(targetItem), upperHalf, place)) return;
    const std::int32_t kind = dragged->kind;
    CStreamable* node = dragged->node;
    if (copy) {
        CIncoming incoming;
        incoming.bundle = CopyNodes(kind, {node});
        PutIncoming(place, std::move(incoming), L"copy");
        return;
    }
    // The move's index counts the parent's children without the node itself.
    std::size_t index = place.index;
    if (ParentOf(kind, node) == place.parent && IndexOf(kind, node) < index) --index;
    changes.MoveNode(kind, node, place.parent, index);
    if (const TreeItemData* moved = records.Find(kind, node)) {
        ::SendMessageW(treeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(moved->item));
        ::SendMessageW(treeView, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(moved->item));
    }
}

void CfrmTreeEditor::BeginDrag(const NMTREEVIEWW& start)
{
    const TreeItemData* record = RecordOf(start.itemNew.hItem);
    // The project stays where it is.
    if (!record || record->kind == kNodeProject) return;
    drag.Begin(treeView, mainWindow, start.itemNew.hItem);
}

bool CfrmTreeEditor::OnDragMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!drag.Active()) return false;
    switch (message) {
    case WM_MOUSEMOVE:
        drag.MouseMoved(wParam, lParam);
        return true;
    case WM_LBUTTONUP:
        drag.ButtonReleased(wParam, lParam);
        return true;
    case WM_TIMER:
        if (wParam != CTreeDrag::kTimer) return false;
        drag.TimerTicked();
        return true;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != mainWindow) drag.Cancel();
        return true;
    case WM_RBUTTONDOWN:
    case WM_CANCELMODE:
        drag.Cancel();
        return true;
    default:
        return false;
    }
}

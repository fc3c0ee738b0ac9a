// The commands that change the project's structure from the tree, and the file commands beside
// them. Structural edits change the model first and the tree second, in the same order.
#include "editor/tree_editor.h"

#include "app/paths.h"
#include "app/preview.h"
#include "app/project_store.h"
#include "app/shell.h"
#include "app/status_texts.h"
#include "homepage/page_writer.h"
#include "import/html_import.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/streams.h"

#include <commctrl.h>
#include <commdlg.h>

namespace {

// Where every new link points until the user gives it an address.
const wchar_t kNewLinkUrl[] = L"https://www.example.com/";

// Two neighbouring siblings to swap with TVM_SORTCHILDRENCB; every other pair compares equal,
// and the sort keeps equal items in their order.
struct SwapPair
{
    LPARAM later; // goes after `earlier`
    LPARAM earlier;
};

int CALLBACK CompareForSwap(LPARAM first, LPARAM second, LPARAM pairParameter)
{
    const auto* pair = reinterpret_cast<const SwapPair*>(pairParameter);
    if (first == pair->later && second == pair->earlier) return 1;
    if (first == pair->earlier && second == pair->later) return -1;
    return 0;
}

// The node that holds a node of `kind`; null for the project.
const CStreamable* ParentNode(std::int32_t kind, const CStreamable* node)
{
    switch (kind) {
    case kNodeColumn:
        return static_cast<const CColumn*>(node)->parent;
    case kNodeGroup:
        return static_cast<const CGroup*>(node)->parent;
    case kNodeItem:
        return static_cast<const CItem*>(node)->parent;
    default:
        return nullptr;
    }
}

// True when `node` (of `kind`) is `ancestor` (of `ancestorKind`) or lies below it.
bool IsWithin(std::int32_t kind, const CStreamable* node, std::int32_t ancestorKind,
              const CStreamable* ancestor)
{
    for (; node && kind > ancestorKind; --kind)
        node = ParentNode(kind, node);
    return node && kind == ancestorKind && node == ancestor;
}

} // namespace

void CfrmTreeEditor::AddColumn(TreeItemData* acting)
{
    if (!acting) return;
    TreeItemData* parent = nullptr;
    CColumn* sibling = nullptr;
    if (acting->kind == kNodeProject) {
        parent = acting;
        if (!project->columns.empty()) sibling = project->columns.back();
    } else {
        // After the column that is acted on or that holds the acted-on node.
        TreeItemData* column = acting;
        while (column && column->kind != kNodeColumn)
            column = ParentRecord(*column);
        if (!column) return;
        parent = ParentRecord(*column);
        sibling = static_cast<CColumn*>(column->node);
    }
    if (!parent) return;
    auto* added = new CColumn(*project, L"New column");
    project->MoveChildAfter(added, sibling);
    ShowAddedNode(*parent, kNodeColumn, added, sibling, added->caption);
}

void CfrmTreeEditor::AddGroup(TreeItemData* acting)
{
    if (!acting) return;
    TreeItemData* parent = nullptr;
    CGroup* sibling = nullptr;
    switch (acting->kind) {
    case kNodeColumn: {
        parent = acting;
        const auto& groups = static_cast<CColumn*>(acting->node)->groups;
        if (!groups.empty()) sibling = groups.back();
        break;
    }
    case kNodeGroup:
        parent = ParentRecord(*acting);
        sibling = static_cast<CGroup*>(acting->node);
        break;
    case kNodeItem:
        if (TreeItemData* group = ParentRecord(*acting)) {
            parent = ParentRecord(*group);
            sibling = static_cast<CGroup*>(group->node);
        }
        break;
    default:
        return;
    }
    if (!parent || parent->kind != kNodeColumn) return;
    auto* column = static_cast<CColumn*>(parent->node);
    auto* added = new CGroup(*column, L"New group");
    column->MoveChildAfter(added, sibling);
    ShowAddedNode(*parent, kNodeGroup, added, sibling, added->caption);
}

void CfrmTreeEditor::AddItem(TreeItemData* acting, bool form)
{
    if (!acting) return;
    TreeItemData* parent = nullptr;
    CItem* sibling = nullptr;
    switch (acting->kind) {
    case kNodeGroup: {
        parent = acting;
        const auto& items = static_cast<CGroup*>(acting->node)->items;
        if (!items.empty()) sibling = items.back();
        break;
    }
    case kNodeItem:
        parent = ParentRecord(*acting);
        sibling = static_cast<CItem*>(acting->node);
        break;
    default:
        return;
    }
    if (!parent || parent->kind != kNodeGroup) return;
    auto* group = static_cast<CGroup*>(parent->node);
    CItem* added = nullptr;
    if (form) {
        auto* newForm = new CItemForm(*group);
        newForm->name = L"New form";
        added = newForm;
    } else {
        added = new CItemLink(*group, L"New Link", kNewLinkUrl);
    }
    group->MoveChildAfter(added, sibling);
    ShowAddedNode(*parent, kNodeItem, added, sibling, added->GetLabel());
}

void CfrmTreeEditor::ShowAddedNode(const TreeItemData& parent, std::int32_t kind, CStreamable* node,
                                   const CStreamable* sibling, const std::wstring& label)
{
    ProjectChanged();
    HTREEITEM after = TVI_LAST;
    if (const TreeItemData* shown = sibling ? records.Find(kind, sibling) : nullptr) {
        if (NextItem(shown->item, TVGN_PARENT) == parent.item) after = shown->item;
    }
    HTREEITEM item = InsertItem(parent.item, after, kind, node, label);
    // The selection change shows and binds the new node's pane.
    if (item) ::SendMessageW(treeView, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void CfrmTreeEditor::MoveUp(TreeItemData* acting)
{
    if (!acting || acting->kind == kNodeProject) return;
    TreeItemData* previous = RecordOf(NextItem(acting->item, TVGN_PREVIOUS));
    if (!previous) return;
    if (!MoveInModel(*acting, previous->node, acting->node)) return;
    SwapInTree(*previous, *acting);
}

void CfrmTreeEditor::MoveDown(TreeItemData* acting)
{
    if (!acting || acting->kind == kNodeProject) return;
    TreeItemData* next = RecordOf(NextItem(acting->item, TVGN_NEXT));
    if (!next) return;
    if (!MoveInModel(*acting, acting->node, next->node)) return;
    SwapInTree(*acting, *next);
}

bool CfrmTreeEditor::MoveInModel(const TreeItemData& acting, CStreamable* moved, CStreamable* after)
{
    switch (acting.kind) {
    case kNodeColumn:
        project->MoveChildAfter(static_cast<CColumn*>(moved), static_cast<CColumn*>(after));
        break;
    case kNodeGroup: {
        const TreeItemData* parent = ParentRecord(acting);
        if (!parent || parent->kind != kNodeColumn) return false;
        static_cast<CColumn*>(parent->node)
            ->MoveChildAfter(static_cast<CGroup*>(moved), static_cast<CGroup*>(after));
        break;
    }
    case kNodeItem: {
        const TreeItemData* parent = ParentRecord(acting);
        if (!parent || parent->kind != kNodeGroup) return false;
        static_cast<CGroup*>(parent->node)
            ->MoveChildAfter(static_cast<CItem*>(moved), static_cast<CItem*>(after));
        break;
    }
    default:
        return false;
    }
    ProjectChanged();
    return true;
}

void CfrmTreeEditor::SwapInTree(const TreeItemData& later, const TreeItemData& earlier)
{
    SwapPair pair = {reinterpret_cast<LPARAM>(&later), reinterpret_cast<LPARAM>(&earlier)};
    TVSORTCB sort = {};
    sort.hParent = NextItem(later.item, TVGN_PARENT);
    sort.lpfnCompare = CompareForSwap;
    sort.lParam = reinterpret_cast<LPARAM>(&pair);
    ::SendMessageW(treeView, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void CfrmTreeEditor::Delete(TreeItemData* acting)
{
    if (!acting) return;
    if (Shell().ShowMessage(mainWindow, L"Are you sure you want to delete the selected node?",
                            L"Quillomere: Node deletion", MB_OKCANCEL) != IDOK)
        return;
    if (acting->kind != kNodeProject) ReleasePanesWithin(acting->kind, acting->node);
    switch (acting->kind) {
    case kNodeColumn:
        project->DeleteColumn(static_cast<CColumn*>(acting->node));
        break;
    case kNodeGroup: {
        auto* group = static_cast<CGroup*>(acting->node);
        // Destroyed only once unlinked: a node its parent still holds must not be freed here.
        if (group->parent->groups.Remove(group)) delete group;
        break;
    }
    case kNodeItem: {
        auto* item = static_cast<CItem*>(acting->node);
        if (item->parent->items.Remove(item)) delete item;
        break;
    }
    default:
        // The project itself is never deleted.
        return;
    }
    ProjectChanged();
    // Deletes the subtree; the notifications release its records, `acting` among them.
    ::SendMessageW(treeView, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(acting->item));
}

void CfrmTreeEditor::ReleasePanesWithin(std::int32_t kind, const CStreamable* node)
{
    if (IsWithin(kNodeProject, projectPane.node, kind, node)) projectPane.SetNode(nullptr);
    if (IsWithin(kNodeColumn, columnPane.node, kind, node)) columnPane.SetNode(nullptr);
    if (IsWithin(kNodeGroup, groupPane.node, kind, node)) groupPane.SetNode(nullptr);
    if (IsWithin(kNodeItem, linkPane.node, kind, node)) linkPane.SetNode(nullptr);
    if (IsWithin(kNodeItem, formPane.node, kind, node)) formPane.SetNode(nullptr);
}

void CfrmTreeEditor::Save()
{
    SaveProject();
}

bool CfrmTreeEditor::SaveProject()
{
    // A save that succeeds clears `modified`; one that fails leaves it set.
    if (SaveProjectOfRun(*project)) {
        statusBar.SetOutcome(ProjectSavedText(ProjectFilePath));
        return true;
    }
    statusBar.SetOutcome(ProjectNotSavedText(ProjectFilePath));
    std::wstring text = L"The project could not be saved to\r\n" + ProjectFilePath;
    Shell().ShowMessage(mainWindow, text.c_str(), L"Quillomere", MB_OK | MB_ICONERROR);
    return false;
}

void CfrmTreeEditor::ReadHtmlFile()
{
    wchar_t path[260] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = mainWindow;
    // Ends in two NULs.
    dialog.lpstrFilter = L"Homepages and bookmark files (*.html;*.htm)\0*.html;*.htm\0"
                         L"All files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = 260;
    dialog.lpstrInitialDir = DocumentsFolder.c_str();
    dialog.lpstrTitle = L"Read HTML file";
    // The program's current folder stays as it is: nothing relies on it, and a folder held
    // open as current could not be removed.
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!Shell().ChooseOpenFile(dialog)) return;

    // A page with an <html> tag replaces the project's columns: nothing may keep pointing at
    // them. The tree and the panes let go of the nodes first, and the tree is rebuilt after.
    ShowPaneFor(nullptr);
    ReleasePanesWithin(kNodeProject, project);
    ClearTree();
    HtmlImportResult result = ImportFile(path);
    // The import may have changed the project even where it stopped early.
    ProjectChanged();
    FillTree(kNodeProject, project);
    statusBar.SetOutcome(ReadFileText(FileNameOf(path), result, *project));
}

HtmlImportResult CfrmTreeEditor::ImportFile(const std::wstring& path)
{
    CFileStream file(path, false);
    return ImportPageOrBookmarks(*project, file);
}

void CfrmTreeEditor::GenerateHomepage()
{
    CFileStream file(HomepageFilePath, true);
    WritePage(*project, file);
    const bool written = file.IsOpen() && file.Close();
    statusBar.SetOutcome(written ? HomepageWrittenText(HomepageFilePath)
                                 : HomepageNotWrittenText(HomepageFilePath));
    SetPageUpToDate(written);
}

void CfrmTreeEditor::Preview()
{
    ::Preview(*project);
}

bool CfrmTreeEditor::ConfirmQuit()
{
    if (project->modified) {
        int answer = Shell().ShowMessage(
            mainWindow, L"Project is changed.\r\n\r\nSave changes before quitting?", L"Quillomere",
            MB_YESNOCANCEL);
        // Only a clear No quits without saving; Cancel, or a box that could not be shown,
        // keeps the program running.
        if (answer != IDYES && answer != IDNO) return false;
        if (answer == IDYES && !SaveProject()) return false;
    }
    rebuilding = true;
    ::PostQuitMessage(0);
    return true;
}

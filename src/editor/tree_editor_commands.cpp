// The commands that change the project's structure from the tree, and the file commands beside
// them. Structural edits go through the change path, which has the tree follow.
#include "editor/tree_editor.h"

#include "edit/node_places.h"
#include "homepage/page_writer.h"
#include "import/html_import.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/streams.h"
#include "services/paths.h"
#include "services/preview.h"
#include "services/project_store.h"
#include "services/shell.h"
#include "services/status_texts.h"

#include <commctrl.h>
#include <commdlg.h>

namespace {

// Where every new link points until the user gives it an address.
const wchar_t kNewLinkUrl[] = L"https://www.example.com/";

} // namespace

void CfrmTreeEditor::AddColumn(TreeItemData* acting)
{
    if (!acting) return;
    CColumn* sibling = nullptr;
    if (acting->kind == kNodeProject) {
        if (!project->columns.empty()) sibling = project->columns.back();
    } else {
        // After the column that is acted on or that holds the acted-on node.
        std::int32_t kind = acting->kind;
        CStreamable* node = acting->node;
        for (; kind > kNodeColumn; --kind)
            node = ParentOf(kind, node);
        sibling = static_cast<CColumn*>(node);
    }
    auto* added = new CColumn(*project, L"New column");
    AddNode(CDetachedNode::Take(kNodeColumn, added), project, sibling, L"add column");
}

void CfrmTreeEditor::AddGroup(TreeItemData* acting)
{
    if (!acting) return;
    CColumn* column = nullptr;
    CGroup* sibling = nullptr;
    switch (acting->kind) {
    case kNodeColumn: {
        column = static_cast<CColumn*>(acting->node);
        if (!column->groups.empty()) sibling = column->groups.back();
        break;
    }
    case kNodeGroup:
        sibling = static_cast<CGroup*>(acting->node);
        column = sibling->parent;
        break;
    case kNodeItem:
        sibling = static_cast<CItem*>(acting->node)->parent;
        column = sibling->parent;
        break;
    default:
        return;
    }
    auto* added = new CGroup(*column, L"New group");
    AddNode(CDetachedNode::Take(kNodeGroup, added), column, sibling, L"add group");
}

void CfrmTreeEditor::AddItem(TreeItemData* acting, bool form)
{
    if (!acting) return;
    CGroup* group = nullptr;
    CItem* sibling = nullptr;
    switch (acting->kind) {
    case kNodeGroup: {
        group = static_cast<CGroup*>(acting->node);
        if (!group->items.empty()) sibling = group->items.back();
        break;
    }
    case kNodeItem:
        sibling = static_cast<CItem*>(acting->node);
        group = sibling->parent;
        break;
    default:
        return;
    }
    CItem* added = nullptr;
    if (form) {
        auto* newForm = new CItemForm(*group);
        newForm->name = L"New form";
        added = newForm;
    } else {
        added = new CItemLink(*group, L"New Link", kNewLinkUrl);
    }
    AddNode(CDetachedNode::Take(kNodeItem, added), group, sibling,
            form ? L"add form" : L"add link");
}

void CfrmTreeEditor::AddNode(CDetachedNode added, CStreamable* parent, const CStreamable* sibling,
                             const wchar_t* name)
{
    const std::int32_t kind = added.Kind();
    CStreamable* node = added.Get();
    const std::size_t index = sibling ? IndexOf(kind, sibling) + 1 : 0;
    changes.InsertNode(std::move(added), parent, index, name);
    // The selection change shows and binds the new node's pane.
    if (const TreeItemData* record = records.Find(kind, node))
        ::SendMessageW(treeView, TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(record->item));
}

void CfrmTreeEditor::MoveUp(TreeItemData* acting)
{
    if (!acting || acting->kind == kNodeProject) return;
    const std::size_t index = IndexOf(acting->kind, acting->node);
    if (index == 0) return;
    changes.MoveNode(acting->kind, acting->node, ParentOf(acting->kind, acting->node), index - 1);
}

void CfrmTreeEditor::MoveDown(TreeItemData* acting)
{
    if (!acting || acting->kind == kNodeProject) return;
    CStreamable* parent = ParentOf(acting->kind, acting->node);
    const std::size_t index = IndexOf(acting->kind, acting->node);
    if (index + 1 >= ChildCount(acting->kind, parent)) return;
    changes.MoveNode(acting->kind, acting->node, parent, index + 1);
}

void CfrmTreeEditor::Delete(TreeItemData* acting)
{
    if (!acting) return;
    if (Shell().ShowMessage(mainWindow, L"Are you sure you want to delete the selected node?",
                            L"Quillomere: Node deletion", MB_OKCANCEL) != IDOK)
        return;
    // The project itself is never deleted. The branch stays in the history; the change path
    // has the window release the panes and tree items that show it.
    if (acting->kind != kNodeProject) changes.RemoveNode(acting->kind, acting->node);
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
    // A save that succeeds clears `modified`; one that fails leaves it set. A file that another
    // program wrote is kept aside first, and the person is told where.
    std::wstring kept;
    const bool saved = SaveProjectOfRun(*project, &kept);
    if (!kept.empty()) {
        statusBar.SetOutcome(saved ? ProjectSavedKeepingText(ProjectFilePath, kept)
                                   : ProjectNotSavedKeepingText(ProjectFilePath, kept));
        Shell().ShowMessage(mainWindow, KeptAsideMessage(ProjectFilePath, kept, saved).c_str(),
                            L"Quillomere", MB_OK | (saved ? MB_ICONINFORMATION : MB_ICONERROR));
        return saved;
    }
    if (saved) {
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

    // One step; the tree is rebuilt after it, with the project selected, as a page may bring
    // thousands of nodes.
    HtmlImportResult result;
    WithTreeRebuiltAfter([this, &path, &result] {
        CFileStream file(path, false);
        result = changes.ReadHtml(file);
        treeStale = true;
        pendingSite = CSite();
        pendingSite.node = project;
    });
    // The project's pane shows the title the page may have brought.
    if (const TreeItemData* root = records.Find(kNodeProject, project)) ShowPaneFor(root);
    statusBar.SetOutcome(ReadFileText(FileNameOf(path), result, *project));
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

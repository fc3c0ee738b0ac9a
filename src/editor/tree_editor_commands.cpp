// The commands that change the project's structure from the tree, and the file commands beside
// them. Structural edits go through the change path, which has the tree follow.
#include "editor/tree_editor.h"

#include "edit/node_places.h"
#include "editor/options_dialog.h"
#include "homepage/bookmark_writer.h"
#include "import/html_import.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/streams.h"
#include "services/help.h"
#include "services/paths.h"
#include "services/preview.h"
#include "services/project_store.h"
#include "services/settings.h"
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

CfrmTreeEditor::SaveResult CfrmTreeEditor::SaveProject()
{
    // A save that succeeds clears `modified`; one that fails leaves it set. A project file that
    // another program wrote is kept aside first, and the person is told where.
    std::wstring kept;
    if (!SaveProjectOfRun(*project, &kept)) {
        statusBar.SetOutcome(
            WithKeptAside(ProjectFilePath, kept, ProjectNotSavedText(ProjectFilePath)));
        std::wstring text = kept.empty()
                                ? L"The project could not be saved to\r\n" + ProjectFilePath
                                : KeptAsideMessage(ProjectFilePath, kept, false);
        Shell().ShowMessage(mainWindow, text.c_str(), L"Quillomere", MB_OK | MB_ICONERROR);
        return SaveResult::NotSaved;
    }
    SaveResult result = SaveResult::Saved;
    std::wstring said = ProjectSavedText(ProjectFilePath);
    if (LoadSettings().writeHomepageOnSave) {
        // After the project file, as F5 writes it.
        const HomepageWrite page = WriteHomepage();
        said =
            WithKeptAside(HomepageFilePath, page.keptAside,
                          SavedWithHomepageText(ProjectFilePath, HomepageFilePath, page.written));
        if (!page.written) result = SaveResult::PageNotWritten;
    }
    statusBar.SetOutcome(WithKeptAside(ProjectFilePath, kept, said));
    if (!kept.empty())
        Shell().ShowMessage(mainWindow, KeptAsideMessage(ProjectFilePath, kept, true).c_str(),
                            L"Quillomere", MB_OK | MB_ICONINFORMATION);
    return result;
}

HomepageWrite CfrmTreeEditor::WriteHomepage()
{
    const HomepageWrite page = WriteHomepageOfRun(*project);
    SetPageUpToDate(page.written);
    return page;
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
    const HomepageWrite page = WriteHomepage();
    statusBar.SetOutcome(WithKeptAside(HomepageFilePath, page.keptAside,
                                       page.written ? HomepageWrittenText(HomepageFilePath)
                                                    : HomepageNotWrittenText(HomepageFilePath)));
}

void CfrmTreeEditor::Preview()
{
    if (!::Preview(*project, {mainWindow, kBrowserLaunched, kPreviewLaunch}))
        statusBar.SetOutcome(BrowserPageNotWrittenText(false, PreviewFilePath()));
}

void CfrmTreeEditor::BrowserLaunched(WPARAM tag, bool started)
{
    const bool help = tag == kHelpLaunch;
    if (started) {
        statusBar.SetOutcome(OpenedInBrowserText(help));
        return;
    }
    const std::wstring path = help ? HelpFilePath() : PreviewFilePath();
    statusBar.SetOutcome(BrowserNotStartedText(help, path));
    Shell().ShowMessage(mainWindow, BrowserNotStartedMessage(help, path).c_str(), L"Quillomere",
                        MB_OK | MB_ICONWARNING);
}

void CfrmTreeEditor::ExportBookmarks()
{
    wchar_t path[MAX_PATH * 4] = L"Bookmarks.html";
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = mainWindow;
    // Ends in two NULs.
    dialog.lpstrFilter = L"Bookmark files (*.html)\0*.html\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH * 4;
    dialog.lpstrInitialDir = DocumentsFolder.c_str();
    dialog.lpstrTitle = L"Export bookmarks";
    dialog.lpstrDefExt = L"html";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!Shell().ChooseSaveFile(dialog)) return;

    bool written = false;
    {
        CFileStream file(path, true);
        WriteBookmarks(*project, file);
        written = file.IsOpen() && file.Close();
    }
    if (written) {
        statusBar.SetOutcome(BookmarksExportedText(path, CountNodes(*project).bookmarks));
        return;
    }
    statusBar.SetOutcome(BookmarksNotExportedText(path));
    std::wstring text = L"The bookmarks could not be written to\r\n" + std::wstring(path);
    Shell().ShowMessage(mainWindow, text.c_str(), L"Quillomere", MB_OK | MB_ICONERROR);
}

void CfrmTreeEditor::ShowOptions()
{
    CdlgOptions options;
    options.Run(mainWindow);
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
        if (answer == IDYES) {
            const SaveResult saved = SaveProject();
            if (saved == SaveResult::NotSaved) return false;
            // The status bar goes with the window: a page that could not be written is told
            // here, and the project, which was saved, is not held back by it.
            if (saved == SaveResult::PageNotWritten) {
                std::wstring text = L"The project was saved, but the homepage could not be "
                                    L"written to\r\n" +
                                    HomepageFilePath;
                Shell().ShowMessage(mainWindow, text.c_str(), L"Quillomere",
                                    MB_OK | MB_ICONWARNING);
            }
        }
    }
    rebuilding = true;
    ::PostQuitMessage(0);
    return true;
}

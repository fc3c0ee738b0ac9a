// The Edit menu: undo and redo with the step named, the find bar and its searches, and Rename.
#include "editor/tree_editor.h"

#include "edit/project_finder.h"
#include "model/project.h"
#include "resources/resource.h"
#include "winui/controls.h"

#include <commctrl.h>

namespace {

// Sets a menu item's text and enabling by its command.
void SetItem(HMENU menu, UINT command, const std::wstring& text, bool enabled)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_STATE;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    info.fState = enabled ? MFS_ENABLED : MFS_GRAYED;
    ::SetMenuItemInfoW(menu, command, FALSE, &info);
}

// "&Undo typing\tCtrl+Z", or "&Undo\tCtrl+Z" when there is no step.
std::wstring ItemText(const wchar_t* verb, const std::wstring& step, const wchar_t* key)
{
    std::wstring text = verb;
    if (!step.empty()) text += L" " + step;
    return text + L"\t" + key;
}

bool IsEdit(HWND window)
{
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return ::lstrcmpiW(name, L"Edit") == 0;
}

} // namespace

void CfrmTreeEditor::UpdateEditMenu(HMENU menu)
{
    if (::GetMenuState(menu, IDM_UNDO, MF_BYCOMMAND) == static_cast<UINT>(-1)) return;
    const std::wstring undo = changes.UndoName(), redo = changes.RedoName();
    SetItem(menu, IDM_UNDO, ItemText(L"&Undo", undo, L"Ctrl+Z"), !undo.empty());
    SetItem(menu, IDM_REDO, ItemText(L"&Redo", redo, L"Ctrl+Y"), !redo.empty());
    // Cut and Copy take a node other than the project, or the text of the edit box in use.
    const TreeItemData* selected = SelectedRecord();
    const bool node = selected && selected->kind != kNodeProject;
    const UINT state = node || IsEdit(::GetFocus()) ? MF_ENABLED : MF_GRAYED;
    ::EnableMenuItem(menu, IDM_CUT, MF_BYCOMMAND | state);
    ::EnableMenuItem(menu, IDM_COPY, MF_BYCOMMAND | state);
}

void CfrmTreeEditor::StepShown(const CSite& site)
{
    if (treeDeferred || treeQuiet) {
        pendingSite = site;
        sitePending = treeQuiet;
        return;
    }
    ShowSite(site);
    // Typing undone in an edit box goes on at the end of the text it got back.
    HWND focus = ::GetFocus();
    if (focus && IsEdit(focus) && ::IsChild(mainWindow, focus) && !FocusInFindBar()) {
        const int length = ::GetWindowTextLengthW(focus);
        ::SendMessageW(focus, EM_SETSEL, length, length);
    }
}

void CfrmTreeEditor::UndoOrRedo(bool undo)
{
    // Wine's tree view costs about a nanosecond per item it holds for each item inserted or
    // deleted (it searches its list of items for the handle), and a rebuild about 30 us per
    // item: following a step item by item is the faster way up to about 30,000 nodes changed,
    // about 8 MiB of step (10,000 nodes read from a page into 50,000 undone: 0.4 s item by
    // item, 1.4-1.9 s rebuilt).
    CHistory& history = changes.History();
    const CStep* step = undo ? history.NextUndo() : history.NextRedo();
    if (!step) return;
    auto run = [this, undo] { undo ? changes.Undo() : changes.Redo(); };
    if (step->Cost() > rebuildStepAbove) {
        WithTreeRebuiltAfter(run);
    } else {
        WithTreeQuietDuring(run);
    }
}

void CfrmTreeEditor::ShowSite(const CSite& site)
{
    const TreeItemData* record = records.Find(site.kind, site.node);
    if (!record) return;
    if (record != SelectedRecord()) {
        // The selection change shows and binds the pane.
        ::SendMessageW(treeView, TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(record->item));
    } else {
        CdlgPropBase* pane = PaneFor(record);
        if (pane && (::GetWindowLongW(pane->Window(), GWL_STYLE) & WS_VISIBLE)) {
            pane->SetNode(record->node);
        } else {
            ShowPaneFor(record);
        }
    }
    ::SendMessageW(treeView, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(record->item));
    if (CdlgPropBase* pane = PaneFor(record)) pane->ShowRow(site);
}

void CfrmTreeEditor::ShowLinkSite(const CSite& site)
{
    ShowSite(site);
    // In front of the results window, which stays open behind it, with the node in sight.
    if (::IsIconic(mainWindow)) ::ShowWindow(mainWindow, SW_RESTORE);
    ::SetForegroundWindow(mainWindow);
    ::SetFocus(treeView);
}

void CfrmTreeEditor::RefreshShownPane()
{
    CdlgPropBase* pane = ShownPane();
    const TreeItemData* selected = SelectedRecord();
    if (pane && selected && pane == PaneFor(selected)) pane->SetNode(selected->node);
}

void CfrmTreeEditor::OpenFind()
{
    const bool wasOpen = findBar.IsOpen();
    findBar.Open();
    if (!wasOpen) Layout();
}

void CfrmTreeEditor::CloseFind()
{
    findBar.Close();
    Layout();
    ::SetFocus(treeView);
}

bool CfrmTreeEditor::FocusInFindBar() const
{
    HWND focus = ::GetFocus();
    return findBar.IsOpen() && focus &&
           (focus == findBar.Window() || ::IsChild(findBar.Window(), focus));
}

void CfrmTreeEditor::FindFromBar(bool forward, bool inclusive)
{
    findText = findBar.Text();
    findMatchCase = findBar.MatchCase();
    Find(forward, inclusive);
}

void CfrmTreeEditor::FindAgain(bool forward)
{
    if (findBar.IsOpen()) {
        findText = findBar.Text();
        findMatchCase = findBar.MatchCase();
    }
    // Nothing searched yet: the bar asks for the text.
    if (findText.empty()) {
        OpenFind();
        return;
    }
    Find(forward, false);
}

void CfrmTreeEditor::Find(bool forward, bool inclusive)
{
    if (findText.empty()) {
        findBar.SetStatus(L"");
        return;
    }
    // From the selected node and the row current in its pane.
    CSite from;
    if (const TreeItemData* selected = SelectedRecord()) {
        CdlgPropBase* pane = PaneFor(selected);
        if (pane && (::GetWindowLongW(pane->Window(), GWL_STYLE) & WS_VISIBLE))
            from = pane->CurrentRow();
        from.kind = selected->kind;
        from.node = selected->node;
    }
    CSite found;
    if (!CProjectFinder(*project, findText, findMatchCase).Find(from, forward, inclusive, found)) {
        findBar.SetStatus(L"Not found");
        return;
    }
    findBar.SetStatus(L"");
    ShowSite(found);
}

void CfrmTreeEditor::Rename()
{
    renameSession = RenameSession();
    CdlgPropBase* pane = ShownPane();
    const TreeItemData* selected = SelectedRecord();
    HWND edit = pane ? pane->FirstEdit() : nullptr;
    if (!edit) return;
    winui::FocusAll(edit);
    if (!selected) return;
    const CHistory& history = changes.History();
    renameSession = {
        edit,        selected->node, history.UndoCount(), history.Revision(), project->modified,
        pageUpToDate};
}

bool CfrmTreeEditor::CancelRename()
{
    const RenameSession session = renameSession;
    renameSession = RenameSession();
    if (!session.edit || ::GetFocus() != session.edit) return false;
    const TreeItemData* selected = SelectedRecord();
    if (!selected || selected->node != session.node) return false;
    // Nothing typed: nothing to put back. Typed: exactly the one typing step more.
    const CHistory& history = changes.History();
    if (history.Revision() == session.revision) return false;
    if (history.UndoCount() != session.undoCount + 1 || changes.UndoName() != L"typing")
        return false;
    if (!changes.Withdraw()) return false;
    // The project is as it was before F2, saved or not, its page written or not.
    project->modified = session.modified;
    SetPageUpToDate(session.pageUpToDate);
    return true;
}

bool CfrmTreeEditor::EditBoxCommand(int command)
{
    HWND focus = ::GetFocus();
    if (!IsEdit(focus) || !::IsChild(mainWindow, focus)) return false;
    const UINT message = command == IDM_CUT ? WM_CUT : command == IDM_COPY ? WM_COPY : WM_PASTE;
    ::SendMessageW(focus, message, 0, 0);
    return true;
}

// The run's project file and its recovery: another program's changes to the file, the recovery
// file written a while after each change and at the session's end, and a second start handing
// over its command line.
#include "editor/tree_editor.h"

#include "editor/instance_link.h"
#include "homepage/page_compare.h"
#include "model/project.h"
#include "persist/streams.h"
#include "resources/resource.h"
#include "services/paths.h"
#include "services/project_store.h"
#include "services/status_texts.h"

namespace {

// Posted to the main window: hand a received command line on.
const UINT kHandedOver = WM_APP + 43;
// The look at the project file comes this long after an activation, when the click or key that
// activated the window has been handled.
const UINT kFileCheckDelayMs = 200;

} // namespace

bool CfrmTreeEditor::OnRunMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_TIMER:
        if (wParam == IDT_FILE_CHECK) {
            // Not in the middle of a click or drag (a control tracking the mouse hands timer
            // messages on from its own loop): the timer comes again.
            if (::GetCapture() || ::GetKeyState(VK_LBUTTON) < 0 || ::GetKeyState(VK_RBUTTON) < 0)
                return true;
            ::KillTimer(mainWindow, IDT_FILE_CHECK);
            CheckProjectFile();
            return true;
        }
        if (wParam != IDT_RECOVERY) return false;
        ::KillTimer(mainWindow, IDT_RECOVERY);
        recoveryArmed = false;
        if (project->modified && recoveryHolds != changeCount && !rebuilding) {
            recoveryHolds = changeCount;
            WriteRecoveryOfRunLater(*project);
        }
        return true;
    case WM_QUERYENDSESSION:
        // The session ends without the quit prompt, which would hold it up: the changes wait in
        // the recovery file for the next start. Only changes that could not be written there
        // hold the session, so that the person can still save them.
        result = WriteRecoveryNow() ? TRUE : FALSE;
        return true;
    case WM_ENDSESSION:
        if (wParam) WriteRecoveryNow();
        return true;
    case WM_COPYDATA: {
        std::wstring arguments;
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!data || !ReadHandedOverCommandLine(*data, arguments)) return true;
        BringForward();
        // The sender waits for the answer: what the command line asks for is done after it.
        handedOver.push_back(std::move(arguments));
        ::PostMessageW(mainWindow, kHandedOver, 0, 0);
        result = TRUE;
        return true;
    }
    case kHandedOver: {
        std::vector<std::wstring> waiting;
        waiting.swap(handedOver);
        for (const std::wstring& arguments : waiting) {
            if (onHandover) onHandover(arguments);
        }
        return true;
    }
    default:
        return false;
    }
}

void CfrmTreeEditor::Activated()
{
    // Each activation starts the wait afresh.
    ::SetTimer(mainWindow, IDT_FILE_CHECK, kFileCheckDelayMs, nullptr);
}

void CfrmTreeEditor::CheckProjectFile()
{
    // Not while quitting or in the middle of a drag, whose nodes a reload would take away.
    if (rebuilding || drag.Active()) return;
    // A file that is gone leaves nothing to load or to keep aside: the next save writes it.
    if (ProjectFileStateOfRun() != ProjectFileState::Changed) return;
    CProject loaded;
    if (project->modified || !LoadChangedProjectFile(loaded)) {
        statusBar.SetOutcome(ProjectChangedElsewhereText(ProjectFilePath));
        return;
    }
    // One step; the tree is rebuilt after it, with the project selected, as after Read HTML file.
    WithTreeRebuiltAfter([this, &loaded] {
        changes.ReplaceProject(loaded, L"reload from disk");
        treeStale = true;
        pendingSite = CSite();
        pendingSite.node = project;
    });
    // The project is the file again; Ctrl+Z makes it differ.
    project->modified = false;
    if (const TreeItemData* root = records.Find(kNodeProject, project)) ShowPaneFor(root);
    SetPageUpToDate(PageShowsProject());
    statusBar.SetOutcome(ProjectReloadedText(ProjectFilePath));
}

void CfrmTreeEditor::ChangeForRecovery()
{
    ++changeCount;
    if (recoveryArmed || !mainWindow || !RecoveryOfRunEnabled()) return;
    recoveryArmed = ::SetTimer(mainWindow, IDT_RECOVERY, recoveryDelayMs, nullptr) != 0;
}

bool CfrmTreeEditor::WriteRecoveryNow()
{
    // A copy that is being written still has to reach the disk.
    if (!project->modified) {
        WaitForRecoveryOfRun();
        return true;
    }
    if (recoveryHolds == changeCount && WaitForRecoveryOfRun()) return true;
    if (!WriteRecoveryOfRunNow(*project)) return false;
    recoveryHolds = changeCount;
    return true;
}

void CfrmTreeEditor::RecoveryRestored()
{
    // The file holds what the project now holds.
    recoveryHolds = changeCount;
    SetPageUpToDate(PageShowsProject());
    statusBar.SetOutcome(RecoveryRestoredText());
}

void CfrmTreeEditor::BringForward()
{
    if (::IsIconic(mainWindow)) ::ShowWindow(mainWindow, SW_RESTORE);
    // A message box or dialog of the window's stays in front of it.
    HWND front = ::GetLastActivePopup(mainWindow);
    if (!front || !::IsWindowVisible(front)) front = mainWindow;
    ::SetForegroundWindow(front);
}

bool CfrmTreeEditor::PageShowsProject() const
{
    CFileStream page(HomepageFilePath, false);
    return page.IsOpen() && PageMatches(*project, page);
}

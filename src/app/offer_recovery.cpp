// The question at start after a run that did not end normally. Apart from start-up, as the shell
// folders' header and the program's message box seam do not go into one file.
#include "app/startup.h"
#include "editor/tree_editor.h"
#include "services/project_store.h"
#include "services/shell.h"

void OfferRecovery(CProject& project, CfrmTreeEditor& window)
{
    if (FindRecoveryOfRun() != RecoveryFound::Restorable) return;
    // Owned by the window, not yet shown, so that a second start meanwhile brings the question
    // forward.
    const int answer = Shell().ShowMessage(
        window.MainWindow(),
        L"Quillomere did not end normally. Restore the changes that were not saved?", L"Quillomere",
        MB_YESNO | MB_ICONQUESTION);
    // A box that could not be shown decides nothing: the file waits for the next start.
    if (answer == IDNO) {
        DiscardRecoveryOfRun();
    } else if (answer == IDYES && RestoreRecoveryOfRun(project)) {
        window.RecoveryRestored();
    }
}

// Start-up and the message loop.
#pragma once

#include "winui/module.h"

#include <windows.h>

class CProject;
class CfrmTreeEditor;

// Queries the documents folder and builds the program's file paths. Where the shell gives no
// folder, the user profile, the current folder and then the temp folder stand in, but never a
// drive root on such a guess.
void InitFilePaths();

// Fills the project (project file, else homepage, else sample), clears its modified flag and
// creates the windows, marks the main window as the one of ProjectFilePath (a second start finds
// it); then, when the last run did not end normally and left changes that the
// project file does not hold, asks whether to restore them (OfferRecovery). False when the
// windows cannot be created.
bool StartUp(CProject& project, CfrmTreeEditor& window);

// The question after a run that did not end normally: Yes fills the project from the recovery
// file with the modified flag set, No removes the file. A recovery file that does not load is
// kept aside without a question.
void OfferRecovery(CProject& project, CfrmTreeEditor& window);

// Fills the tree, shows the window and pumps messages until the quit message; then removes the
// files this run wrote for the browser. Returns 0.
int RunMessageLoop(CfrmTreeEditor& window, int showCommand);

// Accelerator table 111 of the module.
HACCEL LoadEditorAccelerators();
// What the loop does with one message: accelerators, then the keys between pane and tree, then
// the main window's dialog navigation, then the window procedures.
void DispatchEditorMessage(HWND main, HACCEL accelerators, MSG& message);

// The exit code when the windows cannot be created.
constexpr int kStartUpFailed = static_cast<int>(0xFEEDBEEF);
// The exit code of a second start when the run that has the project open does not answer.
constexpr int kRunningCopyDoesNotAnswer = 2;

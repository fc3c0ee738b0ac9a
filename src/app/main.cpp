// The entry point: one project and one main window for the whole run, and one run per project
// file.
#include "app/single_instance.h"
#include "app/startup.h"
#include "editor/tree_editor.h"
#include "model/project.h"
#include "services/paths.h"

#include <ole2.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    SetModuleInstance(::GetModuleHandleW(nullptr));
    InitFilePaths();
    // Before anything else reads the files: a run that has them open gets the command line.
    CProjectInstance instance;
    switch (instance.ClaimProject(ProjectFilePath, ArgumentsOf(::GetCommandLineW()))) {
    case CProjectInstance::Claim::HandedOver:
        return 0;
    case CProjectInstance::Claim::NoAnswer:
        return kRunningCopyDoesNotAnswer;
    case CProjectInstance::Claim::First:
        break;
    }
    // Windows starts the program again after an update that ended the session; the recovery
    // file then offers the changes that were not saved.
    ::RegisterApplicationRestart(L"", RESTART_NO_CRASH | RESTART_NO_HANG);
    // OLE for the drops on the tree; the program runs on without them when it fails.
    const bool ole = SUCCEEDED(::OleInitialize(nullptr));
    int exitCode = kStartUpFailed;
    {
        CProject project;
        CfrmTreeEditor window(project);
        if (StartUp(project, window)) exitCode = RunMessageLoop(window, showCommand);
    }
    if (ole) ::OleUninitialize();
    return exitCode;
}

// The entry point: one project and one main window for the whole run.
#include "app/startup.h"
#include "editor/tree_editor.h"
#include "model/project.h"

#include <ole2.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    SetModuleInstance(::GetModuleHandleW(nullptr));
    // OLE for the drops on the tree; the program runs on without them when it fails.
    const bool ole = SUCCEEDED(::OleInitialize(nullptr));
    InitFilePaths();
    int exitCode = kStartUpFailed;
    {
        CProject project;
        CfrmTreeEditor window(project);
        if (StartUp(project, window)) exitCode = RunMessageLoop(window, showCommand);
    }
    if (ole) ::OleUninitialize();
    return exitCode;
}

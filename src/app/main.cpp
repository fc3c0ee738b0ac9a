// The entry point: one project and one main window for the whole run.
#include "app/startup.h"
#include "editor/tree_editor.h"
#include "model/project.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    SetModuleInstance(::GetModuleHandleW(nullptr));
    InitFilePaths();
    CProject project;
    CfrmTreeEditor window(project);
    if (!StartUp(project, window)) return kStartUpFailed;
    return RunMessageLoop(window, showCommand);
}

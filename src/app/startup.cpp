#include "app/startup.h"

#include "editor/instance_link.h"
#include "editor/tree_editor.h"
#include "platform/platform.h"
#include "resources/resource.h"
#include "services/paths.h"
#include "services/project_store.h"
#include "services/run_files.h"

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

std::wstring ShellFolder(int id)
{
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, id, FALSE)) return std::wstring();
    return buffer;
}

std::wstring CurrentFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = ::GetCurrentDirectoryW(MAX_PATH, buffer);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

} // namespace

void InitFilePaths()
{
    std::wstring folder =
        ChooseFolder(ShellFolder(CSIDL_PERSONAL),
                     {ShellFolder(CSIDL_PROFILE), CurrentFolder(), platform::TempFolder()});
    // Nothing usable at all: a relative path keeps the files out of the drive root at least.
    BuildFilePaths(folder.empty() ? std::wstring(L".") : folder);
    BuildRecoveryPath(ShellFolder(CSIDL_LOCAL_APPDATA));
}

bool StartUp(CProject& project, CfrmTreeEditor& window)
{
    ::InitCommonControls();
    FillProjectOfRun(project);
    if (!window.Create()) return false;
    // From now on a second start finds this window, also while the question below is open.
    MarkProjectWindow(window.MainWindow(), ProjectFilePath);
    OfferRecovery(project, window);
    return true;
}

void DispatchEditorMessage(HWND main, HACCEL accelerators, MSG& message)
{
    // Accelerators first, for every window of the thread, so that they also act while the
    // focus is in a pane's edit box.
    if (accelerators && ::TranslateAcceleratorW(main, accelerators, &message)) return;
    // Then the keys that lead between the pane and the tree, which the dialog navigation would
    // keep inside the pane; then Tab and Shift+Tab among the visible pane's controls.
    CfrmTreeEditor* editor = CfrmTreeEditor::FromWindow(main);
    if (editor && editor->PreTranslateKey(message)) return;
    // The windows the main window owns have their own dialog navigation.
    if (editor && editor->TranslateOwnedWindowKey(message)) return;
    if (::IsDialogMessageW(main, &message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

HACCEL LoadEditorAccelerators()
{
    return ::LoadAcceleratorsW(ModuleInstance(), MAKEINTRESOURCEW(IDR_MAINMENU));
}

int RunMessageLoop(CfrmTreeEditor& window, int showCommand)
{
    window.Populate();
    HWND main = window.MainWindow();
    ::ShowWindow(main, window.ShowCommandFor(showCommand));
    HACCEL accelerators = LoadEditorAccelerators();
    MSG message;
    // Only the quit prompt posts the quit message; an error (-1) ends the loop as well.
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchEditorMessage(main, accelerators, message);
    // The preview and the help page were for the browser of this run.
    RemoveFilesOfRun();
    return 0;
}

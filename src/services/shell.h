// Where the program hands over to the system's own user interface: message boxes, the open-file
// and save-file dialogs and starting another program. Tests put a stand-in here so that they can
// answer in place of a person; the product always uses the real calls.
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

class IShell
{
public:
    virtual ~IShell() = default;
    // MessageBoxW.
    virtual int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) = 0;
    // GetOpenFileNameW: true when a file was chosen.
    virtual bool ChooseOpenFile(OPENFILENAMEW& dialog) = 0;
    // GetSaveFileNameW: true when a file was chosen.
    virtual bool ChooseSaveFile(OPENFILENAMEW& dialog) = 0;
    // ShellExecuteExW. Called from the preview's wait threads as well as the UI thread.
    virtual bool Execute(SHELLEXECUTEINFOW& info) = 0;
};

// The one in use: the real one unless a test put another in its place.
IShell& Shell();
// Puts `shell` in place (not owned); null puts the real one back.
void SetShellForTesting(IShell* shell);

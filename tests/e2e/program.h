// The real quillomere.exe, started and used as a person would: keys and clicks through the
// system's input, message boxes answered by their buttons.
#pragma once

#include "registry_override.h"
#include "test_support.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The Documents folder of the program's user, where it keeps its two files.
std::wstring DocumentsFolder();

// Polls `condition` until it holds; false when it still does not after the timeout. What another
// process does with queued input can only be waited for, never read at once.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The program's recovery file: "%LOCALAPPDATA%\Quillomere\Recovery\Quillomere.quil".
std::wstring RecoveryFileOfUser();

// The program's two files in the Documents folder and its recovery file: whatever was there is
// put aside for the test's lifetime and put back afterwards; what the test left is removed.
class CProgramFiles
{
public:
    CProgramFiles();
    ~CProgramFiles();
    CProgramFiles(const CProgramFiles&) = delete;
    CProgramFiles& operator=(const CProgramFiles&) = delete;

    const std::wstring project;
    const std::wstring homepage;
    const std::wstring recovery;
};

// A running copy of the program on the tests' desktop, killed if a test leaves it behind.
class CProgram
{
public:
    // The program of this build (QUIL_EXE_PATH).
    CProgram();
    // The program at `exePath` (a Windows path, or a Unix path that Wine maps), with
    // `arguments` after its name on the command line.
    explicit CProgram(const std::wstring& exePath, const std::wstring& arguments = L"");
    ~CProgram();
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    bool Started() const { return started; }
    DWORD ProcessId() const { return info.dwProcessId; }
    // The main window, once it is visible (null after the timeout).
    HWND WaitForMainWindow(DWORD timeoutMs = 20000);
    // The main window's tree view.
    HWND Tree() const;
    // The process's exit code, or 0xDEAD when it is still running after the timeout.
    DWORD WaitForExit(DWORD timeoutMs = 20000);
    // A message box of the program, once one is shown (null after the timeout).
    HWND WaitForMessageBox(DWORD timeoutMs = 10000);
    // The open-file dialog of the program, once it shows its file-name box (null after the
    // timeout).
    HWND WaitForOpenFileDialog(DWORD timeoutMs = 20000);
    // The edit box in which the open-file dialog takes the file name.
    static HWND FileNameBox(HWND dialog);
    // The text of a message box.
    static std::wstring MessageBoxText(HWND box);
    // Clicks a dialog button by its id.
    static void ClickButton(HWND dialog, int id);

    // Keys as the keyboard gives them, to the focused window of the program.
    void PressKey(WORD key, bool control = false);
    // A left click on the tree item in row `row` (0 the root) at depth `level`.
    void ClickTreeRow(int row, int level);
    // A left click at a point of the screen.
    void Click(POINT screen);
    // Gives the program a moment for queued input and waits until it answers messages again.
    // It does not tell that the input was handled: wait for its effect (WaitUntil).
    void WaitUntilIdle();
    // Opens drop-down `menuIndex` of the menu bar with a click and picks the item whose access
    // key is `accessKey` (a capital letter), as a person does. Each item's key is its own
    // within its menu, so the pick does not depend on where the highlight is. False when no menu
    // opened.
    bool ChooseMenuItem(int menuIndex, char accessKey);
    // The tree as "Root[Column[Group[Item,...]],...]", read from the program's tree view.
    std::wstring TreeText();

private:
    // Makes the main window the foreground and waits until the switch is done.
    void BringToFront();
    // A visible top-level window of this class that belongs to the program, or null.
    HWND FindShownWindow(const wchar_t* className) const;

    // The program's remembered placement is put aside for the run and put back after it, so that
    // every run starts at the default place and leaves nothing behind.
    CRegistryKeyOverride placement;
    bool started = false;
    PROCESS_INFORMATION info = {};
    HWND main = nullptr;
};

// A left click at a point of the screen: the mouse moves there, presses, lets go.
void SendClick(POINT screen);

// Waits until a file exists and its size has stopped changing.
bool WaitForFile(const std::wstring& path, DWORD timeoutMs = 10000);

// Saves the screen area of a window as a PNG file.
bool SaveWindowScreenshot(HWND window, const std::wstring& path);

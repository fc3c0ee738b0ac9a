// The real quillomere.exe, started and used as a person would: keys and clicks through the
// system's input, message boxes answered by their buttons.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// A Unix path as Windows sees it under Wine (Z:\...); other paths unchanged.
std::wstring WindowsPath(std::wstring path);

// The Documents folder of the program's user, where it keeps its two files.
std::wstring DocumentsFolder();

// A running copy of the program on the tests' desktop, killed if a test leaves it behind.
class CProgram
{
public:
    CProgram();
    ~CProgram();
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    bool Started() const { return started; }
    // The main window, once it is visible (null after the timeout).
    HWND WaitForMainWindow(DWORD timeoutMs = 20000);
    // The main window's tree view.
    HWND Tree() const;
    // The process's exit code, or 0xDEAD when it is still running after the timeout.
    DWORD WaitForExit(DWORD timeoutMs = 20000);
    // A message box of the program, once one is shown (null after the timeout).
    HWND WaitForMessageBox(DWORD timeoutMs = 10000);
    // The text of a message box.
    static std::wstring MessageBoxText(HWND box);
    // Clicks a dialog button by its id.
    static void ClickButton(HWND dialog, int id);

    // Keys as the keyboard gives them, to the focused window of the program.
    void PressKey(WORD key, bool control = false);
    // A left click on the tree item in row `row` (0 the root) at depth `level`.
    void ClickTreeRow(int row, int level);
    // Waits until the program has handled everything sent to it so far.
    void WaitUntilIdle();

private:
    bool started = false;
    PROCESS_INFORMATION info = {};
    HWND main = nullptr;
};

// Waits until a file exists and its size has stopped changing.
bool WaitForFile(const std::wstring& path, DWORD timeoutMs = 10000);

// Saves the screen area of a window as a PNG file.
bool SaveWindowScreenshot(HWND window, const std::wstring& path);

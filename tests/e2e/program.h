// The real program, started as a user starts it, for the end-to-end tests.
#pragma once

#include <windows.h>

#include <string>

// The path of the built program as Windows sees it (a Unix path under Wine becomes Z:\...).
std::wstring ProgramPath();
// The same conversion for any path of the build machine.
std::wstring WindowsPath(std::wstring path);

// A running copy of the program, killed if a test leaves it behind.
class CProgram
{
public:
    CProgram();
    ~CProgram();
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    // The program's main window, once it is there.
    HWND WaitForMainWindow(DWORD timeoutMs = 20000);
    // The exit code, or 0xDEAD when the program did not end in time.
    DWORD WaitForExit(DWORD timeoutMs = 20000);

    bool started = false;
    PROCESS_INFORMATION info = {};
};

// The real program, started as a user starts it.
#include "test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring ProgramPath()
{
    return WinePath(QUIL_EXE_PATH);
}

// A running copy of the program, killed if a test leaves it behind.
class CProgram
{
public:
    CProgram()
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
        started = ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &info) != FALSE;
    }
    ~CProgram()
    {
        if (!started) return;
        if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(info.hProcess, 99);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }

    // The program's main window, once it is there.
    HWND WaitForMainWindow(DWORD timeoutMs = 20000)
    {
        for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
            HWND found = nullptr;
            while ((found = ::FindWindowExW(nullptr, found, L"CfrmTreeEditor", nullptr))) {
                DWORD process = 0;
                ::GetWindowThreadProcessId(found, &process);
                if (process == info.dwProcessId && ::IsWindowVisible(found)) return found;
            }
            ::Sleep(50);
        }
        return nullptr;
    }

    DWORD WaitForExit(DWORD timeoutMs = 20000)
    {
        if (::WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) return 0xDEAD;
        DWORD code = 0;
        ::GetExitCodeProcess(info.hProcess, &code);
        return code;
    }

    bool started = false;
    PROCESS_INFORMATION info = {};
};

std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

} // namespace

TEST(Program, StartsShowsItsWindowAndQuitsWithExitCodeZero)
{
    CProgram program;
    ASSERT_TRUE(program.started);
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main), L"Quillomere");
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

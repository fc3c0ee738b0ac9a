#include "program.h"

std::wstring WindowsPath(std::wstring path)
{
    if (!path.empty() && path[0] == L'/') {
        for (wchar_t& c : path) {
            if (c == L'/') c = L'\\';
        }
        path = L"Z:" + path;
    }
    return path;
}

std::wstring ProgramPath()
{
    return WindowsPath(QUIL_EXE_PATH);
}

CProgram::CProgram()
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
    started = ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info) != FALSE;
}

CProgram::~CProgram()
{
    if (!started) return;
    if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
        ::TerminateProcess(info.hProcess, 99);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
}

HWND CProgram::WaitForMainWindow(DWORD timeoutMs)
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

DWORD CProgram::WaitForExit(DWORD timeoutMs)
{
    if (::WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) return 0xDEAD;
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    return code;
}

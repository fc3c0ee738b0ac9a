#include "app/single_instance.h"

#include "editor/instance_link.h"

CProjectInstance::~CProjectInstance()
{
    if (mutex) ::CloseHandle(mutex);
}

CProjectInstance::Claim CProjectInstance::ClaimProject(const std::wstring& projectPath,
                                                       const std::wstring& arguments, DWORD waitMs)
{
    mutex = ::CreateMutexW(nullptr, TRUE, ProjectMutexName(projectPath).c_str());
    if (!mutex) return Claim::First;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return Claim::First;
    // Another run holds it; it may still be loading the project, or be on its way out.
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD wait = ::WaitForSingleObject(mutex, 50);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return Claim::First;
        if (HWND window = FindProjectWindow(projectPath)) {
            if (HandOverCommandLine(window, arguments)) return Claim::HandedOver;
        }
        if (::GetTickCount() - start >= waitMs) return Claim::NoAnswer;
    }
}

std::wstring ArgumentsOf(const std::wstring& commandLine)
{
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        at = commandLine.find(L'"', 1);
        at = at == std::wstring::npos ? commandLine.size() : at + 1;
    } else {
        while (at < commandLine.size() && commandLine[at] != L' ' && commandLine[at] != L'\t')
            ++at;
    }
    while (at < commandLine.size() && (commandLine[at] == L' ' || commandLine[at] == L'\t'))
        ++at;
    return commandLine.substr(at);
}

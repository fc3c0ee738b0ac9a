#include "services/browser_stand_in.h"

#include "persist/text.h"
#include "platform/platform.h"
#include "test_support.h"

#include <shellapi.h>

CEnvironmentOverride::CEnvironmentOverride(const wchar_t* name, const std::wstring& value)
    : name(name)
{
    wchar_t buffer[32768];
    DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
    existed = length > 0 && length < 32768;
    if (existed) old.assign(buffer, length);
    ::SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

CEnvironmentOverride::~CEnvironmentOverride()
{
    ::SetEnvironmentVariableW(name, existed ? old.c_str() : nullptr);
}

CBrowserStandIn::CBrowserStandIn(const std::wstring& mode)
    : command(HKEY_CLASSES_ROOT, L"HTTP\\shell\\open\\command")
{
    static int counter = 0;
    logFolder = platform::TempFolder() + L"quillomere-browser-" +
                std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    ::CreateDirectoryW(logFolder.c_str(), nullptr);
    logVariable = std::make_unique<CEnvironmentOverride>(L"QUIL_TEST_BROWSER_LOG", logFolder);
    modeVariable = std::make_unique<CEnvironmentOverride>(L"QUIL_TEST_BROWSER_MODE", mode);
}

CBrowserStandIn::~CBrowserStandIn()
{
    EndStayingBrowsers();
    for (const std::wstring& log : Logs())
        platform::RemoveFile(log);
    ::RemoveDirectoryW(logFolder.c_str());
}

void CBrowserStandIn::Register(const std::wstring& options)
{
    command.SetText(REG_SZ, L"\"" + WindowsPath(QUIL_TEST_BROWSER_PATH) + L"\"" + options);
}

std::vector<std::wstring> CBrowserStandIn::Logs() const
{
    std::vector<std::wstring> logs;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((logFolder + L"\\browser-*.log").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return logs;
    do {
        logs.push_back(logFolder + L"\\" + found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return logs;
}

bool CBrowserStandIn::HasRun() const
{
    return !Logs().empty();
}

std::vector<BrowserRun> CBrowserStandIn::TakeRuns()
{
    std::vector<BrowserRun> runs;
    for (const std::wstring& log : Logs()) {
        std::string bytes = ReadFileBytes(log);
        platform::RemoveFile(log);
        std::size_t end = bytes.find('\n');
        if (end == std::string::npos) end = bytes.size();
        BrowserRun run;
        run.commandLine = FromUtf8(bytes.substr(0, end));
        run.page = end < bytes.size() ? bytes.substr(end + 1) : std::string();
        runs.push_back(run);
    }
    return runs;
}

void CBrowserStandIn::EndStayingBrowsers()
{
    if (HANDLE quit = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"QuillomereTestBrowserQuit")) {
        ::SetEvent(quit);
        ::CloseHandle(quit);
    }
}

std::vector<std::wstring> Arguments(const std::wstring& commandLine)
{
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> result(arguments, arguments + (arguments ? count : 0));
    ::LocalFree(arguments);
    return result;
}

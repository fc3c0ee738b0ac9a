// A stand-in for the system's web browser in the preview tests. After a moment (so that a preview
// that does not wait for it would already have deleted the page) it reads the file named by its
// first argument and writes its command line, a line feed and the file's bytes to
// browser-PID.log in the folder that QUIL_TEST_BROWSER_LOG names; then it exits.
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::string ReadWholeFile(const wchar_t* path)
{
    std::string bytes;
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[4096];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    ::CloseHandle(file);
    return bytes;
}

std::string Utf8(const wchar_t* text)
{
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], size, nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

} // namespace

int wmain()
{
    wchar_t folder[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableW(L"QUIL_TEST_BROWSER_LOG", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 2;
    ::Sleep(700);

    const wchar_t* commandLine = ::GetCommandLineW();
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(commandLine, &count);
    std::string log = Utf8(commandLine) + "\n";
    if (arguments && count > 1) log += ReadWholeFile(arguments[1]);
    ::LocalFree(arguments);

    std::wstring logPath =
        std::wstring(folder) + L"\\browser-" + std::to_wstring(::GetCurrentProcessId()) + L".log";
    HANDLE file =
        ::CreateFileW(logPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, log.data(), static_cast<DWORD>(log.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == log.size() ? 0 : 3;
}

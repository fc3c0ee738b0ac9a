// A stand-in for the system's web browser in the preview and help tests. It writes its command
// line, a line feed and the bytes of the file named by its first argument to browser-PID.log in
// the folder that QUIL_TEST_BROWSER_LOG names. QUIL_TEST_BROWSER_MODE says how it behaves:
// - unset: after a moment it reads the file, logs and exits;
// - "handover": it logs its command line at once and exits without reading, as the launcher of a
//   browser that hands the page to a copy already running;
// - "stay": it reads the file after a moment, logs, and keeps running until the event named
//   QuillomereTestBrowserQuit is set (or a minute has passed).
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

std::wstring Variable(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

} // namespace

int wmain()
{
    const std::wstring folder = Variable(L"QUIL_TEST_BROWSER_LOG");
    if (folder.empty()) return 2;
    const std::wstring mode = Variable(L"QUIL_TEST_BROWSER_MODE");
    const bool handOver = mode == L"handover";
    const bool stay = mode == L"stay";
    // The event first, so that a test can end the browser as soon as its log is there.
    HANDLE quit =
        stay ? ::CreateEventW(nullptr, TRUE, FALSE, L"QuillomereTestBrowserQuit") : nullptr;
    if (!handOver) ::Sleep(700);

    const wchar_t* commandLine = ::GetCommandLineW();
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(commandLine, &count);
    std::string log = Utf8(commandLine) + "\n";
    if (!handOver && arguments && count > 1) log += ReadWholeFile(arguments[1]);
    ::LocalFree(arguments);

    // Written under another name and renamed: a test that sees the log sees all of it.
    std::wstring logPath = folder + L"\\browser-" + std::to_wstring(::GetCurrentProcessId());
    HANDLE file = ::CreateFileW((logPath + L".part").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, log.data(), static_cast<DWORD>(log.size()), &written, nullptr);
    ::CloseHandle(file);
    ok = ok && ::MoveFileW((logPath + L".part").c_str(), (logPath + L".log").c_str());
    if (quit) {
        ::WaitForSingleObject(quit, 60000);
        ::CloseHandle(quit);
    }
    return ok && written == log.size() ? 0 : 3;
}

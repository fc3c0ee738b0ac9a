#include "services/browser_launch.h"

#include "persist/trim.h"
#include "services/program_token.h"
#include "services/settings.h"
#include "services/shell.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

std::atomic<std::int32_t> running{0};

const wchar_t kBrowserCommandKey[] = L"HTTP\\shell\\open\\command";

// What one launch needs on its thread.
struct LaunchRequest
{
    std::wstring program;
    std::wstring path;
    LaunchNotice notice;
};

// Starts the browser on the file; true when the shell reports it started.
bool Launch(const std::wstring& program, const std::wstring& path)
{
    // With no program the shell opens a folder window instead (Wine's call never returns): that
    // is a failed launch.
    if (TrimBlanks(std::wstring_view(program)).empty()) return false;
    // Quoted, so that a temp folder with a space in it stays one argument. Paths cannot contain
    // a double quote.
    std::wstring parameters = L"\"" + path + L"\"";
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // The window says itself what failed, naming the page: no box of the shell's.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    // The shell may hand the launch to extensions, which expect COM on the calling thread.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    bool started = Shell().Execute(info);
    if (SUCCEEDED(com)) ::CoUninitialize();
    // Nothing waits for the browser: a browser already running takes the page over from a
    // launcher that ends at once, so the process says nothing about when the file was read.
    if (started && info.hProcess) ::CloseHandle(info.hProcess);
    return started;
}

DWORD WINAPI LaunchThread(void* parameter)
{
    std::unique_ptr<LaunchRequest> request(static_cast<LaunchRequest*>(parameter));
    bool started = false;
    // Nothing may unwind out of the thread.
    try {
        started = Launch(request->program, request->path);
    } catch (...) {
    }
    const LaunchNotice notice = request->notice;
    request.reset();
    // A window that has gone meanwhile simply gets nothing.
    if (notice.window) ::PostMessageW(notice.window, notice.message, notice.tag, started ? 1 : 0);
    --running;
    return 0;
}

} // namespace

std::wstring BrowserCommand()
{
    HKEY key = nullptr;
    if (::RegOpenKeyW(HKEY_CLASSES_ROOT, kBrowserCommandKey, &key) != ERROR_SUCCESS) return {};
    std::wstring command;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        // A wchar_t more than the value needs, so that even a value stored without its NUL
        // reads as terminated text.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD read = size;
        if (::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                               &read) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ))
            command = buffer.data();
    }
    ::RegCloseKey(key);
    return command;
}

void OpenInBrowser(const std::wstring& path, const LaunchNotice& notice)
{
    auto owned = std::make_unique<LaunchRequest>();
    // The chosen program as it is; the system's browser command without its options.
    owned->program = LoadSettings().previewBrowser;
    if (TrimBlanks(std::wstring_view(owned->program)).empty())
        owned->program = SplitProgramToken(BrowserCommand()).program;
    owned->path = path;
    owned->notice = notice;
    ++running;
    HANDLE thread = ::CreateThread(nullptr, 0, LaunchThread, owned.get(), 0, nullptr);
    if (!thread) {
        --running;
        if (notice.window) ::PostMessageW(notice.window, notice.message, notice.tag, 0);
        return;
    }
    owned.release(); // the thread's now
    ::CloseHandle(thread);
}

std::int32_t BrowserLaunchesRunning()
{
    return running.load();
}

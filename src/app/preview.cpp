#include "app/preview.h"

#include "app/program_token.h"
#include "app/shell.h"
#include "homepage/page_writer.h"
#include "model/project.h"
#include "persist/streams.h"
#include "persist/trim.h"
#include "platform/platform.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace {

// One preview command. Created on the UI thread; from the moment its thread runs, owned by that
// thread, which deletes it last.
struct PreviewJob
{
    CProject* project; // not owned
    HANDLE thread = nullptr;
    std::wstring path;
};

std::atomic<std::uint32_t> noBrowserWaitMs{kPreviewWaitMs};
std::atomic<std::int32_t> running{0};

const wchar_t kBrowserCommandKey[] = L"HTTP\\shell\\open\\command";

// The default value of the browser command key as stored (not expanded); empty when it is
// missing or not text.
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

// Starts the browser on the preview file; returns its process handle, or null when it was not
// started or the system reports no process (a browser that hands the page to a running copy).
HANDLE Launch(const std::wstring& path)
{
    ProgramToken token = SplitProgramToken(BrowserCommand());
    // With no program the shell opens a folder window instead (Wine's call never returns): that
    // is a failed launch.
    if (TrimBlanks(std::wstring_view(token.program)).empty()) return nullptr;
    // Quoted, so that a temp folder with a space in it stays one argument. Paths cannot contain
    // a double quote.
    std::wstring parameters = L"\"" + path + L"\"";
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = token.program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    // The shell may hand the launch to extensions, which expect COM on the calling thread.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    bool started = Shell().Execute(info);
    if (SUCCEEDED(com)) ::CoUninitialize();
    return started ? info.hProcess : nullptr;
}

DWORD WINAPI WaitForBrowser(void* parameter)
{
    std::unique_ptr<PreviewJob> job(static_cast<PreviewJob*>(parameter));
    HANDLE process = nullptr;
    // Nothing may unwind out of the thread: the file must still go.
    try {
        process = Launch(job->path);
    } catch (...) {
        process = nullptr;
    }
    if (process)
        ::WaitForSingleObject(process, INFINITE);
    else
        ::Sleep(noBrowserWaitMs.load());
    ::DeleteFileW(job->path.c_str());
    if (process) ::CloseHandle(process);
    ::CloseHandle(job->thread);
    job.reset();
    --running;
    return 0;
}

} // namespace

void Preview(CProject& project)
{
    auto job = std::make_unique<PreviewJob>();
    job->project = &project;
    job->path = platform::TempFolder() + kPreviewFileName;
    {
        CFileStream file(job->path, true);
        WritePage(*job->project, file);
    }
    ++running;
    // Suspended, so that the handle is in the job before the thread can close it.
    HANDLE thread =
        ::CreateThread(nullptr, 0, WaitForBrowser, job.get(), CREATE_SUSPENDED, nullptr);
    if (!thread) {
        // Nobody would start a browser on the file or remove it.
        --running;
        ::DeleteFileW(job->path.c_str());
        return;
    }
    job->thread = thread;
    job.release(); // the thread's now
    ::ResumeThread(thread);
}

std::int32_t PreviewsRunning()
{
    return running.load();
}

void SetPreviewWaitForTesting(std::uint32_t milliseconds)
{
    noBrowserWaitMs = milliseconds;
}

#include "editor/instance_link.h"

#include "editor/tree_editor.h"
#include "services/file_stamp.h"

namespace {

// Names what WM_COPYDATA carries: "QUIL".
constexpr ULONG_PTR kCommandLineData = 0x4C495551u;
const wchar_t kProjectProperty[] = L"Quillomere.Project";

// Never 0, which GetPropW returns for a window without the property.
std::uintptr_t ProjectKey(const std::wstring& projectPath)
{
    std::wstring folded = projectPath;
    if (!folded.empty()) ::CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    const std::uint64_t hash = HashBytes(folded.data(), folded.size() * sizeof(wchar_t));
    return static_cast<std::uintptr_t>(hash) | 1u;
}

} // namespace

std::wstring ProjectMutexName(const std::wstring& projectPath)
{
    wchar_t hex[24] = {};
    ::wsprintfW(hex, L"%08lX%08lX", static_cast<unsigned long>(ProjectKey(projectPath) >> 32),
                static_cast<unsigned long>(ProjectKey(projectPath) & 0xFFFFFFFFu));
    return std::wstring(L"Local\\Quillomere-") + hex;
}

void MarkProjectWindow(HWND window, const std::wstring& projectPath)
{
    ::SetPropW(window, kProjectProperty, reinterpret_cast<HANDLE>(ProjectKey(projectPath)));
}

HWND FindProjectWindow(const std::wstring& projectPath)
{
    const auto key = reinterpret_cast<HANDLE>(ProjectKey(projectPath));
    HWND found = nullptr;
    while ((found = ::FindWindowExW(nullptr, found, CfrmTreeEditor::kWindowClass, nullptr))) {
        if (::GetPropW(found, kProjectProperty) == key) return found;
    }
    return nullptr;
}

bool HandOverCommandLine(HWND window, const std::wstring& arguments, UINT timeoutMs)
{
    if (arguments.size() > kMostHandedOverChars) return false;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    // The running window may come to the front: this start is what the user just did.
    ::AllowSetForegroundWindow(process);
    COPYDATASTRUCT data = {};
    data.dwData = kCommandLineData;
    data.cbData = static_cast<DWORD>(arguments.size() * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(arguments.data());
    DWORD_PTR taken = FALSE;
    return ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                 SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs, &taken) &&
           taken == TRUE;
}

bool ReadHandedOverCommandLine(const COPYDATASTRUCT& data, std::wstring& arguments)
{
    if (data.dwData != kCommandLineData || data.cbData % sizeof(wchar_t) != 0 ||
        data.cbData / sizeof(wchar_t) > kMostHandedOverChars || (data.cbData && !data.lpData))
        return false;
    const auto* text = static_cast<const wchar_t*>(data.lpData);
    arguments.assign(text, text + data.cbData / sizeof(wchar_t));
    return true;
}

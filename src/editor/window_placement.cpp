#include "editor/window_placement.h"

#include "services/settings.h"

#include <string>

namespace {

const wchar_t* const kNames[] = {L"WindowLeft",   L"WindowTop", L"WindowRight",
                                 L"WindowBottom", L"Maximized", L"TreeWidth"};
// Kept beside them since the tree keeps its share of the width; older runs did not write it.
const wchar_t kShareName[] = L"TreeShare";
const LONG kWholeShare = 10000;

// Sizes past this are not a window a person left behind.
const LONG kLargest = 100000;

// Workspace coordinates (what GetWindowPlacement gives) are relative to the primary monitor's
// work area; the offset turns them into screen coordinates.
POINT WorkspaceOffset()
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR primary = ::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (!::GetMonitorInfoW(primary, &info)) return {0, 0};
    return {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

} // namespace

// The placement is one of the program's settings: it shares their key.
const wchar_t* PlacementKey()
{
    return SettingsKey();
}

void SetPlacementKeyForTesting(const wchar_t* key)
{
    SetSettingsKeyForTesting(key);
}

bool LoadPlacement(SavedPlacement& placement)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, PlacementKey(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    LONG values[6] = {};
    bool complete = true;
    for (int i = 0; i < 6; ++i) {
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        if (::RegQueryValueExW(key, kNames[i], nullptr, &type, reinterpret_cast<BYTE*>(&value),
                               &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof value)
            complete = false;
        values[i] = static_cast<LONG>(value);
    }
    DWORD type = 0, share = 0, size = sizeof share;
    if (::RegQueryValueExW(key, kShareName, nullptr, &type, reinterpret_cast<BYTE*>(&share),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof share || share > static_cast<DWORD>(kWholeShare))
        share = 0;
    ::RegCloseKey(key);
    if (!complete) return false;
    placement.treeShare = static_cast<int>(share);
    placement.normal = {values[0], values[1], values[2], values[3]};
    placement.maximized = values[4] != 0;
    placement.treeWidth = values[5];
    const RECT& r = placement.normal;
    return r.right > r.left && r.bottom > r.top && r.right - r.left <= kLargest &&
           r.bottom - r.top <= kLargest && r.left > -kLargest && r.top > -kLargest &&
           r.left < kLargest && r.top < kLargest && placement.treeWidth >= 0 &&
           placement.treeWidth <= kLargest;
}

bool SavePlacement(const SavedPlacement& placement)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, PlacementKey(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG values[6] = {placement.normal.left,       placement.normal.top,
                            placement.normal.right,      placement.normal.bottom,
                            placement.maximized ? 1 : 0, placement.treeWidth};
    bool written = true;
    for (int i = 0; i < 6; ++i) {
        DWORD value = static_cast<DWORD>(values[i]);
        written =
            ::RegSetValueExW(key, kNames[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof value) == ERROR_SUCCESS &&
            written;
    }
    if (placement.treeShare > 0) {
        const DWORD share = static_cast<DWORD>(placement.treeShare);
        written =
            ::RegSetValueExW(key, kShareName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&share),
                             sizeof share) == ERROR_SUCCESS &&
            written;
    }
    ::RegCloseKey(key);
    return written;
}

SavedPlacement PlacementOf(HWND window, int treeWidth, int treeShare)
{
    SavedPlacement placement;
    WINDOWPLACEMENT current = {};
    current.length = sizeof current;
    ::GetWindowPlacement(window, &current);
    const POINT offset = WorkspaceOffset();
    placement.normal = current.rcNormalPosition;
    ::OffsetRect(&placement.normal, offset.x, offset.y);
    placement.maximized =
        current.showCmd == SW_SHOWMAXIMIZED ||
        (current.showCmd == SW_SHOWMINIMIZED && (current.flags & WPF_RESTORETOMAXIMIZED));
    placement.treeWidth = treeWidth;
    placement.treeShare = treeShare;
    return placement;
}

bool IsOnAMonitor(const RECT& normal)
{
    // The middle of the caption: where a person grabs the window to move it.
    POINT caption = {normal.left + (normal.right - normal.left) / 2,
                     normal.top + ::GetSystemMetrics(SM_CYCAPTION) / 2};
    return ::MonitorFromPoint(caption, MONITOR_DEFAULTTONULL) != nullptr;
}

void ApplyPlacement(HWND window, const SavedPlacement& placement)
{
    const POINT offset = WorkspaceOffset();
    WINDOWPLACEMENT wanted = {};
    wanted.length = sizeof wanted;
    wanted.showCmd = SW_HIDE;
    wanted.rcNormalPosition = placement.normal;
    ::OffsetRect(&wanted.rcNormalPosition, -offset.x, -offset.y);
    ::SetWindowPlacement(window, &wanted);
}

#include "winui/controls.h"

#include "layout/grid_sizer.h"

#include <vector>

namespace winui {

std::wstring ReadWindowText(HWND control)
{
    // Room for what the length reports and a little more, cut to what was actually fetched.
    std::vector<wchar_t> buffer(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 10);
    int length = ::GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

namespace {

// The functions of later systems, looked up once; null where the system has none.
template <typename Function> Function User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
               : nullptr;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

int SystemDpi()
{
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

} // namespace

int WindowDpi(HWND window)
{
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (window && getDpiForWindow) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi)
{
    static const auto forDpi =
        User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
    return ::MulDiv(::GetSystemMetrics(index), dpi, SystemDpi());
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi)
{
    static const auto forDpi =
        User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    if (forDpi && forDpi(&rect, style, menu, exStyle, static_cast<UINT>(dpi))) return;
    ::AdjustWindowRectEx(&rect, style, menu, exStyle);
}

HFONT CreateFontForDpi(const LOGFONTW& base, int baseDpi, int dpi)
{
    LOGFONTW font = base;
    if (baseDpi > 0) font.lfHeight = base.lfHeight * dpi / baseDpi;
    return ::CreateFontIndirectW(&font);
}

LOGFONTW FontOf(HWND window)
{
    LOGFONTW font = {};
    auto handle = reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0));
    if (!handle || !::GetObjectW(handle, sizeof font, &font))
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

int ScaleForDpi(int length, int dpi)
{
    return ::MulDiv(length, dpi, 96);
}

int WindowWidth(HWND window)
{
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    return bounds.right - bounds.left;
}

int WindowHeight(HWND window)
{
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    return bounds.bottom - bounds.top;
}

int LayOutGrid(HWND dialog, CGridSizer& grid)
{
    RECT client = {};
    ::GetClientRect(dialog, &client);
    grid.SetBounds(client.top, client.left, client.bottom, client.right);
    grid.Repaint();
    ::InvalidateRect(dialog, nullptr, TRUE);
    return 1;
}

void StretchToRightEdge(HWND dialog, HWND control, int height)
{
    RECT client = {}, dialogRect = {}, controlRect = {};
    ::GetClientRect(dialog, &client);
    ::GetWindowRect(dialog, &dialogRect);
    ::GetWindowRect(control, &controlRect);
    int x = controlRect.left - dialogRect.left;
    int y = controlRect.top - dialogRect.top;
    ::MoveWindow(control, x, y, (client.right - client.left) - x - 4, height, TRUE);
}

void AddIfPresent(CGridSizer& grid, HWND dialog, int id, int row, int firstColumn, int lastColumn,
                  int inset)
{
    if (HWND control = ::GetDlgItem(dialog, id))
        grid.AddWindow(control, row, firstColumn, row, lastColumn, inset);
}

bool BecameSelected(const NMLISTVIEW& change)
{
    return (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
           !(change.uOldState & LVIS_SELECTED);
}

int NoDeleteItemNotifications(HWND dialog)
{
    ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
    return 1;
}

void Enable(HWND control, bool enable, HWND fallback)
{
    if (!enable && control && ::GetFocus() == control) ::SetFocus(fallback);
    ::EnableWindow(control, enable);
}

void AddComboEntry(HWND combo, const wchar_t* text, LPARAM value)
{
    LRESULT index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    ::SendMessageW(combo, CB_SETITEMDATA, index, value);
}

bool SelectedData(HWND combo, std::int32_t& value)
{
    LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return false;
    value = static_cast<std::int32_t>(::SendMessageW(combo, CB_GETITEMDATA, index, 0));
    return true;
}

void SelectByData(HWND combo, std::int32_t value)
{
    LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    LRESULT found = -1;
    for (LRESULT index = 0; index < count && found < 0; ++index) {
        if (static_cast<std::int32_t>(::SendMessageW(combo, CB_GETITEMDATA, index, 0)) == value)
            found = index;
    }
    ::SendMessageW(combo, CB_SETCURSEL, found, 0);
}

void FocusAll(HWND edit)
{
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
}

CRedrawOff::CRedrawOff(HWND window) : window(window)
{
    ::SendMessageW(window, WM_SETREDRAW, FALSE, 0);
}

CRedrawOff::~CRedrawOff()
{
    ::SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(window, nullptr, TRUE);
}

} // namespace winui

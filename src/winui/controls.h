// Small pieces the program's dialogs share: window text and measures, a grid's resizing, redraw
// suspension, the list rule for a row becoming current, drop-down lists of numbered entries,
// enabling that does not strand the focus, and sizes at a window's DPI.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>

class CGridSizer;

namespace winui {

// The window's whole text, unchanged.
std::wstring ReadWindowText(HWND control);

// The DPI the window is shown at (the monitor's for a per-monitor aware program where the system
// tells it, else the system's; 96 when it cannot be told), and a length given at 96 DPI scaled
// to it.
int WindowDpi(HWND window);
int ScaleForDpi(int length, int dpi);
// A system metric (SM_CXICON, SM_CXVSCROLL, ...) at a DPI: the system's own figure where it gives
// one for a DPI, else the system DPI's scaled.
int SystemMetricForDpi(int index, int dpi);
// AdjustWindowRectEx for a window at a DPI.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);
// A font like `base`, which was made for `baseDpi`, for `dpi` (its height scaled, rounded toward
// zero as a point size is); the caller owns it. Null when it cannot be made.
HFONT CreateFontForDpi(const LOGFONTW& base, int baseDpi, int dpi);
// The font a window draws with, as a description (the default GUI font when it names none).
LOGFONTW FontOf(HWND window);

int WindowWidth(HWND window);
int WindowHeight(HWND window);

// Hands the dialog's client rectangle to the grid, repaints its items and the whole dialog.
int LayOutGrid(HWND dialog, CGridSizer& grid);

// Places a label or button in one row of the grid, if the dialog has it.
void AddIfPresent(CGridSizer& grid, HWND dialog, int id, int row, int firstColumn, int lastColumn,
                  int inset);

// True for an LVN_ITEMCHANGED that reports a row which has just become selected.
bool BecameSelected(const NMLISTVIEW& change);

// The answer to a list's LVN_DELETEALLITEMS: emptying a list of 1,000 rows then costs no
// LVN_DELETEITEM per row (the rows own nothing).
int NoDeleteItemNotifications(HWND dialog);

// Enables or disables a control; when the control losing its enabling has the focus, the focus
// moves to `fallback` rather than staying on a disabled window.
void Enable(HWND control, bool enable, HWND fallback);

// Keeps a control's left edge, top edge and the given height, and puts its right edge 4 pixels
// inside the right edge of the dialog's client area.
void StretchToRightEdge(HWND dialog, HWND control, int height);

// A drop-down list's entries carry the number they stand for as their item data.
void AddComboEntry(HWND combo, const wchar_t* text, LPARAM value);
// The item data of the selected entry; false when none is selected.
bool SelectedData(HWND combo, std::int32_t& value);
// Selects the first entry whose item data is `value`, or no entry.
void SelectByData(HWND combo, std::int32_t value);

// Focuses an edit box with its whole text selected, ready to be typed over.
void FocusAll(HWND edit);

// Suspends a window's drawing for a scope, then redraws it once.
class CRedrawOff
{
public:
    explicit CRedrawOff(HWND window);
    ~CRedrawOff();
    CRedrawOff(const CRedrawOff&) = delete;
    CRedrawOff& operator=(const CRedrawOff&) = delete;

private:
    HWND window;
};

} // namespace winui

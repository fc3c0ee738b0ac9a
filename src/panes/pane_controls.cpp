#include "panes/pane_controls.h"

#include "layout/grid_sizer.h"

namespace panes {

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

} // namespace panes

#include "editor/keyboard_navigation.h"

namespace keyboard {

std::vector<HWND> TabStops(HWND pane)
{
    std::vector<HWND> stops;
    if (!pane) return stops;
    for (HWND child = ::GetWindow(pane, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED))
            stops.push_back(child);
    }
    return stops;
}

HWND PaneChildOf(HWND pane, HWND focus)
{
    if (!pane || !focus) return nullptr;
    for (HWND at = focus; at; at = ::GetParent(at)) {
        if (::GetParent(at) == pane) return at;
    }
    return nullptr;
}

void FocusLikeTab(HWND control)
{
    ::SetFocus(control);
    if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        ::SendMessageW(control, EM_SETSEL, 0, -1);
}

} // namespace keyboard

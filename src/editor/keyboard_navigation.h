// Helpers for moving the keyboard focus around the main window: the tab stops of a pane in Tab
// order, and the pane's own child that holds (or contains) the focus.
#pragma once

#include <windows.h>

#include <vector>

namespace keyboard {

// The visible, enabled children of `pane` with a tab stop, in Tab order.
std::vector<HWND> TabStops(HWND pane);
// The child of `pane` that is `focus` or contains it (a list's header, a combo box's edit); null
// when `focus` is not inside the pane.
HWND PaneChildOf(HWND pane, HWND focus);
// Focuses a control as Tab does: an edit box gets its whole text selected.
void FocusLikeTab(HWND control);

} // namespace keyboard

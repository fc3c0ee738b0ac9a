// Every window of the program shows the program's icon: top-level windows other than the main
// window take the icons of the window that owns them, and the system's own boxes and file dialogs
// get them while they are shown.
#pragma once

#include <windows.h>

namespace winui {

// Gives `window` the big and small icons of its owner's root window (set on it, or else its
// class's); nothing when it has no owner with icons.
void TakeOwnerIcons(HWND window);
// The same from `source`'s root window, for a window of the program that has no owner.
void TakeIconsOf(HWND window, HWND source);

// While it lives, each dialog window of its own that this thread makes and that has no small icon
// gets `owner`'s icons: a message box or file dialog shown by the system for the program.
class COwnerIconScope
{
public:
    explicit COwnerIconScope(HWND owner);
    ~COwnerIconScope();
    COwnerIconScope(const COwnerIconScope&) = delete;
    COwnerIconScope& operator=(const COwnerIconScope&) = delete;

private:
    HHOOK hook = nullptr;
    HWND previousOwner = nullptr;
};

} // namespace winui

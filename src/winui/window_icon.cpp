#include "winui/window_icon.h"

namespace {

HICON IconOf(HWND window, WPARAM which)
{
    auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, which, 0));
    if (icon) return icon;
    return reinterpret_cast<HICON>(
        ::GetClassLongPtrW(window, which == ICON_BIG ? GCLP_HICON : GCLP_HICONSM));
}

// Gives `window` the icons of `source` (the icons stay the source's: they are not destroyed with
// the window).
void CopyIcons(HWND source, HWND window)
{
    if (!source || !window || source == window) return;
    HICON big = IconOf(source, ICON_BIG);
    HICON small = IconOf(source, ICON_SMALL);
    if (!small) small = big;
    if (!big) big = small;
    if (!big) return;
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

// The scope's owner on this thread; the hook gives its icons away.
thread_local HWND scopeOwner = nullptr;

// After a dialog of its own (a message box, a file dialog) has taken WM_INITDIALOG: before it is
// shown, whether or not it is ever activated.
LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && scopeOwner && sent && sent->message == WM_INITDIALOG &&
        !(::GetWindowLongW(sent->hwnd, GWL_STYLE) & WS_CHILD) &&
        !::SendMessageW(sent->hwnd, WM_GETICON, ICON_SMALL, 0))
        CopyIcons(::GetAncestor(scopeOwner, GA_ROOTOWNER), sent->hwnd);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

namespace winui {

void TakeOwnerIcons(HWND window)
{
    HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner) CopyIcons(::GetAncestor(owner, GA_ROOTOWNER), window);
}

void TakeIconsOf(HWND window, HWND source)
{
    if (source) CopyIcons(::GetAncestor(source, GA_ROOTOWNER), window);
}

COwnerIconScope::COwnerIconScope(HWND owner) : previousOwner(scopeOwner)
{
    if (!owner) return;
    scopeOwner = owner;
    hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage, nullptr, ::GetCurrentThreadId());
}

COwnerIconScope::~COwnerIconScope()
{
    if (hook) ::UnhookWindowsHookEx(hook);
    scopeOwner = previousOwner;
}

} // namespace winui

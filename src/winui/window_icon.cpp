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

LRESULT CALLBACK OnActivate(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && scopeOwner) {
        auto window = reinterpret_cast<HWND>(wParam);
        if (!::SendMessageW(window, WM_GETICON, ICON_SMALL, 0))
            CopyIcons(::GetAncestor(scopeOwner, GA_ROOTOWNER), window);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

namespace winui {

void TakeOwnerIcons(HWND window)
{
    HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner) CopyIcons(::GetAncestor(owner, GA_ROOTOWNER), window);
}

COwnerIconScope::COwnerIconScope(HWND owner) : previousOwner(scopeOwner)
{
    if (!owner) return;
    scopeOwner = owner;
    hook = ::SetWindowsHookExW(WH_CBT, OnActivate, nullptr, ::GetCurrentThreadId());
}

COwnerIconScope::~COwnerIconScope()
{
    if (hook) ::UnhookWindowsHookEx(hook);
    scopeOwner = previousOwner;
}

} // namespace winui

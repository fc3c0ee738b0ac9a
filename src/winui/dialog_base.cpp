#include "winui/dialog_base.h"

#include "winui/controls.h"
#include "winui/module.h"
#include "winui/window_icon.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

CDialogBase::CDialogBase(UINT templateId) : templateId(templateId) {}

CDialogBase::~CDialogBase()
{
    // A dialog that outlives its object must not reach it any more.
    if (window && ::IsWindow(window)) ::SetWindowLongPtrW(window, DWLP_USER, 0);
    if (font) ::DeleteObject(font);
}

int CDialogBase::OnInitDialog()
{
    return 0;
}

int CDialogBase::OnSize()
{
    return 0;
}

int CDialogBase::OnCommand(WPARAM, LPARAM)
{
    return 0;
}

int CDialogBase::OnNotify(WPARAM, LPARAM)
{
    return 0;
}

bool CDialogBase::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&)
{
    return false;
}

bool CDialogBase::Create(HWND parent)
{
    HWND created = ::CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId), parent,
                                        DialogProc, reinterpret_cast<LPARAM>(this));
    if (!created) return false;
    NoteCreation();
    return true;
}

namespace {

// DDC_DISABLE_ALL: the dialog manager leaves the dialog alone when the DPI changes.
using SetDialogDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);
constexpr int kDialogDpiChangeDisableAll = 1;

// A label's text width in `font`, or 0 for a control that is no plain left-aligned label.
int LabelWidth(HWND control, HFONT font)
{
    wchar_t name[16] = {};
    ::GetClassNameW(control, name, 16);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    if (::lstrcmpiW(name, L"Static") != 0 || (style & SS_TYPEMASK) != SS_LEFT) return 0;
    const std::wstring text = winui::ReadWindowText(control);
    HDC dc = ::GetDC(control);
    if (!dc) return 0;
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return static_cast<int>(extent.cx);
}

} // namespace

void CDialogBase::NoteCreation()
{
    creationDpi = dpi = winui::WindowDpi(window);
    creationFont = winui::FontOf(window);
    controls.clear();
    for (HWND child = ::GetWindow(window, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        Control control = {child, {}, {}};
        ::GetWindowRect(child, &control.rect);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&control.rect), 2);
        // A label the template made narrower than its text shows it whole.
        const int fit =
            LabelWidth(child, reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
        if (fit > control.rect.right - control.rect.left) {
            control.rect.right = control.rect.left + fit;
            ::MoveWindow(child, control.rect.left, control.rect.top, fit,
                         control.rect.bottom - control.rect.top, FALSE);
        }
        wchar_t name[32] = {};
        ::GetClassNameW(child, name, 32);
        if (::lstrcmpiW(name, WC_COMBOBOXW) == 0) {
            // A drop-down list's window is as tall as its opened list.
            RECT dropped = {};
            if (::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0,
                               reinterpret_cast<LPARAM>(&dropped)))
                control.rect.bottom = control.rect.top + (dropped.bottom - dropped.top);
        } else if (::lstrcmpiW(name, WC_LISTVIEWW) == 0) {
            auto header = reinterpret_cast<HWND>(::SendMessageW(child, LVM_GETHEADER, 0, 0));
            const auto count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
            for (int column = 0; column < count; ++column)
                control.columns.push_back(
                    static_cast<int>(::SendMessageW(child, LVM_GETCOLUMNWIDTH, column, 0)));
        }
        controls.push_back(control);
    }
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (auto noRescaling =
            user32 ? reinterpret_cast<SetDialogDpiChangeBehaviorFunction>(reinterpret_cast<void*>(
                         ::GetProcAddress(user32, "SetDialogDpiChangeBehavior")))
                   : nullptr)
        noRescaling(window, kDialogDpiChangeDisableAll, kDialogDpiChangeDisableAll);
}

void CDialogBase::ApplyDpi(int newDpi)
{
    if (!window || newDpi <= 0 || newDpi == dpi) return;
    dpi = newDpi;
    HFONT scaled = winui::CreateFontForDpi(creationFont, creationDpi, dpi);
    for (const Control& control : controls) {
        if (!::IsWindow(control.window)) continue;
        if (scaled)
            ::SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
        const RECT& r = control.rect;
        // A font does not grow quite in step with the DPI: a label that its text would overrun
        // grows to the right (a grid places it anew afterwards anyway).
        const int width = std::max(FromCreation(r.right - r.left),
                                   scaled ? LabelWidth(control.window, scaled) : 0);
        ::MoveWindow(control.window, FromCreation(r.left), FromCreation(r.top), width,
                     FromCreation(r.bottom - r.top), FALSE);
        for (std::size_t column = 0; column < control.columns.size(); ++column)
            ::SendMessageW(control.window, LVM_SETCOLUMNWIDTH, column,
                           FromCreation(control.columns[column]));
    }
    // The controls use the new font now: the old one may go. (The dialog keeps the template's,
    // which the dialog manager made and frees.)
    if (scaled) {
        if (font) ::DeleteObject(font);
        font = scaled;
    }
    OnDpiChanged();
    OnSize();
    ::InvalidateRect(window, nullptr, TRUE);
}

INT_PTR CDialogBase::RunModal(HWND owner)
{
    CFlagScope inside(modal);
    const INT_PTR result = ::DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId), owner,
                                             DialogProc, reinterpret_cast<LPARAM>(this));
    window = nullptr;
    return result;
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No exception may unwind into the dialog manager.
    try {
        if (message == WM_INITDIALOG) {
            auto* object = reinterpret_cast<CDialogBase*>(lParam);
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            object->window = dialog;
            // A window of its own shows the program's icon, as its owner does.
            if (!(::GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD)) winui::TakeOwnerIcons(dialog);
            const int result = object->OnInitDialog();
            // The default focus is only taken where it can be seen: focusing a control of a main
            // window that is still hidden activates that window unseen, and it then comes up
            // with an inactive caption. The main window gives the focus out once it is shown.
            // A modal dialog is shown, and takes the focus, as soon as it is made.
            return object->modal || ::IsWindowVisible(::GetAncestor(dialog, GA_ROOT)) ? result
                                                                                      : FALSE;
        }
        auto* object = reinterpret_cast<CDialogBase*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        if (!object) return 0;
        switch (message) {
        case WM_SIZE:
            return object->OnSize();
        case WM_COMMAND:
            return object->OnCommand(wParam, lParam);
        case WM_NOTIFY:
            return object->OnNotify(wParam, lParam);
        default: {
            INT_PTR result = 0;
            return object->OnMessage(message, wParam, lParam, result) ? result : 0;
        }
        }
    } catch (...) {
        return 0;
    }
}

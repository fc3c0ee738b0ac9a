#include "winui/dialog_base.h"

#include "winui/module.h"
#include "winui/window_icon.h"

CDialogBase::CDialogBase(UINT templateId) : templateId(templateId) {}

CDialogBase::~CDialogBase()
{
    // A dialog that outlives its object must not reach it any more.
    if (window && ::IsWindow(window)) ::SetWindowLongPtrW(window, DWLP_USER, 0);
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
    return created != nullptr;
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

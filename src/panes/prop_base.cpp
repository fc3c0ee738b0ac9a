#include "panes/prop_base.h"

#include "app/startup.h"

#include <commctrl.h>

#include <vector>

CdlgPropBase::CdlgPropBase(UINT templateId, CProjectChanges& changes)
    : templateId(templateId), changes(&changes)
{
}

CdlgPropBase::~CdlgPropBase()
{
    // A dialog that outlives its pane object must not reach it any more.
    if (window && ::IsWindow(window)) ::SetWindowLongPtrW(window, DWLP_USER, 0);
}

int CdlgPropBase::OnInitDialog()
{
    return 0;
}

int CdlgPropBase::OnSize()
{
    return 0;
}

int CdlgPropBase::OnCommand(WPARAM, LPARAM)
{
    return 0;
}

int CdlgPropBase::OnNotify(WPARAM, LPARAM)
{
    return 0;
}

bool CdlgPropBase::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&)
{
    return false;
}

bool CdlgPropBase::Create(HWND parent)
{
    HWND created = ::CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId), parent,
                                        DialogProc, reinterpret_cast<LPARAM>(this));
    return created != nullptr;
}

INT_PTR CALLBACK CdlgPropBase::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No exception may unwind into the dialog manager.
    try {
        if (message == WM_INITDIALOG) {
            auto* pane = reinterpret_cast<CdlgPropBase*>(lParam);
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            pane->window = dialog;
            const int result = pane->OnInitDialog();
            // The default focus is only taken where it can be seen: focusing a control of a main
            // window that is still hidden activates that window unseen, and it then comes up
            // with an inactive caption. The main window gives the focus out once it is shown.
            return ::IsWindowVisible(::GetAncestor(dialog, GA_ROOT)) ? result : FALSE;
        }
        auto* pane = reinterpret_cast<CdlgPropBase*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        if (!pane) return 0;
        switch (message) {
        case WM_SIZE:
            return pane->OnSize();
        case WM_COMMAND:
            return pane->OnCommand(wParam, lParam);
        case WM_NOTIFY:
            return pane->OnNotify(wParam, lParam);
        default: {
            INT_PTR result = 0;
            return pane->OnMessage(message, wParam, lParam, result) ? result : 0;
        }
        }
    } catch (...) {
        return 0;
    }
}

void CdlgPropBase::ShowRow(const CSite&) {}

CSite CdlgPropBase::CurrentRow() const
{
    return CSite();
}

std::wstring CdlgPropBase::ReadWindowText(HWND control)
{
    // Room for what the length reports and a little more, cut to what was actually fetched.
    std::vector<wchar_t> buffer(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 10);
    int length = ::GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

#include "editor/about_dialog.h"

#include "persist/text.h"
#include "quil_version.h"
#include "resources/resource.h"
#include "services/paths.h"
#include "winui/module.h"
#include "winui/window_icon.h"

std::wstring CdlgAbout::VersionText()
{
    return L"Quillomere " + FromUtf8(QUIL_VERSION) + L"\r\nA homepage manager";
}

std::wstring CdlgAbout::FilesText()
{
    return L"Project file:\r\n" + ProjectFilePath + L"\r\n\r\nHomepage:\r\n" + HomepageFilePath;
}

std::wstring CdlgAbout::NoticesText()
{
    return L"quillomere.exe is one file that contains, linked in, parts of:\r\n"
           L"\r\n"
           L"- the MinGW-w64 runtime (start-up code, C runtime pieces and winpthreads): "
           L"Zope Public License 2.1, MIT licence and public domain;\r\n"
           L"- the GCC runtime libraries libgcc and libstdc++: GNU General Public License "
           L"version 3 with the GCC Runtime Library Exception 3.1.";
}

void CdlgAbout::Run()
{
    ::DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_ABOUT), owner, DialogProc,
                      reinterpret_cast<LPARAM>(this));
}

int CdlgAbout::OnInitDialog()
{
    winui::TakeOwnerIcons(window);
    ::SetDlgItemTextW(window, IDC_ABOUT_VERSION, VersionText().c_str());
    ::SetDlgItemTextW(window, IDC_ABOUT_FILES, FilesText().c_str());
    ::SetDlgItemTextW(window, IDC_ABOUT_NOTICES, NoticesText().c_str());
    ::SetFocus(::GetDlgItem(window, IDOK));
    // The focus is set here.
    return FALSE;
}

int CdlgAbout::OnCommand(WPARAM wParam, LPARAM)
{
    const int id = LOWORD(wParam);
    if (id != IDOK && id != IDCANCEL) return 0;
    ::EndDialog(window, id);
    return 1;
}

INT_PTR CALLBACK CdlgAbout::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No exception may unwind into the dialog manager.
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<CdlgAbout*>(lParam);
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            self->window = dialog;
            return self->OnInitDialog();
        }
        auto* self = reinterpret_cast<CdlgAbout*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        if (!self) return 0;
        if (message == WM_COMMAND) return self->OnCommand(wParam, lParam);
        return 0;
    } catch (...) {
        return 0;
    }
}

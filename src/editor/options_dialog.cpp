#include "editor/options_dialog.h"

#include "persist/trim.h"
#include "resources/resource.h"
#include "services/shell.h"
#include "winui/controls.h"

#include <commdlg.h>

#include <vector>

namespace {

bool Checked(HWND dialog, int id)
{
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

} // namespace

std::wstring ProgramPathOf(const std::wstring& typed)
{
    std::wstring path(TrimBlanks(std::wstring_view(typed)));
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        path = std::wstring(TrimBlanks(std::wstring_view(path).substr(1, path.size() - 2)));
    return path;
}

CdlgOptions::CdlgOptions() : CDialogBase(IDD_OPTIONS) {}

bool CdlgOptions::Run(HWND owner)
{
    stored = false;
    RunModal(owner);
    return stored;
}

int CdlgOptions::OnInitDialog()
{
    Show(LoadSettings());
    // The dialog manager puts the focus on the first control, the check box.
    return TRUE;
}

void CdlgOptions::Show(const ProgramSettings& settings)
{
    ::CheckDlgButton(window, IDC_OPTIONS_WRITE_ON_SAVE,
                     settings.writeHomepageOnSave ? BST_CHECKED : BST_UNCHECKED);
    const bool program = !settings.previewBrowser.empty();
    ::CheckRadioButton(window, IDC_OPTIONS_BROWSER_DEFAULT, IDC_OPTIONS_BROWSER_PROGRAM,
                       program ? IDC_OPTIONS_BROWSER_PROGRAM : IDC_OPTIONS_BROWSER_DEFAULT);
    ::SetDlgItemTextW(window, IDC_OPTIONS_BROWSER_PATH, settings.previewBrowser.c_str());
    EnableProgramPath();
}

ProgramSettings CdlgOptions::Shown() const
{
    ProgramSettings settings;
    settings.writeHomepageOnSave = Checked(window, IDC_OPTIONS_WRITE_ON_SAVE);
    if (Checked(window, IDC_OPTIONS_BROWSER_PROGRAM))
        settings.previewBrowser =
            ProgramPathOf(winui::ReadWindowText(::GetDlgItem(window, IDC_OPTIONS_BROWSER_PATH)));
    return settings;
}

void CdlgOptions::EnableProgramPath()
{
    const bool program = Checked(window, IDC_OPTIONS_BROWSER_PROGRAM);
    HWND fallback = ::GetDlgItem(window, IDC_OPTIONS_BROWSER_PROGRAM);
    winui::Enable(::GetDlgItem(window, IDC_OPTIONS_BROWSER_PATH), program, fallback);
    winui::Enable(::GetDlgItem(window, IDC_OPTIONS_BROWSE), program, fallback);
}

int CdlgOptions::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDC_OPTIONS_BROWSER_DEFAULT:
        EnableProgramPath();
        return 1;
    case IDC_OPTIONS_BROWSER_PROGRAM:
        EnableProgramPath();
        // Chosen by a click or its key, the program's path is what comes next.
        if (HIWORD(wParam) == BN_CLICKED &&
            winui::ReadWindowText(::GetDlgItem(window, IDC_OPTIONS_BROWSER_PATH)).empty())
            ::PostMessageW(window, WM_NEXTDLGCTL,
                           reinterpret_cast<WPARAM>(::GetDlgItem(window, IDC_OPTIONS_BROWSER_PATH)),
                           TRUE);
        return 1;
    case IDC_OPTIONS_BROWSE:
        ChooseProgram();
        return 1;
    case IDOK:
        if (Store()) ::EndDialog(window, IDOK);
        return 1;
    case IDCANCEL:
        ::EndDialog(window, IDCANCEL);
        return 1;
    default:
        return 0;
    }
}

void CdlgOptions::ChooseProgram()
{
    HWND pathEdit = ::GetDlgItem(window, IDC_OPTIONS_BROWSER_PATH);
    std::vector<wchar_t> path(MAX_PATH * 4, L'\0');
    const std::wstring current = ProgramPathOf(winui::ReadWindowText(pathEdit));
    if (current.size() < path.size()) current.copy(path.data(), current.size());
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    // Ends in two NULs.
    dialog.lpstrFilter = L"Programs (*.exe)\0*.exe\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = L"Choose the browser";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_DONTADDTORECENT;
    if (!Shell().ChooseOpenFile(dialog)) return;
    ::SetWindowTextW(pathEdit, path.data());
    ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(window, IDOK)),
                   TRUE);
}

bool CdlgOptions::Store()
{
    const ProgramSettings settings = Shown();
    if (Checked(window, IDC_OPTIONS_BROWSER_PROGRAM) && settings.previewBrowser.empty()) {
        Shell().ShowMessage(window,
                            L"Choose the browser's program with Browse..., or the system's "
                            L"default browser.",
                            L"Options", MB_OK | MB_ICONINFORMATION);
        ::SendMessageW(window, WM_NEXTDLGCTL,
                       reinterpret_cast<WPARAM>(::GetDlgItem(window, IDC_OPTIONS_BROWSER_PATH)),
                       TRUE);
        return false;
    }
    if (!SaveSettings(settings)) {
        Shell().ShowMessage(window, L"The options could not be stored in the registry.", L"Options",
                            MB_OK | MB_ICONERROR);
        return false;
    }
    stored = true;
    return true;
}

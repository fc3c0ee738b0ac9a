#include "editor/find_bar.h"

#include "resources/resource.h"
#include "winui/controls.h"

CdlgFindBar::CdlgFindBar(IFindHost& host) : CDialogBase(IDD_FIND_BAR), host(&host) {}

int CdlgFindBar::OnInitDialog()
{
    textEdit = ::GetDlgItem(window, IDC_FIND_TEXT);
    caseCheck = ::GetDlgItem(window, IDC_FIND_CASE);
    status = ::GetDlgItem(window, IDC_FIND_STATUS);
    height = winui::WindowHeight(window);
    return 0;
}

// The status text takes what is left of the width.
int CdlgFindBar::OnSize()
{
    RECT client = {}, rect = {};
    ::GetClientRect(window, &client);
    ::GetWindowRect(status, &rect);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    const int width = client.right - rect.left - 4;
    if (width > 0) ::MoveWindow(status, rect.left, rect.top, width, rect.bottom - rect.top, TRUE);
    return 1;
}

int CdlgFindBar::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDC_FIND_TEXT:
        if (HIWORD(wParam) != EN_CHANGE) return 0;
        host->FindFromBar(true, true);
        return 1;
    case IDC_FIND_NEXT:
        host->FindFromBar(true, false);
        return 1;
    case IDC_FIND_PREVIOUS:
        host->FindFromBar(false, false);
        return 1;
    default:
        return 0;
    }
}

void CdlgFindBar::Open()
{
    ::ShowWindow(window, SW_SHOW);
    winui::FocusAll(textEdit);
}

void CdlgFindBar::Close()
{
    ::ShowWindow(window, SW_HIDE);
}

bool CdlgFindBar::MatchCase() const
{
    return ::SendMessageW(caseCheck, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(BST_CHECKED);
}

void CdlgFindBar::SetStatus(const wchar_t* text)
{
    ::SetWindowTextW(status, text);
}

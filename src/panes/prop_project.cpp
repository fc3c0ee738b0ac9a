#include "panes/prop_project.h"

#include "edit/project_changes.h"
#include "model/project.h"
#include "resources/resource.h"
#include "winui/controls.h"

namespace {

// Room for the longer entry and the drop-down button, in dialog units.
const int kStyleMinimumWidth = 60;

// A control's rectangle in its dialog's client coordinates.
RECT ChildRect(HWND dialog, HWND control)
{
    RECT bounds = {};
    ::GetWindowRect(control, &bounds);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

} // namespace

CdlgPropProject::CdlgPropProject(CProjectChanges& changes)
    : CdlgPropOneText(changes, IDD_PROP_PROJECT, kNodeProject, IDC_PROJECT_TITLE, SitePart::Title,
                      &CProject::title)
{
}

int CdlgPropProject::OnInitDialog()
{
    CdlgPropOneText::OnInitDialog();
    styleCombo = ::GetDlgItem(window, IDC_PROJECT_STYLE);
    winui::AddComboEntry(styleCombo, L"Classic", static_cast<LPARAM>(PageStyle::Classic));
    winui::AddComboEntry(styleCombo, L"Modern", static_cast<LPARAM>(PageStyle::Modern));
    return 1;
}

int CdlgPropProject::OnSize()
{
    CdlgPropOneText::OnSize();
    // A combo box's height is that of its dropped-down list; the list keeps its height.
    RECT dropped = {}, closed = {};
    ::SendMessageW(styleCombo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    ::GetWindowRect(styleCombo, &closed);
    winui::StretchToRightEdge(window, styleCombo, dropped.bottom - closed.top);
    return 1;
}

int CdlgPropProject::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != IDC_PROJECT_STYLE) return CdlgPropOneText::OnCommand(wParam, lParam);
    if (updating) return 1;
    std::int32_t style = 0;
    if (HIWORD(wParam) != CBN_SELCHANGE || !node || !winui::SelectedData(styleCombo, style))
        return 0;
    CSite site;
    site.kind = kNodeProject;
    site.node = node;
    site.part = SitePart::PageStyle;
    changes->SetNumber(site, style);
    return 1;
}

void CdlgPropProject::SetNode(CStreamable* bound)
{
    CdlgPropOneText::SetNode(bound);
    CFlagScope scope(updating);
    if (node) {
        winui::SelectByData(styleCombo, static_cast<std::int32_t>(node->pageStyle));
    } else {
        ::SendMessageW(styleCombo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
}

int CdlgPropProject::MinimumWidth() const
{
    RECT room = {0, 0, kStyleMinimumWidth, 0};
    // Dialog units give the pixels of the DPI the pane was created at.
    ::MapDialogRect(window, &room);
    return ChildRect(window, styleCombo).left + FromCreation(room.right + 4);
}

int CdlgPropProject::MinimumHeight() const
{
    return ChildRect(window, styleCombo).bottom + FromCreation(4);
}

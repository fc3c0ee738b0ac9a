#include "panes/prop_simple.h"

#include "editor/tree_editor.h"
#include "editor/tree_item_data.h"
#include "model/project.h"
#include "resources/resource.h"

#include <string>

// The three panes differ only in their node, field, edit id and node kind; the helpers below are
// the one OnSize, SetNode and OnCommand they share.
namespace {

// Keeps the edit box's left edge, top edge and height, and puts its right edge 4 pixels inside
// the dialog's client area.
int StretchEdit(HWND dialog, HWND edit)
{
    RECT client = {}, dialogRect = {}, editRect = {};
    ::GetClientRect(dialog, &client);
    ::GetWindowRect(dialog, &dialogRect);
    ::GetWindowRect(edit, &editRect);
    int x = editRect.left - dialogRect.left;
    int y = editRect.top - dialogRect.top;
    ::MoveWindow(edit, x, y, (client.right - client.left) - x - 4, editRect.bottom - editRect.top,
                 TRUE);
    return 1;
}

// Binds `node` and shows its text; the flag keeps the edit's change notification from writing
// it back.
template <typename Node>
void Bind(bool& updating, Node*& bound, Node* node, HWND edit, std::wstring Node::*field)
{
    CdlgPropBase::CFlagScope scope(updating);
    bound = node;
    ::SetWindowTextW(edit, node ? (node->*field).c_str() : L"");
}

// Writes the edit's text into the bound node's field on each change of the edit box.
template <typename Node>
int ApplyEdit(bool updating, WPARAM wParam, int editId, HWND edit, Node* node,
              std::wstring Node::*field, CfrmTreeEditor& owner, NodeKind kind)
{
    if (updating) return 1;
    if (LOWORD(wParam) != editId || HIWORD(wParam) != EN_CHANGE || !node) return 0;
    node->*field = CdlgPropBase::ReadWindowText(edit);
    owner.NodeEdited(kind, node);
    return 1;
}

} // namespace

CdlgPropProject::CdlgPropProject(CfrmTreeEditor& owner) : CdlgPropBase(IDD_PROP_PROJECT, owner) {}

int CdlgPropProject::OnInitDialog()
{
    edit = ::GetDlgItem(window, IDC_PROJECT_TITLE);
    return 1;
}

int CdlgPropProject::OnSize()
{
    return StretchEdit(window, edit);
}

int CdlgPropProject::OnCommand(WPARAM wParam, LPARAM)
{
    return ApplyEdit(updating, wParam, IDC_PROJECT_TITLE, edit, node, &CProject::title, *owner,
                     kNodeProject);
}

void CdlgPropProject::SetNode(CStreamable* bound)
{
    Bind(updating, node, static_cast<CProject*>(bound), edit, &CProject::title);
}

CdlgPropColumn::CdlgPropColumn(CfrmTreeEditor& owner) : CdlgPropBase(IDD_PROP_COLUMN, owner) {}

int CdlgPropColumn::OnInitDialog()
{
    edit = ::GetDlgItem(window, IDC_COLUMN_CAPTION);
    return 1;
}

int CdlgPropColumn::OnSize()
{
    return StretchEdit(window, edit);
}

int CdlgPropColumn::OnCommand(WPARAM wParam, LPARAM)
{
    return ApplyEdit(updating, wParam, IDC_COLUMN_CAPTION, edit, node, &CColumn::caption, *owner,
                     kNodeColumn);
}

void CdlgPropColumn::SetNode(CStreamable* bound)
{
    Bind(updating, node, static_cast<CColumn*>(bound), edit, &CColumn::caption);
}

CdlgPropGroup::CdlgPropGroup(CfrmTreeEditor& owner) : CdlgPropBase(IDD_PROP_GROUP, owner) {}

int CdlgPropGroup::OnInitDialog()
{
    edit = ::GetDlgItem(window, IDC_GROUP_CAPTION);
    return 1;
}

int CdlgPropGroup::OnSize()
{
    return StretchEdit(window, edit);
}

int CdlgPropGroup::OnCommand(WPARAM wParam, LPARAM)
{
    return ApplyEdit(updating, wParam, IDC_GROUP_CAPTION, edit, node, &CGroup::caption, *owner,
                     kNodeGroup);
}

void CdlgPropGroup::SetNode(CStreamable* bound)
{
    Bind(updating, node, static_cast<CGroup*>(bound), edit, &CGroup::caption);
}

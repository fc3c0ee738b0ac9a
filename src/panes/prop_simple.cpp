#include "panes/prop_simple.h"

#include "edit/project_changes.h"
#include "model/project.h"
#include "resources/resource.h"
#include "winui/controls.h"

template <typename Node>
CdlgPropOneText<Node>::CdlgPropOneText(CProjectChanges& changes, UINT templateId, std::int32_t kind,
                                       int editId, SitePart part, std::wstring Node::*field)
    : CdlgPropBase(templateId, changes), kind(kind), editId(editId), part(part), field(field)
{
}

template <typename Node> int CdlgPropOneText<Node>::OnInitDialog()
{
    edit = ::GetDlgItem(window, editId);
    return 1;
}

template <typename Node> int CdlgPropOneText<Node>::OnSize()
{
    winui::StretchToRightEdge(window, edit, winui::WindowHeight(edit));
    return 1;
}

// Hands the edit's text to the change path on each change of the edit box.
template <typename Node> int CdlgPropOneText<Node>::OnCommand(WPARAM wParam, LPARAM)
{
    if (updating) return 1;
    if (LOWORD(wParam) != editId || HIWORD(wParam) != EN_CHANGE || !node) return 0;
    CSite site;
    site.kind = kind;
    site.node = node;
    site.part = part;
    changes->SetText(site, winui::ReadWindowText(edit));
    return 1;
}

// The flag keeps the edit's change notification from writing the shown text back.
template <typename Node> void CdlgPropOneText<Node>::SetNode(CStreamable* bound)
{
    CFlagScope scope(updating);
    node = static_cast<Node*>(bound);
    ::SetWindowTextW(edit, node ? (node->*field).c_str() : L"");
}

template class CdlgPropOneText<CProject>;
template class CdlgPropOneText<CColumn>;
template class CdlgPropOneText<CGroup>;

CdlgPropColumn::CdlgPropColumn(CProjectChanges& changes)
    : CdlgPropOneText(changes, IDD_PROP_COLUMN, kNodeColumn, IDC_COLUMN_CAPTION, SitePart::Caption,
                      &CColumn::caption)
{
}

CdlgPropGroup::CdlgPropGroup(CProjectChanges& changes)
    : CdlgPropOneText(changes, IDD_PROP_GROUP, kNodeGroup, IDC_GROUP_CAPTION, SitePart::Caption,
                      &CGroup::caption)
{
}

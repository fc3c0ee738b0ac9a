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

int CdlgPropColumn::OnInitDialog()
{
    CdlgPropOneText::OnInitDialog();
    tabCombo = ::GetDlgItem(window, IDC_COLUMN_TAB);
    // A combo box's height is that of its dropped-down list; taken once, as Wine reports the
    // dropped-down rectangle of an editable combo box shorter after each move.
    RECT dropped = {}, closed = {};
    ::SendMessageW(tabCombo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    ::GetWindowRect(tabCombo, &closed);
    tabComboHeight = dropped.bottom - closed.top;
    return 1;
}

int CdlgPropColumn::OnSize()
{
    CdlgPropOneText::OnSize();
    winui::StretchToRightEdge(window, tabCombo, tabComboHeight);
    return 1;
}

int CdlgPropColumn::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != IDC_COLUMN_TAB) return CdlgPropOneText::OnCommand(wParam, lParam);
    if (updating || !node) return 1;
    switch (HIWORD(wParam)) {
    case CBN_EDITCHANGE:
        SetTab(winui::ReadWindowText(tabCombo));
        return 1;
    case CBN_SELCHANGE: {
        // The edit still shows the text before the choice here: the list has the chosen one.
        const LRESULT index = ::SendMessageW(tabCombo, CB_GETCURSEL, 0, 0);
        const LRESULT length = ::SendMessageW(tabCombo, CB_GETLBTEXTLEN, index, 0);
        if (index == CB_ERR || length == CB_ERR) return 1;
        std::wstring chosen(static_cast<std::size_t>(length) + 1, L'\0');
        ::SendMessageW(tabCombo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&chosen[0]));
        chosen.resize(static_cast<std::size_t>(length));
        CStepScope step(*changes, L"tab change");
        SetTab(chosen);
        return 1;
    }
    case CBN_DROPDOWN:
        // Names typed into other columns since the pane was bound are listed too.
        ListTabs();
        return 1;
    default:
        return 0;
    }
}

void CdlgPropColumn::SetTab(const std::wstring& tab)
{
    CSite site;
    site.kind = kNodeColumn;
    site.node = node;
    site.part = SitePart::Tab;
    changes->SetText(site, tab);
}

// Setting an editable combo box's text to the text it has leaves its edit without a change to
// report, and the combo box then holds back the edit's next change notification: the first
// keystroke typed would go unseen.
void CdlgPropColumn::ShowTab(const std::wstring& tab)
{
    if (winui::ReadWindowText(tabCombo) != tab) ::SetWindowTextW(tabCombo, tab.c_str());
}

void CdlgPropColumn::ListTabs()
{
    CFlagScope scope(updating);
    // One by one: emptying the list at once would empty the edit too.
    for (LRESULT count = ::SendMessageW(tabCombo, CB_GETCOUNT, 0, 0); count > 0; --count)
        ::SendMessageW(tabCombo, CB_DELETESTRING, static_cast<WPARAM>(count - 1), 0);
    if (node) {
        for (const std::wstring& tab : TabsInUse(*node->parent))
            ::SendMessageW(tabCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(tab.c_str()));
    }
}

void CdlgPropColumn::SetNode(CStreamable* bound)
{
    CdlgPropOneText::SetNode(bound);
    CFlagScope scope(updating);
    ShowTab(node ? node->tab : std::wstring());
    ListTabs();
}

CdlgPropGroup::CdlgPropGroup(CProjectChanges& changes)
    : CdlgPropOneText(changes, IDD_PROP_GROUP, kNodeGroup, IDC_GROUP_CAPTION, SitePart::Caption,
                      &CGroup::caption)
{
}

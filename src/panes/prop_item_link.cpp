#include "panes/prop_item_link.h"

#include "edit/project_changes.h"
#include "model/project.h"
#include "resources/resource.h"
#include "winui/controls.h"
#include "winui/list_rows.h"

#include <commctrl.h>

CdlgPropItemLink::CdlgPropItemLink(CProjectChanges& changes)
    : CdlgPropBase(IDD_PROP_ITEMLINK, changes)
{
}

int CdlgPropItemLink::OnInitDialog()
{
    captionEdit = ::GetDlgItem(window, IDC_LINK_CAPTION);
    urlEdit = ::GetDlgItem(window, IDC_LINK_URL);
    dividerEdit = ::GetDlgItem(window, IDC_LINK_DIVIDER);
    popupEdit = ::GetDlgItem(window, IDC_LINK_POPUP);
    linkList = ::GetDlgItem(window, IDC_LINK_LIST);
    linkCaptionEdit = ::GetDlgItem(window, IDC_LINK_ROW_CAPTION);
    linkUrlEdit = ::GetDlgItem(window, IDC_LINK_ROW_URL);
    iconView = ::GetDlgItem(window, IDC_LINK_ICON);
    clearIconButton = ::GetDlgItem(window, IDC_LINK_CLEAR_ICON);

    int h = winui::WindowHeight(captionEdit);
    int w = winui::WindowWidth(::GetDlgItem(window, IDC_LINK_REMOVE));
    grid.SetColumn(0, 100, 100, 0);
    grid.SetColumn(1, 100, -1, 1);
    grid.SetColumn(2, w, w, 0);
    grid.SetColumn(3, w, w, 0);
    for (int row = 0; row <= 4; ++row)
        grid.SetRow(row, h, h, 0);
    grid.SetRow(5, 50, -1, 1);
    grid.SetRow(6, h, h, 0);
    grid.SetRow(7, h, h, 0);

    auto optional = [this](int id, int row, int firstColumn, int lastColumn, int inset) {
        winui::AddIfPresent(grid, window, id, row, firstColumn, lastColumn, inset);
    };
    optional(IDC_LINK_CAPTION_LABEL, 0, 0, 0, 3);
    optional(IDC_LINK_URL_LABEL, 1, 0, 0, 3);
    optional(IDC_LINK_DIVIDER_LABEL, 2, 0, 0, 3);
    optional(IDC_LINK_POPUP_LABEL, 3, 0, 0, 3);
    optional(IDC_LINK_LIST_LABEL, 4, 0, 1, 3);
    optional(IDC_LINK_ADD, 6, 2, 2, 0);
    optional(IDC_LINK_REMOVE, 6, 3, 3, 0);
    // The icon and "Clear icon" stand beside the caption, over the Add and Remove... buttons.
    optional(IDC_LINK_ICON, 0, 2, 2, 0);
    optional(IDC_LINK_CLEAR_ICON, 0, 3, 3, 0);
    grid.AddWindow(captionEdit, 0, 1, 0, iconView ? 1 : 3, 0);
    grid.AddWindow(urlEdit, 1, 1, 1, 3, 0);
    grid.AddWindow(dividerEdit, 2, 1, 2, 3, 0);
    grid.AddWindow(popupEdit, 3, 1, 3, 3, 0);
    grid.AddWindow(linkList, 5, 1, 5, 3, 0);
    grid.AddWindow(linkCaptionEdit, 6, 1, 6, 1, 0);
    grid.AddWindow(linkUrlEdit, 7, 1, 7, 3, 0);

    listrows::AddColumn(linkList, 0, L"Caption", 150);
    listrows::AddColumn(linkList, 1, L"URL", 250);
    ListView_SetExtendedListViewStyleEx(linkList, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    EnableLinkEditors(false);
    ShowIcon();
    return 1;
}

int CdlgPropItemLink::OnSize()
{
    return winui::LayOutGrid(window, grid);
}

void CdlgPropItemLink::SetNode(CStreamable* bound)
{
    CFlagScope scope(updating);
    node = static_cast<CItemLink*>(bound);
    currentLink = nullptr;
    ::SetWindowTextW(captionEdit, node ? node->mainLink.caption.c_str() : L"");
    ::SetWindowTextW(urlEdit, node ? node->mainLink.url.c_str() : L"");
    ::SetWindowTextW(dividerEdit, node ? node->divider.c_str() : L"");
    ::SetWindowTextW(popupEdit, node && node->popup ? node->popup->content.c_str() : L"");
    {
        winui::CRedrawOff quiet(linkList);
        ::SendMessageW(linkList, LVM_DELETEALLITEMS, 0, 0);
        if (node) {
            for (CItemLink::CLink* link : node->links)
                RefreshLinkRow(listrows::Append(linkList, link));
        }
    }
    ::SetWindowTextW(linkCaptionEdit, L"");
    ::SetWindowTextW(linkUrlEdit, L"");
    EnableLinkEditors(false);
    ShowIcon();
}

void CdlgPropItemLink::ShowIcon()
{
    if (!iconView) return;
    icon.Load(node ? node->icon.get() : nullptr, winui::ScaleForDpi(16, Dpi()),
              ::GetSysColor(COLOR_BTNFACE));
    ::InvalidateRect(iconView, nullptr, TRUE);
    winui::Enable(clearIconButton, node && node->icon, captionEdit);
}

void CdlgPropItemLink::OnDpiChanged()
{
    grid.Scale(Dpi(), CreationDpi());
    ShowIcon();
}

void CdlgPropItemLink::ClearIcon()
{
    if (!node->icon) return;
    // Named "clear icon" by the change path; undo brings the same icon back.
    changes->SetIcon(*node, nullptr);
    ShowIcon();
}

bool CdlgPropItemLink::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result)
{
    if (message != WM_DRAWITEM) return false;
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (!draw || draw->CtlID != IDC_LINK_ICON) return false;
    ::FillRect(draw->hDC, &draw->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    icon.Draw(draw->hDC, draw->rcItem);
    result = TRUE;
    return true;
}

void CdlgPropItemLink::RefreshLinkRow(int index)
{
    auto* link = static_cast<CItemLink::CLink*>(listrows::Object(linkList, index));
    if (!link) return;
    listrows::SetCell(linkList, index, 0, link->caption);
    listrows::SetCell(linkList, index, 1, link->url);
}

void CdlgPropItemLink::LoadLink(CItemLink::CLink* link)
{
    currentLink = link;
    // Copies first: the edits' notifications write back into the link as they go. With no link
    // current the edits go empty (and write nothing): a disabled box that kept another link's
    // texts would read as if that link were there.
    std::wstring caption = link ? link->caption : std::wstring();
    std::wstring url = link ? link->url : std::wstring();
    ::SetWindowTextW(linkCaptionEdit, caption.c_str());
    ::SetWindowTextW(linkUrlEdit, url.c_str());
    EnableLinkEditors(currentLink != nullptr);
}

int CdlgPropItemLink::OnCommand(WPARAM wParam, LPARAM)
{
    if (updating) return 1;
    if (!node) return 0;
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    switch (id) {
    case IDC_LINK_CAPTION:
    case IDC_LINK_URL:
    case IDC_LINK_DIVIDER:
    case IDC_LINK_POPUP: {
        if (code != EN_CHANGE) return 0;
        // An empty popup text takes the popup away.
        SitePart part = id == IDC_LINK_CAPTION   ? SitePart::MainCaption
                        : id == IDC_LINK_URL     ? SitePart::MainUrl
                        : id == IDC_LINK_DIVIDER ? SitePart::Divider
                                                 : SitePart::Popup;
        changes->SetText(Site(part), winui::ReadWindowText(::GetDlgItem(window, id)));
        return 1;
    }
    case IDC_LINK_ROW_CAPTION:
    case IDC_LINK_ROW_URL:
        if (code != EN_CHANGE || !currentLink) return 0;
        if (id == IDC_LINK_ROW_CAPTION) {
            changes->SetText(Site(SitePart::LinkCaption, currentLink),
                             winui::ReadWindowText(linkCaptionEdit));
        } else {
            changes->SetText(Site(SitePart::LinkUrl, currentLink),
                             winui::ReadWindowText(linkUrlEdit));
        }
        // The row that shows the link, also when the selection was cleared beside the rows.
        RefreshLinkRow(listrows::RowOf(linkList, currentLink));
        return 1;
    case IDC_LINK_ADD:
        if (code != BN_CLICKED) return 0;
        Add();
        return 1;
    case IDC_LINK_REMOVE:
        Remove();
        return 1;
    case IDC_LINK_CLEAR_ICON:
        if (code != BN_CLICKED) return 0;
        ClearIcon();
        return 1;
    default:
        return 0;
    }
}

int CdlgPropItemLink::OnNotify(WPARAM, LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == LVN_DELETEALLITEMS) return winui::NoDeleteItemNotifications(window);
    if (header->idFrom != IDC_LINK_LIST || header->code != LVN_ITEMCHANGED) return 0;
    if (winui::BecameSelected(*reinterpret_cast<const NMLISTVIEW*>(lParam))) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        LoadLink(static_cast<CItemLink::CLink*>(listrows::Object(linkList, change->iItem)));
    }
    return 1;
}

void CdlgPropItemLink::Add()
{
    CItemLink::CLink* link = changes->AddLink(*node, L"New link", L"http://");
    currentLink = link;
    if (!link) {
        // The item had no URL, so its own link took the texts, replacing its caption: shown.
        {
            CFlagScope scope(updating);
            ::SetWindowTextW(captionEdit, node->mainLink.caption.c_str());
            ::SetWindowTextW(urlEdit, node->mainLink.url.c_str());
        }
        listrows::DeselectAll(linkList);
        LoadLink(nullptr);
        return;
    }
    RefreshLinkRow(listrows::AppendSelected(linkList, link));
    winui::FocusAll(linkCaptionEdit);
}

void CdlgPropItemLink::Remove()
{
    if (!currentLink) return;
    CItemLink::CLink* link = currentLink;
    int row = listrows::RowOf(linkList, link);
    currentLink = nullptr;
    changes->RemoveLink(*node, link);
    // The row now at the removed one's place (or the last) becomes selected and so current.
    if (!listrows::RemoveAndSelectNext(linkList, row)) LoadLink(nullptr);
}

void CdlgPropItemLink::EnableLinkEditors(bool enable)
{
    winui::Enable(linkCaptionEdit, enable, linkList);
    winui::Enable(linkUrlEdit, enable, linkList);
    winui::Enable(::GetDlgItem(window, IDC_LINK_REMOVE), enable, linkList);
}

void CdlgPropItemLink::ShowRow(const CSite& site)
{
    if (!site.link || site.node != node) return;
    int row = listrows::RowOf(linkList, site.link);
    if (row < 0) return;
    listrows::DeselectAll(linkList);
    listrows::Select(linkList, row);
    ListView_EnsureVisible(linkList, row, FALSE);
}

CSite CdlgPropItemLink::CurrentRow() const
{
    CSite site;
    site.link = currentLink;
    return site;
}

CSite CdlgPropItemLink::Site(SitePart part, CItemLink::CLink* link) const
{
    CSite site;
    site.kind = kNodeItem;
    site.node = node;
    site.part = part;
    site.link = link;
    return site;
}

#include "editor/link_check_dialog.h"

#include "edit/project_changes.h"
#include "model/project.h"
#include "persist/text.h"
#include "resources/resource.h"
#include "winui/list_rows.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// Posted by the check's thread: progress, or the end.
const UINT kJobNews = WM_APP + 40;
// The list follows the project's changes after this pause, so that typing does not redo it at
// every key.
const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshDelayMs = 150;

const wchar_t* const kColumnNames[kLinkColumnCount] = {
    L"Result", L"Caption", L"URL", L"Where (column / group)", L"Final URL or reason"};
// Shares of the list's width at the start; the user can drag them.
const int kColumnShares[kLinkColumnCount] = {14, 15, 24, 19, 28};

// Dialog units to pixels for this window's font.
int DialogX(HWND dialog, int units)
{
    RECT rect = {0, 0, units, 0};
    ::MapDialogRect(dialog, &rect);
    return rect.right;
}

int DialogY(HWND dialog, int units)
{
    RECT rect = {0, 0, 0, units};
    ::MapDialogRect(dialog, &rect);
    return rect.bottom;
}

} // namespace

CdlgLinkCheck::CdlgLinkCheck(CProjectChanges& changes, ILinkCheckHost& host)
    : CdlgNetworkJob(IDD_LINK_CHECK, changes, host, kJobNews)
{
}

void CdlgLinkCheck::Start(HWND owner)
{
    const bool first = !window;
    if (first && !Create(owner)) return;
    if (!Running()) {
        ::KillTimer(window, kRefreshTimer);
        results.reset();
        ::SendMessageW(list, LVM_SETITEMCOUNT, 0, 0);
        StartJob(changes->Project());
        ::EnableWindow(replaceButton, FALSE);
        OnSize();
        ShowProgress();
    }
    if (first) {
        PlaceOver(owner);
        SizeColumns();
    }
    if (!IsOpen()) ::ShowWindow(window, SW_SHOW);
    ::SetActiveWindow(window);
    ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Running() ? cancelButton : list),
                   TRUE);
}

void CdlgLinkCheck::Close()
{
    if (!window) return;
    if (AbandonJob()) {
        results.reset();
        ::SendMessageW(list, LVM_SETITEMCOUNT, 0, 0);
    }
    ::KillTimer(window, kRefreshTimer);
    Hide();
}

void CdlgLinkCheck::ProjectChanged()
{
    if (results && IsOpen()) ::SetTimer(window, kRefreshTimer, kRefreshDelayMs, nullptr);
}

int CdlgLinkCheck::OnInitDialog()
{
    status = ::GetDlgItem(window, IDC_LINKCHECK_STATUS);
    progress = ::GetDlgItem(window, IDC_LINKCHECK_PROGRESS);
    cancelButton = ::GetDlgItem(window, IDC_LINKCHECK_CANCEL);
    list = ::GetDlgItem(window, IDC_LINKCHECK_LIST);
    replaceButton = ::GetDlgItem(window, IDC_LINKCHECK_REPLACE);
    httpsCheck = ::GetDlgItem(window, IDC_LINKCHECK_HTTPS);
    closeButton = ::GetDlgItem(window, IDC_LINKCHECK_CLOSE);

    margin = DialogX(window, 7);
    gap = DialogX(window, 6);
    rowHeight = DialogY(window, 14);
    buttonWidth = DialogX(window, 57);
    replaceWidth = DialogX(window, 90);
    checkWidth = DialogX(window, 200);
    // Narrower than this the bottom row would overlap; lower, the list would have no rows.
    RECT frame = {0, 0, 2 * margin + replaceWidth + checkWidth + buttonWidth + 2 * gap,
                  DialogY(window, 130)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)));
    minimum = {frame.right - frame.left, frame.bottom - frame.top};

    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    for (int column = 0; column < kLinkColumnCount; ++column) {
        LVCOLUMNW info = {};
        info.mask = LVCF_TEXT | LVCF_SUBITEM;
        info.pszText = const_cast<wchar_t*>(kColumnNames[column]);
        info.iSubItem = column;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                       reinterpret_cast<LPARAM>(&info));
    }
    SizeColumns();
    MarkSortColumn();
    ::EnableWindow(replaceButton, FALSE);
    return 0;
}

int CdlgLinkCheck::OnSize()
{
    RECT client = {};
    ::GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    const int top = margin - 1;
    const int bottom = height - margin - rowHeight;
    const int cancelLeft = width - margin - buttonWidth;
    // Once the check has ended the bar goes, and the summary takes its room.
    const bool running = (::GetWindowLongW(progress, GWL_STYLE) & WS_VISIBLE) != 0;
    const int statusWidth = running ? DialogX(window, 150) : cancelLeft - gap - margin;
    const int progressLeft = margin + statusWidth + gap;
    const int listTop = top + rowHeight + gap;
    const int lineHeight = DialogY(window, 8);
    HDWP batch = ::BeginDeferWindowPos(7);
    auto place = [&batch](HWND control, int x, int y, int w, int h) {
        if (batch && control)
            batch = ::DeferWindowPos(batch, control, nullptr, x, y, std::max(w, 0), std::max(h, 0),
                                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(status, margin, top + (rowHeight - lineHeight) / 2, statusWidth, lineHeight);
    place(progress, progressLeft, top + 1, cancelLeft - gap - progressLeft, rowHeight - 2);
    place(cancelButton, cancelLeft, top, buttonWidth, rowHeight);
    place(list, margin, listTop, width - 2 * margin, bottom - gap - listTop);
    place(replaceButton, margin, bottom, replaceWidth, rowHeight);
    place(httpsCheck, margin + replaceWidth + gap, bottom + (rowHeight - DialogY(window, 10)) / 2,
          checkWidth, DialogY(window, 10));
    place(closeButton, cancelLeft, bottom, buttonWidth, rowHeight);
    if (batch) ::EndDeferWindowPos(batch);
    return 1;
}

int CdlgLinkCheck::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDC_LINKCHECK_CANCEL:
        Cancel();
        return 1;
    case IDC_LINKCHECK_REPLACE:
        ReplaceMoved();
        return 1;
    case IDC_LINKCHECK_HTTPS:
        // Whether there is anything to replace depends on the box.
        Refresh();
        return 1;
    case IDC_LINKCHECK_CLOSE:
    case IDCANCEL: // Escape, and the window's close button
        Close();
        return 1;
    case IDOK: // Enter: on a row it opens the row
        if (::GetFocus() == list) OpenRow(listrows::Selected(list));
        return 1;
    default:
        return 0;
    }
}

int CdlgLinkCheck::OnNotify(WPARAM, LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->hwndFrom != list) return 0;
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        LVITEMW& item = info->item;
        if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
        item.pszText[0] = L'\0';
        if (!results || item.iItem < 0 ||
            static_cast<std::size_t>(item.iItem) >= results->Count() || item.iSubItem < 0 ||
            item.iSubItem >= kLinkColumnCount)
            return 0;
        const std::wstring text = FromUtf8(results->Text(static_cast<std::size_t>(item.iItem),
                                                         static_cast<LinkColumn>(item.iSubItem)));
        const std::size_t length =
            std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        text.copy(item.pszText, length);
        item.pszText[length] = L'\0';
        return 0;
    }
    case LVN_COLUMNCLICK: {
        if (!results) return 0;
        const auto* click = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (click->iSubItem < 0 || click->iSubItem >= kLinkColumnCount) return 0;
        const int selected = listrows::Selected(list);
        const std::size_t place = selected >= 0
                                      ? results->PlaceAt(static_cast<std::size_t>(selected))
                                      : CLinkCheckResults::kNoRow;
        results->SortBy(static_cast<LinkColumn>(click->iSubItem));
        MarkSortColumn();
        FillList(place);
        return 0;
    }
    case NM_DBLCLK:
        OpenRow(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
        return 0;
    default:
        return 0;
    }
}

bool CdlgLinkCheck::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (OnJobMessage(message, wParam)) return true;
    switch (message) {
    case WM_TIMER:
        if (wParam != kRefreshTimer) return false;
        ::KillTimer(window, kRefreshTimer);
        Refresh();
        return true;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = minimum.cx;
        info->ptMinTrackSize.y = minimum.cy;
        result = 0;
        return true;
    }
    case WM_CLOSE:
        Close();
        return true;
    default:
        return false;
    }
}

void CdlgLinkCheck::ShowProgress()
{
    ShowJobCount(progress, status, job->Done(), job->Total(), L" checked");
}

void CdlgLinkCheck::ShowEnd()
{
    ShowProgress();
    results = std::make_unique<CLinkCheckResults>(job->Plan(), job->Outcomes());
    std::wstring text;
    if (!job->Error().empty()) {
        text = L"The check could not start: " + FromUtf8(job->Error());
    } else {
        text = (job->Cancelled() ? L"Cancelled. " : L"") + FromUtf8(results->Summary());
    }
    // Widened first: a static that grows repaints only its new part, so a summary drawn cut
    // short at the old width would keep its ellipsis.
    ::ShowWindow(progress, SW_HIDE);
    OnSize();
    ::SetWindowTextW(status, text.c_str());
    const bool focusOnCancel = ::GetFocus() == cancelButton;
    ::EnableWindow(cancelButton, FALSE);
    if (focusOnCancel) ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    Refresh();
}

void CdlgLinkCheck::Refresh()
{
    if (!results) return;
    const int selected = listrows::Selected(list);
    const std::size_t place = selected >= 0 && static_cast<std::size_t>(selected) < results->Count()
                                  ? results->PlaceAt(static_cast<std::size_t>(selected))
                                  : CLinkCheckResults::kNoRow;
    results->Refresh(changes->Project());
    FillList(place);
    const bool https =
        ::SendMessageW(httpsCheck, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(BST_CHECKED);
    ::EnableWindow(replaceButton, results->CanFix(https));
}

void CdlgLinkCheck::FillList(std::size_t selectPlace)
{
    ::SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(results->Count()), 0);
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
    std::size_t row = selectPlace == CLinkCheckResults::kNoRow ? 0 : results->RowOf(selectPlace);
    if (row == CLinkCheckResults::kNoRow) row = 0;
    if (row < results->Count()) {
        // The first row is current for the keyboard; a row picked before stays picked.
        state.state = LVIS_FOCUSED | (selectPlace != CLinkCheckResults::kNoRow ? LVIS_SELECTED : 0);
        ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
        ::SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    }
    ::InvalidateRect(list, nullptr, FALSE);
}

void CdlgLinkCheck::SizeColumns()
{
    RECT listRect = {};
    ::GetClientRect(list, &listRect);
    const int width = listRect.right - listRect.left - ::GetSystemMetrics(SM_CXVSCROLL);
    for (int column = 0; column < kLinkColumnCount; ++column)
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                       width * kColumnShares[column] / 100);
}

void CdlgLinkCheck::MarkSortColumn()
{
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!header) return;
    const int sorted = results ? static_cast<int>(results->SortColumn()) : 0;
    const bool down = results && results->Descending();
    for (int column = 0; column < kLinkColumnCount; ++column) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        ::SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == sorted) item.fmt |= down ? HDF_SORTDOWN : HDF_SORTUP;
        ::SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
    }
}

void CdlgLinkCheck::OpenRow(int row)
{
    if (!results || row < 0 || static_cast<std::size_t>(row) >= results->Count()) return;
    const std::size_t place = results->PlaceAt(static_cast<std::size_t>(row));
    // The node may have gone since the list was made; its pointers are then not to be used.
    if (!LivePlaces(changes->Project(), job->Plan())[place]) {
        Refresh();
        return;
    }
    host->ShowLinkSite(results->SiteOf(place));
}

void CdlgLinkCheck::ReplaceMoved()
{
    if (!results) return;
    const bool https =
        ::SendMessageW(httpsCheck, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(BST_CHECKED);
    std::vector<LinkFix> fixes = results->Fixes(changes->Project(), https);
    // Checked again as they go in: nothing but a web address ever replaces a link's.
    fixes.erase(std::remove_if(fixes.begin(), fixes.end(),
                               [](const LinkFix& fix) { return !IsWebAddress(fix.to); }),
                fixes.end());
    if (fixes.empty()) return;
    {
        // One step, undone as a whole with Ctrl+Z in the main window.
        CStepScope step(*changes, L"replace moved links");
        for (const LinkFix& fix : fixes)
            changes->SetText(results->SiteOf(fix.place), fix.to);
    }
    results->NoteReplaced(fixes);
    host->RefreshShownPane();
    ::KillTimer(window, kRefreshTimer);
    Refresh();
    const std::wstring text =
        std::to_wstring(fixes.size()) +
        (fixes.size() == 1 ? L" address replaced. " : L" addresses replaced. ") +
        FromUtf8(results->Summary());
    ::SetWindowTextW(status, text.c_str());
    // The focus leaves the button that is now grayed.
    if (!::IsWindowEnabled(replaceButton))
        ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
}

void CdlgLinkCheck::PlaceOver(HWND owner)
{
    RECT own = {}, mine = {};
    ::GetWindowRect(owner, &own);
    ::GetWindowRect(window, &mine);
    // As wide as the owner allows, up to twice the template's width; over the owner's lower
    // part, so that the tree's top stays in sight.
    const int ownWidth = own.right - own.left;
    int width = std::max<int>(mine.right - mine.left,
                              std::min<int>(ownWidth - 40, 2 * (mine.right - mine.left)));
    width = std::max<int>(width, minimum.cx);
    const int height = mine.bottom - mine.top;
    int x = own.left + (ownWidth - width) / 2;
    int y = own.bottom - height - 40;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        width = std::min<int>(width, work.right - work.left);
        x = std::max<int>(work.left, std::min<int>(x, work.right - width));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    }
    ::SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

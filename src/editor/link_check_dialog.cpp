#include "editor/link_check_dialog.h"

#include "edit/project_changes.h"
#include "editor/data_transfer.h"
#include "editor/result_list.h"
#include "model/project.h"
#include "persist/text.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// Posted by the check's thread: progress, or the end.
const UINT kJobNews = WM_APP + 40;
// Posted by a double-click, so that the main window comes forward once the list has done with
// the click: the place to open.
const UINT kOpenPlace = WM_APP + 42;
// The list follows the project's changes after this pause, so that typing does not redo it at
// every key.
const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshDelayMs = 150;

const wchar_t* const kColumnNames[kLinkColumnCount] = {L"Result", L"Caption", L"URL",
                                                       L"Column / group", L"Final URL or reason"};
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

bool Shown(HWND control)
{
    return (::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring WindowText(HWND control)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(control, &text[0], static_cast<int>(text.size()))));
    return text;
}

} // namespace

CdlgLinkCheck::CdlgLinkCheck(CProjectChanges& changes, ILinkCheckHost& host)
    : CdlgNetworkJob(IDD_LINK_CHECK, changes, host, kJobNews)
{
}

void CdlgLinkCheck::Start(HWND owner)
{
    const bool first = !window;
    if (first && !CreateFor(owner)) return;
    if (!Running()) {
        ::KillTimer(window, kRefreshTimer);
        results.reset();
        ::SendMessageW(list, LVM_SETITEMCOUNT, 0, 0);
        StartJob(changes->Project());
        ::EnableWindow(replaceButton, FALSE);
        ::EnableWindow(deleteButton, FALSE);
        ::ShowWindow(againButton, SW_HIDE);
        ::ShowWindow(cancelButton, SW_SHOW);
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
    againButton = ::GetDlgItem(window, IDC_LINKCHECK_AGAIN);
    list = ::GetDlgItem(window, IDC_LINKCHECK_LIST);
    deleteButton = ::GetDlgItem(window, IDC_LINKCHECK_DELETE);
    replaceButton = ::GetDlgItem(window, IDC_LINKCHECK_REPLACE);
    httpsCheck = ::GetDlgItem(window, IDC_LINKCHECK_HTTPS);
    closeButton = ::GetDlgItem(window, IDC_LINKCHECK_CLOSE);

    margin = DialogX(window, 7);
    gap = DialogX(window, 6);
    rowHeight = DialogY(window, 14);
    buttonWidth = DialogX(window, 57);
    deleteWidth = DialogX(window, 90);
    replaceWidth = DialogX(window, 90);
    checkWidth = DialogX(window, 200);
    // Narrower than this the bottom row would overlap; lower, the list would have no rows.
    RECT frame = {0, 0,
                  2 * margin + deleteWidth + replaceWidth + checkWidth + buttonWidth + 3 * gap,
                  DialogY(window, 130)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)));
    minimum = {frame.right - frame.left, frame.bottom - frame.top};

    resultlist::Setup(list, kColumnNames, kLinkColumnCount);
    SizeColumns();
    MarkSortColumn();
    ::EnableWindow(replaceButton, FALSE);
    ::EnableWindow(deleteButton, FALSE);
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
    const bool running = Shown(progress);
    const int statusWidth = running ? DialogX(window, 150) : cancelLeft - gap - margin;
    const int progressLeft = margin + statusWidth + gap;
    const int listTop = top + rowHeight + gap;
    const int lineHeight = DialogY(window, 8);
    const int replaceLeft = margin + deleteWidth + gap;
    HDWP batch = ::BeginDeferWindowPos(9);
    auto place = [&batch](HWND control, int x, int y, int w, int h) {
        if (batch && control)
            batch = ::DeferWindowPos(batch, control, nullptr, x, y, std::max(w, 0), std::max(h, 0),
                                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(status, margin, top + (rowHeight - lineHeight) / 2, statusWidth, lineHeight);
    place(progress, progressLeft, top + 1, cancelLeft - gap - progressLeft, rowHeight - 2);
    place(cancelButton, cancelLeft, top, buttonWidth, rowHeight);
    place(againButton, cancelLeft, top, buttonWidth, rowHeight);
    place(list, margin, listTop, width - 2 * margin, bottom - gap - listTop);
    place(deleteButton, margin, bottom, deleteWidth, rowHeight);
    place(replaceButton, replaceLeft, bottom, replaceWidth, rowHeight);
    place(httpsCheck, replaceLeft + replaceWidth + gap,
          bottom + (rowHeight - DialogY(window, 10)) / 2, checkWidth, DialogY(window, 10));
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
    case IDC_LINKCHECK_AGAIN:
        Start(owner);
        return 1;
    case IDC_LINKCHECK_DELETE:
        DeleteSelected();
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
        if (::GetFocus() == list && results) {
            const int row = resultlist::CurrentRow(list);
            if (row >= 0 && static_cast<std::size_t>(row) < results->Count())
                OpenPlace(results->PlaceAt(static_cast<std::size_t>(row)));
        }
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
        const LVITEMW& item = info->item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) item.pszText[0] = L'\0';
        if (!results || item.iItem < 0 ||
            static_cast<std::size_t>(item.iItem) >= results->Count() || item.iSubItem < 0 ||
            item.iSubItem >= kLinkColumnCount)
            return 0;
        resultlist::GiveCell(*info, results->Text(static_cast<std::size_t>(item.iItem),
                                                  static_cast<LinkColumn>(item.iSubItem)));
        return 0;
    }
    case LVN_COLUMNCLICK: {
        if (!results) return 0;
        const auto* click = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (click->iSubItem < 0 || click->iSubItem >= kLinkColumnCount) return 0;
        const std::vector<std::size_t> selected = SelectedPlaces();
        const std::size_t focused = FocusedPlace();
        results->SortBy(static_cast<LinkColumn>(click->iSubItem));
        MarkSortColumn();
        FillList(selected, focused);
        return 0;
    }
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
        EnableButtons();
        return 0;
    case LVN_KEYDOWN: {
        const auto& key = *reinterpret_cast<const NMLVKEYDOWN*>(lParam);
        const WORD control = resultlist::ControlKey(key);
        if (control == 'C') {
            CopySelected();
        } else if (control == 'A') {
            resultlist::SelectAll(list);
            EnableButtons();
        } else if (key.wVKey == VK_DELETE && ::GetKeyState(VK_CONTROL) >= 0 &&
                   ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_MENU) >= 0) {
            DeleteSelected();
        }
        return 0;
    }
    case NM_DBLCLK: {
        const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
        if (results && row >= 0 && static_cast<std::size_t>(row) < results->Count())
            ::PostMessageW(window, kOpenPlace, results->PlaceAt(static_cast<std::size_t>(row)), 0);
        return 0;
    }
    default:
        return 0;
    }
}

bool CdlgLinkCheck::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (OnJobMessage(message, wParam)) return true;
    switch (message) {
    case kOpenPlace:
        OpenPlace(static_cast<std::size_t>(wParam));
        return true;
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
    ::ShowWindow(progress, SW_HIDE);
    const bool focusOnCancel = ::GetFocus() == cancelButton;
    ::EnableWindow(cancelButton, FALSE);
    Refresh();
    resultlist::FitColumns(list, kLinkColumnCount, results->Count(),
                           [this](std::size_t row, int column) {
                               return results->Text(row, static_cast<LinkColumn>(column));
                           });
    if (focusOnCancel)
        ::SendMessageW(window, WM_NEXTDLGCTL,
                       reinterpret_cast<WPARAM>(Shown(againButton) ? againButton : list), TRUE);
}

void CdlgLinkCheck::Refresh()
{
    if (!results) return;
    const std::vector<std::size_t> selected = SelectedPlaces();
    const std::size_t focused = FocusedPlace();
    results->Refresh(changes->Project());
    FillList(selected, focused);
    ShowStatus();
    EnableButtons();
}

void CdlgLinkCheck::ShowStatus()
{
    std::wstring text = job->Cancelled() ? L"Cancelled. " : L"";
    std::size_t unreached = 0;
    const bool offline = job->Error().empty() && results->SeemsOffline(unreached);
    if (!job->Error().empty()) {
        text = L"The check could not start: " + FromUtf8(job->Error());
    } else if (offline) {
        text += unreached == 1 ? std::wstring(L"This computer seems to be offline: the address "
                                              L"could not be reached.")
                               : L"This computer seems to be offline: none of the " +
                                     std::to_wstring(unreached) + L" addresses could be reached.";
    } else {
        text += FromUtf8(results->Summary());
    }
    if (offline != Shown(againButton)) {
        const bool focused = ::GetFocus() == (offline ? cancelButton : againButton);
        ::ShowWindow(offline ? cancelButton : againButton, SW_HIDE);
        ::ShowWindow(offline ? againButton : cancelButton, SW_SHOW);
        if (focused) ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    }
    // Placed first: a static that grows repaints only its new part, so a text drawn cut short at
    // the old width would keep its ellipsis.
    OnSize();
    if (WindowText(status) != text) ::SetWindowTextW(status, text.c_str());
}

void CdlgLinkCheck::EnableButtons()
{
    if (!results) return;
    const bool https =
        ::SendMessageW(httpsCheck, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(BST_CHECKED);
    HWND focus = ::GetFocus();
    ::EnableWindow(replaceButton, results->CanFix(https));
    ::EnableWindow(deleteButton, ::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0);
    // The focus leaves a button that is now grayed.
    if ((focus == replaceButton || focus == deleteButton) && !::IsWindowEnabled(focus))
        ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
}

std::vector<std::size_t> CdlgLinkCheck::SelectedPlaces() const
{
    std::vector<std::size_t> places;
    if (!results) return places;
    for (std::size_t row : resultlist::SelectedRows(list)) {
        if (row < results->Count()) places.push_back(results->PlaceAt(row));
    }
    return places;
}

std::size_t CdlgLinkCheck::FocusedPlace() const
{
    const int row = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
    if (!results || row < 0 || static_cast<std::size_t>(row) >= results->Count())
        return CLinkCheckResults::kNoRow;
    return results->PlaceAt(static_cast<std::size_t>(row));
}

void CdlgLinkCheck::FillList(const std::vector<std::size_t>& selectPlaces, std::size_t focusPlace)
{
    ::SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(results->Count()), 0);
    std::vector<std::size_t> rows;
    for (std::size_t place : selectPlaces) {
        const std::size_t row = results->RowOf(place);
        if (row != CLinkCheckResults::kNoRow) rows.push_back(row);
    }
    std::size_t focus = focusPlace == CLinkCheckResults::kNoRow ? 0 : results->RowOf(focusPlace);
    // The first row is current for the keyboard when the current one went.
    if (focus == CLinkCheckResults::kNoRow) focus = rows.empty() ? 0 : rows.front();
    resultlist::SelectRows(list, rows, focus);
}

void CdlgLinkCheck::SizeColumns()
{
    resultlist::ShareWidth(list, kColumnShares, kLinkColumnCount);
}

void CdlgLinkCheck::MarkSortColumn()
{
    const int sorted = results ? static_cast<int>(results->SortColumn()) : 0;
    resultlist::MarkSort(list, kLinkColumnCount, sorted, results && results->Descending());
}

void CdlgLinkCheck::OpenPlace(std::size_t place)
{
    if (!results || place >= job->Plan().places.size()) return;
    if (MainBusy()) {
        ::MessageBeep(MB_OK);
        return;
    }
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
    if (MainBusy()) {
        ::MessageBeep(MB_OK);
        return;
    }
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
}

void CdlgLinkCheck::DeleteSelected()
{
    if (!results) return;
    if (MainBusy()) {
        ::MessageBeep(MB_OK);
        return;
    }
    const std::vector<std::size_t> rows = resultlist::SelectedRows(list);
    const std::vector<std::size_t> places = SelectedPlaces();
    if (places.empty() || results->DeleteLinks(*changes, places) == 0) {
        ::MessageBeep(MB_OK);
        return;
    }
    ::KillTimer(window, kRefreshTimer);
    results->Refresh(changes->Project());
    // The row that took the first deleted row's place becomes the selection, so that the next
    // Delete goes on down the list.
    std::vector<std::size_t> next;
    if (results->Count() > 0)
        next.push_back(results->PlaceAt(std::min(rows.front(), results->Count() - 1)));
    FillList(next, next.empty() ? CLinkCheckResults::kNoRow : next.front());
    ShowStatus();
    EnableButtons();
}

void CdlgLinkCheck::CopySelected()
{
    if (!results) return;
    const std::vector<std::size_t> rows = resultlist::SelectedRows(list);
    if (rows.empty() || !transfer::PutText(window, FromUtf8(results->RowsText(rows))))
        ::MessageBeep(MB_OK);
}

void CdlgLinkCheck::PlaceOver(HWND mainWindow)
{
    RECT own = {}, mine = {};
    ::GetWindowRect(mainWindow, &own);
    ::GetWindowRect(window, &mine);
    // As wide as the main window allows, up to twice the template's width; over the main
    // window's lower part, so that the tree's top stays in sight.
    const int ownWidth = own.right - own.left;
    int width = std::max<int>(mine.right - mine.left,
                              std::min<int>(ownWidth - 40, 2 * (mine.right - mine.left)));
    width = std::max<int>(width, minimum.cx);
    const int height = mine.bottom - mine.top;
    int x = own.left + (ownWidth - width) / 2;
    int y = own.bottom - height - 40;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(mainWindow, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        width = std::min<int>(width, work.right - work.left);
        x = std::max<int>(work.left, std::min<int>(x, work.right - width));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    }
    ::SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

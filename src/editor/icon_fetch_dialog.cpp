#include "editor/icon_fetch_dialog.h"

#include "edit/project_changes.h"
#include "editor/data_transfer.h"
#include "editor/result_list.h"
#include "model/project.h"
#include "persist/text.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// Posted by the fetch's thread: progress, or the end.
const UINT kJobNews = WM_APP + 41;
// Posted by a double-click, so that the main window comes forward once the list has done with
// the click: the entry to open.
const UINT kOpenEntry = WM_APP + 43;
// The list follows the project's changes after this pause.
const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshDelayMs = 150;

const wchar_t* const kColumnNames[kIconColumnCount] = {L"Why no icon", L"Caption", L"URL",
                                                       L"Column / group", L"Details"};
const int kColumnShares[kIconColumnCount] = {16, 15, 22, 17, 30};

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

std::wstring Counted(std::size_t count, const wchar_t* one, const wchar_t* many)
{
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

} // namespace

std::wstring IconFetchSummary(const CIconFetchJob& job, std::size_t given, std::size_t without)
{
    if (!job.Error().empty()) return L"The fetch could not start: " + FromUtf8(job.Error());
    std::wstring text = job.Cancelled() ? L"Cancelled. " : L"";
    text += Counted(given, L"icon fetched", L"icons fetched") + L", " +
            Counted(without, L"link without an icon", L"links without an icon");
    if (job.Plan().withIcon > 0)
        text += L"; " + Counted(job.Plan().withIcon, L"link", L"links") + L" already had one";
    return text;
}

CdlgIconFetch::CdlgIconFetch(CProjectChanges& changes, ILinkCheckHost& host)
    : CdlgNetworkJob(IDD_ICON_FETCH, changes, host, kJobNews)
{
}

void CdlgIconFetch::Start(HWND owner)
{
    const bool first = !window;
    if (first && !CreateFor(owner)) return;
    if (!Running()) {
        ended = false;
        given = 0;
        ::KillTimer(window, kRefreshTimer);
        results.reset();
        ::SendMessageW(list, LVM_SETITEMCOUNT, 0, 0);
        StartJob(changes->Project(), false);
        ::ShowWindow(closeButton, SW_HIDE);
        ::ShowWindow(cancelButton, SW_SHOW);
        OnSize();
        ShowProgress();
    }
    if (first) {
        PlaceOver(owner);
        resultlist::ShareWidth(list, kColumnShares, kIconColumnCount);
    }
    if (!IsOpen()) ::ShowWindow(window, SW_SHOW);
    ::SetActiveWindow(window);
    ::SendMessageW(window, WM_NEXTDLGCTL,
                   reinterpret_cast<WPARAM>(Running() ? cancelButton : closeButton), TRUE);
}

void CdlgIconFetch::Close()
{
    if (!window) return;
    AbandonJob();
    ::KillTimer(window, kRefreshTimer);
    Hide();
}

void CdlgIconFetch::ProjectChanged()
{
    if (results && IsOpen()) ::SetTimer(window, kRefreshTimer, kRefreshDelayMs, nullptr);
}

int CdlgIconFetch::OnInitDialog()
{
    status = ::GetDlgItem(window, IDC_ICONFETCH_STATUS);
    progress = ::GetDlgItem(window, IDC_ICONFETCH_PROGRESS);
    cancelButton = ::GetDlgItem(window, IDC_ICONFETCH_CANCEL);
    list = ::GetDlgItem(window, IDC_ICONFETCH_LIST);
    closeButton = ::GetDlgItem(window, IDC_ICONFETCH_CLOSE);

    margin = DialogX(window, 7);
    gap = DialogX(window, 6);
    rowHeight = DialogY(window, 14);
    buttonWidth = DialogX(window, 57);
    RECT frame = {0, 0, DialogX(window, 260), DialogY(window, 110)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)));
    minimum = {frame.right - frame.left, frame.bottom - frame.top};

    resultlist::Setup(list, kColumnNames, kIconColumnCount);
    return 0;
}

int CdlgIconFetch::OnSize()
{
    RECT client = {};
    ::GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    const int top = margin - 1;
    const int bottom = height - margin - rowHeight;
    const int right = width - margin - buttonWidth;
    // Once the fetch has ended the bar goes, and the summary takes its room.
    const bool running = (::GetWindowLongW(progress, GWL_STYLE) & WS_VISIBLE) != 0;
    const int statusWidth = running ? DialogX(window, 150) : right - gap - margin;
    const int progressLeft = margin + statusWidth + gap;
    const int listTop = top + rowHeight + gap;
    const int lineHeight = DialogY(window, 8);
    HDWP batch = ::BeginDeferWindowPos(5);
    auto place = [&batch](HWND control, int x, int y, int w, int h) {
        if (batch && control)
            batch = ::DeferWindowPos(batch, control, nullptr, x, y, std::max(w, 0), std::max(h, 0),
                                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(status, margin, top + (rowHeight - lineHeight) / 2, statusWidth, lineHeight);
    place(progress, progressLeft, top + 1, right - gap - progressLeft, rowHeight - 2);
    place(cancelButton, right, top, buttonWidth, rowHeight);
    place(list, margin, listTop, width - 2 * margin, bottom - gap - listTop);
    place(closeButton, right, bottom, buttonWidth, rowHeight);
    if (batch) ::EndDeferWindowPos(batch);
    return 1;
}

int CdlgIconFetch::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDC_ICONFETCH_CANCEL:
        Cancel();
        return 1;
    case IDC_ICONFETCH_CLOSE:
    case IDCANCEL: // Escape, and the window's close button
        Close();
        return 1;
    case IDOK: // Enter: on a row it opens the row, elsewhere the button that shows
        if (::GetFocus() == list && results) {
            const int row = resultlist::CurrentRow(list);
            if (row >= 0 && static_cast<std::size_t>(row) < results->Count())
                OpenEntry(results->EntryAt(static_cast<std::size_t>(row)));
        } else if (Running()) {
            Cancel();
        } else {
            Close();
        }
        return 1;
    default:
        return 0;
    }
}

int CdlgIconFetch::OnNotify(WPARAM, LPARAM lParam)
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
            item.iSubItem >= kIconColumnCount)
            return 0;
        resultlist::GiveCell(*info, results->Text(static_cast<std::size_t>(item.iItem),
                                                  static_cast<IconColumn>(item.iSubItem)));
        return 0;
    }
    case LVN_COLUMNCLICK: {
        if (!results) return 0;
        const auto* click = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (click->iSubItem < 0 || click->iSubItem >= kIconColumnCount) return 0;
        const std::vector<std::size_t> selected = SelectedEntries();
        const std::size_t focused = FocusedEntry();
        results->SortBy(static_cast<IconColumn>(click->iSubItem));
        resultlist::MarkSort(list, kIconColumnCount, click->iSubItem, results->Descending());
        FillList(selected, focused);
        return 0;
    }
    case LVN_KEYDOWN: {
        const WORD control = resultlist::ControlKey(*reinterpret_cast<const NMLVKEYDOWN*>(lParam));
        if (control == 'C') CopySelected();
        if (control == 'A') resultlist::SelectAll(list);
        return 0;
    }
    case NM_DBLCLK: {
        const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
        if (results && row >= 0 && static_cast<std::size_t>(row) < results->Count())
            ::PostMessageW(window, kOpenEntry, results->EntryAt(static_cast<std::size_t>(row)), 0);
        return 0;
    }
    default:
        return 0;
    }
}

bool CdlgIconFetch::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (OnJobMessage(message, wParam)) return true;
    switch (message) {
    case kOpenEntry:
        OpenEntry(static_cast<std::size_t>(wParam));
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

void CdlgIconFetch::ShowProgress()
{
    ShowJobCount(progress, status, job->Done(), job->Total(), L" pages fetched");
}

void CdlgIconFetch::ShowEnd()
{
    ShowProgress();
    ended = true;
    // The items deleted, or whose address changed, since the fetch began are left alone.
    const std::vector<IconChange> icons =
        PlanIconChanges(changes->Project(), job->Plan(), job->Outcomes());
    given = icons.empty() ? 0 : ApplyIconChanges(*changes, icons);
    if (given > 0) host->RefreshShownPane();
    results = std::make_unique<CIconFetchResults>(job->Plan(), job->Outcomes());
    const bool focused = ::GetFocus() == cancelButton;
    ::ShowWindow(progress, SW_HIDE);
    ::ShowWindow(cancelButton, SW_HIDE);
    ::ShowWindow(closeButton, SW_SHOW);
    // Widened before the summary is set: a static that grows repaints only its new part.
    OnSize();
    Refresh();
    resultlist::FitColumns(list, kIconColumnCount, results->Count(),
                           [this](std::size_t row, int column) {
                               return results->Text(row, static_cast<IconColumn>(column));
                           });
    if (focused || IsOpen())
        ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(closeButton), TRUE);
}

void CdlgIconFetch::Refresh()
{
    if (!results) return;
    const std::vector<std::size_t> selected = SelectedEntries();
    const std::size_t focused = FocusedEntry();
    results->Refresh(changes->Project());
    FillList(selected, focused);
    ::SetWindowTextW(status, IconFetchSummary(*job, given, results->Count()).c_str());
}

void CdlgIconFetch::FillList(const std::vector<std::size_t>& selectEntries, std::size_t focusEntry)
{
    ::SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(results->Count()), 0);
    std::vector<std::size_t> rows;
    for (std::size_t entry : selectEntries) {
        const std::size_t row = results->RowOf(entry);
        if (row != CIconFetchResults::kNoRow) rows.push_back(row);
    }
    std::size_t focus = focusEntry == CIconFetchResults::kNoRow ? 0 : results->RowOf(focusEntry);
    if (focus == CIconFetchResults::kNoRow) focus = rows.empty() ? 0 : rows.front();
    resultlist::SelectRows(list, rows, focus);
}

std::vector<std::size_t> CdlgIconFetch::SelectedEntries() const
{
    std::vector<std::size_t> entries;
    if (!results) return entries;
    for (std::size_t row : resultlist::SelectedRows(list)) {
        if (row < results->Count()) entries.push_back(results->EntryAt(row));
    }
    return entries;
}

std::size_t CdlgIconFetch::FocusedEntry() const
{
    const int row = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
    if (!results || row < 0 || static_cast<std::size_t>(row) >= results->Count())
        return CIconFetchResults::kNoRow;
    return results->EntryAt(static_cast<std::size_t>(row));
}

void CdlgIconFetch::OpenEntry(std::size_t entry)
{
    if (!results || entry >= job->Plan().places.size()) return;
    if (MainBusy()) {
        ::MessageBeep(MB_OK);
        return;
    }
    // The node may have gone since the list was made; its pointers are then not to be used.
    if (!LivePlaces(changes->Project(), job->Plan().links)[job->Plan().places[entry]]) {
        Refresh();
        return;
    }
    host->ShowLinkSite(results->SiteOf(entry));
}

void CdlgIconFetch::CopySelected()
{
    if (!results) return;
    const std::vector<std::size_t> rows = resultlist::SelectedRows(list);
    if (rows.empty() || !transfer::PutText(window, FromUtf8(results->RowsText(rows))))
        ::MessageBeep(MB_OK);
}

void CdlgIconFetch::PlaceOver(HWND mainWindow)
{
    RECT own = {}, mine = {};
    ::GetWindowRect(mainWindow, &own);
    ::GetWindowRect(window, &mine);
    // As wide as the main window allows, up to twice the template's width, so that the list's
    // addresses and reasons can be read; centred over it.
    const int ownWidth = own.right - own.left;
    const int templateWidth = mine.right - mine.left;
    int width = std::max<int>(templateWidth, std::min<int>(ownWidth - 40, 2 * templateWidth));
    const int height = mine.bottom - mine.top;
    int x = own.left + (ownWidth - width) / 2;
    int y = own.top + (own.bottom - own.top - height) / 2;
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

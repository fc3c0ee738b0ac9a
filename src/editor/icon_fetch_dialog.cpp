#include "editor/icon_fetch_dialog.h"

#include "edit/project_changes.h"
#include "model/project.h"
#include "persist/text.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// Posted by the fetch's thread: progress, or the end.
const UINT kJobNews = WM_APP + 41;

std::wstring Counted(std::size_t count, const wchar_t* one, const wchar_t* many)
{
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

} // namespace

std::wstring IconFetchSummary(const CIconFetchJob& job, std::size_t given)
{
    if (!job.Error().empty()) return L"The fetch could not start: " + FromUtf8(job.Error());
    std::size_t without = 0;
    const IconFetchPlan& plan = job.Plan();
    for (std::size_t entry = 0; entry < plan.places.size(); ++entry) {
        if (plan.pageOf[entry] >= job.Outcomes().size() ||
            job.OutcomeOf(entry).result != IconFetchResult::Kept)
            ++without;
    }
    std::wstring text = job.Cancelled() ? L"Cancelled. " : L"";
    text += Counted(given, L"icon fetched", L"icons fetched") + L", " +
            Counted(without, L"link without an icon", L"links without an icon");
    if (plan.withIcon > 0)
        text += L"; " + Counted(plan.withIcon, L"link", L"links") + L" already had one";
    return text;
}

CdlgIconFetch::CdlgIconFetch(CProjectChanges& changes, ILinkCheckHost& host)
    : CdlgNetworkJob(IDD_ICON_FETCH, changes, host, kJobNews)
{
}

void CdlgIconFetch::Start(HWND owner)
{
    const bool first = !window;
    if (first && !Create(owner)) return;
    if (!Running()) {
        ended = false;
        given = 0;
        StartJob(changes->Project(), false);
        ::ShowWindow(closeButton, SW_HIDE);
        ::ShowWindow(cancelButton, SW_SHOW);
        ShowProgress();
        PlaceOver(owner);
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
    Hide();
}

int CdlgIconFetch::OnInitDialog()
{
    status = ::GetDlgItem(window, IDC_ICONFETCH_STATUS);
    progress = ::GetDlgItem(window, IDC_ICONFETCH_PROGRESS);
    cancelButton = ::GetDlgItem(window, IDC_ICONFETCH_CANCEL);
    closeButton = ::GetDlgItem(window, IDC_ICONFETCH_CLOSE);
    return 0;
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
    case IDOK: // Enter: the button that shows
        if (Running()) {
            Cancel();
        } else {
            Close();
        }
        return 1;
    default:
        return 0;
    }
}

bool CdlgIconFetch::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR&)
{
    if (OnJobMessage(message, wParam)) return true;
    if (message != WM_CLOSE) return false;
    Close();
    return true;
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
    ::SetWindowTextW(status, IconFetchSummary(*job, given).c_str());
    const bool focused = ::GetFocus() == cancelButton;
    ::ShowWindow(cancelButton, SW_HIDE);
    ::ShowWindow(closeButton, SW_SHOW);
    if (focused || IsOpen())
        ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(closeButton), TRUE);
}

void CdlgIconFetch::PlaceOver(HWND owner)
{
    RECT own = {}, mine = {};
    ::GetWindowRect(owner, &own);
    ::GetWindowRect(window, &mine);
    const int width = mine.right - mine.left, height = mine.bottom - mine.top;
    int x = own.left + (own.right - own.left - width) / 2;
    int y = own.top + (own.bottom - own.top - height) / 2;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::max<int>(work.left, std::min<int>(x, work.right - width));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    }
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

#include "editor/status_bar.h"

#include "services/status_texts.h"
#include "winui/controls.h"
#include "winui/module.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

bool CStatusBar::Create(HWND parent, int id)
{
    window = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                               0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               ModuleInstance(), nullptr);
    if (!window) return false;
    Measure(winui::WindowDpi(parent));
    return true;
}

void CStatusBar::SetFont(HFONT font, int dpi)
{
    if (!window) return;
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    Measure(dpi);
}

void CStatusBar::Measure(int dpi)
{
    // The right part is as wide as its longer text needs, with room for the part's borders and
    // the size grip.
    HDC dc = ::GetDC(window);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (bool upToDate : {false, true}) {
        std::wstring text = PageStateText(upToDate);
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        widest = std::max(widest, static_cast<int>(extent.cx));
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    pageStateWidth =
        widest + winui::ScaleForDpi(16, dpi) + winui::SystemMetricForDpi(SM_CXVSCROLL, dpi);
}

int CStatusBar::Height() const
{
    RECT bounds = {};
    if (window) ::GetWindowRect(window, &bounds);
    return bounds.bottom - bounds.top;
}

void CStatusBar::Resize(int clientWidth)
{
    if (!window) return;
    // The bar places itself at the bottom of its parent.
    ::SendMessageW(window, WM_SIZE, 0, 0);
    int edges[2] = {std::max(clientWidth - pageStateWidth, 0), -1};
    ::SendMessageW(window, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
}

void CStatusBar::SetOutcome(const std::wstring& text)
{
    SetPart(kOutcome, text);
}

void CStatusBar::SetPageState(bool upToDate)
{
    SetPart(kPageState, PageStateText(upToDate));
}

void CStatusBar::SetPart(Part part, const std::wstring& text)
{
    if (window) ::SendMessageW(window, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring CStatusBar::PartText(Part part) const
{
    if (!window) return std::wstring();
    const LRESULT length = LOWORD(::SendMessageW(window, SB_GETTEXTLENGTHW, part, 0));
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(window, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

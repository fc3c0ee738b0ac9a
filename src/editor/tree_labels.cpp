// Setting a tree label costs the tree view (as Wine implements it) a walk over every shown item
// and a redraw of each scroll bar it has, and the paint that shows the new text walks the items
// and redraws the bars again, whether they changed or not. The walks are cheap; each themed
// scroll bar redraw costs milliseconds. So the label is painted at once with the scroll bar
// styles taken off the window for that moment, and set that way too when it provably leaves
// the bars as they are: the system then skips drawing bars that would look the same, while the
// tree view sets, measures and paints the item's text as always. A label that moves the
// horizontal bar (it is, or becomes, the widest) is set the ordinary way, bars redrawn.
#include "editor/tree_labels.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr LONG_PTR kScrollBars = WS_VSCROLL | WS_HSCROLL;

SCROLLINFO HorizontalScrollInfo(HWND window)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!::GetScrollInfo(window, SB_HORZ, &info)) info.nMin = info.nMax = -1;
    return info;
}

bool SameScrollInfo(const SCROLLINFO& a, const SCROLLINFO& b)
{
    return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
}

} // namespace

LRESULT CALLBACK CTreeLabels::QuietProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR)
{
    // The tree view answers a style change by measuring every item again and redrawing its
    // scroll bars: exactly the work a quiet set avoids. Its own styles do not change.
    if ((message == WM_STYLECHANGING || message == WM_STYLECHANGED) &&
        wParam == static_cast<WPARAM>(GWL_STYLE))
        return 0;
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void CTreeLabels::Set(HTREEITEM item, const std::wstring& label)
{
    if (!tree || !item || Shows(item, label)) return;
    const LONG_PTR bars = ::GetWindowLongPtrW(tree, GWL_STYLE) & kScrollBars;
    // Without scroll bars, or hidden, the tree view draws none.
    if (!bars || !::IsWindowVisible(tree)) {
        SetText(item, label);
        return;
    }
    // Whatever waits to be painted (a frame included) is painted with its scroll bars first.
    ::UpdateWindow(tree);
    const bool setQuietly = KeepsScrollBars(item, label);
    if (!setQuietly) {
        SetText(item, label);
        // A bar that came or went has its frame repainted the ordinary way.
        if ((::GetWindowLongPtrW(tree, GWL_STYLE) & kScrollBars) != bars) return;
    }
    // Painted now: left for later, the paint would redraw the scroll bars.
    const bool done = Quietly([&] {
        if (setQuietly) SetText(item, label);
        ::UpdateWindow(tree);
    });
    if (!done && setQuietly) SetText(item, label);
}

std::wstring TreeItemText(HWND tree, HTREEITEM item, int capacity)
{
    std::wstring text(static_cast<std::size_t>(std::max(capacity, 1)), L'\0');
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = &text[0];
    data.cchTextMax = static_cast<int>(text.size());
    ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    text.resize(text.find(L'\0'));
    return text;
}

bool CTreeLabels::Shows(HTREEITEM item, const std::wstring& label) const
{
    // Most keystrokes change a field the label does not show, and setting the same text would
    // still cost the tree view its scroll bar work. One character more than the label tells a
    // longer old text apart.
    std::wstring shown(label.size() + 2, L'\0');
    TVITEMW text = {};
    text.mask = TVIF_TEXT;
    text.hItem = item;
    text.pszText = &shown[0];
    text.cchTextMax = static_cast<int>(shown.size());
    return ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&text)) &&
           shown.compare(0, shown.find(L'\0'), label) == 0;
}

bool CTreeLabels::KeepsScrollBars(HTREEITEM item, const std::wstring& label) const
{
    // The item's text rectangle; none when the item is inside a collapsed branch.
    RECT text;
    std::memcpy(&text, &item, sizeof item); // TVM_GETITEMRECT takes the item in the rectangle
    if (!::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text))) return false;
    const int width = TextWidth(label);
    if (width < 0) return false;

    // Labels change no item's height, so only the horizontal bar may change. It follows the
    // tree's width: the right end of its widest label, 2 pixels after the text, which the text
    // rectangle ends 4 pixels after (the ends are scrolled with the tree, the width is not).
    const LONG_PTR style = ::GetWindowLongPtrW(tree, GWL_STYLE);
    if (style & WS_HSCROLL) {
        const SCROLLINFO horizontal = HorizontalScrollInfo(tree);
        if (horizontal.nMax < 0) return false;
        const int treeWidth = horizontal.nMax + 1;
        const int oldEnd = text.right - 2 + horizontal.nPos;
        const int newEnd = text.left + width + 2 + horizontal.nPos;
        // Another label is the widest, and stays so.
        return oldEnd < treeWidth && newEnd <= treeWidth;
    }
    if (!(style & WS_VSCROLL)) return false;
    // Beside a vertical bar the tree view brings the horizontal one in when the tree is wider
    // than the client area less a bar's width.
    RECT client;
    ::GetClientRect(tree, &client);
    return text.left + width + 2 <= client.right - ::GetSystemMetrics(SM_CXVSCROLL);
}

int CTreeLabels::TextWidth(const std::wstring& label) const
{
    auto font = reinterpret_cast<HFONT>(::SendMessageW(tree, WM_GETFONT, 0, 0));
    if (!font) return -1;
    HDC dc = ::GetDC(tree);
    if (!dc) return -1;
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size = {};
    const bool measured =
        ::GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(tree, dc);
    return measured ? static_cast<int>(size.cx) : -1;
}

void CTreeLabels::SetText(HTREEITEM item, const std::wstring& label) const
{
    TVITEMW text = {};
    text.mask = TVIF_TEXT;
    text.hItem = item;
    text.pszText = const_cast<wchar_t*>(label.c_str()); // copied by the tree view
    ::SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&text));
}

bool CTreeLabels::Quietly(const std::function<void()>& work) const
{
    // Subclassed for this moment only: a subclass costs every message a property lookup, which
    // would slow down filling the tree.
    if (!::SetWindowSubclass(tree, QuietProc, kSubclassId, 0)) return false;
    const LONG_PTR style = ::GetWindowLongPtrW(tree, GWL_STYLE);
    const LONG_PTR bars = style & kScrollBars;
    const SCROLLINFO before = HorizontalScrollInfo(tree);

    ::SetWindowLongPtrW(tree, GWL_STYLE, style & ~kScrollBars);
    work();
    const LONG_PTR during = ::GetWindowLongPtrW(tree, GWL_STYLE);
    ::SetWindowLongPtrW(tree, GWL_STYLE, during | bars);
    ::RemoveWindowSubclass(tree, QuietProc, kSubclassId);

    // A bar shown or a range changed after all (the tree view measured otherwise): the frame
    // was laid out without the bars, so it is laid out and drawn again with them, at once.
    if ((during & kScrollBars) || !SameScrollInfo(before, HorizontalScrollInfo(tree))) {
        ::SetWindowPos(tree, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        ::RedrawWindow(tree, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    }
    return true;
}

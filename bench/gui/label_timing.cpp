// Where a tree label change spends its time under Wine: a bare tree view filled as the editor's
// (every container open, 300 pixels wide, an item near the end selected and in view), one
// item's text changed in several ways, with and without the paint that shows it. Prints the
// figures; run by hand.
//
//     scripts/wine-exec build/windows/bench/gui/label_timing.exe
#include "timing_support.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The text of the item whose label comes from TVN_GETDISPINFOW.
std::wstring callbackText = L"Link 1";

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(lParam);
        if (info->hdr.code == TVN_GETDISPINFOW && (info->item.mask & TVIF_TEXT))
            lstrcpynW(info->item.pszText, callbackText.c_str(), info->item.cchTextMax);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Answers nothing to the style changes that take the scroll bars off and on again.
LRESULT CALLBACK QuietStyle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR)
{
    if (message == WM_STYLECHANGING || message == WM_STYLECHANGED) return 0;
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void InvalidateItem(HWND tree, HTREEITEM item)
{
    RECT rect;
    std::memcpy(&rect, &item, sizeof item); // TVM_GETITEMRECT takes the item in the rectangle
    if (::SendMessageW(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect)))
        ::InvalidateRect(tree, &rect, TRUE);
}

// Runs `work` with the scroll bar styles off, the tree view not told.
void Quietly(HWND tree, const std::function<void()>& work)
{
    ::SetWindowSubclass(tree, QuietStyle, 1, 0);
    LONG_PTR style = ::GetWindowLongPtrW(tree, GWL_STYLE);
    ::SetWindowLongPtrW(tree, GWL_STYLE, style & ~(WS_VSCROLL | WS_HSCROLL));
    work();
    ::SetWindowLongPtrW(tree, GWL_STYLE, style);
    ::RemoveWindowSubclass(tree, QuietStyle, 1);
}

// Labels of changing widths ("Link 1" and up to 15 more characters), and of one width (digits
// are equally wide).
std::wstring Growing(int i)
{
    return L"Link 1" + std::wstring(static_cast<std::size_t>(i % 16), L'x');
}
std::wstring SameWidth(int i)
{
    return L"Link " + std::to_wstring(10 + i % 80);
}

void Measure(const char* name, int columns, int groups, int items)
{
    HWND frame =
        ::CreateWindowExW(0, L"LabelTimingFrame", L"timing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                          1000, 740, nullptr, nullptr, nullptr, nullptr);
    HWND tree = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                  WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES |
                                      TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                                  0, 0, 300, 680, frame, nullptr, nullptr, nullptr);
    // The last group's first items: one set directly, one from the callback, one to widen.
    HTREEITEM target = nullptr, callback = nullptr, wide = nullptr;
    HTREEITEM root = InsertTreeItem(tree, TVI_ROOT, L"Generated");
    for (int c = 0; c < columns; ++c) {
        HTREEITEM column = InsertTreeItem(tree, root, L"Column");
        for (int g = 0; g < groups; ++g) {
            HTREEITEM group = InsertTreeItem(tree, column, L"Group");
            for (int i = 0; i < items; ++i) {
                const bool last = c == columns - 1 && g == groups - 1;
                HTREEITEM item =
                    InsertTreeItem(tree, group, last && i == 1 ? LPSTR_TEXTCALLBACKW : L"Link 1");
                if (last && i == 0) target = item;
                if (last && i == 1) callback = item;
                if (last && i == 2) wide = item;
            }
            ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(group));
        }
        ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(column));
    }
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(target));
    ::UpdateWindow(frame);
    Pump();
    std::printf("%s: %ld items\n", name,
                static_cast<long>(::SendMessageW(tree, TVM_GETCOUNT, 0, 0)));
    const int n = 300;
    auto set = [&](const std::wstring& text) { SetTreeItemText(tree, target, text.c_str()); };

    Report("set text (TVM_SETITEMW), width changes", n, [&](int i) { set(Growing(i)); });
    Report("set text, same width", n, [&](int i) { set(SameWidth(i)); });
    Report("paint one item alone", n, [&](int) {
        InvalidateItem(tree, target);
        ::UpdateWindow(tree);
    });
    Report("set text, then paint", n, [&](int i) {
        set(Growing(i));
        ::UpdateWindow(tree);
    });
    Report("vertical scroll bar: SetScrollInfo, same values, redraw", n, [&](int) {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS | SIF_RANGE | SIF_PAGE;
        ::GetScrollInfo(tree, SB_VERT, &info);
        ::SetScrollInfo(tree, SB_VERT, &info, TRUE);
    });
    Report("WM_SETREDRAW off around the set", n / 10, [&](int i) {
        ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
        set(Growing(i));
        ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    });
    Report("callback text: invalidate the item, paint", n, [&](int i) {
        callbackText = Growing(i);
        InvalidateItem(tree, callback);
        ::UpdateWindow(tree);
    });
    Report("scroll bar styles off: set text, paint (the editor's way)", n, [&](int i) {
        Quietly(tree, [&] {
            set(Growing(i));
            ::UpdateWindow(tree);
        });
    });
    Report("scroll bar styles off: set text alone", n,
           [&](int i) { Quietly(tree, [&] { set(Growing(i)); }); });
    Report("scroll bar styles off: callback text, invalidate, paint", n, [&](int i) {
        Quietly(tree, [&] {
            callbackText = Growing(i);
            InvalidateItem(tree, callback);
            ::UpdateWindow(tree);
        });
    });
    Report("scroll bar styles off and on alone", n, [&](int) { Quietly(tree, [] {}); });

    SetTreeItemText(tree, wide,
                    L"A label much wider than the tree view, which brings in the horizontal "
                    L"scroll bar");
    ::UpdateWindow(tree);
    Report("both scroll bars: set text, then paint", n, [&](int i) {
        set(Growing(i));
        ::UpdateWindow(tree);
    });
    Report("both scroll bars: scroll bar styles off: set text, paint", n, [&](int i) {
        Quietly(tree, [&] {
            set(Growing(i));
            ::UpdateWindow(tree);
        });
    });
    SetTreeItemText(tree, wide, L"Link 1");

    ::ShowWindow(tree, SW_HIDE);
    Report("hidden tree: set text", n, [&](int i) { set(Growing(i)); });
    ::DestroyWindow(frame);
    Pump();
}

} // namespace

int wmain()
{
    ::InitCommonControls();
    WNDCLASSW frameClass = {};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = ::GetModuleHandleW(nullptr);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frameClass.lpszClassName = L"LabelTimingFrame";
    ::RegisterClassW(&frameClass);

    Measure("small tree, no scroll bars", 1, 2, 5);
    Measure("10k nodes, 20 x 20 x 24", 20, 20, 24);
    Measure("50k nodes, 25 x 40 x 49", 25, 40, 49);
    return 0;
}

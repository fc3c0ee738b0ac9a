#include "editor/result_list.h"

#include "persist/text.h"

#include <algorithm>

namespace resultlist {

void Setup(HWND list, const wchar_t* const names[], int count)
{
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    for (int column = 0; column < count; ++column) {
        LVCOLUMNW info = {};
        info.mask = LVCF_TEXT | LVCF_SUBITEM;
        info.pszText = const_cast<wchar_t*>(names[column]);
        info.iSubItem = column;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                       reinterpret_cast<LPARAM>(&info));
    }
}

void ShareWidth(HWND list, const int shares[], int count)
{
    RECT rect = {};
    ::GetClientRect(list, &rect);
    const int width = rect.right - rect.left - ::GetSystemMetrics(SM_CXVSCROLL);
    for (int column = 0; column < count; ++column)
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                       width * shares[column] / 100);
}

void FitColumns(HWND list, int count, std::size_t rows,
                const std::function<std::string(std::size_t, int)>& text)
{
    if (count <= 0) return;
    // Enough rows to see what the columns hold; measuring every row of a large check would
    // only cost time.
    const std::size_t measured = std::min<std::size_t>(rows, 500);
    // A cell's margins, and the room of the header's sort arrow.
    const int padding = 14, arrow = 18;
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    std::vector<int> want(static_cast<std::size_t>(count), 0);
    for (int column = 0; column < count; ++column) {
        wchar_t caption[128] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_FORMAT;
        item.pszText = caption;
        item.cchTextMax = 128;
        if (header) ::SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
        int widest = static_cast<int>(
            ::SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(caption)));
        if (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) widest += arrow;
        for (std::size_t row = 0; row < measured; ++row) {
            const std::wstring cell = FromUtf8(text(row, column));
            widest = std::max<int>(
                widest, static_cast<int>(::SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                                        reinterpret_cast<LPARAM>(cell.c_str()))));
        }
        want[static_cast<std::size_t>(column)] = widest + padding;
    }
    RECT rect = {};
    ::GetClientRect(list, &rect);
    int left = rect.right - rect.left;
    // Room for the scroll bar when the rows will not all show and it is not there yet.
    if (static_cast<LRESULT>(rows) > ::SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0) &&
        !(::GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL))
        left -= ::GetSystemMetrics(SM_CXVSCROLL);
    // The narrowest first: each column takes what it wants up to an even share of what is left.
    std::vector<int> order(want.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&want](int a, int b) {
        return want[static_cast<std::size_t>(a)] < want[static_cast<std::size_t>(b)];
    });
    std::vector<int> width(want.size(), 0);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto column = static_cast<std::size_t>(order[i]);
        const int share = std::max(0, left) / static_cast<int>(order.size() - i);
        width[column] = std::min(want[column], share);
        left -= width[column];
    }
    width.back() += std::max(0, left);
    for (int column = 0; column < count; ++column)
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                       width[static_cast<std::size_t>(column)]);
}

void MarkSort(HWND list, int count, int column, bool descending)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!header) return;
    for (int i = 0; i < count; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        ::SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
        ::SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

void GiveCell(NMLVDISPINFOW& info, const std::string& text)
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    const std::wstring wide = FromUtf8(text);
    const std::size_t length = std::min(wide.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    wide.copy(item.pszText, length);
    item.pszText[length] = L'\0';
}

std::vector<std::size_t> SelectedRows(HWND list)
{
    std::vector<std::size_t> rows;
    int row = -1;
    while ((row = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0)
        rows.push_back(static_cast<std::size_t>(row));
    return rows;
}

int CurrentRow(HWND list)
{
    const int focused = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
    if (focused >= 0 &&
        ::SendMessageW(list, LVM_GETITEMSTATE, focused, LVIS_SELECTED) & LVIS_SELECTED)
        return focused;
    return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

void SelectRows(HWND list, const std::vector<std::size_t>& rows, std::size_t focus)
{
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
    const auto count = static_cast<std::size_t>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    for (std::size_t row : rows) {
        if (row < count)
            ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }
    if (focus < count) {
        state.stateMask = LVIS_FOCUSED;
        state.state = LVIS_FOCUSED;
        ::SendMessageW(list, LVM_SETITEMSTATE, focus, reinterpret_cast<LPARAM>(&state));
        // The selection mark is where Shift+click and Shift+arrow extend from.
        ::SendMessageW(list, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(focus));
        ::SendMessageW(list, LVM_ENSUREVISIBLE, focus, FALSE);
    }
    ::InvalidateRect(list, nullptr, FALSE);
}

void SelectAll(HWND list)
{
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
}

WORD ControlKey(const NMLVKEYDOWN& key)
{
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    const bool other = ::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_MENU) < 0;
    return control && !other ? key.wVKey : 0;
}

} // namespace resultlist

#include "winui/list_rows.h"

#include <commctrl.h>

#include <algorithm>

namespace listrows {

void AddColumn(HWND list, int index, const wchar_t* caption, int width)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(caption);
    ::SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

int Append(HWND list, const void* object)
{
    LVITEMW row = {};
    row.mask = LVIF_TEXT | LVIF_PARAM;
    row.iItem = 0xFFFFFF; // beyond any row: appended
    row.pszText = const_cast<wchar_t*>(L"");
    row.lParam = reinterpret_cast<LPARAM>(object);
    return static_cast<int>(
        ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
}

void* Object(HWND list, int index)
{
    if (index < 0) return nullptr;
    LVITEMW row = {};
    row.mask = LVIF_PARAM;
    row.iItem = index;
    if (!::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&row))) return nullptr;
    return reinterpret_cast<void*>(row.lParam);
}

int Selected(HWND list, int after)
{
    return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, after, LVNI_SELECTED));
}

int RowOf(HWND list, const void* object)
{
    int selected = Selected(list);
    if (selected >= 0 && Object(list, selected) == object) return selected;
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(object);
    return static_cast<int>(
        ::SendMessageW(list, LVM_FINDITEMW, -1, reinterpret_cast<LPARAM>(&find)));
}

void SetCell(HWND list, int row, int column, const std::wstring& text)
{
    LVITEMW cell = {};
    cell.iSubItem = column;
    cell.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
}

void Select(HWND list, int index)
{
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
}

void DeselectAll(HWND list)
{
    LVITEMW state = {};
    state.mask = LVIF_STATE;
    state.stateMask = LVIS_SELECTED;
    state.state = 0;
    int row = -1;
    while ((row = Selected(list, row)) != -1) {
        state.iItem = row;
        ::SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state));
    }
}

int AppendSelected(HWND list, const void* object)
{
    DeselectAll(list);
    int row = Append(list, object);
    Select(list, row);
    return row;
}

bool RemoveAndSelectNext(HWND list, int row)
{
    if (row < 0) return false;
    ::SendMessageW(list, LVM_DELETEITEM, row, 0);
    int count = Count(list);
    if (count == 0) return false;
    DeselectAll(list);
    Select(list, std::min(row, count - 1));
    return true;
}

int Count(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

} // namespace listrows

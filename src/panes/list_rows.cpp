#include "panes/list_rows.h"

#include <commctrl.h>

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

int Selected(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
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

int Count(HWND list)
{
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

} // namespace listrows

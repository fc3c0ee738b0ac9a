// The lists of the job windows' results (the link check's, the icon fetch's): a virtual report
// list whose cells the window's results give, columns sharing the list's width, rows selected
// several at once, and the keys a person expects there (Ctrl+C copies the selected rows as
// text, Ctrl+A selects every row).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace resultlist {

// Sets the list's looks and adds the columns.
void Setup(HWND list, const wchar_t* const names[], int count);
// Shares the list's width among the columns (`shares` in percent).
void ShareWidth(HWND list, const int shares[], int count);
// Gives each column the width its header and texts need (the first rows' texts, UTF-8, from
// `text(row, column)`) when the list's width allows; otherwise the narrow columns keep theirs
// and the wide ones share the rest. The last column takes what is left over.
void FitColumns(HWND list, int count, std::size_t rows,
                const std::function<std::string(std::size_t, int)>& text);
// Shows the sort arrow on `column` (none when negative).
void MarkSort(HWND list, int count, int column, bool descending);
// Answers LVN_GETDISPINFOW with a UTF-8 text.
void GiveCell(NMLVDISPINFOW& info, const std::string& text);

// The selected rows, top to bottom.
std::vector<std::size_t> SelectedRows(HWND list);
// The row Enter acts on: the focused row when it is selected, else the first selected; -1.
int CurrentRow(HWND list);
// Selects exactly `rows` and makes `focus` (kept in sight) the current row; no row is current
// when `focus` is out of range.
void SelectRows(HWND list, const std::vector<std::size_t>& rows, std::size_t focus);
void SelectAll(HWND list);

// The key of an LVN_KEYDOWN with Ctrl held and no other modifier, or 0.
WORD ControlKey(const NMLVKEYDOWN& key);

} // namespace resultlist

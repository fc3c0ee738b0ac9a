// List view rows that stand for model objects: each row's item parameter is the object it shows.
#pragma once

#include <windows.h>

#include <string>

namespace listrows {

// Adds a report column at the end.
void AddColumn(HWND list, int index, const wchar_t* caption, int width);

// Appends a row with empty text and `object` as its parameter (inserted beyond any row); returns
// its index.
int Append(HWND list, const void* object);

// The parameter of row `index`, or null when the row does not exist.
void* Object(HWND list, int index);

// The first selected row after row `after` (from the top when -1), or -1.
int Selected(HWND list, int after = -1);

// The row that shows `object`: the selected row when it does, else the first row that does;
// -1 when none does.
int RowOf(HWND list, const void* object);

void SetCell(HWND list, int row, int column, const std::wstring& text);

// Selects and focuses row `index`; the list reports the change (LVN_ITEMCHANGED) as a click
// would.
void Select(HWND list, int index);

// Clears the selected state of every selected row.
void DeselectAll(HWND list);

// Appends a row for a newly added object and makes it the only selected row, so that it becomes
// current as a clicked row does; returns its index.
int AppendSelected(HWND list, const void* object);

// Deletes row `row` (none when negative) and selects the row now at its place, or the last;
// false when no row was selected.
bool RemoveAndSelectNext(HWND list, int row);

int Count(HWND list);

} // namespace listrows

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

// The first selected row, or -1.
int Selected(HWND list);

// The row that shows `object`: the selected row when it does, else the first row that does;
// -1 when none does.
int RowOf(HWND list, const void* object);

void SetCell(HWND list, int row, int column, const std::wstring& text);

// Selects and focuses row `index`; the list reports the change (LVN_ITEMCHANGED) as a click
// would.
void Select(HWND list, int index);

int Count(HWND list);

} // namespace listrows

// What the lists of the link check's and the icon fetch's results share: sorting rows by a
// column's text, and the selected rows as text for the clipboard.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// For sorting: letters of either case together.
inline std::string FoldedForSort(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Sorts the rows by the key of each (taken before any row moves); ties keep page order (a row's
// `place`), whichever way the column goes.
template <class Row, class KeyOf>
void SortRowsByKey(std::vector<Row>& rows, bool descending, KeyOf keyOf)
{
    using Key = decltype(keyOf(std::size_t()));
    std::vector<std::pair<Key, Row>> keyed;
    keyed.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        keyed.emplace_back(keyOf(i), rows[i]);
    std::sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
        if (a.first != b.first) return descending ? b.first < a.first : a.first < b.first;
        return a.second.place < b.second.place;
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
}

// Rows as text, one line each with its cells between tabs, as spreadsheets and mail take them;
// a tab or line break inside a cell becomes a space. `text(row, column)` gives a cell, UTF-8.
template <class CellText>
std::string RowsAsText(const std::vector<std::size_t>& rows, int columns, CellText text)
{
    std::string all;
    for (std::size_t row : rows) {
        for (int column = 0; column < columns; ++column) {
            if (column > 0) all += '\t';
            for (char c : text(row, column))
                all += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
        }
        all += "\r\n";
    }
    return all;
}

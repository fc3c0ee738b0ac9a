// The links a finished icon fetch gave no icon, as the fetch's window lists them: one row per
// link whose node is still in the project, in page order or sorted by any column, with why it
// got none.
#pragma once

#include "edit/site.h"
#include "network/icon_fetch_job.h"

#include <cstddef>
#include <string>
#include <vector>

class CProject;

enum class IconColumn : int
{
    Why, // in a few words ("Not an image")
    Caption,
    Url,
    Where,   // "column / group"
    Details, // what the fetch found out, with the icon's address where one was tried
};
constexpr int kIconColumnCount = 5;

class CIconFetchResults
{
public:
    static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

    // The plan and outcomes of a finished fetch; not owned, they must outlive this object.
    CIconFetchResults(const IconFetchPlan& plan, const std::vector<IconFetchOutcome>& outcomes);

    // Takes the project as it is now: links whose node is gone drop out, and come back when an
    // undo brings the node back. The rows keep their sort.
    void Refresh(const CProject& project);
    // Sorts by a column, ascending; the column it is sorted by already is reversed.
    void SortBy(IconColumn column);
    // Until the first SortBy the rows are in page order, sorted by no column.
    bool InPageOrder() const { return pageOrder; }
    IconColumn SortColumn() const { return sortColumn; }
    bool Descending() const { return descending; }

    std::size_t Count() const { return rows.size(); }
    // The entry of the plan (IconFetchPlan::places) a row shows.
    std::size_t EntryAt(std::size_t row) const { return rows[row].place; }
    // The row that shows an entry, or kNoRow.
    std::size_t RowOf(std::size_t entry) const;
    // A cell's text, UTF-8.
    std::string Text(std::size_t row, IconColumn column) const;
    // Rows as text for the clipboard: a line each, cells between tabs.
    std::string RowsText(const std::vector<std::size_t>& rowList) const;
    // Whether an entry's node is still in the project, as of the last Refresh.
    bool Live(std::size_t entry) const { return entry < live.size() && live[entry]; }
    // An entry's main link, for showing it. Only for an entry whose node is still there.
    CSite SiteOf(std::size_t entry) const;

private:
    struct Row
    {
        std::size_t place; // the entry, named so for the shared sort
    };
    void Sort();

    const IconFetchPlan* plan;                     // not owned
    const std::vector<IconFetchOutcome>* outcomes; // not owned, by page
    std::vector<Row> rows;
    std::vector<bool> live; // by entry, as of the last Refresh
    IconColumn sortColumn = IconColumn::Why;
    bool descending = false;
    bool pageOrder = true;
};

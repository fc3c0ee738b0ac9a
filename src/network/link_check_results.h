// The results of a finished link check as the window lists them: one row per place whose node is
// still in the project, sorted with the problems first or by any column, each place's texts, the
// summary of the rows as they stand, which places a "Replace moved links" changed, and deleting
// the links of chosen places.
#pragma once

#include "edit/site.h"
#include "network/link_places.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

class CProject;
class CProjectChanges;

enum class LinkColumn : int
{
    Result,
    Caption,
    Url,
    Where,         // "column / group"
    FinalOrReason, // the final address of redirects, else why the check failed
};
constexpr int kLinkColumnCount = 5;

class CLinkCheckResults
{
public:
    static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

    // The plan and outcomes of a finished check; not owned, they must outlive this object.
    CLinkCheckResults(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes);

    // Takes the project as it is now: places whose node is gone drop out (and come back when
    // an undo brings the node back), a replaced address still in place shows as replaced. The
    // rows keep their sort.
    void Refresh(const CProject& project);
    // Sorts by a column, ascending; the column it is sorted by already is reversed. The Result
    // column sorts the problems first, then redirected, OK and not checked places.
    void SortBy(LinkColumn column);
    LinkColumn SortColumn() const { return sortColumn; }
    bool Descending() const { return descending; }

    std::size_t Count() const { return rows.size(); }
    std::size_t PlaceAt(std::size_t row) const { return rows[row].place; }
    // The row that shows a place, or kNoRow.
    std::size_t RowOf(std::size_t place) const;
    // A cell's text, UTF-8.
    std::string Text(std::size_t row, LinkColumn column) const;
    // Rows as text for the clipboard: a line each, cells between tabs.
    std::string RowsText(const std::vector<std::size_t>& rowList) const;
    // The summary line of the rows as they stand: deleted places are not counted, replaced
    // ones are counted as "Replaced".
    std::string Summary() const;
    // True when there are rows and every address that was asked failed to resolve or connect:
    // the computer rather than the links seems to be at fault. `addresses` is how many were
    // asked.
    bool SeemsOffline(std::size_t& addresses) const;

    // What "Replace moved links" would change in the project now (and with `https` the http
    // addresses whose https twin answered OK).
    std::vector<LinkFix> Fixes(const CProject& project, bool https) const;
    // Whether there is any such fix, as the project was at the last Refresh.
    bool CanFix(bool https) const;
    // Notes the fixes as made; the next Refresh shows them.
    void NoteReplaced(const std::vector<LinkFix>& fixes);
    // Where a place's address is, for the change path and for showing it. Only for a place
    // whose node is still in the project.
    CSite SiteOf(std::size_t place) const;
    // Deletes the links of the places, as one step ("delete links"): a main link or a form's
    // address takes its item with it, a further link goes alone. Places whose node is gone are
    // left out. Returns how many places' links went.
    std::size_t DeleteLinks(CProjectChanges& changes, const std::vector<std::size_t>& places) const;

private:
    struct Row
    {
        std::size_t place;
        bool replaced; // holds the address a replace gave it
    };
    // The order of a row's result in the Result column.
    int Rank(const Row& row) const;
    void Sort();

    const LinkCheckPlan* plan;                // not owned
    const std::vector<LinkOutcome>* outcomes; // not owned
    std::vector<Row> rows;
    std::vector<bool> live; // by place, as of the last Refresh
    // The address each replaced place was given, by place.
    std::unordered_map<std::size_t, std::wstring> replacedTo;
    LinkColumn sortColumn = LinkColumn::Result;
    bool descending = false;
};

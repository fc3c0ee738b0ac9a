// Reading a browser's bookmark file again into a project that already has links: what the
// project has is not added twice. A bookmark whose address the project already holds (compared
// as a browser compares addresses: AddressKey) is left out; a folder whose column or group the
// project already has by caption (compared as the page shows captions: tags removed, character
// references decoded, white space collapsed, trimmed) puts its new links there instead of making
// another; the rest is added as a plain read adds it.
#pragma once

#include "edit/node_places.h"
#include "import/html_import.h"

#include <cstddef>
#include <vector>

class CProject;
class CProjectChanges;
class CStream;
class CStreamable;

struct BookmarkMergeCounts
{
    std::size_t newLinks = 0;    // link items added, in new and existing groups
    std::size_t newGroups = 0;   // groups made, in new and existing columns
    std::size_t newColumns = 0;  // columns made
    std::size_t alreadyHere = 0; // bookmarks left out because the project has their address
};

// A merge planned against a project: the nodes to insert and where. Planning changes nothing;
// Apply puts the nodes in through the change path. The plan names the project's columns and
// groups, so it is applied right after it was made, with no change in between.
class CBookmarkMerge
{
public:
    // Plans what `columns` (the columns a bookmark file was read into, out of any project, in
    // their order) bring to `project`, and takes them over. The group of a folder is looked for
    // by caption first in the column of the folder's caption, then in every column (in page
    // order; the first match wins). New groups are made at the end of their column, new columns
    // at the end of the project, new links at the end of their group, in the file's order. Two
    // folders of one caption share what the first one made. Bookmarks with the same new address
    // in one file are all added, as a plain read adds them.
    CBookmarkMerge(CProject& project, std::vector<CDetachedNode> columns);
    ~CBookmarkMerge();
    CBookmarkMerge(const CBookmarkMerge&) = delete;
    CBookmarkMerge& operator=(const CBookmarkMerge&) = delete;

    const BookmarkMergeCounts& Counts() const { return counts; }

    // Inserts the planned nodes (InsertNode: one node step each, named "add column", "add
    // group" or "add link"); called within a step (BeginStep, CStepScope) they undo as one.
    // The plan is used up.
    void Apply(CProjectChanges& changes);

private:
    struct Insertion
    {
        CDetachedNode node;
        CStreamable* parent; // not owned: the project, one of its columns or groups
    };
    std::vector<Insertion> insertions;
    BookmarkMergeCounts counts;
};

// True when the project holds a link item: a bookmark file read into it is merged.
bool HoldsLinks(const CProject& project);

// What ReadHtmlMerging did.
struct HtmlReadOutcome
{
    HtmlImportResult read; // what the file was, how far it was read, what a plain read counted
    bool merged = false;   // a bookmark file was merged (`counts` say how)
    BookmarkMergeCounts counts;
};

// Read HTML file: reads a homepage or a bookmark file into the project as one step ("read HTML
// file") through the change path, as CProjectChanges::ReadHtml does, except that a bookmark file
// read into a project that holds links is merged (CBookmarkMerge). A damaged file is read up to
// the damage, and what came before it is added or merged; a merge that changes nothing records no
// step and leaves the project unmodified.
HtmlReadOutcome ReadHtmlMerging(CProjectChanges& changes, CStream& stream);

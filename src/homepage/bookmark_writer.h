// The project as a browser bookmark file, the HTML every browser imports: a folder per column,
// in it a folder per group, in that a bookmark per link of each link item.
#pragma once

#include "model/item_link.h"

#include <string>

class CColumn;
class CGroup;
class CProject;
class CStream;

// The title goes into <TITLE> and <H1>; form items are left out; a popup becomes the <DD>
// description of its item's main link, as text with its line breaks.
void WriteBookmarks(const CProject& project, CStream& stream);

// The pieces of such a file, appended to `out`: for the file itself and for a fragment of a few
// nodes (the HTML the clipboard gets). `depth` is the indentation level.
class CBookmarkMarkup
{
public:
    explicit CBookmarkMarkup(std::string& out) : out(out) {}

    // A folder: its heading and the start of its list; CloseFolder ends the list.
    void OpenFolder(int depth, const std::wstring& name);
    void CloseFolder(int depth);
    // A list without a heading, as around a whole file's or fragment's bookmarks.
    void OpenList(int depth);
    void CloseList(int depth);
    void Column(const CColumn& column, int depth);
    void Group(const CGroup& group, int depth);
    // A bookmark for each link of a link item; a form item makes nothing.
    void Item(const CItem& item, int depth);

private:
    void Indent(int depth);
    // `icon`, the main link's, goes where browsers put it.
    void Bookmark(const CItemLink::CLink& link, int depth, const CLinkIcon* icon = nullptr);

    std::string& out; // not owned
};

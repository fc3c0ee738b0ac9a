// What the main window's status bar says after a file command, and about the homepage file.
#pragma once

#include "import/html_import.h"

#include <cstddef>
#include <string>

class CProject;

// The nodes a project holds.
struct ProjectCounts
{
    std::size_t columns = 0;
    std::size_t groups = 0;
    std::size_t links = 0; // link items
    std::size_t forms = 0; // form items
};
ProjectCounts CountNodes(const CProject& project);

// "1 column", "2 columns", "0 columns".
std::wstring CountText(std::size_t count, const wchar_t* singular, const wchar_t* plural);

std::wstring HomepageWrittenText(const std::wstring& path);
std::wstring HomepageNotWrittenText(const std::wstring& path);
std::wstring ProjectSavedText(const std::wstring& path);
std::wstring ProjectNotSavedText(const std::wstring& path);
// What Read HTML file read from the file named `fileName`: for a bookmark file what it added
// and what it skipped ("Read b.html: 3 columns, 5 groups, 17 links; 1 bookmark skipped"), for a
// homepage what the project holds after it ("Read Quillomere.html: 2 columns, 4 groups,
// 9 links, 1 form"); a read that stopped early says where.
std::wstring ReadFileText(const std::wstring& fileName, const HtmlImportResult& result,
                          const CProject& after);
// What Read HTML file did with a bookmark file merged into a project that had links: "Read
// bookmarks.html: 12 new links (3 new groups); 130 already here; 2 bookmarks skipped". The new
// groups, the links already here and the skipped bookmarks are named only when there are any;
// a read that stopped early says where, as ReadFileText does.
std::wstring MergedBookmarksText(const std::wstring& fileName, const HtmlImportResult& result,
                                 std::size_t newLinks, std::size_t newGroups,
                                 std::size_t alreadyHere);
// What became of a page the browser sent (quillomere:add): "Added <title> to <group>" with the
// title and the group's caption as the tree shows them; "Not added from the browser: <reason>"
// (AddRefusalReason); "Not added from the browser: at most 10 adds a minute (3 ignored)".
std::wstring AddedFromBrowserText(const std::wstring& title, const std::wstring& group);
std::wstring BrowserAddRefusedText(const std::wstring& reason);
std::wstring BrowserAddsIgnoredText(std::size_t perMinute, std::size_t ignored);
// The second part: whether the homepage file shows the last change.
std::wstring PageStateText(bool upToDate);

// The last component of a path (after the last backslash or slash).
std::wstring FileNameOf(const std::wstring& path);

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
    // Every link of the link items, main and further: the bookmarks an export writes.
    std::size_t bookmarks = 0;
};
ProjectCounts CountNodes(const CProject& project);

// "1 column", "2 columns", "0 columns".
std::wstring CountText(std::size_t count, const wchar_t* singular, const wchar_t* plural);

std::wstring HomepageWrittenText(const std::wstring& path);
std::wstring HomepageNotWrittenText(const std::wstring& path);
std::wstring ProjectSavedText(const std::wstring& path);
std::wstring ProjectNotSavedText(const std::wstring& path);
// A save that also wrote the homepage: both files, named within their folder when they share
// one, or the homepage's failure after the project's success.
std::wstring SavedWithHomepageText(const std::wstring& projectPath, const std::wstring& pagePath,
                                   bool pageWritten);
// What a write of the homepage said (`said`), after the news that a file that was no page of
// this program was first kept aside under another name, when one was: "Earlier Quillomere.html
// kept as Quillomere (earlier).html; homepage written to ...".
std::wstring WithKeptAside(const std::wstring& pagePath, const std::wstring& keptAside,
                           const std::wstring& said);
// The browser was started on the preview or the help page ("Preview opened in the browser").
std::wstring OpenedInBrowserText(bool help);
// The browser could not be started on the page at `path`, which can be opened by hand: the
// status bar's line, and the message box's text.
std::wstring BrowserNotStartedText(bool help, const std::wstring& path);
std::wstring BrowserNotStartedMessage(bool help, const std::wstring& path);
// The preview or help page could not be written to the temp folder.
std::wstring BrowserPageNotWrittenText(bool help, const std::wstring& path);
// File > Export bookmarks...: "Exported 17 bookmarks to ...".
std::wstring BookmarksExportedText(const std::wstring& path, std::size_t bookmarks);
std::wstring BookmarksNotExportedText(const std::wstring& path);
// The message box of a save that first kept aside, as `kept`, the project file another program
// had written at `path`; `saved` tells whether the save itself succeeded.
std::wstring KeptAsideMessage(const std::wstring& path, const std::wstring& kept, bool saved);
// Another program changed the project file: the project was loaded again from it, or it was
// left as it is because it has changes of its own (or the file does not load).
std::wstring ProjectReloadedText(const std::wstring& path);
std::wstring ProjectChangedElsewhereText(const std::wstring& path);
// The changes of a run that did not end normally were restored at start.
std::wstring RecoveryRestoredText();
// What Read HTML file read from the file named `fileName`: for a bookmark file what it added
// and what it skipped and why ("Read b.html: 3 columns, 5 groups, 17 links; 1 bookmark skipped
// (1 too large)"), for a
// homepage what the project holds after it ("Read Quillomere.html: 2 columns, 4 groups,
// 9 links, 1 form"); a read that stopped early says where.
std::wstring ReadFileText(const std::wstring& fileName, const HtmlImportResult& result,
                          const CProject& after);
// What Read HTML file did with a bookmark file merged into a project that had links: "Read
// bookmarks.html: 12 new links (3 new groups); 130 already here; 2 bookmarks skipped (2 script
// addresses)". The new groups, the links already here and the skipped bookmarks are named only
// when there are any; the skipped ones and a read that stopped early as ReadFileText says them.
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

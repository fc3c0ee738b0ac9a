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
// A save that first kept aside the file another program had written at `path`, as `kept`.
std::wstring ProjectSavedKeepingText(const std::wstring& path, const std::wstring& kept);
std::wstring ProjectNotSavedKeepingText(const std::wstring& path, const std::wstring& kept);
// The message box of such a save, `saved` telling whether the save itself succeeded.
std::wstring KeptAsideMessage(const std::wstring& path, const std::wstring& kept, bool saved);
// Another program changed the project file: the project was loaded again from it, or it was
// left as it is because it has changes of its own (or the file does not load).
std::wstring ProjectReloadedText(const std::wstring& path);
std::wstring ProjectChangedElsewhereText(const std::wstring& path);
// The changes of a run that did not end normally were restored at start.
std::wstring RecoveryRestoredText();
// What Read HTML file read from the file named `fileName`: for a bookmark file what it added
// and what it skipped ("Read b.html: 3 columns, 5 groups, 17 links; 1 bookmark skipped"), for a
// homepage what the project holds after it ("Read Quillomere.html: 2 columns, 4 groups,
// 9 links, 1 form"); a read that stopped early says where.
std::wstring ReadFileText(const std::wstring& fileName, const HtmlImportResult& result,
                          const CProject& after);
// The second part: whether the homepage file shows the last change.
std::wstring PageStateText(bool upToDate);

// The last component of a path (after the last backslash or slash).
std::wstring FileNameOf(const std::wstring& path);

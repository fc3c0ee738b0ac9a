// The run's project and its files: how start-up fills the project, how Save and the quit prompt
// write it back, and how the homepage is written beside it.
#pragma once

#include <string>
#include <string_view>

class CProject;

// Fills the project as start-up does: from the project file at ProjectFilePath when it loads,
// else from the homepage at HomepageFilePath when it imports to its end, else with the sample
// project; then clears the modified flag. A failed attempt leaves what it added, and the next
// step adds to it. Remembers for SaveProjectOfRun whether a project file was there that did not
// load.
void FillProjectOfRun(CProject& project);

// Saves the project to ProjectFilePath through the atomic save. When start-up found a project
// file there that did not load (a damaged file, a later version's), the first save of the run
// first renames that file to the first free name of "Quillomere (unreadable).quil",
// "Quillomere (unreadable 2).quil", ... in the same folder, so that it is never replaced unseen;
// later saves replace the new file as usual. False, with the project's modified flag as it was,
// when the old file cannot be moved aside or the project cannot be written.
bool SaveProjectOfRun(CProject& project);

// True when `head`, the first bytes of a file (at least as many as the longer start, when the
// file has them), is how a page of either style of this program starts: a Classic page, or a
// Modern one; a UTF-8 byte order mark before it is allowed.
bool IsPageOfThisProgram(std::string_view head);

struct HomepageWrite
{
    bool written = false;
    // Where an earlier file that was no page of this program went before the write; empty when
    // there was none.
    std::wstring keptAside;
};

// Writes the project's homepage to HomepageFilePath, as F5 and every save do. A file there that
// is not empty and is no page of this program (a file of that name from elsewhere) is first
// renamed to the first free name of "Quillomere (earlier).html", "Quillomere (earlier 2).html",
// ... in the same folder, so that it is never overwritten unseen; when it cannot be moved aside
// nothing is written.
HomepageWrite WriteHomepageOfRun(const CProject& project);

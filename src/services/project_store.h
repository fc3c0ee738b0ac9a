// The run's project and its files: how start-up fills the project, how Save and the quit prompt
// write it back, how the homepage is written beside it, how the run notices that another program
// changed the project file, and the recovery file that keeps unsaved changes in case the program
// does not end normally.
#pragma once

#include <string>
#include <string_view>

class CProject;

// Fills the project as start-up does: from the project file at ProjectFilePath when it loads,
// else from the homepage at HomepageFilePath when it imports to its end, else with the sample
// project; then clears the modified flag. A failed attempt leaves what it added, and the next
// step adds to it. Remembers for SaveProjectOfRun whether a project file was there that did not
// load, and remembers the project file as it found it (see ProjectFileStateOfRun).
void FillProjectOfRun(CProject& project);

// Saves the project to ProjectFilePath through the atomic save. Nothing another program wrote is
// replaced unseen:
// - When start-up found a project file there that did not load (a damaged file, a later
//   version's), the first save of the run first renames that file to the first free name of
//   "Quillomere (unreadable).quil", "Quillomere (unreadable 2).quil", ... in the same folder.
// - Otherwise, when the file there is not the one this run last loaded or saved (another program
//   wrote it), it is first renamed to the first free name of "Quillomere (changed
//   elsewhere).quil", "Quillomere (changed elsewhere 2).quil", ...; `keptAside`, when given,
//   gets that file's path (it is emptied otherwise).
// Remembers the file written, and removes the recovery file. False, with the project's modified
// flag as it was, when the old file cannot be moved aside or the project cannot be written.
bool SaveProjectOfRun(CProject& project, std::wstring* keptAside = nullptr);

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

// The name "Quillomere (LABEL).quil" (number 1) or "Quillomere (LABEL N).quil" in `folder`,
// which ends with a path separator or is empty.
std::wstring KeptAsideName(const std::wstring& folder, const std::wstring& label, int number);
// Renames the file at `path` to the first KeptAsideName in its folder that nothing has; returns
// the new path, or empty text when it could not be moved.
std::wstring KeepAside(const std::wstring& path, const std::wstring& label);

// Whether the project file is still the one this run last loaded or saved. Removed when it is
// not there any more (nothing to load, nothing a save would keep aside); NotWatched before either,
// and when ProjectFilePath names another file since.
enum class ProjectFileState
{
    Unchanged,
    Changed,
    Removed,
    NotWatched,
};
ProjectFileState ProjectFileStateOfRun();
// Loads the project file as another program left it into `into`, a project of its own, and
// remembers it as the run's file. False, with nothing remembered, when it does not load or is
// not there.
bool LoadChangedProjectFile(CProject& into);

// Recovery, at RecoveryFilePath; nothing of it while that is empty.
// What start-up finds there.
enum class RecoveryFound
{
    None,       // no file, or one with the same bytes as the project file (removed)
    Unreadable, // a file that does not load, now kept aside as "Quillomere (recovery,
                // unreadable).quil" in its folder
    Restorable, // a file that loads and differs from the project file
};
RecoveryFound FindRecoveryOfRun();
// Loads the recovery file as the project, in place of what it held, with the modified flag set;
// false, with the project as it was, when it does not load.
bool RestoreRecoveryOfRun(CProject& project);
// Waits for a write under way and removes the recovery file.
void DiscardRecoveryOfRun();
bool RecoveryOfRunEnabled();
// Takes a copy of the project in memory now and writes it to the recovery file on a thread of
// its own.
void WriteRecoveryOfRunLater(CProject& project);
// Writes the project to the recovery file and returns when it is on the disk (the session is
// ending); true when it was written.
bool WriteRecoveryOfRunNow(CProject& project);
// Returns once no recovery write is under way; false when the last one failed.
bool WaitForRecoveryOfRun();

// The run's project and its file: how start-up fills the project, and how Save and the quit
// prompt write it back.
#pragma once

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

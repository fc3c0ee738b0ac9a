// Files that this run wrote for the browser (the preview, the help page): the browser may read
// them at any time, also after the program that started it has ended, so they stay until the
// program quits and then go.
#pragma once

#include <string>
#include <vector>

// Notes a file this run wrote; noting the same path again changes nothing.
void KeepUntilQuit(const std::wstring& path);
// Removes every noted file and forgets them; called when the program quits.
void RemoveFilesOfRun();
// The files noted so far.
std::vector<std::wstring> FilesOfRun();

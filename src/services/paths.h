// The program's two file locations, fixed once at start.
#pragma once

#include <string>
#include <vector>

// The user's documents folder as the shell gives it: without a trailing backslash, unless it is
// the root of a drive ("D:\").
extern std::wstring DocumentsFolder;
// DocumentsFolder followed by "\Quillomere.quil".
extern std::wstring ProjectFilePath;
// DocumentsFolder followed by "\Quillomere.html".
extern std::wstring HomepageFilePath;
// Where the unsaved changes wait in case the program does not end normally:
// "%LOCALAPPDATA%\Quillomere\Recovery\Quillomere.quil". Empty (no recovery) until
// BuildRecoveryPath gives it a folder.
extern std::wstring RecoveryFilePath;

// True for folders where the program must not put its files on a guess: empty text and the roots
// of drives and shares.
bool IsRootFolder(const std::wstring& folder);
// The folder for the program's files. The documents folder that the shell gave is used whatever
// it is (a redirected drive root or a home share is where the user expects the files); only when
// it is empty do the fallbacks count, in order of preference (user profile, current folder,
// temp folder): the first that is not a root folder, without trailing backslashes. Empty when
// there is none.
std::wstring ChooseFolder(const std::wstring& documents,
                          const std::vector<std::wstring>& fallbacks);
// Sets the three values from the chosen folder.
void BuildFilePaths(const std::wstring& documentsFolder);
// Sets RecoveryFilePath below the user's local application data folder; empty text, or a root
// folder on a guess, leaves the program without recovery.
void BuildRecoveryPath(const std::wstring& localAppDataFolder);

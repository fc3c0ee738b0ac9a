// The program's two file locations, fixed once at start.
#pragma once

#include <string>
#include <vector>

// The user's documents folder, without a trailing backslash.
extern std::wstring DocumentsFolder;
// DocumentsFolder followed by "\Quillomere.quil".
extern std::wstring ProjectFilePath;
// DocumentsFolder followed by "\Quillomere.html".
extern std::wstring HomepageFilePath;

// True for folders where the program must not put its files: empty text and the roots of
// drives and shares.
bool IsRootFolder(const std::wstring& folder);
// The first candidate that is not a root folder, with trailing backslashes removed; empty when
// there is none. The candidates come in order of preference: documents folder, user profile,
// current folder.
std::wstring ChooseFolder(const std::vector<std::wstring>& candidates);
// Sets the three values from the chosen folder.
void BuildFilePaths(const std::wstring& documentsFolder);

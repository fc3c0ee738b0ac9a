// "Preview homepage in a browser": the page goes to a file in the temp folder and the browser is
// started on it. The file stays until the program quits (a later preview overwrites it): the
// browser may read it whenever it likes.
#pragma once

#include "services/browser_launch.h"

#include <string>

class CProject;

// The preview file's name in the temp folder.
constexpr wchar_t kPreviewFileName[] = L"QuillomerePreview.html";
// Its path.
std::wstring PreviewFilePath();

// Writes the page on the calling thread, notes the file for removal at quit, then starts the
// browser off this thread and returns at once; the launch's outcome comes as `notice` says.
// False, with no browser started, when the page could not be written.
bool Preview(CProject& project, const LaunchNotice& notice = LaunchNotice());

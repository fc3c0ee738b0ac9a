// "Preview homepage in a browser": the page goes to a file in the temp folder and the system's
// browser is started on it. The file stays until the program quits (a later preview overwrites
// it): the browser may read it whenever it likes.
#pragma once

class CProject;

// The preview file's name in the temp folder.
constexpr wchar_t kPreviewFileName[] = L"QuillomerePreview.html";

// Writes the page on the calling thread, notes the file for removal at quit, then starts the
// browser off this thread and returns at once. Reports nothing.
void Preview(CProject& project);

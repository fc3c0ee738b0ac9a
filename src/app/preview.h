// "Preview homepage in a browser": the page goes to a file in the temp folder, the system's
// browser is started on it, and a thread of the preview's own deletes the file once the browser
// has ended.
#pragma once

#include <cstdint>

class CProject;

// The preview file's name in the temp folder.
constexpr wchar_t kPreviewFileName[] = L"QuillomerePreview.html";
// How long the file is kept when there is no browser process to wait for.
constexpr std::uint32_t kPreviewWaitMs = 15000;

// Writes the page on the calling thread, then returns at once; the browser is started and waited
// for by the preview's own thread. Reports nothing.
void Preview(CProject& project);

// Previews whose thread has not finished yet.
std::int32_t PreviewsRunning();

// Test seam: the wait without a browser process (kPreviewWaitMs unless a test changes it).
void SetPreviewWaitForTesting(std::uint32_t milliseconds);

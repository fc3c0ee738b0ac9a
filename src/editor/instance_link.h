// How a second start of the program finds the window that already edits its project file, and
// what it hands over: its command line, by WM_COPYDATA.
#pragma once

#include <windows.h>

#include <string>

// The name of the mutex that the run editing `projectPath` holds while it lives: the same path
// (in any case) gives the same name, in the session's own namespace, so that other users'
// sessions have theirs.
std::wstring ProjectMutexName(const std::wstring& projectPath);

// Marks `window` as the main window of the run that edits `projectPath`.
void MarkProjectWindow(HWND window, const std::wstring& projectPath);
// The main window marked for `projectPath`, or null.
HWND FindProjectWindow(const std::wstring& projectPath);

// Hands `arguments` (the command line after the program's name) to the window; true when it
// took them. Waits at most `timeoutMs` for a window that does not answer.
bool HandOverCommandLine(HWND window, const std::wstring& arguments, UINT timeoutMs = 10000);
// Reads what HandOverCommandLine sent; false for anything else, which the receiver ignores.
bool ReadHandedOverCommandLine(const COPYDATASTRUCT& data, std::wstring& arguments);

// The most characters a handed-over command line may have (Windows allows 32,767).
constexpr std::size_t kMostHandedOverChars = 32768;

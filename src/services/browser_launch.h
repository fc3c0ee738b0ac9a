// Starting the system's web browser on a file: the program named by the browser command for
// web addresses (the default value of HKEY_CLASSES_ROOT\HTTP\shell\open\command; its options
// are dropped) gets the file's quoted path as its one argument. The launch runs on a thread of
// its own, so that a slow shell never stops the window; nothing waits for the browser.
#pragma once

#include <cstdint>
#include <string>

// The browser command as stored (not expanded); empty when it is missing or not text.
std::wstring BrowserCommand();

// Starts the launch and returns at once. Reports nothing: a browser that is missing simply
// shows nothing.
void OpenInBrowser(const std::wstring& path);

// Launches whose thread has not finished yet.
std::int32_t BrowserLaunchesRunning();

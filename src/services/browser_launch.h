// Starting a web browser on a file: the program chosen in the Options dialog, or else the program
// named by the system's browser command for web addresses (the default value of
// HKEY_CLASSES_ROOT\HTTP\shell\open\command; its options are dropped), gets the file's quoted path
// as its one argument. The launch runs on a thread of its own, so that a slow shell never stops
// the window; nothing waits for the browser.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The browser command as stored (not expanded); empty when it is missing or not text.
std::wstring BrowserCommand();

// Where a launch reports its outcome: `message` is posted to `window` with `tag` as wParam and
// lParam 1 when the browser was started, 0 when it could not be (no program, or the shell
// refused it). No window: the outcome goes nowhere.
struct LaunchNotice
{
    HWND window = nullptr;
    UINT message = 0;
    WPARAM tag = 0;
};

// Starts the launch and returns at once; the outcome comes as `notice` says.
void OpenInBrowser(const std::wstring& path, const LaunchNotice& notice = LaunchNotice());

// Launches whose thread has not finished yet.
std::int32_t BrowserLaunchesRunning();

// The GUI tests run on a desktop of their own: under Wine a virtual desktop window, where
// top-level windows close at once (on a bare X display without a window manager, Wine waits two
// seconds for each one to be withdrawn) and where the programs the tests start show up too.
#pragma once

#include <windows.h>

#include <vector>

// The desktop's name, for STARTUPINFO::lpDesktop of the programs the tests start.
extern const wchar_t kTestDesktop[];

// Creates the desktop (1280x1024 under Wine) and makes it the calling thread's. The handle, to be
// closed by the caller, or null when the desktop could not be made the thread's.
HDESK EnterTestDesktop();

// The keyboard input of one key press, with the modifiers held around it, for SendInput.
std::vector<INPUT> KeyPressInputs(WORD key, bool shift = false, bool control = false,
                                  bool alt = false);

// The main window's place between runs: its normal position and size, whether it was maximised
// and the tree's width (in pixels, and as its share of the window's width), kept under
// HKEY_CURRENT_USER\Software\Quillomere.
#pragma once

#include <windows.h>

struct SavedPlacement
{
    RECT normal = {}; // screen coordinates of the restored (not maximised) window
    bool maximized = false;
    int treeWidth = 0;
    int treeShare = 0; // ten-thousandths of the client width; 0 when an older run kept none
};

// The key under HKEY_CURRENT_USER.
const wchar_t* PlacementKey();
// Test seam: another key under HKEY_CURRENT_USER (null puts the program's own back).
void SetPlacementKeyForTesting(const wchar_t* key);

// False when nothing usable was saved.
bool LoadPlacement(SavedPlacement& placement);
// False when the key could not be written.
bool SavePlacement(const SavedPlacement& placement);

// What the window shows now.
SavedPlacement PlacementOf(HWND window, int treeWidth, int treeShare);
// True when a window at `normal` has its caption on a monitor that is there now, so that a
// person can reach it.
bool IsOnAMonitor(const RECT& normal);
// Puts the window at the saved normal position without showing it.
void ApplyPlacement(HWND window, const SavedPlacement& placement);

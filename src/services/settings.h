// The program's settings, kept under HKEY_CURRENT_USER\Software\Quillomere beside the window's
// placement. They are read where they are used, so that what the Options dialog stores acts at
// once.
#pragma once

#include <string>

struct ProgramSettings
{
    // Every save also writes the homepage (the DWORD WriteHomepageOnSave; absent means on).
    bool writeHomepageOnSave = true;
    // The program the preview and the help page are opened with (the text PreviewBrowser); empty
    // for the system's browser.
    std::wstring previewBrowser;
};

// The key under HKEY_CURRENT_USER.
const wchar_t* SettingsKey();
// Test seam: another key under HKEY_CURRENT_USER (null puts the program's own back).
void SetSettingsKeyForTesting(const wchar_t* key);

// What is stored; the default of each value that is missing or not of its type.
ProgramSettings LoadSettings();
// False when the key could not be written.
bool SaveSettings(const ProgramSettings& settings);

// File > Options...: the program's settings, shown as stored and stored again by OK. Each concern
// has a group box of its own; another concern adds its controls, and its part of ProgramSettings,
// to Show, Shown and the command handling.
#pragma once

#include "services/settings.h"
#include "winui/dialog_base.h"

class CdlgOptions : public CDialogBase
{
public:
    CdlgOptions();

    // Shows the dialog with the stored settings until OK or Cancel; OK stores what it shows.
    // True when the settings were stored.
    bool Run(HWND owner);

    int OnInitDialog() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;

    // What the controls show now.
    ProgramSettings Shown() const;

private:
    void Show(const ProgramSettings& settings);
    // The program's path and Browse... take input while "This program" is chosen.
    void EnableProgramPath();
    void ChooseProgram();
    // Checks what is shown and stores it; false keeps the dialog open.
    bool Store();

    bool stored = false;
};

// A program's path as typed: without blanks around it or one pair of double quotes.
std::wstring ProgramPathOf(const std::wstring& typed);

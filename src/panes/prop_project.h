// The project pane: the project's title, edited as the column and group panes edit their
// captions, and under it the page style the homepage is written in.
#pragma once

#include "panes/prop_simple.h"

class CdlgPropProject : public CdlgPropOneText<CProject>
{
public:
    explicit CdlgPropProject(CProjectChanges& changes);

    int OnInitDialog() override;
    // Stretches the title edit and the style list alike.
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Shows the title and selects the project's style; a style this version does not know
    // selects no entry.
    void SetNode(CStreamable* node) override;

    // The smallest client area, in pixels, that shows every control whole.
    int MinimumWidth() const;
    int MinimumHeight() const;

    HWND styleCombo = nullptr; // "Classic" or "Modern"
};

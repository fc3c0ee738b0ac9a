// The main window's status bar: the outcome of the last file command on the left, and whether
// the homepage file shows the last change on the right.
#pragma once

#include <windows.h>

#include <string>

class CStatusBar
{
public:
    enum Part
    {
        kOutcome = 0,
        kPageState = 1,
    };

    // Creates the bar at the bottom of `parent`; false when it cannot be created.
    bool Create(HWND parent, int id);
    // Draws the texts in `font` (the caller keeps it) and measures the parts again for `dpi`.
    void SetFont(HFONT font, int dpi);
    HWND Window() const { return window; }
    // The bar's height at its font.
    int Height() const;
    // Places the bar at the bottom of the parent's client area, `clientWidth` wide.
    void Resize(int clientWidth);

    void SetOutcome(const std::wstring& text);
    void SetPageState(bool upToDate);
    std::wstring PartText(Part part) const;

private:
    void SetPart(Part part, const std::wstring& text);
    // The right part's width for its longer text in the bar's font, at `dpi`.
    void Measure(int dpi);

    HWND window = nullptr; // destroyed with its parent
    int pageStateWidth = 0;
};

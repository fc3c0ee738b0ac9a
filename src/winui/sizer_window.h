// The grid's window items: a control moved as it is, and a drop-down combo box, whose window
// height is the height of its opened list.
#pragma once

#include "layout/sizer_item.h"

#include <windows.h>

class CSizerWindow : public ISizerItem
{
public:
    explicit CSizerWindow(HWND window) : window(window) {}
    // Moves without repainting; Repaint follows once everything is placed.
    void SetBounds(int top, int left, int bottom, int right) override;
    void Repaint() override;

protected:
    HWND window; // not owned: destroying the item leaves the window alone
};

class CSizerCombo : public CSizerWindow
{
public:
    explicit CSizerCombo(HWND window) : CSizerWindow(window) {}
    // Takes the height of the whole parent window, so that the list may open as tall as that;
    // `bottom` is not used.
    void SetBounds(int top, int left, int bottom, int right) override;
};

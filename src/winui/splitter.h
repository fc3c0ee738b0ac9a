// The bar between the tree and the pane, dragged with the mouse to change the tree's width.
#pragma once

#include "layout/main_layout.h"

#include <windows.h>

class CSplitter
{
public:
    // Shows the resize cursor when `client` lies on the bar; true when it does.
    static bool SetCursorOver(const LayoutBox& bar, POINT client);
    // Fills the bar's part of the window's update area.
    static void Paint(HWND window, const LayoutBox& bar);

    // Starts a drag of the bar, grabbed at `x`, while the tree is `treeWidth` wide: the window
    // takes the mouse until the drag ends.
    void Begin(HWND window, int x, int treeWidth);
    bool Dragging() const { return window != nullptr; }
    // The tree width the mouse at `x` asks for: the bar stays under the point where it was
    // grabbed.
    int WantedTreeWidth(int x) const { return x - grabOffset; }
    // Ends the drag and gives the mouse back.
    void End();

private:
    HWND window = nullptr; // the window that holds the mouse while dragging; not owned
    int grabOffset = 0;
};

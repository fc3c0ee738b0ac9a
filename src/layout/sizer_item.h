// Anything the grid can place: a window, a combo box or another grid.
#pragma once

class ISizerItem
{
public:
    virtual ~ISizerItem() = default;
    // Places the item in this rectangle (pixels, in the parent's client coordinates).
    virtual void SetBounds(int top, int left, int bottom, int right) = 0;
    // Makes the item repaint after it was placed.
    virtual void Repaint() = 0;
};

// A node dragged with the mouse inside the tree: an image of its label follows the mouse, the
// window holds the mouse capture, an insertion mark shows where the node goes before or after a
// node of its own kind, or the container it goes into is highlighted as the drop target; the
// tree scrolls while the mouse is within one item height of its top or bottom edge and opens a
// closed container the mouse rests on. Escape, a lost capture or a release outside the tree
// cancels. The host says where a drop may go and makes it.
#pragma once

#include <windows.h>

#include <commctrl.h>

class ITreeDragHost
{
public:
    virtual ~ITreeDragHost() = default;
    // Whether the dragged item may be dropped onto `target`, in its upper or lower half, as a
    // copy (Ctrl held) or a move.
    virtual bool CanDrop(HTREEITEM dragged, HTREEITEM target, bool upperHalf, bool copy) = 0;
    // True when a drop onto `target` puts the node before or after it (a node of its own kind)
    // rather than into it.
    virtual bool DropsBeside(HTREEITEM dragged, HTREEITEM target) = 0;
    virtual void Drop(HTREEITEM dragged, HTREEITEM target, bool upperHalf, bool copy) = 0;
};

class CTreeDrag
{
public:
    // The timer the owner passes on while a drag runs.
    static constexpr UINT_PTR kTimer = 0x5144;

    explicit CTreeDrag(ITreeDragHost& host) : host(&host) {}
    ~CTreeDrag();
    CTreeDrag(const CTreeDrag&) = delete;
    CTreeDrag& operator=(const CTreeDrag&) = delete;

    // Starts dragging `item` of `tree`; `owner` captures the mouse and passes its mouse moves,
    // button release, timer and capture loss on.
    void Begin(HWND tree, HWND owner, HTREEITEM item);
    bool Active() const { return dragged != nullptr; }

    // `keys` are the mouse message's key flags: MK_CONTROL makes the drop a copy; `point` its
    // position.
    void MouseMoved(WPARAM keys, LPARAM point);
    // Drops where the mouse is, or cancels outside the tree or where no drop may go.
    void ButtonReleased(WPARAM keys, LPARAM point);
    void Cancel();
    void TimerTicked();

    // The item at a screen point of the tree, and whether the point is in its upper half; null
    // where there is none.
    static HTREEITEM ItemAt(HWND tree, POINT screen, bool* upperHalf);
    // Highlights `item` as the drop target (null: none), with the image hidden meanwhile.
    static void Highlight(HWND tree, HTREEITEM item);

    // Where the insertion mark is: the item and whether after it; null for none.
    HTREEITEM InsertMark() const { return markItem; }
    bool InsertMarkAfter() const { return markAfter; }
    // True when a point of the screen makes the tree scroll: up (-1), down (1) or not (0). The
    // zone is one item height on either side of the tree's top and bottom edge.
    static int ScrollZone(HWND tree, POINT screen);

private:
    // Where the mouse is now: the target, its half, the mark or highlight, the cursor and the
    // image.
    void Follow(POINT screen);
    // Shows the insertion mark before or after `item` (null: none), the image hidden meanwhile.
    void Mark(HTREEITEM item, bool after);
    // A mouse message's point (the owner's client coordinates) on the screen.
    POINT OnScreen(LPARAM point) const;
    void MakeImage();
    // Ends the drag: the image, the capture, the timer and the highlight go.
    void Finish();

    ITreeDragHost* host; // not owned
    HWND tree = nullptr;
    HWND owner = nullptr;
    HTREEITEM dragged = nullptr;
    HTREEITEM target = nullptr;
    bool upperHalf = false;
    bool possible = false;
    bool copy = false; // Ctrl was held at the last mouse message
    HIMAGELIST image = nullptr;
    POINT hotSpot = {};
    HTREEITEM markItem = nullptr; // the insertion mark's item, null without one
    bool markAfter = false;
    POINT last = {};             // where the mouse was at its last message
    HTREEITEM resting = nullptr; // the container the mouse rests on, since `restStart`
    DWORD restStart = 0;
    bool finishing = false;
};

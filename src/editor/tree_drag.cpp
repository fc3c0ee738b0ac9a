#include "editor/tree_drag.h"

#include "editor/tree_labels.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// How often the drag looks at the edges, and how long the mouse rests before a container opens.
constexpr UINT kTickMs = 60;
constexpr DWORD kExpandAfterMs = 700;

POINT CursorPosition()
{
    POINT at = {};
    ::GetCursorPos(&at);
    return at;
}

// The point relative to the window's upper left corner, as the image functions take it.
POINT InWindow(HWND window, POINT screen)
{
    RECT frame = {};
    ::GetWindowRect(window, &frame);
    return POINT{screen.x - frame.left, screen.y - frame.top};
}

} // namespace

CTreeDrag::~CTreeDrag()
{
    if (Active()) Finish();
}

HTREEITEM CTreeDrag::ItemAt(HWND tree, POINT screen, bool* upper)
{
    TVHITTESTINFO hit = {};
    hit.pt = screen;
    ::ScreenToClient(tree, &hit.pt);
    RECT client = {};
    ::GetClientRect(tree, &client);
    if (!::PtInRect(&client, hit.pt)) return nullptr;
    auto* item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    // Anywhere on the item's row counts, the space right of its label too.
    if (!item ||
        !(hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON | TVHT_ONITEMRIGHT)))
        return nullptr;
    if (upper) {
        RECT row = {};
        std::memcpy(&row, &item, sizeof item); // TVM_GETITEMRECT takes the item in the rectangle
        ::SendMessageW(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&row));
        *upper = hit.pt.y < (row.top + row.bottom) / 2;
    }
    return item;
}

void CTreeDrag::Highlight(HWND tree, HTREEITEM item)
{
    const auto current =
        reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0));
    if (current == item) return;
    // The image is drawn over the window: it must not be in the picture the tree repaints.
    ::ImageList_DragShowNolock(FALSE);
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(item));
    ::UpdateWindow(tree);
    ::ImageList_DragShowNolock(TRUE);
}

void CTreeDrag::Mark(HTREEITEM item, bool after)
{
    if (item == markItem && (!item || after == markAfter)) return;
    markItem = item;
    markAfter = after;
    ::ImageList_DragShowNolock(FALSE);
    ::SendMessageW(tree, TVM_SETINSERTMARK, after, reinterpret_cast<LPARAM>(item));
    ::UpdateWindow(tree);
    ::ImageList_DragShowNolock(TRUE);
}

int CTreeDrag::ScrollZone(HWND tree, POINT screen)
{
    // The edges a person sees: the window's, a scroll bar and the border included.
    RECT frame = {};
    ::GetWindowRect(tree, &frame);
    const int zone = std::max(static_cast<int>(::SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0)), 8);
    if (screen.x < frame.left || screen.x >= frame.right) return 0;
    if (screen.y >= frame.top - zone && screen.y < frame.top + zone) return -1;
    if (screen.y >= frame.bottom - zone && screen.y < frame.bottom + zone) return 1;
    return 0;
}

void CTreeDrag::Begin(HWND treeView, HWND ownerWindow, HTREEITEM item)
{
    if (Active()) Cancel();
    tree = treeView;
    owner = ownerWindow;
    dragged = item;
    target = nullptr;
    resting = nullptr;
    markItem = nullptr;
    copy = ::GetKeyState(VK_CONTROL) < 0;
    MakeImage();
    ::SetCapture(owner);
    ::SetTimer(owner, kTimer, kTickMs, nullptr);
    const POINT at = CursorPosition();
    last = at;
    if (image) {
        ::ImageList_BeginDrag(image, 0, hotSpot.x, hotSpot.y);
        const POINT there = InWindow(owner, at);
        ::ImageList_DragEnter(owner, there.x, there.y);
    }
    Follow(at);
}

void CTreeDrag::MakeImage()
{
    // The tree has no image list, so TVM_CREATEDRAGIMAGE gives nothing: the image is the label
    // as the selection shows it.
    const std::wstring text = TreeItemText(tree, dragged, 260);
    HDC screen = ::GetDC(tree);
    if (!screen) return;
    HDC memory = ::CreateCompatibleDC(screen);
    auto font = reinterpret_cast<HFONT>(::SendMessageW(tree, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = ::SelectObject(memory, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    ::GetTextExtentPoint32W(memory, text.c_str(), static_cast<int>(text.size()), &size);
    const int width = std::min(static_cast<int>(size.cx) + 8, 400);
    const int height = static_cast<int>(size.cy) + 4;
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
    RECT box = {0, 0, width, height};
    ::FillRect(memory, &box, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    ::SetBkMode(memory, TRANSPARENT);
    ::SetTextColor(memory, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
    RECT textBox = {4, 2, width - 4, height - 2};
    ::DrawTextW(memory, text.c_str(), static_cast<int>(text.size()), &textBox,
                DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SelectObject(memory, oldBitmap);
    ::SelectObject(memory, oldFont);
    ::DeleteDC(memory);
    ::ReleaseDC(tree, screen);
    image = ::ImageList_Create(width, height, ILC_COLOR24, 1, 0);
    if (image && ::ImageList_Add(image, bitmap, nullptr) < 0) {
        ::ImageList_Destroy(image);
        image = nullptr;
    }
    ::DeleteObject(bitmap);
    // Below and right of the mouse, as a dragged label is held.
    hotSpot = POINT{-12, -14};
}

void CTreeDrag::Follow(POINT screen)
{
    bool upper = false;
    HTREEITEM item = ItemAt(tree, screen, &upper);
    possible = item && host->CanDrop(dragged, item, upper, copy);
    target = item;
    upperHalf = upper;
    last = screen;
    if (item != resting) {
        resting = item;
        restStart = ::GetTickCount();
    }
    // Beside a node of its own kind the mark shows the place; into a container, the highlight.
    const bool beside = possible && host->DropsBeside(dragged, item);
    Highlight(tree, possible && !beside ? item : nullptr);
    Mark(beside ? item : nullptr, !upper);
    ::SetCursor(::LoadCursorW(nullptr, possible ? IDC_ARROW : IDC_NO));
    if (image) {
        const POINT there = InWindow(owner, screen);
        ::ImageList_DragMove(there.x, there.y);
    }
}

namespace {

// Ctrl as the mouse message gives it, or as the thread's key state has it (Wine leaves it out of
// some mouse messages).
bool ControlHeld(WPARAM keys)
{
    return (keys & MK_CONTROL) != 0 || ::GetKeyState(VK_CONTROL) < 0;
}

} // namespace

// Where the message says the mouse was, rather than where the cursor is when it is read: the
// two can differ while the mouse moves on (and under Wine the cursor position lags behind).
POINT CTreeDrag::OnScreen(LPARAM point) const
{
    POINT at = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    ::ClientToScreen(owner, &at);
    return at;
}

void CTreeDrag::MouseMoved(WPARAM keys, LPARAM point)
{
    if (!Active()) return;
    copy = ControlHeld(keys);
    Follow(OnScreen(point));
}

void CTreeDrag::ButtonReleased(WPARAM keys, LPARAM point)
{
    if (!Active()) return;
    copy = ControlHeld(keys);
    Follow(OnScreen(point));
    const HTREEITEM source = dragged, onto = target;
    const bool drop = possible, upper = upperHalf, asCopy = copy;
    Finish();
    if (drop && onto) host->Drop(source, onto, upper, asCopy);
}

void CTreeDrag::Cancel()
{
    if (Active()) Finish();
}

void CTreeDrag::TimerTicked()
{
    if (!Active()) return;
    // Where the last mouse message put the mouse: the cursor position lags behind under Wine.
    const POINT at = last;
    const int zone = ScrollZone(tree, at);
    const int scroll = zone < 0 ? SB_LINEUP : zone > 0 ? SB_LINEDOWN : -1;
    // A closed container under the mouse for a while opens.
    bool expand = false;
    if (resting && ::GetTickCount() - restStart >= kExpandAfterMs) {
        const UINT state = static_cast<UINT>(::SendMessageW(
            tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(resting), TVIS_EXPANDED));
        expand = !(state & TVIS_EXPANDED) && ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                            reinterpret_cast<LPARAM>(resting)) != 0;
    }
    if (scroll < 0 && !expand) return;
    ::ImageList_DragShowNolock(FALSE);
    if (scroll >= 0) ::SendMessageW(tree, WM_VSCROLL, MAKEWPARAM(scroll, 0), 0);
    if (expand) {
        ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(resting));
        resting = nullptr;
    }
    ::UpdateWindow(tree);
    ::ImageList_DragShowNolock(TRUE);
    Follow(at);
}

void CTreeDrag::Finish()
{
    if (finishing) return;
    // Releasing the capture sends the owner WM_CAPTURECHANGED, which cancels: not twice.
    finishing = true;
    if (image) {
        ::ImageList_DragLeave(owner);
        ::ImageList_EndDrag();
        ::ImageList_Destroy(image);
        image = nullptr;
    }
    ::KillTimer(owner, kTimer);
    Highlight(tree, nullptr);
    Mark(nullptr, false);
    dragged = nullptr;
    target = nullptr;
    resting = nullptr;
    if (::GetCapture() == owner) ::ReleaseCapture();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    finishing = false;
}

#include "winui/splitter.h"

bool CSplitter::SetCursorOver(const LayoutBox& bar, POINT client)
{
    if (!bar.Contains(client.x, client.y)) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
    return true;
}

void CSplitter::Paint(HWND window, const LayoutBox& bar)
{
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    // Only the bar: the main window does not clip its children, which paint themselves.
    RECT area = {bar.left, bar.top, bar.right, bar.bottom};
    RECT dirty = {};
    if (dc && ::IntersectRect(&dirty, &area, &paint.rcPaint))
        ::FillRect(dc, &dirty, ::GetSysColorBrush(COLOR_BTNFACE));
    ::EndPaint(window, &paint);
}

void CSplitter::Begin(HWND owner, int x, int treeWidth)
{
    window = owner;
    grabOffset = x - treeWidth;
    ::SetCapture(owner);
}

void CSplitter::End()
{
    HWND owner = window;
    // Cleared first: giving the mouse back reports the capture change, which ends a drag.
    window = nullptr;
    if (owner && ::GetCapture() == owner) ::ReleaseCapture();
}

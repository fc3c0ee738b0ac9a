// A link item's site icon as the link pane shows it: the image's bytes decoded by the system's
// imaging component (WIC) into a square bitmap of the size asked for, drawn over the pane's
// background; an empty square outlines the place when there is no icon or it cannot be decoded.
#pragma once

#include <windows.h>

class CLinkIcon;

class CIconPicture
{
public:
    CIconPicture() = default;
    ~CIconPicture();
    CIconPicture(const CIconPicture&) = delete;
    CIconPicture& operator=(const CIconPicture&) = delete;

    // Decodes the icon (null: none) to `size` pixels a side over `background`; false when there
    // is no icon or the system has no decoder for it (WebP and SVG may have none), and the
    // picture is then the empty square.
    bool Load(const CLinkIcon* icon, int size, COLORREF background);
    // True while a decoded image is held.
    bool Shown() const { return bitmap != nullptr; }
    int Size() const { return size; }
    // Draws the image, or the empty square, centred in `area`.
    void Draw(HDC dc, const RECT& area) const;

private:
    void Release();

    HBITMAP bitmap = nullptr; // owned
    int size = 16;
};

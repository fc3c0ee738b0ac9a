// Labels that follow the panes' edits in a tree long enough to scroll: set, painted at once and
// drawn as a full repaint draws them, scroll bars included, the horizontal one following the
// widest label. Saves build/screenshot-tree-labels.png.
#include "editor/editor_fixture.h"

#include "e2e/program.h"
#include "model/item_link.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// What the window shows, its frame and scroll bars included, as the program drew it.
std::vector<std::uint32_t> Pixels(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC source = ::GetWindowDC(window);
    HDC memory = ::CreateCompatibleDC(source);
    HBITMAP bitmap = ::CreateCompatibleBitmap(source, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &format,
                DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window, source);
    return pixels;
}

} // namespace

class TreeLabelsTest : public EditorTest
{
protected:
    // The sample project and 60 more links: the tree needs a vertical scroll bar.
    void OpenLong()
    {
        auto* column = new CColumn(project, L"More");
        for (int g = 0; g < 6; ++g) {
            auto* group = new CGroup(*column, L"Group " + std::to_wstring(g));
            for (int i = 0; i < 10; ++i)
                new CItemLink(*group, L"Link " + std::to_wstring(i), L"https://example.com/");
        }
        Open();
        Resize(900, 400);
        ASSERT_TRUE(::GetWindowLongPtrW(tree, GWL_STYLE) & WS_VSCROLL);
        ASSERT_FALSE(::GetWindowLongPtrW(tree, GWL_STYLE) & WS_HSCROLL);
    }

    void Relabel(CItem* item, const std::wstring& caption)
    {
        static_cast<CItemLink*>(item)->mainLink.caption = caption;
        editor->NodeEdited(kNodeItem, item);
    }

    std::wstring Label(const CItem* item) { return TreeLabel(kNodeItem, item); }

    bool NothingLeftToPaint() { return !::GetUpdateRect(tree, nullptr, FALSE); }

    bool HasScrollBar(LONG_PTR bar) { return (::GetWindowLongPtrW(tree, GWL_STYLE) & bar) != 0; }

    SCROLLINFO Horizontal()
    {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        ::GetScrollInfo(tree, SB_HORZ, &info);
        return info;
    }

    // Where the item's text ends, in the tree's scrolled width.
    int TextEnd(const CItem* item)
    {
        HTREEITEM handle = ItemOf(kNodeItem, item);
        RECT rect = {};
        std::memcpy(&rect, &handle, sizeof handle);
        ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
        return rect.right + (HasScrollBar(WS_HSCROLL) ? Horizontal().nPos : 0);
    }

    // The tree as it is drawn now equals the tree drawn anew, frame and scroll bars included.
    void ExpectDrawnAsAFullRepaint(const char* when)
    {
        std::vector<std::uint32_t> now = Pixels(tree);
        ASSERT_NE(std::count(now.begin(), now.end(), now.front()), static_cast<long>(now.size()))
            << "the tree was drawn";
        ::RedrawWindow(tree, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        EXPECT_TRUE(now == Pixels(tree)) << when;
    }
};

TEST_F(TreeLabelsTest, ANarrowLabelIsPaintedAtOnceAsAFullRepaintDrawsIt)
{
    OpenLong();
    Select(kNodeItem, radio); // typing goes to the selected node
    ExpectDrawnAsAFullRepaint("at the start");
    const std::wstring captions[] = {L"Radio 1", L"R", L"Radio of the town", L"", L"Radio"};
    for (const std::wstring& caption : captions) {
        Relabel(radio, caption);
        // A link without a caption is called by its address.
        EXPECT_EQ(Label(radio), caption.empty() ? L"radio.example.com" : caption);
        EXPECT_TRUE(NothingLeftToPaint()) << "shown at once: " << caption.size();
        EXPECT_TRUE(HasScrollBar(WS_VSCROLL));
        EXPECT_FALSE(HasScrollBar(WS_HSCROLL));
        ExpectDrawnAsAFullRepaint("after a label change");
    }
    // An item that is not selected, and one inside a collapsed group.
    Relabel(paper, L"Daily paper");
    EXPECT_EQ(Label(paper), L"Daily paper");
    ExpectDrawnAsAFullRepaint("after another item's label change");
    ::SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE,
                   reinterpret_cast<LPARAM>(ItemOf(kNodeGroup, mail)));
    Pump();
    Relabel(inbox, L"Mail box");
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND,
                   reinterpret_cast<LPARAM>(ItemOf(kNodeGroup, mail)));
    Pump();
    EXPECT_EQ(Label(inbox), L"Mail box");
    ExpectDrawnAsAFullRepaint("after a collapsed item's label change");
    ExpectTreeShowsModel();
    Relabel(radio, L"Radio of the town");
    Pump(); // the system puts what was drawn on the screen when the program waits
    EXPECT_TRUE(SaveWindowScreenshot(main, WindowsPath(QUIL_SCREENSHOT_DIR) +
                                               L"\\screenshot-tree-labels.png"));
}

TEST_F(TreeLabelsTest, TheWidestLabelBringsTheHorizontalScrollBarAndTakesItAway)
{
    OpenLong();
    Select(kNodeItem, radio);
    const std::wstring wide = L"A caption far wider than the tree view shows in one line";
    Relabel(radio, wide);
    Pump();
    ASSERT_TRUE(HasScrollBar(WS_HSCROLL));
    EXPECT_TRUE(HasScrollBar(WS_VSCROLL));
    EXPECT_EQ(Horizontal().nMax + 1, TextEnd(radio) - 2);
    ExpectDrawnAsAFullRepaint("after the horizontal scroll bar came");

    // The widest label grows and shrinks: the scroll range follows it at once.
    for (const std::wstring& caption : {wide + L" and more", wide + L"!", wide}) {
        Relabel(radio, caption);
        EXPECT_TRUE(NothingLeftToPaint());
        EXPECT_EQ(Horizontal().nMax + 1, TextEnd(radio) - 2);
        ExpectDrawnAsAFullRepaint("after the widest label changed");
    }

    // Narrower labels change: the range stays.
    const int range = Horizontal().nMax;
    for (const wchar_t* caption : {L"Daily paper", L"P", L"Paper"}) {
        Relabel(paper, caption);
        EXPECT_EQ(Label(paper), caption);
        EXPECT_TRUE(NothingLeftToPaint());
        EXPECT_EQ(Horizontal().nMax, range);
        ExpectDrawnAsAFullRepaint("after a narrower label changed");
    }

    Relabel(radio, L"Radio");
    Pump();
    EXPECT_FALSE(HasScrollBar(WS_HSCROLL));
    EXPECT_TRUE(HasScrollBar(WS_VSCROLL));
    ExpectDrawnAsAFullRepaint("after the horizontal scroll bar went");
    ExpectTreeShowsModel();
}

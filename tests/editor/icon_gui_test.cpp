// Site icons in the real main window: the link pane's icon and "Clear icon", and Fetch icons
// against the tests' own server on loopback (tests/network/with_link_server.py starts it
// around this program and names it in QUIL_LINK_SERVER; without it those tests are skipped).
#include "editor/editor_fixture.h"
#include "icons/test_images.h"
#include "model/item_link.h"
#include "panes/pane_fixture.h"
#include "persist/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Real keys as the keyboard gives them, to the window with the focus.
void SendKey(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof input);
}

class IconWindowTest : public EditorWindowTest
{
protected:
    void CtrlZ()
    {
        ::SetForegroundWindow(main);
        SendKey(VK_CONTROL, false);
        SendKey('Z', false);
        SendKey('Z', true);
        SendKey(VK_CONTROL, true);
        PumpFor(200);
    }

    // A double-click on a list's row, as a person makes it.
    void DoubleClickOn(HWND list, int row)
    {
        RECT rect = {};
        rect.left = LVIR_LABEL;
        ::SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        POINT at = {rect.left + 10, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(list, &at);
        const int width = ::GetSystemMetrics(SM_CXSCREEN);
        const int height = ::GetSystemMetrics(SM_CYSCREEN);
        INPUT inputs[5] = {};
        const DWORD buttons[5] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                                  MOUSEEVENTF_LEFTUP};
        for (int i = 0; i < 5; ++i) {
            inputs[i].type = INPUT_MOUSE;
            inputs[i].mi.dx = static_cast<LONG>((at.x * 65535 + width / 2) / (width - 1));
            inputs[i].mi.dy = static_cast<LONG>((at.y * 65535 + height / 2) / (height - 1));
            inputs[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons[i];
        }
        ::SendInput(1, inputs, sizeof(INPUT));
        PumpFor(100);
        ::SendInput(4, inputs + 1, sizeof(INPUT));
        PumpFor(300);
    }

    // The mouse's left button on the middle of a control, as a person clicks it.
    void ClickOn(HWND control)
    {
        RECT rect = {};
        ::GetWindowRect(control, &rect);
        const POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        const int width = ::GetSystemMetrics(SM_CXSCREEN);
        const int height = ::GetSystemMetrics(SM_CYSCREEN);
        INPUT inputs[3] = {};
        for (INPUT& input : inputs) {
            input.type = INPUT_MOUSE;
            input.mi.dx = static_cast<LONG>((at.x * 65535 + width / 2) / (width - 1));
            input.mi.dy = static_cast<LONG>((at.y * 65535 + height / 2) / (height - 1));
            input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        }
        inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
        inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
        ::SendInput(1, inputs, sizeof(INPUT));
        PumpFor(100);
        ::SendInput(2, inputs + 1, sizeof(INPUT));
        PumpFor(200);
    }

    // The Edit menu's undo item as it shows when the menu opens.
    std::wstring UndoText()
    {
        HMENU edit = ::GetSubMenu(::GetMenu(main), 1);
        ::SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
        wchar_t text[128] = {};
        ::GetMenuStringW(edit, IDM_UNDO, text, 128, MF_BYCOMMAND);
        return text;
    }

    void SelectNode(std::int32_t kind, CStreamable* node)
    {
        const TreeItemData* record = editor->FindTreeItemData(kind, node);
        ASSERT_NE(record, nullptr);
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(record->item));
        Pump();
    }

    // The colour the icon's place shows at its middle, and on its frame's left edge.
    COLORREF IconPixel(int dx = 0)
    {
        HWND view = editor->linkPane.iconView;
        ::RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT rect = {};
        ::GetClientRect(view, &rect);
        HDC dc = ::GetDC(view);
        const COLORREF colour = ::GetPixel(dc, rect.right / 2 + dx, rect.bottom / 2);
        ::ReleaseDC(view, dc);
        return colour;
    }
    int Half() const { return editor->linkPane.icon.Size() / 2; }
};

TEST_F(IconWindowTest, ThePaneShowsTheIconAndClearIconClearsItAsOneStepThatCtrlZUndoes)
{
    project.title = L"Icons";
    auto* column = new CColumn(project, L"Web");
    auto* group = new CGroup(*column, L"Sites");
    auto* red = new CItemLink(*group, L"Red", L"https://red.example/");
    red->icon = CLinkIcon::FromBytes(MakePng(16, 0xC02020));
    auto* bare = new CItemLink(*group, L"Bare", L"https://bare.example/");
    // A JPEG's first bytes and nothing a decoder can use: kept by the model, not drawable.
    auto* broken = new CItemLink(*group, L"Broken", L"https://broken.example/");
    broken->icon = CLinkIcon::FromBytes(JpegLike(64));
    ASSERT_TRUE(red->icon && broken->icon);
    const std::shared_ptr<const CLinkIcon> redIcon = red->icon;
    project.modified = false;
    OpenWindow();
    CdlgPropItemLink& pane = editor->linkPane;

    SelectNode(kNodeItem, red);
    EXPECT_TRUE(pane.icon.Shown());
    EXPECT_TRUE(Enabled(pane.clearIconButton));
    EXPECT_EQ(IconPixel(), RGB(0xC0, 0x20, 0x20));
    EXPECT_GE(pane.icon.Size(), 16);

    ClickOn(pane.clearIconButton);
    EXPECT_EQ(red->icon, nullptr);
    EXPECT_TRUE(project.modified);
    EXPECT_FALSE(pane.icon.Shown());
    EXPECT_FALSE(Enabled(pane.clearIconButton));
    EXPECT_EQ(IconPixel(), ::GetSysColor(COLOR_BTNFACE)) << "an empty square";
    EXPECT_EQ(IconPixel(-Half()), ::GetSysColor(COLOR_GRAYTEXT)) << "the square's frame";
    EXPECT_EQ(UndoText(), L"&Undo clear icon\tCtrl+Z");

    CtrlZ();
    ASSERT_NE(red->icon, nullptr);
    EXPECT_EQ(*red->icon, *redIcon);
    EXPECT_TRUE(pane.icon.Shown());
    EXPECT_TRUE(Enabled(pane.clearIconButton));
    EXPECT_EQ(IconPixel(), RGB(0xC0, 0x20, 0x20));

    // No icon: the empty square, nothing to clear.
    SelectNode(kNodeItem, bare);
    EXPECT_FALSE(pane.icon.Shown());
    EXPECT_FALSE(Enabled(pane.clearIconButton));
    // An icon that does not decode shows the square, and can still be cleared.
    SelectNode(kNodeItem, broken);
    EXPECT_FALSE(pane.icon.Shown());
    EXPECT_TRUE(Enabled(pane.clearIconButton));
    ClickOn(pane.clearIconButton);
    EXPECT_EQ(broken->icon, nullptr);
}

class IconFetchTest : public IconWindowTest
{
protected:
    void SetUp() override
    {
        IconWindowTest::SetUp();
        bases = LinkServerBases();
        if (bases.size() < 2) GTEST_SKIP() << "no link server (run through with_link_server.py)";
    }

    void Open(int timeoutSeconds = 15)
    {
        OpenWindow();
        IconFetchSettings settings;
        settings.timeoutSeconds = timeoutSeconds;
        editor->iconFetch.SetJobSetup(settings, CreateSystemTransport);
        ::SetForegroundWindow(main);
        ::SetFocus(tree);
        Pump();
    }

    // Tree > Fetch icons, as the menu sends it.
    void FetchIcons()
    {
        ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_FETCH_ICONS, 0), 0);
        PumpFor(100);
    }

    CdlgIconFetch& Window() { return editor->iconFetch; }
    std::vector<std::wstring> bases;
};

TEST_F(IconFetchTest, FetchIconsGivesTheServersIconsAsOneStepThatCtrlZTakesBackWhole)
{
    project.title = L"Fetch";
    auto* column = new CColumn(project, L"Web");
    auto* group = new CGroup(*column, L"Sites");
    auto* sizes = new CItemLink(*group, L"sizes", bases[0] + L"/icons/sizes");
    auto* redirect = new CItemLink(*group, L"redirect", bases[0] + L"/icons/redirect");
    auto* big = new CItemLink(*group, L"big", bases[0] + L"/icons/big");
    auto* html = new CItemLink(*group, L"html", bases[0] + L"/icons/html");
    auto* plain = new CItemLink(*group, L"favicon", bases[1] + L"/icons/plain");
    auto* own = new CItemLink(*group, L"has one", bases[0] + L"/icons/sizes?own");
    own->icon = CLinkIcon::FromBytes(MakePng(16, 0x20A020));
    new CItemLink(*group, L"mail", L"mailto:someone@example.invalid");
    const std::shared_ptr<const CLinkIcon> ownIcon = own->icon;
    project.modified = false;
    Open();

    FetchIcons();
    ASSERT_TRUE(Window().IsOpen());
    EXPECT_EQ(::GetForegroundWindow(), Window().Window());
    ASSERT_TRUE(PumpUntil([this] { return Window().Ended(); }, 30000));
    PumpFor(100);

    ASSERT_NE(sizes->icon, nullptr);
    EXPECT_EQ(sizes->icon->Type(), IconType::Png);
    ASSERT_NE(redirect->icon, nullptr);
    EXPECT_EQ(redirect->icon->Type(), IconType::Gif) << "the relative address after the redirect";
    EXPECT_EQ(big->icon, nullptr);
    EXPECT_EQ(html->icon, nullptr);
    ASSERT_NE(plain->icon, nullptr);
    EXPECT_EQ(plain->icon->Type(), IconType::Ico) << "the host's /favicon.ico";
    EXPECT_EQ(own->icon, ownIcon) << "a link with an icon is left alone";
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(Window().Given(), 3u);
    EXPECT_EQ(Text(Window().status),
              L"3 icons fetched, 2 links without an icon; 1 link already had one");
    EXPECT_TRUE(::IsWindowVisible(Window().closeButton));
    EXPECT_FALSE(::IsWindowVisible(Window().cancelButton));
    EXPECT_EQ(::SendMessageW(Window().Window(), WM_GETICON, ICON_SMALL, 0),
              static_cast<LRESULT>(::GetClassLongPtrW(main, GCLP_HICONSM)))
        << "the program's icon";
    // The links without an icon, and why.
    HWND list = Window().list;
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(Row(list, 0), (Cells{L"Too large", L"big", bases[0] + L"/icons/big", L"Web / Sites",
                                   L"Larger than 64 KiB: " + bases[0] + L"/icons/big.png"}));
    EXPECT_EQ(
        Row(list, 1),
        (Cells{L"Not an image", L"html", bases[0] + L"/icons/html", L"Web / Sites",
               L"Not a PNG, ICO, GIF, JPEG, WebP or SVG image: " + bases[0] + L"/icons/fake.png"}));
    ::RedrawWindow(Window().Window(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    EXPECT_TRUE(SaveWindowScreenshot(Window().Window(), WindowsPath(QUIL_SCREENSHOT_DIR) +
                                                            L"\\screenshot-fetch-icons.png"));

    // A double-click on a row selects its node in the main window, which comes forward.
    DoubleClickOn(list, 1);
    const TreeItemData* selected = editor->FindTreeItemData(kNodeItem, html);
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)),
              selected->item);
    EXPECT_EQ(::GetForegroundWindow(), main);
    EXPECT_TRUE(Window().IsOpen()) << "the list stays open behind the main window";
    // A deleted link drops out of the list and out of the count.
    shell.answers = {IDOK};
    ::SendMessageW(main, WM_COMMAND, IDM_DELETE, 0);
    ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    EXPECT_EQ(Text(Window().status),
              L"3 icons fetched, 1 link without an icon; 1 link already had one");
    CtrlZ();
    ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 2; }));
    ::SetForegroundWindow(Window().Window());
    PumpFor(100);

    // Closed with a click; the pane of a fetched item shows its icon.
    ClickOn(Window().closeButton);
    EXPECT_FALSE(Window().IsOpen());
    SelectNode(kNodeItem, sizes);
    EXPECT_TRUE(editor->linkPane.icon.Shown());
    EXPECT_TRUE(Enabled(editor->linkPane.clearIconButton));
    EXPECT_TRUE(SaveWindowScreenshot(main, WindowsPath(QUIL_SCREENSHOT_DIR) +
                                               L"\\screenshot-link-pane-icon.png"));

    EXPECT_EQ(UndoText(), L"&Undo fetch icons\tCtrl+Z");
    ::SetFocus(tree);
    CtrlZ();
    EXPECT_EQ(sizes->icon, nullptr);
    EXPECT_EQ(redirect->icon, nullptr);
    EXPECT_EQ(plain->icon, nullptr);
    EXPECT_EQ(own->icon, ownIcon);
    EXPECT_FALSE(editor->linkPane.icon.Shown()) << "the pane follows the undo";
}

TEST_F(IconFetchTest, CloseAbandonsCancelKeepsWhatWasFetchedAndNeitherWaitsForTheServer)
{
    project.title = L"Slow";
    auto* column = new CColumn(project, L"Web");
    auto* group = new CGroup(*column, L"Sites");
    auto* quick = new CItemLink(*group, L"quick", bases[1] + L"/icons/plain");
    auto* slow = new CItemLink(*group, L"slow", bases[0] + L"/sleep/20");
    project.modified = false;
    Open(30);

    FetchIcons();
    ASSERT_TRUE(Window().Running());
    // Cancel stops the wait for the slow page; what was fetched until then is given.
    PumpFor(1500);
    ClickOn(Window().cancelButton);
    ASSERT_TRUE(PumpUntil([this] { return Window().Ended(); }, 10000))
        << "Cancel ends the fetch without waiting for the page";
    EXPECT_EQ(slow->icon, nullptr);
    EXPECT_LE(Window().Given(), 1u);
    EXPECT_EQ(quick->icon != nullptr, Window().Given() == 1u);
    EXPECT_EQ(Text(Window().status).rfind(L"Cancelled. ", 0), 0u) << ToUtf8(Text(Window().status));
    if (Window().Given() == 1u) {
        EXPECT_EQ(UndoText(), L"&Undo fetch icons\tCtrl+Z");
        CtrlZ();
        EXPECT_EQ(quick->icon, nullptr);
    }

    // Started again, and while it runs once more: the same fetch, its window brought forward.
    FetchIcons();
    ASSERT_TRUE(Window().Running());
    ::SetForegroundWindow(main);
    PumpFor(100);
    FetchIcons();
    EXPECT_TRUE(Window().Running());
    EXPECT_EQ(::GetForegroundWindow(), Window().Window());
    // The window's close button while it runs: abandoned, nothing given.
    PumpFor(1000);
    ::SendMessageW(Window().Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(200);
    EXPECT_FALSE(Window().IsOpen());
    EXPECT_FALSE(Window().Running());
    PumpFor(500);
    EXPECT_EQ(quick->icon, nullptr) << "an abandoned fetch gives nothing";
    EXPECT_EQ(UndoText(), L"&Undo\tCtrl+Z");

    // A fetch still running when the window goes (as at quitting) is not waited for.
    FetchIcons();
    ASSERT_TRUE(Window().Running());
}

} // namespace

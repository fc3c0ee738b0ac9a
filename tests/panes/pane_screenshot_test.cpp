// The link, form and project panes as a person sees them, at the main window's default size, narrow
// and at its minimum: nothing overlaps and, but narrow, nothing is cut off. Screenshots go to
// build/.
#include "pane_fixture.h"

#include "e2e/program.h"

#include "resources/resource.h"

#include <string>
#include <vector>

namespace {

// The main window's size when the system chooses it, as it does at start-up.
SIZE DefaultWindowSize()
{
    HWND probe = ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                   CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
    RECT bounds = {};
    ::GetWindowRect(probe, &bounds);
    ::DestroyWindow(probe);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

// Sizes the main window, whose layout then places the tree and the panes, and lets it paint.
void Resize(HWND main, SIZE window)
{
    ::SetWindowPos(main, HWND_TOP, 0, 0, window.cx, window.cy, SWP_NOACTIVATE);
    ::RedrawWindow(main, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&message);
}

void Screenshot(HWND window, const std::wstring& name)
{
    EXPECT_TRUE(SaveWindowScreenshot(window, WindowsPath(QUIL_SCREENSHOT_DIR) + L"\\" + name));
}

std::vector<HWND> VisibleControls(HWND pane)
{
    std::vector<HWND> controls;
    for (HWND child = ::GetWindow(pane, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowVisible(child)) controls.push_back(child);
    }
    return controls;
}

void ExpectNoOverlap(HWND pane)
{
    std::vector<HWND> controls = VisibleControls(pane);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            RECT a = ChildRect(controls[i]), b = ChildRect(controls[j]), both = {};
            EXPECT_FALSE(::IntersectRect(&both, &a, &b))
                << ::GetDlgCtrlID(controls[i]) << " overlaps " << ::GetDlgCtrlID(controls[j]);
        }
    }
}

// Every control lies inside the pane, and every label, button, check box and drop-down list has
// room for its text in the pane's font (at the window's DPI).
void ExpectNothingCutOff(HWND pane, int dpi = 96)
{
    RECT client = {};
    ::GetClientRect(pane, &client);
    HDC dc = ::GetDC(pane);
    for (HWND control : VisibleControls(pane)) {
        int id = ::GetDlgCtrlID(control);
        RECT bounds = ChildRect(control);
        EXPECT_TRUE(bounds.left >= 0 && bounds.top >= 0 && bounds.right <= client.right &&
                    bounds.bottom <= client.bottom)
            << id << " reaches outside the pane";
        std::wstring text = Text(control);
        wchar_t className[32] = {};
        ::GetClassNameW(control, className, 32);
        const bool combo = ::lstrcmpiW(className, L"ComboBox") == 0;
        if (text.empty() ||
            (::lstrcmpiW(className, L"Static") && ::lstrcmpiW(className, L"Button") && !combo))
            continue;
        HGDIOBJ old = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ::SelectObject(dc, old);
        RECT inside = {};
        ::GetClientRect(control, &inside);
        bool check = (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
        int room = inside.right - (check ? winui::SystemMetricForDpi(SM_CXMENUCHECK, dpi) + 4 : 0) -
                   (combo ? winui::SystemMetricForDpi(SM_CXVSCROLL, dpi) + 4 : 0);
        EXPECT_LE(extent.cx, room)
            << id << " cuts off \"" << std::string(text.begin(), text.end()) << "\"";
        EXPECT_LE(extent.cy, inside.bottom) << id << " is too low for its text";
    }
    ::ReleaseDC(pane, dc);
}

} // namespace

TEST_F(PaneTest, GridPanesAtTheDefaultAndANarrowSize)
{
    HWND main = editor->MainWindow();
    HWND tree = editor->TreeView();
    SIZE standard = DefaultWindowSize();
    SIZE narrow = {520, standard.cy};
    ::SetForegroundWindow(main);

    // Selected in the tree, as a person does; a row of each list selected too.
    struct
    {
        CdlgPropBase& pane;
        CStreamable* node;
        const wchar_t* name;
        std::vector<int> lists;
    } shots[] = {{editor->linkPane, link, L"link-pane", {IDC_LINK_LIST}},
                 {editor->formPane, form, L"form-pane", {IDC_FORM_FIELDS, IDC_FORM_OPTIONS}}};
    auto select = [&](auto& shot) {
        TreeView_SelectItem(tree, editor->FindTreeItemData(kNodeItem, shot.node)->item);
        ASSERT_TRUE(::IsWindowVisible(shot.pane.Window()));
        for (int list : shot.lists)
            listrows::Select(::GetDlgItem(shot.pane.Window(), list),
                             1 - (list == IDC_FORM_OPTIONS));
    };
    // The default size first: the tree never grows back once the window was narrow.
    for (auto& shot : shots) {
        SCOPED_TRACE(std::string(shot.name, shot.name + wcslen(shot.name)));
        select(shot);
        Resize(main, standard);
        ExpectNoOverlap(shot.pane.Window());
        ExpectNothingCutOff(shot.pane.Window());
        Screenshot(main, std::wstring(L"screenshot-") + shot.name + L"-default.png");
    }
    for (auto& shot : shots) {
        SCOPED_TRACE(std::string(shot.name, shot.name + wcslen(shot.name)));
        select(shot);
        Resize(main, narrow);
        ExpectNoOverlap(shot.pane.Window());
        Screenshot(main, std::wstring(L"screenshot-") + shot.name + L"-narrow.png");
    }
}

TEST_F(PaneTest, TheWindowsMinimumSizeShowsEveryControlOfThePanesWhole)
{
    HWND main = editor->MainWindow();
    HWND tree = editor->TreeView();
    ::SetForegroundWindow(main);
    // Asked for less than anything could show: the window stops at its minimum.
    Resize(main, {100, 100});
    RECT client = {};
    ::GetClientRect(main, &client);
    EXPECT_EQ(client.right, editor->Layouts().MinimumClientWidth());
    EXPECT_EQ(client.bottom, editor->Layouts().MinimumClientHeight());
    struct
    {
        CdlgPropBase& pane;
        CStreamable* node;
        const wchar_t* name;
        std::int32_t kind;
    } shots[] = {{editor->linkPane, link, L"link-pane", kNodeItem},
                 {editor->formPane, form, L"form-pane", kNodeItem},
                 {editor->projectPane, &project, L"project-pane", kNodeProject},
                 {editor->columnPane, column, L"column-pane", kNodeColumn}};
    for (auto& shot : shots) {
        SCOPED_TRACE(std::string(shot.name, shot.name + wcslen(shot.name)));
        TreeView_SelectItem(tree, editor->FindTreeItemData(shot.kind, shot.node)->item);
        ASSERT_TRUE(::IsWindowVisible(shot.pane.Window()));
        Resize(main, {100, 100});
        RECT pane = ChildRect(shot.pane.Window());
        EXPECT_LE(pane.right, client.right);
        EXPECT_GE(pane.right - pane.left, editor->Layouts().Metrics().paneMinimumWidth);
        ExpectNoOverlap(shot.pane.Window());
        ExpectNothingCutOff(shot.pane.Window());
        Screenshot(main, std::wstring(L"screenshot-") + shot.name + L"-minimum.png");
    }
}

TEST_F(PaneTest, TheProjectPaneAtTheDefaultSize)
{
    HWND main = editor->MainWindow();
    ::SetForegroundWindow(main);
    project.pageStyle = PageStyle::Modern;
    TreeView_SelectItem(editor->TreeView(), editor->FindTreeItemData(kNodeProject, &project)->item);
    editor->projectPane.SetNode(&project); // selected from the start: bound before the change
    HWND pane = editor->projectPane.Window();
    ASSERT_TRUE(::IsWindowVisible(pane));
    Resize(main, DefaultWindowSize());
    ExpectNoOverlap(pane);
    ExpectNothingCutOff(pane);
    EXPECT_EQ(ComboText(::GetDlgItem(pane, IDC_PROJECT_STYLE)), L"Modern");
    Screenshot(main, L"screenshot-project-pane.png");
}

TEST_F(PaneTest, TheColumnPaneWithItsTabAtTheDefaultSize)
{
    HWND main = editor->MainWindow();
    ::SetForegroundWindow(main);
    column->tab = L"Work";
    TreeView_SelectItem(editor->TreeView(), editor->FindTreeItemData(kNodeColumn, column)->item);
    editor->columnPane.SetNode(column);
    HWND pane = editor->columnPane.Window();
    ASSERT_TRUE(::IsWindowVisible(pane));
    Resize(main, DefaultWindowSize());
    ExpectNoOverlap(pane);
    ExpectNothingCutOff(pane);
    EXPECT_EQ(Text(::GetDlgItem(pane, IDC_COLUMN_TAB)), L"Work");
    Screenshot(main, L"screenshot-column-pane.png");
}

namespace {

// What the window shows, as rectangles: the window, the tree, the status bar, and every visible
// control of each pane in turn (selected in the tree).
std::vector<RECT> Layout(CfrmTreeEditor& editor,
                         const std::vector<std::pair<std::int32_t, CStreamable*>>& nodes)
{
    std::vector<RECT> rects(3);
    ::GetWindowRect(editor.MainWindow(), &rects[0]);
    rects[1] = ChildRect(editor.TreeView());
    rects[2] = ChildRect(editor.StatusBar().Window());
    for (const auto& node : nodes) {
        TreeView_SelectItem(editor.TreeView(),
                            editor.FindTreeItemData(node.first, node.second)->item);
        for (HWND control : VisibleControls(editor.ShownPane()->Window()))
            rects.push_back(ChildRect(control));
    }
    return rects;
}

// Which rectangles differ, as text; empty when none does.
std::string Differences(const std::vector<RECT>& a, const std::vector<RECT>& b)
{
    if (a.size() != b.size()) return "different counts";
    std::string text;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (::EqualRect(&a[i], &b[i])) continue;
        text += " #" + std::to_string(i) + " (" + std::to_string(a[i].left) + "," +
                std::to_string(a[i].top) + "," + std::to_string(a[i].right) + "," +
                std::to_string(a[i].bottom) + ") now (" + std::to_string(b[i].left) + "," +
                std::to_string(b[i].top) + "," + std::to_string(b[i].right) + "," +
                std::to_string(b[i].bottom) + ")";
    }
    return text;
}

MINMAXINFO Limits(HWND main)
{
    MINMAXINFO info = {};
    ::SendMessageW(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

} // namespace

TEST_F(PaneTest, ADpiChangeTo144AndBackLaysTheWindowOutWithEveryControlWhole)
{
    HWND main = editor->MainWindow();
    HWND tree = editor->TreeView();
    ::SetForegroundWindow(main);
    const RECT start = {10, 10, 810, 570};
    ::SetWindowPos(main, HWND_TOP, start.left, start.top, 800, 560, SWP_NOACTIVATE);
    Pump();
    const std::vector<std::pair<std::int32_t, CStreamable*>> nodes = {{kNodeItem, link},
                                                                      {kNodeItem, form},
                                                                      {kNodeProject, &project},
                                                                      {kNodeColumn, column},
                                                                      {kNodeGroup, group}};
    const std::vector<RECT> before = Layout(*editor, nodes);
    const LOGFONTW treeFont = winui::FontOf(tree);
    const auto row = static_cast<int>(::SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
    const MINMAXINFO limits = Limits(main);
    ASSERT_EQ(editor->Dpi(), 96);

    RECT suggested = {start.left, start.top, start.left + 1200, start.top + 840};
    ::SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    Pump();
    EXPECT_EQ(editor->Dpi(), 144);
    RECT now = {};
    ::GetWindowRect(main, &now);
    EXPECT_TRUE(::EqualRect(&now, &suggested)) << "the suggested rectangle is taken";
    const MainLayoutMetrics& metrics = editor->Layouts().Metrics();
    EXPECT_EQ(metrics.splitterWidth, 8);
    EXPECT_EQ(metrics.treeMinimum, 180);
    EXPECT_EQ(winui::FontOf(tree).lfHeight, treeFont.lfHeight * 144 / 96);
    EXPECT_GE(::SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0), row * 14 / 10);
    EXPECT_GE(Limits(main).ptMinTrackSize.x, limits.ptMinTrackSize.x * 14 / 10);
    EXPECT_GE(Limits(main).ptMinTrackSize.y, limits.ptMinTrackSize.y * 13 / 10);
    // The status bar's parts have room for their texts in its new font.
    {
        HWND bar = editor->StatusBar().Window();
        RECT part = {};
        ::SendMessageW(bar, SB_GETRECT, CStatusBar::kPageState, reinterpret_cast<LPARAM>(&part));
        HDC dc = ::GetDC(bar);
        HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(bar, WM_GETFONT, 0, 0)));
        const std::wstring text = editor->StatusBar().PartText(CStatusBar::kPageState);
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ::SelectObject(dc, old);
        ::ReleaseDC(bar, dc);
        EXPECT_LE(extent.cx, part.right - part.left);
        EXPECT_LE(extent.cy, part.bottom - part.top);
    }
    // Each pane, at the suggested size and at the window's new minimum: whole.
    for (SIZE size : {SIZE{1200, 840}, SIZE{100, 100}}) {
        Resize(main, size);
        for (const auto& node : nodes) {
            TreeView_SelectItem(tree, editor->FindTreeItemData(node.first, node.second)->item);
            HWND pane = editor->ShownPane()->Window();
            SCOPED_TRACE(::GetDlgCtrlID(pane));
            EXPECT_EQ(editor->ShownPane()->Dpi(), 144);
            ExpectNoOverlap(pane);
            ExpectNothingCutOff(pane, 144);
        }
    }
    TreeView_SelectItem(tree, editor->FindTreeItemData(kNodeItem, link)->item);
    Resize(main, {1200, 840});
    Screenshot(main, L"screenshot-dpi-144.png");

    // Back at 96 DPI and the first size: everything exactly where it was.
    RECT back = start;
    ::SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
    Pump();
    EXPECT_EQ(editor->Dpi(), 96);
    EXPECT_EQ(winui::FontOf(tree).lfHeight, treeFont.lfHeight);
    EXPECT_EQ(Limits(main).ptMinTrackSize.x, limits.ptMinTrackSize.x);
    EXPECT_EQ(Limits(main).ptMinTrackSize.y, limits.ptMinTrackSize.y);
    EXPECT_EQ(Differences(before, Layout(*editor, nodes)), "");
}

TEST(Resources, TheManifestAsksForPerMonitorAwarenessWithTheSystemDpiAsFallback)
{
    HRSRC found = ::FindResourceW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(
        ::LockResource(::LoadResource(::GetModuleHandleW(nullptr), found)));
    const std::string manifest(bytes, ::SizeofResource(::GetModuleHandleW(nullptr), found));
    EXPECT_NE(manifest.find(">PerMonitorV2, system</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
}

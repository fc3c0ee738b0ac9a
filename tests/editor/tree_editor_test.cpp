// The main window and its tree: creation, filling, panes, layout, the context menu.
#include "editor/editor_fixture.h"

#include "editor/window_placement.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "persist/text.h"
#include "winui/module.h"

#include <map>

using Panes = std::vector<std::string>;

TEST_F(EditorTest, TheWindowHasItsClassTitleMenuTreeAndPanes)
{
    Open();
    wchar_t text[64] = {};
    ::GetWindowTextW(main, text, 64);
    EXPECT_STREQ(text, L"Quillomere");
    EXPECT_TRUE(::GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    ::GetClassNameW(tree, text, 64);
    EXPECT_STREQ(text, L"SysTreeView32");
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(tree, GWL_STYLE)) & 0xFFFF00FFu, 0x50000027u);
    EXPECT_TRUE(::GetWindowLongW(tree, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(::GetDlgCtrlID(tree), 0);

    HMENU bar = ::GetMenu(main);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(::GetMenuItemCount(bar), 4);
    auto itemText = [](HMENU menu, int position) {
        wchar_t buffer[128] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(position), buffer, 128, MF_BYPOSITION);
        return std::wstring(buffer);
    };
    EXPECT_EQ(itemText(bar, 0), L"&File");
    EXPECT_EQ(itemText(bar, 1), L"&Edit");
    EXPECT_EQ(itemText(bar, 2), L"&Tree");
    EXPECT_EQ(itemText(bar, 3), L"&Help");
    HMENU file = ::GetSubMenu(bar, 0);
    const std::pair<UINT, const wchar_t*> fileItems[] = {
        {IDM_SAVE, L"&Save\tCtrl+S"},
        {IDM_PREVIEW, L"&Preview homepage in a browser\tCtrl+F5"},
        {IDM_GENERATE, L"&Generate homepage\tF5"},
        {0, L""},
        {IDM_READ_HTML, L"&Read HTML file..."},
        {IDM_EXPORT_BOOKMARKS, L"&Export bookmarks..."},
        {0, L""},
        {IDM_OPTIONS, L"&Options..."},
        {0, L""},
        {IDM_EXIT, L"E&xit\tAlt+X"}};
    ASSERT_EQ(::GetMenuItemCount(file), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(::GetMenuItemID(file, i), fileItems[i].first) << i;
        EXPECT_EQ(itemText(file, i), fileItems[i].second) << i;
    }
    HMENU edit = ::GetSubMenu(bar, 1);
    const std::pair<UINT, const wchar_t*> editItems[] = {
        {IDM_UNDO, L"&Undo\tCtrl+Z"},
        {IDM_REDO, L"&Redo\tCtrl+Y"},
        {0, L""},
        {IDM_FIND, L"&Find...\tCtrl+F"},
        {IDM_FIND_NEXT, L"Find &next\tF3"},
        {IDM_FIND_PREVIOUS, L"Find pre&vious\tShift+F3"},
        {0, L""},
        {IDM_RENAME, L"Rena&me\tF2"},
        // Beyond them: nodes on the clipboard.
        {0, L""},
        {IDM_CUT, L"Cu&t\tCtrl+X"},
        {IDM_COPY, L"&Copy\tCtrl+C"},
        {IDM_PASTE, L"&Paste\tCtrl+V"}};
    ASSERT_EQ(::GetMenuItemCount(edit), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(::GetMenuItemID(edit, i), editItems[i].first) << i;
        EXPECT_EQ(itemText(edit, i), editItems[i].second) << i;
    }
    HMENU treeMenu = ::GetSubMenu(bar, 2);
    const std::pair<UINT, const wchar_t*> treeItems[] = {
        {IDM_MOVE_UP, L"Move selection &up\tCtrl+Up"},
        {IDM_MOVE_DOWN, L"Move selection &down\tCtrl+Down"},
        {0, L""},
        {IDM_DELETE, L"D&elete selection\tCtrl+Del"},
        {0, L""},
        {IDM_REFRESH, L"&Refresh\tCtrl+R"},
        // Beyond the original items: the Add commands, never grayed.
        {0, L""},
        {IDM_ADD_COLUMN, L"Add &column"},
        {IDM_ADD_GROUP, L"Add &group"},
        {IDM_ADD_LINK, L"Add &link\tCtrl+N"},
        {IDM_ADD_FORM, L"Add &form"},
        {0, L""},
        {IDM_CHECK_LINKS, L"Chec&k links...\tCtrl+L"},
        {IDM_FETCH_ICONS, L"Fetch &icons"}};
    ASSERT_EQ(::GetMenuItemCount(treeMenu), 14);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(::GetMenuItemID(treeMenu, i), treeItems[i].first) << i;
        EXPECT_EQ(itemText(treeMenu, i), treeItems[i].second) << i;
        if (treeItems[i].first != 0) {
            EXPECT_FALSE(::GetMenuState(treeMenu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED)
                << i;
        }
    }
    HMENU help = ::GetSubMenu(bar, 3);
    ASSERT_EQ(::GetMenuItemCount(help), 2);
    EXPECT_EQ(::GetMenuItemID(help, 0), static_cast<UINT>(IDM_HELP));
    EXPECT_EQ(itemText(help, 0), L"Quillomere &Help\tF1");
    EXPECT_EQ(::GetMenuItemID(help, 1), static_cast<UINT>(IDM_ABOUT));
    EXPECT_EQ(itemText(help, 1), L"&About Quillomere");

    // Every pane is a child dialog of the main window, right of the tree and its splitter.
    for (const CdlgPropBase* pane : editor->Panes()) {
        ASSERT_NE(pane->Window(), nullptr);
        EXPECT_EQ(::GetParent(pane->Window()), main);
        RECT rect = {};
        ::GetWindowRect(pane->Window(), &rect);
        ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, editor->TreeWidth() + editor->Layouts().Metrics().splitterWidth);
    }
}

TEST(Resources, TheManifestSelectsCommonControlsSix)
{
    // The manifest redirects comctl32.dll to the side-by-side version 6 assembly.
    ACTCTX_SECTION_KEYED_DATA redirection = {};
    redirection.cbSize = sizeof redirection;
    ASSERT_TRUE(::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                           L"comctl32.dll", &redirection));
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(::GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
    EXPECT_NE(std::wstring(path).find(L"common-controls"), std::wstring::npos) << path;
}

namespace {

// The access key of a menu item's text: the letter after a single '&', upper case; 0 for none;
// -1 when the text marks more than one.
int AccessKey(const std::wstring& text)
{
    int key = 0;
    for (std::size_t i = 0; i + 1 < text.size() && text[i] != L'\t'; ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] == L'&') {
            ++i; // "&&" is an ampersand
            continue;
        }
        if (key != 0) return -1;
        // A character in the low word is turned to upper case in place of a pointer.
        key = static_cast<int>(reinterpret_cast<ULONG_PTR>(
            ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(text[i + 1])))));
    }
    return key;
}

// Checks every item of the menu and of its drop-downs: a text has one access key, unique
// within its own menu.
void ExpectAccessKeys(HMENU menu, const std::wstring& path)
{
    std::map<int, std::wstring> keys;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t buffer[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = buffer;
        info.cch = 256;
        ASSERT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        if (info.fType & MFT_SEPARATOR) continue;
        const std::wstring text = buffer;
        const int key = AccessKey(text);
        EXPECT_GT(key, 0) << ToUtf8(path + L" > " + text) << ": one access key";
        if (key > 0) {
            const auto [clash, fresh] = keys.emplace(key, text);
            EXPECT_TRUE(fresh) << ToUtf8(path + L" > " + text) << " shares its key with "
                               << ToUtf8(clash->second);
        }
        if (info.hSubMenu) ExpectAccessKeys(info.hSubMenu, path + L" > " + text);
    }
}

} // namespace

TEST_F(EditorTest, EveryMenuItemHasAnAccessKeyOfItsOwnWithinItsMenu)
{
    for (UINT id : {IDR_MAINMENU, IDR_CONTEXTMENU}) {
        HMENU menu = ::LoadMenuW(ModuleInstance(), MAKEINTRESOURCEW(id));
        ASSERT_NE(menu, nullptr);
        // The context menu is its first drop-down; the item that holds it never shows.
        if (id == IDR_MAINMENU)
            ExpectAccessKeys(menu, L"menu bar");
        else
            ExpectAccessKeys(::GetSubMenu(menu, 0), L"context menu");
        ::DestroyMenu(menu);
    }
    // The Edit menu as it shows with steps to undo and redo: their names keep the keys.
    Open();
    Select(kNodeColumn, work);
    ::SetWindowTextW(editor->columnPane.edit, L"Works");
    Pump();
    Command(IDM_UNDO);
    ::SendMessageW(main, WM_INITMENUPOPUP,
                   reinterpret_cast<WPARAM>(::GetSubMenu(::GetMenu(main), 1)), 1);
    ExpectAccessKeys(::GetMenu(main), L"menu bar with steps");
}

TEST_F(EditorTest, TheAcceleratorTableBindsTheKeysInItsStoredOrder)
{
    Open();
    ACCEL entries[21] = {};
    ASSERT_EQ(::CopyAcceleratorTableW(accelerators, entries, 21), 20);
    // The stored entries, then the Edit menu's keys, then the window's.
    const ACCEL expected[] = {{FVIRTKEY | FALT, 'X', IDM_EXIT},
                              {FVIRTKEY | FCONTROL, VK_UP, IDM_MOVE_UP},
                              {FVIRTKEY | FCONTROL, VK_DOWN, IDM_MOVE_DOWN},
                              {FVIRTKEY | FCONTROL, 'R', IDM_REFRESH},
                              {FVIRTKEY | FCONTROL, VK_DELETE, IDM_DELETE},
                              {FVIRTKEY | FCONTROL, 'S', IDM_SAVE},
                              {FVIRTKEY, VK_F5, IDM_GENERATE},
                              {FVIRTKEY | FCONTROL, VK_F5, IDM_PREVIEW},
                              {FVIRTKEY | FCONTROL, 'Z', IDM_UNDO},
                              {FVIRTKEY | FCONTROL, 'Y', IDM_REDO},
                              {FVIRTKEY | FCONTROL | FSHIFT, 'Z', IDM_REDO},
                              {FVIRTKEY | FCONTROL, 'F', IDM_FIND},
                              {FVIRTKEY, VK_F3, IDM_FIND_NEXT},
                              {FVIRTKEY | FSHIFT, VK_F3, IDM_FIND_PREVIOUS},
                              {FVIRTKEY, VK_F2, IDM_RENAME},
                              {FVIRTKEY, VK_F6, IDM_NEXT_PANE},
                              {FVIRTKEY | FSHIFT, VK_F6, IDM_PREVIOUS_PANE},
                              {FVIRTKEY | FCONTROL, 'N', IDM_ADD_LINK},
                              {FVIRTKEY, VK_F1, IDM_HELP},
                              {FVIRTKEY | FCONTROL, 'L', IDM_CHECK_LINKS}};
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].fVirt) << i; // 0x80 marks the last
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << i;
    }
}

TEST_F(EditorTest, PopulateShowsTheWholeProjectOpenWithTheRootSelected)
{
    Open();
    EXPECT_EQ(TreeText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],Docs[Wiki]],"
                          L"Play[News[Paper,Radio],Spare],Empty]");
    ExpectTreeShowsModel();
    const TreeItemData* selected = Selected();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->kind, kNodeProject);
    EXPECT_EQ(VisiblePanes(), Panes{"project"});
    // The root, every column and every group with children are open.
    for (auto node : std::initializer_list<std::pair<std::int32_t, const CStreamable*>>{
             {kNodeProject, &project},
             {kNodeColumn, work},
             {kNodeColumn, play},
             {kNodeGroup, mail},
             {kNodeGroup, docs},
             {kNodeGroup, news}}) {
        auto state = ::SendMessageW(tree, TVM_GETITEMSTATE,
                                    reinterpret_cast<WPARAM>(ItemOf(node.first, node.second)),
                                    TVIS_EXPANDED);
        EXPECT_TRUE(state & TVIS_EXPANDED);
    }
    // The top of the tree is in view.
    EXPECT_EQ(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0),
              reinterpret_cast<LRESULT>(ItemOf(kNodeProject, &project)));
}

TEST_F(EditorTest, RefreshKeepsTheSelectedNodeOrFallsBackToTheRoot)
{
    Open();
    Select(kNodeGroup, docs);
    std::size_t records = editor->RecordCount();
    PressKey('R', true);
    ASSERT_NE(Selected(), nullptr);
    EXPECT_EQ(Selected()->node, docs);
    EXPECT_EQ(VisiblePanes(), Panes{"group"});
    EXPECT_EQ(editor->RecordCount(), records);
    ExpectTreeShowsModel();

    // A change made behind the tree's back shows after the refresh.
    new CColumn(project, L"Later");
    Select(kNodeItem, radio);
    Command(IDM_REFRESH);
    EXPECT_EQ(Selected()->node, radio);
    EXPECT_EQ(VisiblePanes(), Panes{"link"});
    ExpectTreeShowsModel();

    // The selected node is gone from the model: the root is selected instead.
    Select(kNodeColumn, project.columns[3]);
    project.DeleteColumn(project.columns[3]);
    project.modified = false;
    Command(IDM_REFRESH);
    EXPECT_EQ(Selected()->kind, kNodeProject);
    EXPECT_EQ(VisiblePanes(), Panes{"project"});
    ExpectTreeShowsModel();
    EXPECT_FALSE(project.modified);
}

TEST_F(EditorTest, ExactlyOnePaneShowsForEverySelection)
{
    Open();
    const std::pair<std::pair<std::int32_t, const CStreamable*>, const char*> cases[] = {
        {{kNodeColumn, work}, "column"}, {{kNodeGroup, mail}, "group"},
        {{kNodeItem, inbox}, "link"},    {{kNodeItem, search}, "form"},
        {{kNodeItem, unnamed}, "form"},  {{kNodeProject, &project}, "project"},
        {{kNodeItem, paper}, "link"},    {{kNodeColumn, empty}, "column"},
        {{kNodeGroup, spare}, "group"}};
    for (const auto& c : cases) {
        Select(c.first.first, c.first.second);
        EXPECT_EQ(VisiblePanes(), Panes{c.second}) << c.second;
    }
    // Nothing selected: no pane.
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, 0);
    Pump();
    EXPECT_EQ(VisiblePanes(), Panes{});
    EXPECT_FALSE(project.modified);
}

TEST_F(EditorTest, NodeEditedRelabelsTheNodeAndMarksTheProject)
{
    Open();
    static_cast<CItemForm*>(unnamed)->name = L"Lookup";
    editor->NodeEdited(kNodeItem, unnamed);
    EXPECT_EQ(TreeLabel(kNodeItem, unnamed), L"Lookup");
    EXPECT_TRUE(project.modified);

    static_cast<CItemForm*>(search)->name.clear();
    editor->NodeEdited(kNodeItem, search);
    EXPECT_EQ(TreeLabel(kNodeItem, search), L"Unnamed form");

    project.title = L"Start page";
    editor->NodeEdited(kNodeProject, &project);
    EXPECT_EQ(TreeLabel(kNodeProject, &project), L"Start page");
    play->caption = L"Fun";
    editor->NodeEdited(kNodeColumn, play);
    EXPECT_EQ(TreeLabel(kNodeColumn, play), L"Fun");
    static_cast<CItemLink*>(paper)->mainLink.caption = L"Times";
    editor->NodeEdited(kNodeItem, paper);
    EXPECT_EQ(TreeLabel(kNodeItem, paper), L"Times");
    ExpectTreeShowsModel();

    // A field the label does not show: the label stays, the project is marked.
    project.modified = false;
    static_cast<CItemLink*>(radio)->mainLink.url = L"https://fm.example.com/";
    editor->NodeEdited(kNodeItem, radio);
    EXPECT_EQ(TreeLabel(kNodeItem, radio), L"Radio");
    EXPECT_TRUE(project.modified);
    // A label that grows by one character at the end, and shrinks back.
    static_cast<CItemLink*>(radio)->mainLink.caption = L"Radio1";
    editor->NodeEdited(kNodeItem, radio);
    EXPECT_EQ(TreeLabel(kNodeItem, radio), L"Radio1");
    static_cast<CItemLink*>(radio)->mainLink.caption = L"Radio";
    editor->NodeEdited(kNodeItem, radio);
    EXPECT_EQ(TreeLabel(kNodeItem, radio), L"Radio");

    // A node no item shows is only marked.
    project.modified = false;
    editor->NodeEdited(kNodeGroup, play);
    EXPECT_TRUE(project.modified);
}

TEST_F(EditorTest, TheTreeKeepsItsShareOfTheWidthAsTheWindowChangesSize)
{
    // No placement from an earlier test: the tree starts at its default share.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, PlacementKey());
    Open();
    const MainLayoutMetrics& metrics = editor->Layouts().Metrics();
    const int status = editor->StatusBar().Height();
    ASSERT_GT(status, 0);
    ASSERT_GT(metrics.paneMinimumWidth, 0);
    Resize(1000, 500);
    EXPECT_EQ(editor->TreeShare(), 3000);
    EXPECT_EQ(editor->TreeWidth(), 300);
    auto expectLayout = [&](int treeWidth) {
        EXPECT_EQ(editor->TreeWidth(), treeWidth);
        RECT client = {};
        ::GetClientRect(main, &client);
        const int middle = client.bottom - status;
        RECT rect = {};
        ::GetWindowRect(tree, &rect);
        ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right, treeWidth);
        EXPECT_EQ(rect.bottom, middle);
        for (const CdlgPropBase* pane : editor->Panes()) {
            ::GetWindowRect(pane->Window(), &rect);
            ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_EQ(rect.left, treeWidth + metrics.splitterWidth);
            EXPECT_EQ(rect.top, 0);
            EXPECT_EQ(rect.right, client.right);
            EXPECT_EQ(rect.bottom, middle);
        }
        ::GetWindowRect(editor->StatusBar().Window(), &rect);
        ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, middle);
        EXPECT_EQ(rect.right, client.right);
        EXPECT_EQ(rect.bottom, client.bottom);
    };
    expectLayout(300);

    // The splitter sets the share (a drag by messages here; the mouse test does it for real).
    const int grab = 300 + metrics.splitterWidth / 2;
    ::SendMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab, 100));
    ::SendMessageW(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab + 100, 100));
    ::SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(grab + 100, 100));
    EXPECT_EQ(editor->TreeShare(), 4000);
    expectLayout(400);

    // Wider and narrower, the tree keeps its share.
    Resize(1200, 700);
    expectLayout(480);
    Resize(801, 400);
    expectLayout(320);
    // Narrow enough that the share would cut the pane: the pane keeps its minimum width and the
    // tree gives way, down to its own minimum.
    const int narrow = metrics.treeMinimum + metrics.splitterWidth + metrics.paneMinimumWidth + 60;
    Resize(narrow, 600);
    expectLayout(metrics.treeMinimum + 60);
    Resize(300, 600);
    RECT client = {};
    ::GetClientRect(main, &client);
    EXPECT_EQ(client.right, narrow - 60);
    expectLayout(metrics.treeMinimum);
    // Wide again: the share gives the width back.
    Resize(1000, 600);
    expectLayout(400);
    EXPECT_EQ(editor->TreeShare(), 4000);

    // Maximised, the tree is as proportionate; restored, as it was. Minimised, nothing moves.
    ::ShowWindow(main, SW_MAXIMIZE);
    Pump();
    ::GetClientRect(main, &client);
    expectLayout((4000 * client.right + 5000) / 10000);
    ::ShowWindow(main, SW_RESTORE);
    Pump();
    expectLayout(400);
    ::ShowWindow(main, SW_MINIMIZE);
    Pump();
    EXPECT_EQ(editor->TreeWidth(), 400);
    ::ShowWindow(main, SW_RESTORE);
    Pump();
    expectLayout(400);
}

TEST_F(EditorTest, TheContextMenuGraysByKindAndActsOnTheClickedItem)
{
    Open();
    const std::pair<std::pair<std::int32_t, const CStreamable*>, std::vector<int>> cases[] = {
        {{kNodeProject, &project}, {IDM_ADD_GROUP, IDM_ADD_LINK, IDM_ADD_FORM, IDM_CUT, IDM_COPY}},
        {{kNodeColumn, work}, {IDM_ADD_LINK, IDM_ADD_FORM}},
        {{kNodeGroup, mail}, {}},
        {{kNodeItem, inbox}, {}},
        {{kNodeItem, search}, {}}};
    for (const auto& c : cases) {
        MenuSeen seen = RightClick(ItemOf(c.first.first, c.first.second), 0);
        EXPECT_TRUE(seen.shown);
        EXPECT_EQ(seen.grayed, c.second);
        EXPECT_EQ(editor->ContextRecord(), nullptr);
    }
    EXPECT_EQ(Selected()->kind, kNodeProject) << "a right-click leaves the selection";
    EXPECT_FALSE(project.modified);

    // A command from the menu acts on the clicked item, whatever is selected, and leaves that
    // node selected (Add: the new one); the keys act on the selection.
    Select(kNodeItem, paper);
    MenuSeen seen = RightClick(ItemOf(kNodeItem, wiki), IDM_ADD_LINK);
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],Docs[Wiki,New Link]],"
                           L"Play[News[Paper,Radio],Spare],Empty]");
    EXPECT_EQ(Selected()->node, docs->items[1]) << "the new link is selected";
    Select(kNodeItem, radio);
    RightClick(ItemOf(kNodeColumn, play), IDM_MOVE_UP);
    EXPECT_EQ(editor->ContextRecord(), nullptr);
    EXPECT_EQ(project.columns[0], play);
    EXPECT_EQ(Selected()->node, play);
    RightClick(ItemOf(kNodeItem, inbox), IDM_MOVE_DOWN);
    EXPECT_EQ(mail->items[1], inbox);
    EXPECT_EQ(Selected()->node, inbox);
    Select(kNodeItem, radio);
    PressKey(VK_UP, true);
    EXPECT_EQ(news->items[0], radio);
    EXPECT_EQ(project.columns[0], play);
    ExpectTreeShowsModel();

    // Delete from the menu of an item that is not selected.
    shell.answers = {IDOK};
    RightClick(ItemOf(kNodeGroup, mail), IDM_DELETE);
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(work->groups.size(), 1u);
    EXPECT_EQ(Selected()->node, radio);
    EXPECT_EQ(editor->ContextRecord(), nullptr);
    ExpectTreeShowsModel();
}

TEST_F(EditorTest, RightClickingEmptySpaceShowsNoMenu)
{
    Open();
    Resize(800, 600);
    MenuSeen seen = RightClickEmptySpace();
    EXPECT_FALSE(seen.shown);
    EXPECT_EQ(project.columns.size(), 3u);
    EXPECT_EQ(editor->ContextRecord(), nullptr);
}

TEST_F(EditorTest, TabMovesOnlyAmongTheVisiblePanesControls)
{
    Open();
    Select(kNodeGroup, news);
    HWND edit = ::GetDlgItem(editor->groupPane.Window(), IDC_GROUP_CAPTION);
    ASSERT_NE(edit, nullptr);
    ::SetFocus(tree);
    PressKey(VK_TAB);
    EXPECT_EQ(::GetFocus(), edit);
    PressKey(VK_TAB);
    EXPECT_EQ(::GetFocus(), tree) << "from the pane's last control on to the tree; the hidden "
                                     "panes are skipped";
}

TEST_F(EditorTest, TheWindowsFocusGoesToTheTreeOrBackToTheControlThatHadIt)
{
    Open();
    ::SetFocus(main);
    EXPECT_EQ(::GetFocus(), tree) << "the keyboard reaches the tree without a click";

    Select(kNodeGroup, news);
    HWND edit = ::GetDlgItem(editor->groupPane.Window(), IDC_GROUP_CAPTION);
    ::SetFocus(edit);
    ::SendMessageW(main, WM_ACTIVATE, WA_INACTIVE, 0);
    ::SetFocus(main);
    EXPECT_EQ(::GetFocus(), edit) << "back where the user was typing";

    // Hiding the pane that holds the focus gives it to the tree, and so does the window later.
    Select(kNodeColumn, play);
    EXPECT_EQ(::GetFocus(), tree);
    ::SendMessageW(main, WM_ACTIVATE, WA_INACTIVE, 0);
    ::SetFocus(main);
    EXPECT_EQ(::GetFocus(), tree);
}

TEST_F(EditorTest, CreatingThePanesLeavesTheHiddenWindowInactiveUntilItIsShown)
{
    // Focusing a pane's control at creation activated the hidden window unseen, and it came up
    // drawn inactive.
    ::InitCommonControls();
    editor = std::make_unique<CfrmTreeEditor>(project);
    ASSERT_TRUE(editor->Create());
    main = editor->MainWindow();
    tree = editor->TreeView();
    EXPECT_NE(::GetActiveWindow(), main);
    HWND focus = ::GetFocus();
    EXPECT_FALSE(focus && (focus == main || ::IsChild(main, focus)));

    editor->Populate();
    ::ShowWindow(main, SW_SHOWNORMAL);
    EXPECT_EQ(::GetActiveWindow(), main);
    EXPECT_EQ(::GetFocus(), tree);
}

// The main window as a person uses it, with real input (SendInput through the message loop):
// the splitter, the minimum size, the placement between runs, the status bar, the keyboard
// between tree and pane, the Tree menu's Add items, Help and About.
#include "editor/editor_fixture.h"
#include "editor/keyboard_navigation.h"
#include "editor/window_placement.h"
#include "gui_desktop.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "panes/pane_fixture.h"
#include "persist/text.h"
#include "platform/platform.h"
#include "quil_version.h"
#include "services/browser_launch.h"
#include "services/browser_stand_in.h"
#include "services/help_page.h"
#include "services/paths.h"
#include "services/run_files.h"
#include "services/status_texts.h"
#include "test_support.h"
#include "winui/list_rows.h"

#include <functional>

namespace {

using Panes = std::vector<std::string>;

class WindowTest : public InputTest
{
protected:
    std::wstring Outcome() { return editor->StatusBar().PartText(CStatusBar::kOutcome); }
    std::wstring PageState() { return editor->StatusBar().PartText(CStatusBar::kPageState); }
    HWND Focus() { return ::GetFocus(); }
    HWND PaneControl(CdlgPropBase& pane, int id) { return ::GetDlgItem(pane.Window(), id); }
};

} // namespace

TEST_F(WindowTest, TheSplitterFollowsTheMouseLiveBetweenItsLimits)
{
    Open();
    Resize(1000, 600);
    ASSERT_EQ(editor->TreeWidth(), 300);
    const LayoutBox bar = editor->CurrentPlacement().splitter;
    const int y = 200;
    POINT grab = {(bar.left + bar.right) / 2, y};
    Mouse(grab);
    // Asked where the mouse really is, the window shows the resize cursor; beside the bar not.
    auto cursorAsked = [this] {
        ::SetCursor(nullptr);
        ::SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(main),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    };
    // Wine's pointer position follows the X server's a moment late now and then: asked again
    // for a while rather than once.
    const HCURSOR resize = ::LoadCursorW(nullptr, IDC_SIZEWE);
    EXPECT_TRUE(PumpUntil([&] { return cursorAsked() == resize; }, 2000)) << "the resize cursor";
    Mouse({grab.x + 20, y});
    EXPECT_TRUE(PumpUntil([&] { return cursorAsked() != resize; }, 2000));
    Mouse(grab);

    Mouse(grab, MOUSEEVENTF_LEFTDOWN);
    Mouse({grab.x + 150, y});
    // Live: the tree and the pane follow before the button is let go.
    EXPECT_EQ(editor->TreeWidth(), 450);
    EXPECT_EQ(ChildRect(tree).right, 450);
    EXPECT_EQ(ChildRect(editor->projectPane.Window()).left, 450 + bar.Width());
    Mouse({990, y});
    EXPECT_EQ(editor->TreeWidth(), 1000 - 240) << "the pane keeps 240 pixels";
    Mouse({5, y});
    EXPECT_EQ(editor->TreeWidth(), 120) << "the tree keeps 120 pixels";
    Mouse({grab.x + 300, y});
    Mouse({grab.x + 300, y}, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(editor->TreeWidth(), 600);
    // Let go, the mouse moves on without the tree.
    Mouse({grab.x + 100, y});
    EXPECT_EQ(editor->TreeWidth(), 600);

    // A wide window with the tree widened: a screenshot to look at.
    Resize(1200, 650);
    EXPECT_EQ(editor->TreeWidth(), 600);
    Select(kNodeItem, inbox);
    Shot(L"screenshot-splitter-wide.png");

    // Resizing keeps the tree's share of the width, at most half of it.
    EXPECT_EQ(editor->TreeShare(), 6000);
    Resize(1000, 600);
    EXPECT_EQ(editor->TreeWidth(), 500);
    Resize(1200, 650);
    EXPECT_EQ(editor->TreeWidth(), 600);
}

TEST_F(WindowTest, ThePlacementComesBackOnlyOntoAMonitorThatIsThere)
{
    Open();
    ::SetWindowPos(main, nullptr, 40, 30, 900, 640, SWP_NOZORDER);
    Pump();
    const int grab = editor->CurrentPlacement().splitter.left + 1;
    const int before = editor->TreeWidth();
    ::SendMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab, 50));
    ::SendMessageW(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab + 40, 50));
    ::SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(grab + 40, 50));
    ASSERT_EQ(editor->TreeWidth(), before + 40);
    const int share = editor->TreeShare();
    Key('X', false, false, true); // Alt+X: nothing changed, so nothing is asked
    ASSERT_TRUE(PumpUntil([&] { return quitPosted; }));

    // The next run comes up where this one ended.
    editor.reset();
    quitPosted = false;
    OpenWindow();
    RECT rect = {};
    ::GetWindowRect(main, &rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right, 940);
    EXPECT_EQ(rect.bottom, 670);
    EXPECT_EQ(editor->TreeWidth(), before + 40);
    EXPECT_EQ(editor->TreeShare(), share);
    EXPECT_EQ(editor->ShowCommandFor(SW_SHOWNORMAL), SW_SHOWNORMAL);

    // Maximised: the next run comes up maximised, with the normal place kept for restoring.
    ::ShowWindow(main, SW_MAXIMIZE);
    Pump();
    Command(IDM_EXIT);
    ASSERT_TRUE(quitPosted);
    editor.reset();
    quitPosted = false;
    OpenWindow();
    EXPECT_EQ(editor->ShowCommandFor(SW_SHOWNORMAL), SW_SHOWMAXIMIZED);
    EXPECT_EQ(editor->ShowCommandFor(SW_SHOWMINNOACTIVE), SW_SHOWMINNOACTIVE);
    ::GetWindowRect(main, &rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.right, 940);
    EXPECT_EQ(editor->TreeShare(), share);
    editor.reset();

    // A place on a monitor that is not there any more, kept by a run that knew only the tree's
    // pixels: the default place instead, and the share those pixels were of that window.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, PlacementKey());
    SavedPlacement gone;
    gone.normal = {5000, 30, 5900, 670};
    gone.maximized = true;
    gone.treeWidth = 333;
    ASSERT_TRUE(SavePlacement(gone));
    OpenWindow();
    ::GetWindowRect(main, &rect);
    EXPECT_LT(rect.left, ::GetSystemMetrics(SM_CXSCREEN) - 100);
    EXPECT_NE(::MonitorFromWindow(main, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(editor->ShowCommandFor(SW_SHOWNORMAL), SW_SHOWNORMAL);
    RECT frame = {};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CONTROLPARENT);
    const int keptShare = CMainLayout::ShareOfTree(333, 900 - (frame.right - frame.left));
    EXPECT_EQ(editor->TreeShare(), keptShare) << "the tree's share is no place: it is kept";
    RECT client = {};
    ::GetClientRect(main, &client);
    EXPECT_EQ(editor->TreeWidth(), editor->Layouts().TreeWidthForShare(keptShare, client.right));
}

TEST_F(WindowTest, TheStatusBarSaysWhatEachFileCommandDid)
{
    Open();
    EXPECT_EQ(Outcome(), L"");
    EXPECT_EQ(PageState(), L"Homepage not yet written since the last change (F5)");

    Key(VK_F5);
    EXPECT_EQ(Outcome(), L"Homepage written to " + HomepageFilePath);
    EXPECT_EQ(PageState(), L"Homepage up to date");

    // A change makes the written page old.
    Select(kNodeGroup, news);
    ::SetFocus(PaneControl(editor->groupPane, IDC_GROUP_CAPTION));
    ::SendMessageW(PaneControl(editor->groupPane, IDC_GROUP_CAPTION), EM_SETSEL, 4, 4);
    Key('X');
    EXPECT_EQ(news->caption, L"Newsx");
    EXPECT_EQ(PageState(), L"Homepage not yet written since the last change (F5)");

    // A save writes the homepage too.
    Key('S', false, true);
    EXPECT_EQ(Outcome(), L"Project saved to Quillomere.quil and homepage written to "
                         L"Quillomere.html in " +
                             folder);
    EXPECT_EQ(PageState(), L"Homepage up to date");

    // Failures say so too, beside the message box of a failed save.
    const std::wstring good = folder;
    BuildFilePaths(folder + L"\\missing");
    Key('S', false, true);
    EXPECT_EQ(Outcome(), L"The project could not be saved to " + ProjectFilePath);
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(shell.shown[0].text, L"The project could not be saved to\r\n" + ProjectFilePath);
    Key(VK_F5);
    EXPECT_EQ(Outcome(), L"The homepage could not be written to " + HomepageFilePath);
    EXPECT_EQ(PageState(), L"Homepage not yet written since the last change (F5)");
    BuildFilePaths(good);

    // Reading a homepage says what it read.
    Key(VK_F5);
    shell.chosenFile = HomepageFilePath;
    Command(IDM_READ_HTML);
    EXPECT_EQ(Outcome(), L"Read Quillomere.html: 3 columns, 4 groups, 4 links, 2 forms");
    EXPECT_EQ(PageState(), L"Homepage not yet written since the last change (F5)");

    // And a bookmark file what it added and what it left out.
    std::wstring bookmarks = folder + L"\\bookmarks.html";
    WriteFileBytes(bookmarks, "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n"
                              "<H1>Bookmarks</H1>\n<DL><p>\n"
                              "<DT><H3>Toolbar</H3>\n<DL><p>\n"
                              "<DT><A HREF=\"https://a.example.com/\">Alpha</A>\n"
                              "<DT><H3>Tools</H3>\n<DL><p>\n"
                              "<DT><A HREF=\"javascript:void(0)\">Script</A>\n"
                              "<DT><A HREF=\"https://c.example.com/\">Gamma</A>\n"
                              "</DL><p>\n</DL><p>\n"
                              "<DT><A HREF=\"https://loose.example.com/\">Loose</A>\n"
                              "</DL><p>\n");
    shell.chosenFile = bookmarks;
    Command(IDM_READ_HTML);
    EXPECT_EQ(Outcome(),
              L"Read bookmarks.html: 2 columns, 3 groups, 3 links; 1 bookmark skipped (1 "
              L"script address)");
    Shot(L"screenshot-status-bar.png");
    platform::RemoveFile(bookmarks);
}

TEST_F(WindowTest, TheKeyboardGoesAroundTheWholeWindow)
{
    Open();
    Select(kNodeItem, inbox);
    CdlgPropBase& pane = editor->linkPane;
    const std::vector<HWND> stops = keyboard::TabStops(pane.Window());
    ASSERT_GE(stops.size(), 4u);
    HWND caption = PaneControl(pane, IDC_LINK_CAPTION);
    ASSERT_EQ(stops.front(), caption);
    ::SetFocus(tree);

    // F6 and Shift+F6 between tree and pane; the pane's control that was left is taken again.
    Key(VK_F6);
    EXPECT_EQ(Focus(), caption);
    Key(VK_TAB);
    EXPECT_EQ(Focus(), stops[1]);
    Key(VK_F6, true);
    EXPECT_EQ(Focus(), tree);
    Key(VK_F6);
    EXPECT_EQ(Focus(), stops[1]);
    // Escape from the pane to the tree.
    Key(VK_ESCAPE);
    EXPECT_EQ(Focus(), tree);

    // Tab goes through every control of the pane and on to the tree, Shift+Tab the other way.
    for (HWND stop : stops) {
        Key(VK_TAB);
        EXPECT_EQ(Focus(), stop);
    }
    Key(VK_TAB);
    EXPECT_EQ(Focus(), tree) << "from the pane's last control to the tree";
    for (auto stop = stops.rbegin(); stop != stops.rend(); ++stop) {
        Key(VK_TAB, true);
        EXPECT_EQ(Focus(), *stop);
    }
    Key(VK_TAB, true);
    EXPECT_EQ(Focus(), tree) << "from the pane's first control back to the tree";

    // The arrow keys still move in the tree, and the pane follows.
    Key(VK_DOWN);
    EXPECT_EQ(Selected()->node, search);
    EXPECT_EQ(VisiblePanes(), Panes{"form"});

    // The plain Delete key in the tree asks, as Ctrl+Del does.
    Select(kNodeGroup, spare);
    ::SetFocus(tree);
    shell.answers = {IDCANCEL};
    Key(VK_DELETE);
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(shell.shown[0].text, L"Are you sure you want to delete the selected node?");
    EXPECT_EQ(play->groups.size(), 2u);
    shell.answers = {IDOK};
    Key(VK_DELETE);
    EXPECT_EQ(shell.shown.size(), 2u);
    EXPECT_EQ(play->groups.size(), 1u);
    ExpectTreeShowsModel();
    // In a pane's edit the Delete key edits the text and deletes nothing.
    Select(kNodeGroup, news);
    HWND edit = PaneControl(editor->groupPane, IDC_GROUP_CAPTION);
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, 0);
    Key(VK_DELETE);
    EXPECT_EQ(news->caption, L"ews");
    EXPECT_EQ(shell.shown.size(), 2u);
}

TEST_F(WindowTest, TheTreeMenusAddItemsActOnTheSelection)
{
    Open();
    Select(kNodeItem, paper);
    // Alt+T opens the Tree menu, the underlined letter picks the item.
    MenuKeys('T', 'C');
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],Docs[Wiki]],"
                           L"Play[News[Paper,Radio],Spare],New column,Empty]");
    EXPECT_EQ(Selected()->node, project.columns[2]);

    Select(kNodeItem, paper);
    MenuKeys('T', 'G');
    EXPECT_EQ(play->groups[1]->caption, L"New group");
    Select(kNodeItem, paper);
    MenuKeys('T', 'L');
    EXPECT_EQ(news->items[1]->GetLabel(), L"New Link");
    Select(kNodeItem, paper);
    MenuKeys('T', 'F');
    EXPECT_EQ(news->items[1]->GetLabel(), L"New form");
    // Ctrl+N adds a link too, also with the focus in a pane.
    Select(kNodeGroup, spare);
    ::SetFocus(PaneControl(editor->groupPane, IDC_GROUP_CAPTION));
    Key('N', false, true);
    ASSERT_EQ(spare->items.size(), 1u);
    EXPECT_EQ(spare->items[0]->GetLabel(), L"New Link");
    ExpectTreeShowsModel();
    // Never grayed: on a column, Add link does nothing and says nothing.
    Select(kNodeColumn, empty);
    const std::wstring before = ModelText();
    MenuKeys('T', 'L');
    EXPECT_EQ(ModelText(), before);
}

TEST_F(WindowTest, EditsWithoutACurrentRowAreEmptyAndCarryHints)
{
    Open();
    Select(kNodeItem, search);
    CdlgPropItemForm& form = editor->formPane;
    HWND fields = PaneControl(form, IDC_FORM_FIELDS);
    listrows::Select(fields, 0);
    Choose(PaneControl(form, IDC_FIELD_TYPE), 1); // Select: options can be added
    Pump();
    Click(PaneControl(form, IDC_OPTION_ADD));
    HWND optionName = PaneControl(form, IDC_OPTION_NAME);
    EXPECT_EQ(Text(optionName), L"New option");
    Click(PaneControl(form, IDC_OPTION_REMOVE));
    EXPECT_EQ(Text(optionName), L"");
    EXPECT_EQ(Text(PaneControl(form, IDC_OPTION_VALUE)), L"");
    EXPECT_FALSE(Enabled(optionName));

    // The edits without a label of their own say what goes into them.
    const std::pair<int, const wchar_t*> hints[] = {{IDC_FIELD_NAME, L"Field name"},
                                                    {IDC_FIELD_VALUE, L"Field value"},
                                                    {IDC_OPTION_NAME, L"Option name"},
                                                    {IDC_OPTION_VALUE, L"Option value"}};
    for (const auto& [id, hint] : hints) {
        wchar_t text[64] = {};
        EXPECT_TRUE(::SendMessageW(PaneControl(form, id), EM_GETCUEBANNER,
                                   reinterpret_cast<WPARAM>(text), 64));
        EXPECT_STREQ(text, hint) << id;
    }
    for (const auto& [id, hint] :
         {std::pair<int, const wchar_t*>{IDC_LINK_ROW_CAPTION, L"Caption of the further link"},
          std::pair<int, const wchar_t*>{IDC_LINK_ROW_URL, L"URL of the further link"}}) {
        wchar_t text[64] = {};
        ::SendMessageW(PaneControl(editor->linkPane, id), EM_GETCUEBANNER,
                       reinterpret_cast<WPARAM>(text), 64);
        EXPECT_STREQ(text, hint) << id;
    }
}

TEST_F(WindowTest, F1OpensTheHelpPageInTheBrowserUntilQuit)
{
    CBrowserStandIn browser;
    browser.Register();
    shell.realLaunches = true;
    Open();
    Key(VK_F1);
    ASSERT_TRUE(PumpUntil([&] { return browser.HasRun(); }, 30000));
    ASSERT_TRUE(PumpUntil([] { return BrowserLaunchesRunning() == 0; }));
    std::vector<BrowserRun> runs = browser.TakeRuns();
    ASSERT_EQ(runs.size(), 1u);
    const std::wstring path = platform::TempFolder() + kHelpFileName;
    std::vector<std::wstring> arguments = Arguments(runs[0].commandLine);
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[1], path);
    const std::string& page = runs[0].page;
    EXPECT_NE(page.find("<title>Quillomere Help</title>"), std::string::npos);
    EXPECT_NE(page.find("Quillomere " QUIL_VERSION), std::string::npos);
    EXPECT_NE(page.find(EscapeHtml(ToUtf8(ProjectFilePath))), std::string::npos);
    EXPECT_NE(page.find(EscapeHtml(ToUtf8(HomepageFilePath))), std::string::npos);
    for (const char* key : {"Ctrl+S", "F5", "Ctrl+F5", "Ctrl+Z", "Ctrl+Y", "Ctrl+Shift+Z", "Ctrl+F",
                            "Shift+F3", "F2", "F6", "Ctrl+N", "Delete", "Esc", "F1", "Alt+X"})
        EXPECT_NE(page.find(std::string("<kbd>") + key + "</kbd>"), std::string::npos) << key;
    EXPECT_EQ(page.find("{{"), std::string::npos);
    // The page stays for the browser until the program quits.
    EXPECT_TRUE(platform::FileExists(path));
    RemoveFilesOfRun();
    EXPECT_FALSE(platform::FileExists(path));
}

namespace {

struct AboutSeen
{
    HWND owner = nullptr;
    bool shown = false;
    std::wstring title, version, files, notices;
    LRESULT smallIcon = 0;
    int ticks = 0;
};
AboutSeen* aboutSeen = nullptr;

// Runs in the About box's own message loop: reads what it shows, takes its picture and closes
// it with its OK button.
void CALLBACK ReadAboutBox(HWND, UINT, UINT_PTR, DWORD)
{
    if (!aboutSeen || aboutSeen->shown) return;
    if (++aboutSeen->ticks > 500) return;
    HWND box = nullptr;
    while ((box = ::FindWindowExW(nullptr, box, L"#32770", nullptr))) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(box, &process);
        if (process == ::GetCurrentProcessId() && ::IsWindowVisible(box)) break;
    }
    if (!box) return;
    auto text = [box](int id) {
        wchar_t buffer[2048] = {};
        ::GetDlgItemTextW(box, id, buffer, 2048);
        return std::wstring(buffer);
    };
    wchar_t title[128] = {};
    ::GetWindowTextW(box, title, 128);
    aboutSeen->shown = true;
    aboutSeen->owner = ::GetWindow(box, GW_OWNER);
    aboutSeen->title = title;
    aboutSeen->version = text(IDC_ABOUT_VERSION);
    aboutSeen->files = text(IDC_ABOUT_FILES);
    aboutSeen->notices = text(IDC_ABOUT_NOTICES);
    aboutSeen->smallIcon = ::SendMessageW(box, WM_GETICON, ICON_SMALL, 0);
    ::RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(
        SaveWindowScreenshot(box, WindowsPath(QUIL_SCREENSHOT_DIR) + L"\\screenshot-about.png"));
    ::PostMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

} // namespace

TEST_F(WindowTest, AboutShowsTheVersionTheFilesAndTheNotices)
{
    Open();
    AboutSeen seen;
    aboutSeen = &seen;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, ReadAboutBox);
    // Alt+H opens the Help menu, A picks About.
    MenuKeys('H', 'A');
    PumpUntil([&] { return seen.shown; });
    ::KillTimer(nullptr, timer);
    aboutSeen = nullptr;
    PumpFor(200);
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.owner, main);
    EXPECT_EQ(seen.title, L"About Quillomere");
    // The program's icon, as its owner has it.
    EXPECT_EQ(seen.smallIcon, static_cast<LRESULT>(::GetClassLongPtrW(main, GCLP_HICONSM)));
    EXPECT_EQ(seen.version, L"Quillomere " + FromUtf8(QUIL_VERSION) + L"\r\nA homepage manager");
    EXPECT_EQ(seen.files,
              L"Project file:\r\n" + ProjectFilePath + L"\r\n\r\nHomepage:\r\n" + HomepageFilePath);
    for (const wchar_t* piece : {L"MinGW-w64", L"winpthreads", L"Zope Public License 2.1",
                                 L"libgcc", L"libstdc++", L"GCC Runtime Library Exception 3.1"})
        EXPECT_NE(seen.notices.find(piece), std::wstring::npos) << ToUtf8(piece);
    // Closed with OK, the window goes on.
    EXPECT_TRUE(::IsWindowEnabled(main));
    EXPECT_FALSE(quitPosted);
}

TEST_F(WindowTest, ThePageStyleIsChosenByKeyboardAndMouseAndUndone)
{
    Open();
    Select(kNodeProject, &project);
    HWND title = PaneControl(editor->projectPane, IDC_PROJECT_TITLE);
    HWND combo = PaneControl(editor->projectPane, IDC_PROJECT_STYLE);
    EXPECT_EQ(ComboText(combo), L"Classic");
    EXPECT_FALSE(project.modified) << "showing the style is no change";
    Key(VK_F5);
    ASSERT_EQ(PageState(), L"Homepage up to date");

    // The keyboard: Tab from the title to the list, Down picks the next entry.
    ::SetFocus(title);
    Key(VK_TAB);
    ASSERT_EQ(Focus(), combo);
    Key(VK_DOWN);
    EXPECT_EQ(project.pageStyle, PageStyle::Modern);
    EXPECT_EQ(ComboText(combo), L"Modern");
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(PageState(), L"Homepage not yet written since the last change (F5)");
    EXPECT_EQ(editor->changes.UndoName(), L"page style change");

    // Ctrl+Z with the focus still in the list.
    Key('Z', false, true);
    EXPECT_EQ(project.pageStyle, PageStyle::Classic);
    EXPECT_EQ(ComboText(combo), L"Classic");
    EXPECT_EQ(Focus(), combo);

    // The mouse: the list drops down, a click on its second entry.
    RECT closed = ChildRect(combo);
    ::MapWindowPoints(editor->projectPane.Window(), main, reinterpret_cast<POINT*>(&closed), 2);
    POINT middle = {(closed.left + closed.right) / 2, (closed.top + closed.bottom) / 2};
    Mouse(middle, MOUSEEVENTF_LEFTDOWN);
    Mouse(middle, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
    const int entry = static_cast<int>(::SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    POINT second = {middle.x, closed.bottom + entry + entry / 2};
    Mouse(second, MOUSEEVENTF_LEFTDOWN);
    Mouse(second, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
    EXPECT_EQ(project.pageStyle, PageStyle::Modern);
    EXPECT_EQ(ComboText(combo), L"Modern");

    // F5 writes the Modern page.
    Key(VK_F5);
    const std::string page = ReadFileBytes(HomepageFilePath);
    EXPECT_EQ(page.rfind("<!DOCTYPE html>\r\n<html class=\"quillomere-modern\"", 0), 0u);
    EXPECT_EQ(page, GeneratedPage(project));

    // Undone from elsewhere: the project is selected again and its pane shows the old style.
    Select(kNodeColumn, work);
    ::SetFocus(tree);
    Key('Z', false, true);
    EXPECT_EQ(project.pageStyle, PageStyle::Classic);
    ASSERT_EQ(Selected()->kind, kNodeProject);
    EXPECT_EQ(ComboText(combo), L"Classic");
    Key('Y', false, true);
    EXPECT_EQ(project.pageStyle, PageStyle::Modern);
    EXPECT_EQ(ComboText(combo), L"Modern");

    // A style of a later version is kept and shown as no entry; choosing one replaces it.
    project.pageStyle = static_cast<PageStyle>(7);
    Select(kNodeColumn, work);
    Select(kNodeProject, &project);
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    ::SetFocus(combo);
    Key('C'); // the entry that starts with the letter
    EXPECT_EQ(project.pageStyle, PageStyle::Classic);
    Key('Z', false, true);
    EXPECT_EQ(static_cast<int>(project.pageStyle), 7);
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
}

// The real program with the files a user has: it starts from them, F5 writes the homepage, Ctrl+S
// the project file, and quitting after a change asks by a real message box.
#include "e2e/program.h"

#include "gui_desktop.h"
#include "services/default_project.h"

#include "homepage/bookmark_writer.h"
#include "homepage/page_writer.h"
#include "import/html_import.h"
#include "import/project_html_parser.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "platform/platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

// Waits until a file holds `expected`; returns what it held last.
std::string WaitForContent(const std::wstring& path, const std::string& expected)
{
    std::string content;
    WaitUntil([&] { return (content = ReadFileBytes(path)) == expected; });
    return content;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The selected item, or the first column, once it is `expected`, or whatever it is after a
// while. A sent message overtakes queued input, so the program may answer before it has handled
// a click or a key.
HTREEITEM WaitForSelection(HWND tree, HTREEITEM expected)
{
    WaitUntil([&] { return Next(tree, nullptr, TVGN_CARET) == expected; }, 5000);
    return Next(tree, nullptr, TVGN_CARET);
}
HTREEITEM WaitForFirstColumn(HWND tree, HTREEITEM root, HTREEITEM expected)
{
    WaitUntil([&] { return Next(tree, root, TVGN_CHILD) == expected; }, 5000);
    return Next(tree, root, TVGN_CHILD);
}

class ProgramTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_EQ(::FindWindowW(L"CfrmTreeEditor", nullptr), nullptr) << "a window was left";
    }

    // A project with every kind of node and a popup.
    static void BuildProject(CProject& project)
    {
        project.title = L"Start";
        auto* column = new CColumn(project, L"Daily");
        auto* group = new CGroup(*column, L"News");
        auto* link = new CItemLink(*group, L"Paper", L"https://paper.example.com/");
        link->SetPopupContent(L"<b>Today</b>");
        link->AddLink(L"Sport", L"https://paper.example.com/sport");
        link->divider = L" | ";
        auto* form = new CItemForm(*group);
        form->name = L"Find";
        form->action = L"https://search.example.com/";
        form->AddField(0, L"q", L"", 20);
        new CColumn(project, L"Spare");
    }

    // Closes the main window, which asks whether to save, and answers by the button `answer`;
    // false when no question came.
    static bool CloseAndAnswer(CProgram& program, HWND main, int answer)
    {
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        HWND box = program.WaitForMessageBox();
        if (!box) return false;
        EXPECT_EQ(CProgram::MessageBoxText(box),
                  L"Project is changed.\r\n\r\nSave changes before quitting?");
        CProgram::ClickButton(box, answer);
        return true;
    }

    // F5 writes `expected` as the homepage; the window is closed and the program ends.
    void GenerateAndQuit(CProgram& program, HWND main, const std::string& expected)
    {
        program.PressKey(VK_F5);
        EXPECT_EQ(WaitForContent(homepagePath, expected), expected);
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }

    // Starts the program and waits for its shown window with `items` tree items.
    HWND Start(CProgram& program, int items)
    {
        EXPECT_TRUE(program.Started());
        HWND main = program.WaitForMainWindow();
        EXPECT_NE(main, nullptr);
        if (!main) return nullptr;
        EXPECT_EQ(::SendMessageW(program.Tree(), TVM_GETCOUNT, 0, 0), items);
        return main;
    }

    CProgramFiles files;
    const std::wstring& projectPath = files.project;
    const std::wstring& homepagePath = files.homepage;
};

} // namespace

TEST_F(ProgramTest, WithAProjectFileF5WritesItsHomepage)
{
    CProject saved;
    BuildProject(saved);
    ASSERT_TRUE(SaveProjectFile(saved, projectPath));
    const std::string projectBytes = ReadFileBytes(projectPath);
    // The program numbers its popups from 1.
    popupCounter = 0;
    CProject loaded;
    ASSERT_GT(LoadProjectFile(loaded, projectPath), 0);
    const std::string expected = GeneratedPage(loaded);

    CProgram program;
    HWND main = Start(program, 6);
    ASSERT_NE(main, nullptr);
    GenerateAndQuit(program, main, expected);
    EXPECT_EQ(ReadFileBytes(projectPath), projectBytes) << "nothing changed, nothing saved";
}

TEST_F(ProgramTest, WithoutFilesItShowsTheSampleProject)
{
    CProgram program;
    HWND main = Start(program, 8);
    ASSERT_NE(main, nullptr);
    HWND tree = program.Tree();
    HTREEITEM root = Next(tree, nullptr, TVGN_ROOT);
    EXPECT_EQ(Next(tree, nullptr, TVGN_CARET), root);
    EXPECT_TRUE(
        ::SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(root), TVIS_EXPANDED) &
        TVIS_EXPANDED);
    // The keyboard reaches the tree at once: Down selects the first column.
    program.PressKey(VK_DOWN);
    HTREEITEM firstColumn = Next(tree, root, TVGN_CHILD);
    EXPECT_EQ(WaitForSelection(tree, firstColumn), firstColumn);
    program.PressKey(VK_UP);
    EXPECT_EQ(WaitForSelection(tree, root), root);
    ::Sleep(300); // let it paint
    EXPECT_TRUE(SaveWindowScreenshot(main, WindowsPath(QUIL_SCREENSHOT_PATH)));

    CProject sample;
    BuildDefaultProject(sample);
    GenerateAndQuit(program, main, GeneratedPage(sample));
    EXPECT_FALSE(platform::FileExists(projectPath)) << "quitting at once saves nothing";
}

TEST_F(ProgramTest, WithOnlyAHomepageItImportsIt)
{
    CProject original;
    BuildProject(original);
    WriteFileBytes(homepagePath, GeneratedPage(original));
    popupCounter = 0;
    CProject imported;
    {
        CFileStream page(homepagePath, false);
        CProjectHTMLParser parser(imported);
        ASSERT_TRUE(parser.Parse(page));
    }
    const std::string expected = GeneratedPage(imported);

    CProgram program;
    HWND main = Start(program, 6);
    ASSERT_NE(main, nullptr);
    GenerateAndQuit(program, main, expected);
    EXPECT_FALSE(platform::FileExists(projectPath));
}

TEST_F(ProgramTest, CtrlSWritesTheProjectFile)
{
    CProgram program;
    HWND main = Start(program, 8);
    ASSERT_NE(main, nullptr);
    program.PressKey('S', true);
    ASSERT_TRUE(WaitForFile(projectPath));
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
    CProject saved;
    ASSERT_GT(LoadProjectFile(saved, projectPath), 0);
    EXPECT_EQ(saved.title, L"New project");
    ASSERT_EQ(saved.columns.size(), 2u);
    EXPECT_EQ(saved.columns[0]->groups.size(), 2u);
}

TEST_F(ProgramTest, ClosingAfterAChangeAsksAndEachAnswerDoesWhatItSays)
{
    CProgram program;
    HWND main = Start(program, 8);
    ASSERT_NE(main, nullptr);
    HWND tree = program.Tree();
    HTREEITEM root = Next(tree, nullptr, TVGN_ROOT);
    HTREEITEM firstColumn = Next(tree, root, TVGN_CHILD);
    HTREEITEM secondColumn = Next(tree, firstColumn, TVGN_NEXT);

    // Click the first column, move it down with Ctrl+Down.
    program.ClickTreeRow(1, 1);
    ASSERT_EQ(WaitForSelection(tree, firstColumn), firstColumn);
    program.PressKey(VK_DOWN, true);
    ASSERT_EQ(WaitForFirstColumn(tree, root, secondColumn), secondColumn);

    // Cancel keeps it running.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    wchar_t caption[64] = {};
    ::GetWindowTextW(box, caption, 64);
    EXPECT_STREQ(caption, L"Quillomere");
    EXPECT_EQ(CProgram::MessageBoxText(box),
              L"Project is changed.\r\n\r\nSave changes before quitting?");
    for (int button : {IDYES, IDNO, IDCANCEL})
        EXPECT_NE(::GetDlgItem(box, button), nullptr) << button;
    CProgram::ClickButton(box, IDCANCEL);
    EXPECT_EQ(program.WaitForExit(1000), 0xDEADu);
    EXPECT_TRUE(::IsWindowVisible(main));

    // Yes saves, then quits.
    ASSERT_TRUE(CloseAndAnswer(program, main, IDYES));
    EXPECT_EQ(program.WaitForExit(), 0u);
    CProject saved;
    ASSERT_GT(LoadProjectFile(saved, projectPath), 0);
    ASSERT_EQ(saved.columns.size(), 2u);
    EXPECT_EQ(saved.columns[0]->caption, L"Another column");
    EXPECT_EQ(saved.columns[1]->caption, L"New Column");
    // The setting is absent: the save wrote the homepage after the project, as F5 writes it.
    EXPECT_EQ(ReadFileBytes(homepagePath), GeneratedPage(saved));
}

TEST_F(ProgramTest, AnsweringNoQuitsWithoutSaving)
{
    CProgram program;
    HWND main = Start(program, 8);
    ASSERT_NE(main, nullptr);
    HWND tree = program.Tree();
    HTREEITEM root = Next(tree, nullptr, TVGN_ROOT);
    HTREEITEM secondColumn = Next(tree, Next(tree, root, TVGN_CHILD), TVGN_NEXT);
    // The last row is the second column; Ctrl+Up makes it the first.
    program.ClickTreeRow(7, 1);
    ASSERT_EQ(WaitForSelection(tree, secondColumn), secondColumn);
    program.PressKey(VK_UP, true);
    ASSERT_EQ(WaitForFirstColumn(tree, root, secondColumn), secondColumn);

    ASSERT_TRUE(CloseAndAnswer(program, main, IDNO));
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_FALSE(platform::FileExists(projectPath));
    EXPECT_FALSE(platform::FileExists(homepagePath));
}

namespace {

// A file the user picks: read through "Read HTML file..." and the real open-file dialog, typed
// into its file-name box and confirmed with its Open button. Returns false when the dialog did
// not take it.
bool ReadHtmlFileThroughTheDialog(CProgram& program, const std::wstring& path)
{
    // File: Save, Preview, Generate homepage, (separator), Read HTML file...
    if (!program.ChooseMenuItem(0, 3)) {
        ADD_FAILURE() << "the File menu did not open";
        return false;
    }
    HWND dialog = program.WaitForOpenFileDialog();
    if (!dialog) {
        ADD_FAILURE() << "no open-file dialog";
        return false;
    }
    HWND name = CProgram::FileNameBox(dialog);
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    CProgram::ClickButton(dialog, IDOK);
    return WaitUntil([&] { return !::IsWindow(dialog); });
}

// The sample project after the program's read of `file`.
void SampleAfterReading(CProject& project, const std::wstring& file)
{
    BuildDefaultProject(project);
    CFileStream stream(file, false);
    ImportPageOrBookmarks(project, stream);
}

// Reads `file` through the dialog and expects the tree to show `expected` then; false when the
// dialog did not take the file.
bool ReadAndShow(CProgram& program, const std::wstring& file, const CProject& expected)
{
    if (!ReadHtmlFileThroughTheDialog(program, file)) return false;
    EXPECT_TRUE(WaitUntil([&] { return program.TreeText() == ShownOutline(expected); }))
        << program.TreeText();
    return true;
}

} // namespace

TEST_F(ProgramTest, ReadHtmlFileReadsAHomepageChosenInTheOpenFileDialog)
{
    CProject original;
    BuildProject(original);
    CTempFile page(L".html");
    WriteFileBytes(page.Path(), GeneratedPage(original));
    CProject expected;
    SampleAfterReading(expected, page.Path());
    ASSERT_EQ(expected.columns.size(), 2u) << "a page replaces the columns";

    CProgram program;
    HWND main = Start(program, 8);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ReadAndShow(program, page.Path(), expected));

    // Read, so changed: quitting asks, and No leaves no project file.
    ASSERT_TRUE(CloseAndAnswer(program, main, IDNO));
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_FALSE(platform::FileExists(projectPath));
    EXPECT_FALSE(platform::FileExists(homepagePath));
}

TEST_F(ProgramTest, ExportBookmarksWritesThroughTheSaveFileDialog)
{
    CTempFile exported(L".html");
    platform::RemoveFile(exported.Path());
    CProgram program;
    HWND main = Start(program, 8);
    ASSERT_NE(main, nullptr);
    // File: Save, Preview, Generate homepage, (separator), Read HTML file..., Export bookmarks...
    ASSERT_TRUE(program.ChooseMenuItem(0, 4));
    HWND dialog = program.WaitForOpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    wchar_t title[64] = {};
    ::GetWindowTextW(dialog, title, 64);
    EXPECT_STREQ(title, L"Export bookmarks");
    // The name it offers. (Its icon is the program's too, which Wine does not tell another
    // process: FileCommandsTest looks at it.)
    HWND name = CProgram::FileNameBox(dialog);
    wchar_t offered[64] = {};
    ::SendMessageW(name, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(offered));
    EXPECT_STREQ(offered, L"Bookmarks.html");
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(exported.Path().c_str()));
    CProgram::ClickButton(dialog, IDOK);

    CProject sample;
    BuildDefaultProject(sample);
    CMemoryStream expected;
    WriteBookmarks(sample, expected);
    expected.Finish();
    const std::string bookmarks = ReadAll(expected);
    EXPECT_EQ(WaitForContent(exported.Path(), bookmarks), bookmarks);
    // Exporting is no change: the program quits without asking.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST_F(ProgramTest, ReadHtmlFileAddsTheColumnsOfABrowserBookmarkFile)
{
    CTempFile bookmarks(L".html");
    WriteFileBytes(bookmarks.Path(), "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                                     "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n"
                                     "  <DT><H3 PERSONAL_TOOLBAR_FOLDER=\"true\">Toolbar</H3>\n"
                                     "  <DL><p>\n"
                                     "    <DT><A HREF=\"https://news.example.com/\">News</A>\n"
                                     "    <DT><H3>Work</H3>\n    <DL><p>\n"
                                     "      <DT><A HREF=\"https://mail.example.com/\">Mail</A>\n"
                                     "    </DL><p>\n  </DL><p>\n"
                                     "  <DT><A HREF=\"https://loose.example.com/\">Loose</A>\n"
                                     "</DL><p>\n");
    CProject expected;
    SampleAfterReading(expected, bookmarks.Path());
    ASSERT_EQ(expected.columns.size(), 4u) << "the bookmarks' columns come after the sample's";

    CProgram program;
    HWND main = Start(program, 8);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ReadAndShow(program, bookmarks.Path(), expected));

    // Yes saves what was read, then quits.
    ASSERT_TRUE(CloseAndAnswer(program, main, IDYES));
    EXPECT_EQ(program.WaitForExit(), 0u);
    CProject saved;
    ASSERT_GT(LoadProjectFile(saved, projectPath), 0);
    EXPECT_EQ(ProjectOutline(saved), ProjectOutline(expected));
}

namespace {

// The first visible edit box of the window's panes, as another program finds it.
HWND FirstVisibleEdit(HWND main)
{
    HWND found = nullptr;
    ::EnumChildWindows(
        main,
        [](HWND child, LPARAM result) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(child, name, 16);
            if (::lstrcmpiW(name, L"Edit") != 0 || !::IsWindowVisible(child)) return TRUE;
            *reinterpret_cast<HWND*>(result) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void TypeKeys(const std::wstring& text)
{
    for (wchar_t c : text) {
        INPUT input[2] = {};
        for (INPUT& each : input) {
            each.type = INPUT_KEYBOARD;
            each.ki.wScan = c;
            each.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        ::SendInput(2, input, sizeof(INPUT));
    }
}

} // namespace

TEST_F(ProgramTest, DeletingAColumnUndoingAndSavingWritesTheFileItStartedFrom)
{
    CProject saved;
    BuildProject(saved);
    ASSERT_TRUE(SaveProjectFile(saved, projectPath));
    const std::string projectBytes = ReadFileBytes(projectPath);

    CProgram program;
    HWND main = Start(program, 6);
    ASSERT_NE(main, nullptr);
    // The file goes, so that the save is seen to write it again.
    ASSERT_TRUE(platform::RemoveFile(projectPath));
    HWND tree = program.Tree();
    HTREEITEM daily = Next(tree, Next(tree, nullptr, TVGN_ROOT), TVGN_CHILD);
    program.ClickTreeRow(1, 1);
    ASSERT_EQ(WaitForSelection(tree, daily), daily);
    program.PressKey(VK_DELETE, true);
    HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    CProgram::ClickButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return program.TreeText() == L"Start[Spare]"; }))
        << program.TreeText();

    program.PressKey('Z', true);
    EXPECT_TRUE(WaitUntil([&] { return program.TreeText() == ShownOutline(saved); }))
        << program.TreeText();
    program.PressKey('S', true);
    EXPECT_EQ(WaitForContent(projectPath, projectBytes), projectBytes);
    // Saved: quitting asks nothing.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST_F(ProgramTest, TypingIntoTheCaptionUndoingAndGeneratingWritesThePageItStartedWith)
{
    CProject saved;
    BuildProject(saved);
    ASSERT_TRUE(SaveProjectFile(saved, projectPath));

    CProgram program;
    HWND main = Start(program, 6);
    ASSERT_NE(main, nullptr);
    program.PressKey(VK_F5);
    ASSERT_TRUE(WaitForFile(homepagePath));
    const std::string page = ReadFileBytes(homepagePath);
    ASSERT_TRUE(platform::RemoveFile(homepagePath));

    HWND tree = program.Tree();
    HTREEITEM daily = Next(tree, Next(tree, nullptr, TVGN_ROOT), TVGN_CHILD);
    program.ClickTreeRow(1, 1);
    ASSERT_EQ(WaitForSelection(tree, daily), daily);
    HWND caption = FirstVisibleEdit(main);
    ASSERT_NE(caption, nullptr);
    RECT rect = {};
    ::GetWindowRect(caption, &rect);
    program.Click({rect.right - 4, (rect.top + rect.bottom) / 2});
    TypeKeys(L"XYZ");
    const std::wstring typed = L"Start[DailyXYZ[News[Paper,Find]],Spare]";
    ASSERT_TRUE(WaitUntil([&] { return program.TreeText() == typed; })) << program.TreeText();

    program.PressKey('Z', true);
    EXPECT_TRUE(WaitUntil([&] { return program.TreeText() == ShownOutline(saved); }))
        << program.TreeText();
    program.PressKey(VK_F5);
    EXPECT_EQ(WaitForContent(homepagePath, page), page);
    // The undo changed the project back, but it was changed: quitting asks.
    ASSERT_TRUE(CloseAndAnswer(program, main, IDNO));
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST_F(ProgramTest, LinksCopiedInABrowserArePastedIntoAGroupAndSaved)
{
    CProject saved;
    BuildProject(saved);
    ASSERT_TRUE(SaveProjectFile(saved, projectPath));

    // Another program puts two links on the clipboard, as a browser does for a copied list.
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = const_cast<wchar_t*>(kTestDesktop);
    PROCESS_INFORMATION helper = {};
    std::wstring command = L"\"" + WindowsPath(QUIL_CLIPBOARD_HELPER_PATH) + L"\"";
    ASSERT_TRUE(::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &helper));
    ::WaitForSingleObject(helper.hProcess, 20000);
    DWORD helperExit = 1;
    ::GetExitCodeProcess(helper.hProcess, &helperExit);
    ::CloseHandle(helper.hThread);
    ::CloseHandle(helper.hProcess);
    ASSERT_EQ(helperExit, 0u);

    CProgram program;
    HWND main = Start(program, 6);
    ASSERT_NE(main, nullptr);
    HWND tree = program.Tree();
    HTREEITEM daily = Next(tree, Next(tree, nullptr, TVGN_ROOT), TVGN_CHILD);
    HTREEITEM news = Next(tree, daily, TVGN_CHILD);
    program.ClickTreeRow(2, 2);
    ASSERT_EQ(WaitForSelection(tree, news), news);
    program.PressKey('V', true);
    ASSERT_TRUE(WaitUntil([&] {
        return program.TreeText() == L"Start[Daily[News[Paper,Find,First link,Second]],Spare]";
    })) << program.TreeText();
    ASSERT_TRUE(platform::RemoveFile(projectPath));
    program.PressKey('S', true);
    ASSERT_TRUE(WaitForFile(projectPath));
    CProject loaded;
    ASSERT_GT(LoadProjectFile(loaded, projectPath), 0);
    ASSERT_EQ(ProjectOutline(loaded), L"Start[Daily[News[Paper,Find,First link,Second]],Spare]");
    const CGroup* group = loaded.columns[0]->groups[0];
    EXPECT_EQ(static_cast<const CItemLink*>(group->items[2])->mainLink.url,
              L"https://one.example.com/");
    // Relative to the page it came from, and kept as the page's markup.
    EXPECT_EQ(static_cast<const CItemLink*>(group->items[3])->mainLink.url,
              L"https://two.example.com/two?a=1&amp;b=2");
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

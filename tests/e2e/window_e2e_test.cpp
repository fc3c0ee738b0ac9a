// The real program and a browser as people have them: one that hands the page to a copy already
// running and ends at once, and one that stays; the real open-file dialog of Read HTML file.
#include "e2e/program.h"
#include "model/project.h"
#include "platform/platform.h"
#include "services/browser_stand_in.h"
#include "services/default_project.h"
#include "services/preview.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

std::wstring PreviewFile()
{
    return platform::TempFolder() + kPreviewFileName;
}

std::string SamplePage()
{
    CProject sample;
    BuildDefaultProject(sample);
    return GeneratedPage(sample);
}

// Starts the program on the sample project, previews it with Ctrl+F5 and waits for the
// browser's log.
void PreviewWith(CProgram& program, CBrowserStandIn& browser, HWND& main)
{
    ASSERT_TRUE(program.Started());
    main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    program.PressKey(VK_F5, true);
    ASSERT_TRUE(WaitUntil([&] { return browser.HasRun(); }, 30000)) << "no browser started";
}

// Closes the unchanged program as a person does; true when it ended without asking.
bool Quit(CProgram& program, HWND main)
{
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    return program.WaitForExit() == 0;
}

} // namespace

TEST(ProgramWindow, APreviewHandedToARunningBrowserIsStillThereLaterAndGoneAfterQuit)
{
    CProgramFiles files;
    platform::RemoveFile(PreviewFile());
    CBrowserStandIn browser(L"handover");
    browser.Register();
    CProgram program;
    HWND main = nullptr;
    PreviewWith(program, browser, main);
    std::vector<BrowserRun> runs = browser.TakeRuns();
    ASSERT_EQ(runs.size(), 1u);
    std::vector<std::wstring> arguments = Arguments(runs[0].commandLine);
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[1], PreviewFile());
    // The launcher has ended; the running copy reads the page whenever it gets to it.
    ::Sleep(5000);
    EXPECT_EQ(ReadFileBytes(PreviewFile()), SamplePage());
    ASSERT_TRUE(Quit(program, main));
    EXPECT_FALSE(platform::FileExists(PreviewFile()));
}

TEST(ProgramWindow, APreviewInABrowserThatStaysIsReadAndGoneAfterQuit)
{
    CProgramFiles files;
    platform::RemoveFile(PreviewFile());
    CBrowserStandIn browser(L"stay");
    browser.Register();
    CProgram program;
    HWND main = nullptr;
    PreviewWith(program, browser, main);
    std::vector<BrowserRun> runs = browser.TakeRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].page, SamplePage());
    EXPECT_TRUE(platform::FileExists(PreviewFile()));
    // A second preview while the first browser still runs overwrites the one file.
    program.PressKey(VK_F5, true);
    ASSERT_TRUE(WaitUntil([&] { return browser.HasRun(); }, 30000));
    EXPECT_EQ(browser.TakeRuns().size(), 1u);
    ASSERT_TRUE(Quit(program, main));
    EXPECT_FALSE(platform::FileExists(PreviewFile()));
}

TEST(ProgramWindow, ReadHtmlFilesDialogHasItsTitleFiltersAndTheDocumentsFolder)
{
    CProgramFiles files;
    // A bookmark file in the Documents folder, picked by its bare name.
    const std::wstring bookmarks = DocumentsFolder() + L"\\quillomere-test-bookmarks.html";
    WriteFileBytes(bookmarks, "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<H1>Bookmarks</H1>\n<DL><p>\n"
                              "<DT><H3>Toolbar</H3>\n<DL><p>\n"
                              "<DT><A HREF=\"https://a.example.com/\">Alpha</A>\n"
                              "<DT><A HREF=\"place:sort=8\">Recent</A>\n"
                              "</DL><p>\n</DL><p>\n");
    CProgram program;
    ASSERT_TRUE(program.Started());
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    // File: Save, Preview, Generate homepage, (separator), Read HTML file...
    ASSERT_TRUE(program.ChooseMenuItem(0, 3));
    HWND dialog = program.WaitForOpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    wchar_t title[128] = {};
    ::GetWindowTextW(dialog, title, 128);
    EXPECT_STREQ(title, L"Read HTML file");
    HWND types = ::GetDlgItem(dialog, 0x470); // the file type combo box
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(::SendMessageW(types, CB_GETCOUNT, 0, 0), 2);
    wchar_t entry[128] = {};
    ::SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"Homepages and bookmark files (*.html;*.htm)");
    ::SendMessageW(types, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"All files (*.*)");
    // A bare name is found: the dialog opened in the Documents folder.
    const std::wstring name = L"quillomere-test-bookmarks.html";
    ::SendMessageW(CProgram::FileNameBox(dialog), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(name.c_str()));
    CProgram::ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    HWND status = ::FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    ASSERT_NE(status, nullptr);
    std::wstring said;
    EXPECT_TRUE(WaitUntil([&] {
        wchar_t text[256] = {};
        ::SendMessageW(status, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        said = text;
        return !said.empty();
    }));
    EXPECT_EQ(said, L"Read " + name +
                        L": 1 column, 1 group, 1 link; 1 bookmark skipped (1 place: address)");
    // Read, so the project changed: quitting asks, and No quits.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    CProgram::ClickButton(box, IDNO);
    EXPECT_EQ(program.WaitForExit(), 0u);
    platform::RemoveFile(bookmarks);
}

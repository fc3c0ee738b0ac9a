// The real program with the files a user has: it starts from them, F5 writes the homepage, Ctrl+S
// the project file, and quitting after a change asks by a real message box.
#include "e2e/program.h"

#include "app/default_project.h"

#include "homepage/page_writer.h"
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

std::string PageOf(const CProject& project)
{
    CMemoryStream page;
    WritePage(project, page);
    return ReadAll(page);
}

// Waits until a file holds `expected`; returns what it held last.
std::string WaitForContent(const std::wstring& path, const std::string& expected)
{
    std::string content;
    for (int waited = 0; waited < 10000; waited += 50) {
        content = ReadFileBytes(path);
        if (content == expected) break;
        ::Sleep(50);
    }
    return content;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The program's own files in the Documents folder; whatever was there is put aside and back.
class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::wstring folder = DocumentsFolder();
        ASSERT_FALSE(folder.empty());
        ::CreateDirectoryW(folder.c_str(), nullptr);
        projectPath = folder + L"\\Quillomere.quil";
        homepagePath = folder + L"\\Quillomere.html";
        for (const std::wstring* path : {&projectPath, &homepagePath}) {
            if (platform::FileExists(*path))
                ::MoveFileExW(path->c_str(), (*path + L".test-backup").c_str(),
                              MOVEFILE_REPLACE_EXISTING);
        }
    }
    void TearDown() override
    {
        for (const std::wstring* path : {&projectPath, &homepagePath}) {
            platform::RemoveFile(*path);
            std::wstring backup = *path + L".test-backup";
            if (platform::FileExists(backup)) ::MoveFileW(backup.c_str(), path->c_str());
        }
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

    std::wstring projectPath;
    std::wstring homepagePath;
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
    const std::string expected = PageOf(loaded);

    CProgram program;
    HWND main = Start(program, 6);
    ASSERT_NE(main, nullptr);
    program.PressKey(VK_F5);
    EXPECT_EQ(WaitForContent(homepagePath, expected), expected);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
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
    ::Sleep(300); // let it paint
    EXPECT_TRUE(SaveWindowScreenshot(main, WindowsPath(QUIL_SCREENSHOT_PATH)));

    CProject sample;
    BuildDefaultProject(sample);
    const std::string expected = PageOf(sample);
    program.PressKey(VK_F5);
    EXPECT_EQ(WaitForContent(homepagePath, expected), expected);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_FALSE(platform::FileExists(projectPath)) << "quitting at once saves nothing";
}

TEST_F(ProgramTest, WithOnlyAHomepageItImportsIt)
{
    CProject original;
    BuildProject(original);
    WriteFileBytes(homepagePath, PageOf(original));
    popupCounter = 0;
    CProject imported;
    {
        CFileStream page(homepagePath, false);
        CProjectHTMLParser parser(imported);
        ASSERT_TRUE(parser.Parse(page));
    }
    const std::string expected = PageOf(imported);

    CProgram program;
    HWND main = Start(program, 6);
    ASSERT_NE(main, nullptr);
    program.PressKey(VK_F5);
    EXPECT_EQ(WaitForContent(homepagePath, expected), expected);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
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
    ASSERT_EQ(Next(tree, nullptr, TVGN_CARET), firstColumn);
    program.PressKey(VK_DOWN, true);
    for (int waited = 0; waited < 5000 && Next(tree, root, TVGN_CHILD) != secondColumn;
         waited += 20)
        ::Sleep(20);
    ASSERT_EQ(Next(tree, root, TVGN_CHILD), secondColumn);

    // Cancel keeps it running.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    wchar_t caption[64] = {};
    ::GetWindowTextW(box, caption, 64);
    EXPECT_STREQ(caption, L"Quillomere");
    EXPECT_EQ(CProgram::MessageBoxText(box),
              L"Project is changed.\r\n\r\nSave changes before quitting?");
    EXPECT_NE(::GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(::GetDlgItem(box, IDNO), nullptr);
    EXPECT_NE(::GetDlgItem(box, IDCANCEL), nullptr);
    CProgram::ClickButton(box, IDCANCEL);
    EXPECT_EQ(program.WaitForExit(1000), 0xDEADu);
    EXPECT_TRUE(::IsWindowVisible(main));

    // Yes saves, then quits.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    CProgram::ClickButton(box, IDYES);
    EXPECT_EQ(program.WaitForExit(), 0u);
    CProject saved;
    ASSERT_GT(LoadProjectFile(saved, projectPath), 0);
    ASSERT_EQ(saved.columns.size(), 2u);
    EXPECT_EQ(saved.columns[0]->caption, L"Another column");
    EXPECT_EQ(saved.columns[1]->caption, L"New Column");
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
    ASSERT_EQ(Next(tree, nullptr, TVGN_CARET), secondColumn);
    program.PressKey(VK_UP, true);
    for (int waited = 0; waited < 5000 && Next(tree, root, TVGN_CHILD) != secondColumn;
         waited += 20)
        ::Sleep(20);
    ASSERT_EQ(Next(tree, root, TVGN_CHILD), secondColumn);

    ::PostMessageW(main, WM_CLOSE, 0, 0);
    HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    CProgram::ClickButton(box, IDNO);
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_FALSE(platform::FileExists(projectPath));
}

// The start-up order: project file, else homepage, else the sample project; always with a
// clear modified flag.
#include "app/single_instance.h"
#include "app/startup.h"
#include "editor/editor_fixture.h"
#include "editor/tree_editor.h"
#include "homepage/page_writer.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "platform/platform.h"
#include "services/paths.h"
#include "services/project_store.h"
#include "services/status_texts.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

// Points the program's file paths at a fresh folder for one test.
class StartUpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = platform::TempFolder() + L"quillomere-startup-" +
                 std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(folder.c_str(), nullptr);
        BuildFilePaths(folder);
        platform::RemoveFile(ProjectFilePath);
        platform::RemoveFile(HomepageFilePath);
    }
    void TearDown() override
    {
        platform::RemoveFile(ProjectFilePath);
        platform::RemoveFile(HomepageFilePath);
        ::RemoveDirectoryW(folder.c_str());
    }

    // Runs the start-up routine and closes the window it made.
    void Start(CProject& project)
    {
        CfrmTreeEditor window(project);
        ASSERT_TRUE(StartUp(project, window));
        HWND main = window.MainWindow();
        wchar_t className[64] = {};
        ::GetClassNameW(main, className, 64);
        EXPECT_STREQ(className, L"CfrmTreeEditor");
        ::DestroyWindow(main);
    }

    std::wstring folder;
};

} // namespace

TEST_F(StartUpTest, WithoutFilesTheSampleProjectIsBuilt)
{
    CProject project;
    Start(project);
    EXPECT_EQ(project.title, L"New project");
    ASSERT_EQ(project.columns.size(), 2u);
    EXPECT_FALSE(project.modified);
    EXPECT_FALSE(platform::FileExists(ProjectFilePath));
}

TEST_F(StartUpTest, TheProjectFileIsLoadedWhenItReadsAnything)
{
    {
        CProject saved;
        saved.title = L"Mine";
        new CColumn(saved, L"Only");
        ASSERT_TRUE(SaveProjectFile(saved, ProjectFilePath));
    }
    CProject project;
    project.modified = true;
    Start(project);
    EXPECT_EQ(project.title, L"Mine");
    ASSERT_EQ(project.columns.size(), 1u);
    EXPECT_FALSE(project.modified);
}

TEST_F(StartUpTest, AHeaderOnlyProjectFileDoesNotCount)
{
    WriteFileBytes(ProjectFilePath, Bytes("\x6C\x69\x75\x71\x00\x00\x00\x00"));
    CProject project;
    Start(project);
    EXPECT_EQ(project.title, L"New project");
}

TEST_F(StartUpTest, WithOnlyTheHomepageItIsImported)
{
    {
        CProject page;
        page.title = L"From the page";
        new CColumn(page, L"One");
        CFileStream file(HomepageFilePath, true);
        WritePage(page, file);
    }
    CProject project;
    Start(project);
    EXPECT_EQ(project.title, L"From the page");
    ASSERT_EQ(project.columns.size(), 1u);
    EXPECT_EQ(project.columns[0]->caption, L"One");
    EXPECT_FALSE(project.modified);
    EXPECT_FALSE(platform::FileExists(ProjectFilePath));
}

TEST_F(StartUpTest, AHomepageWithNothingRecognisableGivesAnEmptyProject)
{
    WriteFileBytes(HomepageFilePath, "<p>Nothing of ours here.</p>");
    CProject project;
    Start(project);
    EXPECT_TRUE(project.columns.empty());
    EXPECT_EQ(project.title, L"");
}

TEST_F(StartUpTest, AFailedImportKeepsWhatItReadAndAddsTheSample)
{
    WriteFileBytes(HomepageFilePath,
                   "<html><table><tr><th>Read</th></tr><tr><td>a > b</td></tr></table></html>");
    CProject project;
    Start(project);
    ASSERT_EQ(project.columns.size(), 3u);
    EXPECT_EQ(project.columns[0]->caption, L"Read");
    EXPECT_EQ(project.columns[1]->caption, L"New Column");
    EXPECT_EQ(project.title, L"New project");
}

namespace {

// Refuses every window creation on this thread while it is installed.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) return 1;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST_F(StartUpTest, WindowsThatCannotBeCreatedFailTheStartUp)
{
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, RefuseWindows, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    CProject project;
    CfrmTreeEditor window(project);
    bool started = StartUp(project, window);
    ::UnhookWindowsHookEx(hook);
    EXPECT_FALSE(started);
    EXPECT_EQ(window.MainWindow(), nullptr);
    EXPECT_EQ(static_cast<unsigned>(kStartUpFailed), 0xFEEDBEEFu);
}

namespace {

// The last run's changes left in a recovery file of the test's own; the question answered by a
// stand-in.
class RecoveryStartTest : public StartUpTest
{
protected:
    void SetUp() override
    {
        StartUpTest::SetUp();
        SetShellForTesting(&shell);
        RecoveryFilePath = folder + L"\\Recovery\\Quillomere.quil";
        ::CreateDirectoryW((folder + L"\\Recovery").c_str(), nullptr);
        CProject saved;
        saved.title = L"Saved";
        new CColumn(saved, L"Saved column");
        ASSERT_TRUE(SaveProjectFile(saved, ProjectFilePath));
        CProject unsaved;
        unsaved.title = L"Unsaved";
        new CColumn(unsaved, L"Unsaved column");
        ASSERT_TRUE(SaveProjectFile(unsaved, RecoveryFilePath));
    }
    void TearDown() override
    {
        SetShellForTesting(nullptr);
        platform::RemoveFile(RecoveryFilePath);
        ::RemoveDirectoryW((folder + L"\\Recovery").c_str());
        RecoveryFilePath.clear();
        StartUpTest::TearDown();
    }
    // Starts up, answering the question (if one comes) with `answer`; returns the status bar's
    // outcome before the window goes.
    std::wstring StartAnswering(CProject& project, int answer)
    {
        shell.answers = {answer};
        CfrmTreeEditor window(project);
        EXPECT_TRUE(StartUp(project, window));
        std::wstring outcome = window.StatusBar().PartText(CStatusBar::kOutcome);
        ::DestroyWindow(window.MainWindow());
        return outcome;
    }

    CAnsweringShell shell;
    const std::wstring question =
        L"Quillomere did not end normally. Restore the changes that were not saved?";
};

} // namespace

TEST_F(RecoveryStartTest, YesRestoresTheChangesAsModified)
{
    CProject project;
    EXPECT_EQ(StartAnswering(project, IDYES), RecoveryRestoredText());
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(shell.shown[0].text, question);
    EXPECT_EQ(shell.shown[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_NE(shell.shown[0].owner, nullptr) << "owned by the window, for a second start to find";
    EXPECT_EQ(project.title, L"Unsaved");
    ASSERT_EQ(project.columns.size(), 1u);
    EXPECT_EQ(project.columns[0]->caption, L"Unsaved column");
    EXPECT_TRUE(project.modified);
    EXPECT_TRUE(platform::FileExists(RecoveryFilePath)) << "until the person saves";
}

TEST(SingleInstance, TheArgumentsFollowTheProgramsName)
{
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\Q\\quillomere.exe\"  quillomere:add?x"),
              L"quillomere:add?x");
    EXPECT_EQ(ArgumentsOf(L"quillomere.exe\t\"a b\" c"), L"\"a b\" c");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Q\\quillomere.exe\""), L"");
    EXPECT_EQ(ArgumentsOf(L"\"unclosed quillomere.exe x"), L"");
    EXPECT_EQ(ArgumentsOf(L""), L"");
}

// The window and its project file, in-process (the end-to-end tests show the rest with the real
// program): another program's change loaded again at activation as one step, the recovery file
// written a while after each change and gone at quit, and a second start's command line handed
// over, anything else refused.
#include "edit/project_changes.h"
#include "editor/editor_fixture.h"
#include "editor/instance_link.h"
#include "model/item_link.h"
#include "persist/project_file.h"
#include "platform/platform.h"
#include "services/paths.h"
#include "services/project_store.h"
#include "services/status_texts.h"
#include "test_support.h"

namespace {

// The test's project loaded from its project file as start-up loads it, so that the window
// watches the file; recovery goes to a folder of the test's own.
class RunFileTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ASSERT_TRUE(SaveProjectFile(project, ProjectFilePath));
        FillProjectOfRun(project);
        RecoveryFilePath = folder + L"\\Recovery\\Quillomere.quil";
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        WaitForRecoveryOfRun();
        for (const std::wstring& path :
             {RecoveryFilePath, KeptAsideName(folder + L"\\", L"changed elsewhere", 1)})
            platform::RemoveFile(path);
        ::RemoveDirectoryW((folder + L"\\Recovery").c_str());
        ::RemoveDirectoryW(folder.c_str());
        RecoveryFilePath.clear();
    }

    // Another program writes a project of one column named `caption` over the project file.
    std::string WriteElsewhere(const wchar_t* caption)
    {
        CProject other;
        other.title = L"Theirs";
        new CItemLink(*new CGroup(*new CColumn(other, caption), L"Group"), L"Link",
                      L"https://theirs.example/");
        const std::string bytes = SaveToBytes(other);
        WriteFileBytes(folder + L"\\theirs.tmp", bytes);
        EXPECT_TRUE(platform::MoveReplacing(folder + L"\\theirs.tmp", ProjectFilePath));
        return bytes;
    }
    // The window comes back to the front, as after a switch from another program, and the look
    // at the project file that follows it a moment later comes at once.
    void Activate()
    {
        ::SendMessageW(main, WM_ACTIVATE, WA_ACTIVE, 0);
        ::SendMessageW(main, WM_TIMER, IDT_FILE_CHECK, 0);
        Pump();
    }
    std::wstring Outcome() { return editor->StatusBar().PartText(CStatusBar::kOutcome); }
    // A change through the change path, as typing into the title makes it.
    void SetTitle(const wchar_t* title)
    {
        CSite site;
        site.node = &project;
        site.part = SitePart::Title;
        editor->changes.SetText(site, title);
        editor->changes.Seal();
    }
};

} // namespace

TEST_F(RunFileTest, AnUnmodifiedProjectIsLoadedAgainAtActivationAsOneStep)
{
    Open();
    const std::wstring before = ModelText();
    Select(kNodeItem, radio);
    const std::string theirs = WriteElsewhere(L"Fresh");
    Activate();
    EXPECT_EQ(ModelText(), L"Theirs[Fresh[Group[Link]]]");
    ExpectTreeShowsModel();
    EXPECT_EQ(SaveToBytes(project), theirs);
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(VisiblePanes(), std::vector<std::string>{"project"});
    wchar_t title[64] = {};
    ::GetDlgItemTextW(editor->projectPane.Window(), IDC_PROJECT_TITLE, title, 64);
    EXPECT_STREQ(title, L"Theirs");
    EXPECT_EQ(Outcome(), ProjectReloadedText(ProjectFilePath));
    EXPECT_EQ(editor->changes.UndoName(), L"reload from disk");

    // Nothing more at the next activation; Ctrl+Z brings the window's project back, changed
    // against the file, and a save then writes it without keeping anything aside.
    Activate();
    EXPECT_EQ(editor->changes.History().UndoCount(), 1u);
    PressKey('Z', true);
    EXPECT_EQ(ModelText(), before);
    ExpectTreeShowsModel();
    EXPECT_TRUE(project.modified);
    Command(IDM_SAVE);
    EXPECT_TRUE(shell.shown.empty());
    EXPECT_EQ(Outcome().rfind(L"Project saved to ", 0), 0u) << Outcome();
    EXPECT_EQ(Outcome().find(L"kept"), std::wstring::npos) << Outcome();
    EXPECT_FALSE(platform::PathExists(KeptAsideName(folder + L"\\", L"changed elsewhere", 1)));
}

TEST_F(RunFileTest, TheRecoveryFileFollowsChangesAWhileAfterThemAndGoesAtQuit)
{
    Open();
    editor->recoveryDelayMs = 100;
    SetTitle(L"Unsaved");
    EXPECT_FALSE(platform::PathExists(RecoveryFilePath)) << "written a while after the change";
    ASSERT_TRUE(PumpUntil([&] { return platform::FileExists(RecoveryFilePath); }));
    WaitForRecoveryOfRun();
    CProject recovered;
    ASSERT_GT(LoadProjectFile(recovered, RecoveryFilePath), 0);
    EXPECT_EQ(ProjectOutline(recovered), ModelText());
    EXPECT_TRUE(project.modified);

    // A later change is written too.
    Select(kNodeColumn, work);
    Command(IDM_DELETE);
    ASSERT_TRUE(PumpUntil([&] {
        CProject again;
        return LoadProjectFile(again, RecoveryFilePath) > 0 &&
               ProjectOutline(again) == ProjectOutline(project);
    }));

    // Either answer of the quit prompt ends with the file gone.
    shell.answers = {IDNO};
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return quitPosted; }));
    EXPECT_FALSE(platform::PathExists(RecoveryFilePath));
}

TEST_F(RunFileTest, ChangesThatCannotGoToTheRecoveryFileHoldTheSessionsEnd)
{
    Open();
    SetTitle(L"Unsaved");
    // A full disk: the changes would be lost, so the session may not end unasked.
    platform::SetWriteBudgetForTesting(0);
    EXPECT_EQ(::SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
    platform::SetWriteBudgetForTesting(-1);
    EXPECT_FALSE(platform::PathExists(RecoveryFilePath));
    EXPECT_EQ(::SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    CProject recovered;
    ASSERT_GT(LoadProjectFile(recovered, RecoveryFilePath), 0);
    EXPECT_EQ(recovered.title, L"Unsaved");
    EXPECT_TRUE(shell.shown.empty()) << "no quit prompt";
}

TEST_F(RunFileTest, ASecondStartsCommandLineBringsTheWindowForwardAndReachesTheHook)
{
    Open();
    std::vector<std::wstring> received;
    editor->onHandover = [&](const std::wstring& arguments) { received.push_back(arguments); };
    MarkProjectWindow(main, ProjectFilePath);
    std::wstring upper = ProjectFilePath;
    ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    EXPECT_EQ(FindProjectWindow(upper), main);
    EXPECT_EQ(FindProjectWindow(ProjectFilePath + L".other"), nullptr);
    EXPECT_NE(ProjectMutexName(ProjectFilePath), ProjectMutexName(ProjectFilePath + L".other"));
    EXPECT_EQ(ProjectMutexName(ProjectFilePath).rfind(L"Local\\", 0), 0u);

    ::ShowWindow(main, SW_MINIMIZE);
    Pump();
    ASSERT_TRUE(::IsIconic(main));
    EXPECT_TRUE(HandOverCommandLine(main, L"quillomere:add?url=https%3A%2F%2Fa.example%2F"));
    EXPECT_FALSE(::IsIconic(main));
    EXPECT_TRUE(received.empty()) << "acted on after the sender is let go";
    Pump();
    EXPECT_EQ(received,
              std::vector<std::wstring>{L"quillomere:add?url=https%3A%2F%2Fa.example%2F"});

    // Anything else sent as WM_COPYDATA is refused.
    const wchar_t odd[] = L"abc";
    COPYDATASTRUCT foreign = {0x1234, sizeof odd, const_cast<wchar_t*>(odd)};
    EXPECT_EQ(::SendMessageW(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&foreign)), FALSE);
    COPYDATASTRUCT oddLength = {0x4C495551u, 3, const_cast<wchar_t*>(odd)};
    EXPECT_EQ(::SendMessageW(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&oddLength)), FALSE);
    std::wstring tooLong(kMostHandedOverChars + 1, L'x');
    EXPECT_FALSE(HandOverCommandLine(main, tooLong));
    Pump();
    EXPECT_EQ(received.size(), 1u);
}

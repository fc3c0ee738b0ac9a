// The real program across runs and beside other programs: one window per project file (a second
// start hands over to it, also from another Wine prefix it does not), the project file replaced
// by quillomere-cli while the window is open, and the changes of a run killed from outside or
// ended with the session, offered back at the next start.
#include "e2e/program.h"

#include "model/item_link.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "platform/platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace {

const wchar_t kQuestion[] =
    L"Quillomere did not end normally. Restore the changes that were not saved?";

// The main windows shown on the desktop, of any process.
int ShownMainWindows()
{
    int count = 0;
    HWND found = nullptr;
    while ((found = ::FindWindowExW(nullptr, found, L"CfrmTreeEditor", nullptr)))
        count += ::IsWindowVisible(found) ? 1 : 0;
    return count;
}

// Runs a console program of the build to its end without a window; its exit code, or 0xDEAD.
DWORD RunToEnd(const std::wstring& exe, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + WindowsPath(exe) + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &info))
        return 0xDEAD;
    DWORD code = 0xDEAD;
    if (::WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return code;
}

// The left part of the program's status bar: what the last file command did.
std::wstring StatusOutcome(HWND main)
{
    HWND bar = ::FindWindowExW(main, nullptr, L"msctls_statusbar32", nullptr);
    wchar_t text[512] = {};
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(bar, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                          &ignored);
    return text;
}

std::wstring OutlineOfFile(const std::wstring& path)
{
    CProject project;
    return LoadProjectFile(project, path) > 0 ? ProjectOutline(project) : L"(does not load)";
}

class RunE2eTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CProject saved;
        saved.title = L"Mine";
        new CItemLink(*new CGroup(*new CColumn(saved, L"Daily"), L"News"), L"Paper",
                      L"https://paper.example.com/");
        ASSERT_TRUE(SaveProjectFile(saved, files.project));
        ::CreateDirectoryW(Folder(files.recovery, 2).c_str(), nullptr);
        ::CreateDirectoryW(Folder(files.recovery, 1).c_str(), nullptr);
    }
    void TearDown() override
    {
        for (const std::wstring& kept : keptFiles)
            ::DeleteFileW(kept.c_str());
        EXPECT_EQ(::FindWindowW(L"CfrmTreeEditor", nullptr), nullptr) << "a window was left";
    }

    // The path without its last `levels` components.
    static std::wstring Folder(const std::wstring& path, int levels)
    {
        std::wstring folder = path;
        for (int i = 0; i < levels; ++i)
            folder = folder.substr(0, folder.find_last_of(L'\\'));
        return folder;
    }
    // Starts the program and waits for its window with the user's project.
    HWND Start(CProgram& program)
    {
        EXPECT_TRUE(program.Started());
        HWND main = program.WaitForMainWindow();
        EXPECT_NE(main, nullptr);
        if (main) {
            EXPECT_EQ(program.TreeText(), kSaved);
        }
        return main;
    }
    // Adds a link after "Paper": a click on it, then Ctrl+N. Input that the program under Wine
    // lost (seen on a busy machine) is given again, but only when its effect did not come.
    void AddLink(CProgram& program)
    {
        HWND tree = program.Tree();
        HTREEITEM paper = ItemAt(tree, {TVGN_ROOT, TVGN_CHILD, TVGN_CHILD, TVGN_CHILD});
        for (int attempt = 0; attempt < 3 && program.TreeText() != kEdited; ++attempt) {
            program.ClickTreeRow(3, 3);
            if (!WaitUntil([&] { return ItemAt(tree, {TVGN_CARET}) == paper; }, 3000)) continue;
            program.PressKey('N', true);
            WaitUntil([&] { return program.TreeText() == kEdited; }, 5000);
        }
        EXPECT_EQ(program.TreeText(), kEdited);
    }
    // Presses the key until `done` holds, at most three times: for keys whose second press does
    // no harm.
    static bool PressUntil(CProgram& program, WORD key, const std::function<bool()>& done)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            program.PressKey(key, true);
            if (WaitUntil(done, 5000)) return true;
        }
        return false;
    }
    // The tree item reached from nothing by the relations in turn.
    static HTREEITEM ItemAt(HWND tree, std::initializer_list<UINT> relations)
    {
        HTREEITEM item = nullptr;
        for (UINT relation : relations)
            item = reinterpret_cast<HTREEITEM>(
                ::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
        return item;
    }
    // The program's question at start, answered with `button`.
    static void Answer(CProgram& program, int button)
    {
        HWND box = program.WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no question";
        EXPECT_EQ(CProgram::MessageBoxText(box), kQuestion);
        CProgram::ClickButton(box, button);
    }
    // Puts a recovery file there as a run that ended otherwise leaves it.
    void LeaveRecoveryFile()
    {
        CProject unsaved;
        unsaved.title = L"Mine";
        new CItemLink(*new CGroup(*new CColumn(unsaved, L"Daily"), L"News"), L"Unsaved",
                      L"https://unsaved.example.com/");
        ASSERT_TRUE(SaveProjectFile(unsaved, files.recovery));
    }
    // quillomere-cli writes a project of one column "From the CLI" over the project file, as
    // `import` does; returns the bytes it wrote.
    std::string ReplaceWithTheCli()
    {
        CProject page;
        page.title = L"Mine";
        new CItemLink(*new CGroup(*new CColumn(page, L"From the CLI"), L"Group"), L"Link",
                      L"https://cli.example.com/");
        CTempFile html(L".html");
        WriteFileBytes(html.Path(), GeneratedPage(page));
        EXPECT_EQ(RunToEnd(QUIL_CLI_EXE_PATH,
                           L"import \"" + html.Path() + L"\" -o \"" + files.project + L"\""),
                  0u);
        return ReadFileBytes(files.project);
    }
    // The window loses the foreground and gets it back, as when the person returns to it.
    static void SwitchBackTo(HWND main)
    {
        ::ShowWindow(main, SW_MINIMIZE);
        WaitUntil([&] { return ::IsIconic(main) != FALSE; }, 5000);
        ::ShowWindow(main, SW_RESTORE);
    }

    CProgramFiles files;
    std::vector<std::wstring> keptFiles;
    const std::wstring kSaved = L"Mine[Daily[News[Paper]]]";
    const std::wstring kEdited = L"Mine[Daily[News[Paper,New Link]]]";
};

} // namespace

TEST_F(RunE2eTest, KilledAfterEditsTheProgramOffersThemBackAtTheNextStart)
{
    CProgram first;
    HWND main = Start(first);
    ASSERT_NE(main, nullptr);
    const DWORD edited = ::GetTickCount();
    AddLink(first);
    EXPECT_FALSE(platform::PathExists(files.recovery)) << "written a while after a change";

    // Meanwhile a second start hands over to this window and ends, showing none of its own...
    {
        CProgram second;
        EXPECT_EQ(second.WaitForExit(), 0u);
        EXPECT_EQ(ShownMainWindows(), 1);
    }
    // ...and a minimised window behind another program's comes back to the front.
    ::ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(main) != FALSE; }));
    {
        HWND other = ::CreateWindowExW(0, L"STATIC", L"Another program", WS_POPUP | WS_VISIBLE, 0,
                                       0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(other);
        EXPECT_EQ(::GetForegroundWindow(), other);
        CProgram third(QUIL_EXE_PATH, L"quillomere:add?url=https%3A%2F%2Fa.example%2F");
        EXPECT_EQ(third.WaitForExit(), 0u);
        EXPECT_TRUE(
            WaitUntil([&] { return !::IsIconic(main) && ::GetForegroundWindow() == main; }));
        ::DestroyWindow(other);
    }
    EXPECT_EQ(ShownMainWindows(), 1);
    EXPECT_EQ(first.TreeText(), kEdited) << "the edits stay";

    // A start in another Wine prefix has a window of its own: it runs the package probe's check
    // there (starts, writes the sample page, quits with 0) while this one runs.
    const std::wstring result = WindowsPath(QUIL_OTHER_PREFIX_RESULT);
    ::DeleteFileW(result.c_str());
    {
        std::wstring commandLine =
            L"/bin/sh \"" QUIL_OTHER_PREFIX_SCRIPT L"\" \"" QUIL_OTHER_PREFIX L"\" --result "
            L"\"" QUIL_OTHER_PREFIX_RESULT L"\" "
            L"\"" QUIL_PACKAGE_PROBE_PATH L"\" run "
            L"\"" QUIL_EXE_PATH L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        // Wine runs a Unix program as it is; there is no process handle to wait on.
        ASSERT_TRUE(::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &info));
        if (info.hProcess) ::CloseHandle(info.hProcess);
        if (info.hThread) ::CloseHandle(info.hThread);
    }

    // At least 31 s after the edit the recovery file holds it; then the program is killed.
    const DWORD waited = ::GetTickCount() - edited;
    if (waited < 31000) ::Sleep(31000 - waited);
    EXPECT_EQ(OutlineOfFile(files.recovery), kEdited);
    EXPECT_TRUE(WaitUntil([&] { return platform::FileExists(result); }, 90000));
    const std::string found = ReadFileBytes(result);
    EXPECT_NE(found.find("window=shown"), std::string::npos) << found;
    EXPECT_NE(found.find("status=0"), std::string::npos) << found;
    EXPECT_EQ(ShownMainWindows(), 1) << "nothing of the other prefix shows here";

    EXPECT_EQ(RunToEnd(QUIL_TERMINATE_HELPER_PATH, std::to_wstring(first.ProcessId())), 0u);
    EXPECT_EQ(first.WaitForExit(5000), 1u);
    ASSERT_EQ(OutlineOfFile(files.recovery), kEdited);
    EXPECT_EQ(OutlineOfFile(files.project), kSaved);

    // The next start asks; Yes shows the edits, Ctrl+S saves them and the recovery file goes.
    CProgram again;
    Answer(again, IDYES);
    HWND restored = again.WaitForMainWindow();
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(again.TreeText(), kEdited);
    EXPECT_TRUE(PressUntil(again, 'S', [&] { return OutlineOfFile(files.project) == kEdited; }));
    EXPECT_TRUE(WaitUntil([&] { return !platform::PathExists(files.recovery); }));
    ::PostMessageW(restored, WM_CLOSE, 0, 0);
    EXPECT_EQ(again.WaitForExit(), 0u) << "saved: no quit prompt";
}

TEST_F(RunE2eTest, NoOrEitherAnswerOfTheQuitPromptLeavesNoRecoveryFile)
{
    LeaveRecoveryFile();
    {
        CProgram program;
        Answer(program, IDNO);
        HWND main = Start(program);
        ASSERT_NE(main, nullptr);
        EXPECT_FALSE(platform::PathExists(files.recovery));
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0u) << "nothing changed: no quit prompt";
    }
    for (int answer : {IDNO, IDYES}) {
        LeaveRecoveryFile();
        CProgram program;
        Answer(program, IDYES);
        HWND main = program.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(program.TreeText(), L"Mine[Daily[News[Unsaved]]]");
        // Restored as modified: quitting asks.
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        HWND box = program.WaitForMessageBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(CProgram::MessageBoxText(box),
                  L"Project is changed.\r\n\r\nSave changes before quitting?");
        CProgram::ClickButton(box, answer);
        EXPECT_EQ(program.WaitForExit(), 0u);
        EXPECT_FALSE(platform::PathExists(files.recovery)) << answer;
        EXPECT_EQ(OutlineOfFile(files.project),
                  answer == IDYES ? L"Mine[Daily[News[Unsaved]]]" : kSaved);
    }
}

TEST_F(RunE2eTest, ADamagedRecoveryFileIsKeptAsideAndNothingIsAsked)
{
    const std::string damaged = "liuq, cut short";
    WriteFileBytes(files.recovery, damaged);
    const std::wstring kept =
        Folder(files.recovery, 1) + L"\\Quillomere (recovery, unreadable).quil";
    keptFiles.push_back(kept);
    CProgram program;
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(program.WaitForMessageBox(500), nullptr);
    EXPECT_EQ(ReadFileBytes(kept), damaged);
    EXPECT_FALSE(platform::PathExists(files.recovery));
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST_F(RunE2eTest, TheSessionsEndWritesTheRecoveryFileAndIsNotHeldUp)
{
    CProgram program;
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    AddLink(program);
    DWORD_PTR allowed = FALSE;
    ASSERT_TRUE(::SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                      10000, &allowed));
    EXPECT_EQ(allowed, static_cast<DWORD_PTR>(TRUE));
    EXPECT_EQ(OutlineOfFile(files.recovery), kEdited) << "on the disk before the answer";
    EXPECT_EQ(program.WaitForMessageBox(500), nullptr) << "no quit prompt";
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                      10000, &ignored));
    EXPECT_EQ(OutlineOfFile(files.recovery), kEdited);
    // The session ends the process.
}

TEST_F(RunE2eTest, AFileReplacedByTheCliIsLoadedAgainWhenTheWindowComesBack)
{
    CProgram program;
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    const std::string theirs = ReplaceWithTheCli();
    const std::wstring fromTheCli = OutlineOfFile(files.project);
    ASSERT_EQ(fromTheCli, L"Mine[From the CLI[Group[Link]]]");
    SwitchBackTo(main);
    EXPECT_TRUE(WaitUntil([&] { return program.TreeText() == fromTheCli; })) << program.TreeText();
    EXPECT_NE(StatusOutcome(main).find(L"loaded again"), std::wstring::npos) << StatusOutcome(main);

    // One Ctrl+Z shows the old project again, which differs from the file now.
    EXPECT_TRUE(PressUntil(program, 'Z', [&] { return program.TreeText() == kSaved; }))
        << program.TreeText();
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "modified after the undo";
    CProgram::ClickButton(box, IDNO);
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_EQ(ReadFileBytes(files.project), theirs);
}

TEST_F(RunE2eTest, AChangedWindowKeepsTheCliFileAsideAtItsSave)
{
    CProgram program;
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    AddLink(program);
    const std::string theirs = ReplaceWithTheCli();
    SwitchBackTo(main);
    EXPECT_TRUE(WaitUntil([&] {
        return StatusOutcome(main).find(L"changed") != std::wstring::npos;
    })) << StatusOutcome(main);
    EXPECT_EQ(program.TreeText(), kEdited) << "the window's changes stay";

    const std::wstring kept = DocumentsFolder() + L"\\Quillomere (changed elsewhere).quil";
    keptFiles.push_back(kept);
    program.PressKey('S', true);
    HWND box = program.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(CProgram::MessageBoxText(box).find(kept), std::wstring::npos)
        << CProgram::MessageBoxText(box);
    CProgram::ClickButton(box, IDOK);
    EXPECT_EQ(ReadFileBytes(kept), theirs);
    EXPECT_EQ(OutlineOfFile(files.project), kEdited);
    EXPECT_NE(StatusOutcome(main).find(L"Quillomere (changed elsewhere).quil"), std::wstring::npos)
        << StatusOutcome(main);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

// The browser preview under Wine: the browser command comes from the prefix's registry and names
// a small test program of ours (test_browser.cpp) that logs what it was given. The preview file
// stays until the program quits, whatever the browser does.
#include "app/startup.h"
#include "editor/tree_editor.h"
#include "homepage/page_writer.h"
#include "model/project.h"
#include "platform/platform.h"
#include "services/browser_launch.h"
#include "services/browser_stand_in.h"
#include "services/default_project.h"
#include "services/paths.h"
#include "services/preview.h"
#include "services/run_files.h"
#include "services/shell.h"
#include "test_support.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Passes launches to the system's shell and counts them; answers message boxes with No.
class CCountingShell final : public IShell
{
public:
    CCountingShell() : real(Shell()) { SetShellForTesting(this); }
    ~CCountingShell() { SetShellForTesting(nullptr); }
    int ShowMessage(HWND, const wchar_t*, const wchar_t*, UINT) override { return IDNO; }
    bool ChooseOpenFile(OPENFILENAMEW& dialog) override { return real.ChooseOpenFile(dialog); }
    bool ChooseSaveFile(OPENFILENAMEW& dialog) override { return real.ChooseSaveFile(dialog); }
    bool Execute(SHELLEXECUTEINFOW& info) override
    {
        ++launches;
        return real.Execute(info);
    }

    std::atomic<int> launches{0};

private:
    IShell& real;
};

// Handles this thread's messages until `done` holds or the time-out (a safety net for a broken
// build, not a measure) has passed; false on time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 60000)
{
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

std::wstring PreviewPath()
{
    return platform::TempFolder() + kPreviewFileName;
}

class PreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        BuildDefaultProject(project);
        project.title = L"Preview \u00FCber alles";
    }
    void TearDown() override
    {
        // No launch of this test may outlive it.
        EXPECT_TRUE(PumpUntil([] { return BrowserLaunchesRunning() == 0; }));
        RemoveFilesOfRun();
    }

    CProject project;
    CBrowserStandIn browser;
};

} // namespace

TEST_F(PreviewTest, TheRegisteredBrowserGetsTheQuotedPathAndTheFileStaysUntilQuit)
{
    std::wstring spaced =
        platform::TempFolder() + L"Quillomere preview " + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(spaced.c_str(), nullptr);
    const std::wstring program = WindowsPath(QUIL_TEST_BROWSER_PATH);
    struct Case
    {
        DWORD type;
        std::wstring command;
        bool spacedTemp;
    };
    for (const Case& test :
         {Case{REG_SZ, L"\"" + program + L"\" -osint -url \"%1\"", true},
          Case{REG_EXPAND_SZ, program + L" -url %1", false}, Case{REG_SZ, program, true}}) {
        SCOPED_TRACE(test.command);
        browser.command.SetText(test.type, test.command);
        std::unique_ptr<CEnvironmentOverride> tmp, temp;
        if (test.spacedTemp) {
            tmp = std::make_unique<CEnvironmentOverride>(L"TMP", spaced);
            temp = std::make_unique<CEnvironmentOverride>(L"TEMP", spaced);
        }
        std::wstring path = PreviewPath();
        EXPECT_EQ(path.find(L' ') != std::wstring::npos, test.spacedTemp) << path;

        Preview(project);
        ASSERT_TRUE(PumpUntil([&] { return browser.HasRun(); }));
        ASSERT_TRUE(PumpUntil([] { return BrowserLaunchesRunning() == 0; }));

        std::vector<BrowserRun> runs = browser.TakeRuns();
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_NE(runs[0].commandLine.find(L" \"" + path + L"\""), std::wstring::npos)
            << runs[0].commandLine;
        std::vector<std::wstring> arguments = Arguments(runs[0].commandLine);
        ASSERT_EQ(arguments.size(), 2u) << runs[0].commandLine;
        EXPECT_EQ(arguments[1], path);
        // Read by the browser a moment after it started.
        EXPECT_EQ(runs[0].page, GeneratedPage(project));
        // The browser has ended; the file stays for it until the program quits.
        EXPECT_EQ(ReadFileBytes(path), GeneratedPage(project));
        EXPECT_EQ(FilesOfRun(), std::vector<std::wstring>{path});
        RemoveFilesOfRun();
        EXPECT_FALSE(platform::FileExists(path));
    }
    ::RemoveDirectoryW(spaced.c_str());
}

TEST_F(PreviewTest, WithoutABrowserCommandTheFileStaysUntilQuit)
{
    CCountingShell shell;
    DWORD number = 1;
    struct Case
    {
        const char* what;
        std::function<void()> set;
    };
    for (const Case& test :
         {Case{"key missing", [&] { browser.command.Remove(); }},
          Case{"not text", [&] { browser.command.Set(REG_DWORD, &number, sizeof number); }},
          Case{"empty", [&] { browser.command.SetText(REG_SZ, L""); }},
          Case{"blank", [&] { browser.command.SetText(REG_EXPAND_SZ, L" \t "); }}}) {
        SCOPED_TRACE(test.what);
        test.set();
        std::wstring path = PreviewPath();

        Preview(project);
        ASSERT_TRUE(PumpUntil([] { return BrowserLaunchesRunning() == 0; }));
        EXPECT_EQ(ReadFileBytes(path), GeneratedPage(project));
        RemoveFilesOfRun();
        EXPECT_FALSE(platform::FileExists(path));
    }
    // An empty program is no program: nothing was handed to the shell.
    EXPECT_EQ(shell.launches.load(), 0);
    EXPECT_TRUE(browser.TakeRuns().empty());
}

namespace {

// Answers every launch as started, without a process: a browser that handed the page to a
// copy of itself that was already running.
class CHandOverShell final : public IShell
{
public:
    CHandOverShell() { SetShellForTesting(this); }
    ~CHandOverShell() { SetShellForTesting(nullptr); }
    int ShowMessage(HWND, const wchar_t*, const wchar_t*, UINT) override { return IDCANCEL; }
    bool ChooseOpenFile(OPENFILENAMEW&) override { return false; }
    bool ChooseSaveFile(OPENFILENAMEW&) override { return false; }
    bool Execute(SHELLEXECUTEINFOW& info) override
    {
        // Runs on the launch's thread; the test reads these after that thread has ended.
        mask = info.fMask;
        owner = info.hwnd;
        verb = info.lpVerb ? info.lpVerb : L"(none)";
        file = info.lpFile ? info.lpFile : L"(none)";
        parameters = info.lpParameters ? info.lpParameters : L"(none)";
        folder = info.lpDirectory ? info.lpDirectory : L"(none)";
        show = info.nShow;
        info.hProcess = nullptr;
        ++launches;
        return true;
    }

    std::atomic<int> launches{0};
    ULONG mask = 0;
    HWND owner = nullptr;
    std::wstring verb, file, parameters, folder;
    int show = 0;
};

} // namespace

TEST_F(PreviewTest, ALaunchWithoutAProcessKeepsTheFileUntilQuit)
{
    CHandOverShell shell;
    browser.command.SetText(REG_EXPAND_SZ,
                            L"'%ProgramFiles%\\Web Browser\\browser.exe' -url \"%1\"");
    std::wstring path = PreviewPath();

    Preview(project);
    ASSERT_TRUE(PumpUntil([] { return BrowserLaunchesRunning() == 0; }));
    // The browser that took the page over may read it at any time.
    EXPECT_EQ(ReadFileBytes(path), GeneratedPage(project));
    RemoveFilesOfRun();
    EXPECT_FALSE(platform::FileExists(path));

    EXPECT_EQ(shell.launches.load(), 1);
    EXPECT_EQ(shell.mask, static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI));
    EXPECT_EQ(shell.owner, nullptr);
    EXPECT_EQ(shell.verb, L"(none)");
    // The stored text as it is: not expanded, the options dropped.
    EXPECT_EQ(shell.file, L"%ProgramFiles%\\Web Browser\\browser.exe");
    EXPECT_EQ(shell.parameters, L"\"" + path + L"\"");
    EXPECT_EQ(shell.folder, L"(none)");
    EXPECT_EQ(shell.show, SW_SHOWNORMAL);
}

TEST_F(PreviewTest, TwoPreviewsInARowEachStartABrowserOnTheOneFile)
{
    browser.Register(L" \"%1\"");
    std::wstring path = PreviewPath();

    Preview(project);
    project.title = L"Second look";
    Preview(project);
    ASSERT_TRUE(PumpUntil([] { return BrowserLaunchesRunning() == 0; }));
    // The later preview overwrote the file.
    EXPECT_EQ(ReadFileBytes(path), GeneratedPage(project));
    EXPECT_EQ(FilesOfRun().size(), 1u);
    std::vector<BrowserRun> runs;
    ASSERT_TRUE(PumpUntil([&] {
        for (BrowserRun& run : browser.TakeRuns())
            runs.push_back(run);
        return runs.size() >= 2;
    }));
    for (const BrowserRun& run : runs) {
        std::vector<std::wstring> arguments = Arguments(run.commandLine);
        ASSERT_EQ(arguments.size(), 2u) << run.commandLine;
        EXPECT_EQ(arguments[1], path);
    }
}

TEST_F(PreviewTest, QuittingRemovesOnlyTheFilesOfThisRun)
{
    // Another run's preview is not this run's to remove.
    std::wstring path = PreviewPath();
    WriteFileBytes(path, "another run's page");
    RemoveFilesOfRun();
    EXPECT_EQ(ReadFileBytes(path), "another run's page");
    platform::RemoveFile(path);
}

namespace {

// What the Ctrl+F5 test's timer does and sees while the editor's own message loop runs.
struct EditorRun
{
    HWND main = nullptr;
    const CBrowserStandIn* browser = nullptr;
    DWORD start = 0;
    int step = 0;
    int ticksAfterPreview = 0;
    bool fileWhileRunning = false;
    bool timedOut = false;
};
EditorRun* editorRun = nullptr;

void SetControlKey(bool down)
{
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

LPARAM KeyData(bool release)
{
    LPARAM scanCode = static_cast<LPARAM>(::MapVirtualKeyW(VK_F5, MAPVK_VK_TO_VSC));
    return 1 | (scanCode << 16) | (release ? (3 << 30) : 0);
}

void CALLBACK DriveEditor(HWND, UINT, UINT_PTR, DWORD)
{
    EditorRun& run = *editorRun;
    if (run.step == 0) {
        // Control held while the loop takes F5 from the queue, as the accelerator table reads it.
        SetControlKey(true);
        ::PostMessageW(run.main, WM_KEYDOWN, VK_F5, KeyData(false));
        run.step = 1;
        return;
    }
    if (run.step == 1) {
        SetControlKey(false);
        ::PostMessageW(run.main, WM_KEYUP, VK_F5, KeyData(true));
        run.step = 2;
    }
    if (run.step != 2) return;
    // The window goes on answering while the browser starts and reads.
    ++run.ticksAfterPreview;
    if (run.browser->HasRun() || ::GetTickCount() - run.start > 60000) {
        run.timedOut = !run.browser->HasRun();
        run.fileWhileRunning = platform::FileExists(PreviewPath());
        run.step = 3;
        ::PostMessageW(run.main, WM_CLOSE, 0, 0);
    }
}

} // namespace

TEST_F(PreviewTest, CtrlF5InTheEditorPreviewsAndTheFileGoesWhenTheProgramQuits)
{
    std::wstring folder = platform::TempFolder() + L"quillomere-preview-editor-" +
                          std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    BuildFilePaths(folder);
    browser.Register();
    CCountingShell shell;
    std::wstring path = PreviewPath();

    CProject edited;
    {
        CfrmTreeEditor window(edited);
        ASSERT_TRUE(StartUp(edited, window));
        EditorRun run;
        run.main = window.MainWindow();
        run.browser = &browser;
        run.start = ::GetTickCount();
        editorRun = &run;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, DriveEditor);
        EXPECT_EQ(RunMessageLoop(window, SW_SHOWNORMAL), 0);
        ::KillTimer(nullptr, timer);
        editorRun = nullptr;
        SetControlKey(false);

        EXPECT_FALSE(run.timedOut);
        EXPECT_GT(run.ticksAfterPreview, 0);
        EXPECT_TRUE(run.fileWhileRunning);
    }
    EXPECT_EQ(shell.launches.load(), 1);
    EXPECT_FALSE(platform::FileExists(path));
    std::vector<BrowserRun> runs = browser.TakeRuns();
    ASSERT_EQ(runs.size(), 1u);
    std::vector<std::wstring> arguments = Arguments(runs[0].commandLine);
    ASSERT_EQ(arguments.size(), 2u) << runs[0].commandLine;
    EXPECT_EQ(arguments[1], path);
    EXPECT_EQ(runs[0].page, GeneratedPage(edited));
    platform::RemoveFile(folder + L"\\Quillomere.quil");
    ::RemoveDirectoryW(folder.c_str());
}

// The browser preview under Wine: the browser command comes from the prefix's registry and names
// a small test program of ours (test_browser.cpp) that logs what it was given.
#include "app/default_project.h"
#include "app/paths.h"
#include "app/preview.h"
#include "app/shell.h"
#include "app/startup.h"
#include "editor/tree_editor.h"
#include "homepage/page_writer.h"
#include "model/project.h"
#include "persist/text.h"
#include "platform/platform.h"
#include "test_support.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t kCommandKey[] = L"HTTP\\shell\\open\\command";

// Changes the browser command under HKEY_CLASSES_ROOT and puts back exactly what was there:
// the command key's values, or no key at all (with the parent keys this created).
class CBrowserCommandOverride
{
public:
    CBrowserCommandOverride()
    {
        std::wstring level;
        for (const wchar_t* part : {L"HTTP", L"shell", L"open", L"command"}) {
            level += (level.empty() ? L"" : L"\\") + std::wstring(part);
            HKEY key = nullptr;
            bool exists = ::RegOpenKeyExW(HKEY_CLASSES_ROOT, level.c_str(), 0, KEY_READ, &key) ==
                          ERROR_SUCCESS;
            if (exists) ::RegCloseKey(key);
            levels.push_back({level, exists});
        }
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kCommandKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return;
        DWORD count = 0, longestName = 0, largestData = 0;
        ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                           &longestName, &largestData, nullptr, nullptr);
        for (DWORD index = 0; index < count; ++index) {
            std::vector<wchar_t> name(longestName + 1);
            DWORD nameLength = longestName + 1;
            DWORD type = 0;
            std::vector<BYTE> data(largestData);
            DWORD size = largestData;
            EXPECT_EQ(::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                      data.data(), &size),
                      ERROR_SUCCESS);
            data.resize(size);
            saved.push_back({std::wstring(name.data(), nameLength), type, data});
        }
        ::RegCloseKey(key);
    }
    ~CBrowserCommandOverride()
    {
        ::RegDeleteKeyW(HKEY_CLASSES_ROOT, kCommandKey);
        if (levels.back().existed) {
            HKEY key = nullptr;
            ::RegCreateKeyExW(HKEY_CLASSES_ROOT, kCommandKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr);
            for (const Value& value : saved) {
                ::RegSetValueExW(key, value.name.empty() ? nullptr : value.name.c_str(), 0,
                                 value.type, value.data.data(),
                                 static_cast<DWORD>(value.data.size()));
            }
            ::RegCloseKey(key);
        }
        for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
            if (!level->existed) ::RegDeleteKeyW(HKEY_CLASSES_ROOT, level->path.c_str());
        }
    }

    void SetText(DWORD type, const std::wstring& text)
    {
        Set(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void Set(DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, kCommandKey, 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegSetValueExW(key, nullptr, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
    }
    void Remove() { ::RegDeleteKeyW(HKEY_CLASSES_ROOT, kCommandKey); }

private:
    struct Level
    {
        std::wstring path;
        bool existed;
    };
    struct Value
    {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::vector<Level> levels;
    std::vector<Value> saved;
};

// Sets an environment variable of this process (and so of the programs it starts) and puts the
// old value back.
class CEnvironmentOverride
{
public:
    CEnvironmentOverride(const wchar_t* name, const std::wstring& value) : name(name)
    {
        wchar_t buffer[32768];
        DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
        existed = length > 0 && length < 32768;
        if (existed) old.assign(buffer, length);
        ::SetEnvironmentVariableW(name, value.c_str());
    }
    ~CEnvironmentOverride() { ::SetEnvironmentVariableW(name, existed ? old.c_str() : nullptr); }

private:
    const wchar_t* name;
    std::wstring old;
    bool existed = false;
};

// Passes launches to the system's shell and counts them; answers message boxes with No.
class CCountingShell final : public IShell
{
public:
    CCountingShell() : real(Shell()) { SetShellForTesting(this); }
    ~CCountingShell() { SetShellForTesting(nullptr); }
    int ShowMessage(HWND, const wchar_t*, const wchar_t*, UINT) override { return IDNO; }
    bool ChooseOpenFile(OPENFILENAMEW& dialog) override { return real.ChooseOpenFile(dialog); }
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

struct BrowserRun
{
    std::wstring commandLine;
    std::string page;
};

class PreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        logFolder = platform::TempFolder() + L"quillomere-browser-" +
                    std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(logFolder.c_str(), nullptr);
        logVariable = std::make_unique<CEnvironmentOverride>(L"QUIL_TEST_BROWSER_LOG", logFolder);
        BuildDefaultProject(project);
        project.title = L"Preview \u00FCber alles";
    }
    void TearDown() override
    {
        // No thread of this test may outlive it: it would delete the next test's file.
        EXPECT_TRUE(PumpUntil([] { return PreviewsRunning() == 0; }));
        SetPreviewWaitForTesting(kPreviewWaitMs);
        for (const std::wstring& log : Logs())
            platform::RemoveFile(log);
        ::RemoveDirectoryW(logFolder.c_str());
    }

    std::vector<std::wstring> Logs() const
    {
        std::vector<std::wstring> logs;
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((logFolder + L"\\browser-*.log").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return logs;
        do {
            logs.push_back(logFolder + L"\\" + found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        return logs;
    }

    // The runs of the test browser so far, each log read once and removed.
    std::vector<BrowserRun> TakeBrowserRuns()
    {
        std::vector<BrowserRun> runs;
        for (const std::wstring& log : Logs()) {
            std::string bytes = ReadFileBytes(log);
            platform::RemoveFile(log);
            std::size_t end = bytes.find('\n');
            if (end == std::string::npos) end = bytes.size();
            BrowserRun run;
            run.commandLine = FromUtf8(bytes.substr(0, end));
            run.page = end < bytes.size() ? bytes.substr(end + 1) : std::string();
            runs.push_back(run);
        }
        return runs;
    }

    CProject project;
    std::wstring logFolder;
    std::unique_ptr<CEnvironmentOverride> logVariable;
    CBrowserCommandOverride browserCommand;
};

std::vector<std::wstring> Arguments(const std::wstring& commandLine)
{
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> result(arguments, arguments + (arguments ? count : 0));
    ::LocalFree(arguments);
    return result;
}

} // namespace

TEST_F(PreviewTest, TheRegisteredBrowserGetsTheQuotedPathAndTheFileGoesWhenItEnds)
{
    // So long that only the browser's end can remove the file before the test gives up.
    SetPreviewWaitForTesting(10 * 60 * 1000);
    std::wstring spaced =
        platform::TempFolder() + L"Quillomere preview " + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(spaced.c_str(), nullptr);
    const std::wstring browser = WindowsPath(QUIL_TEST_BROWSER_PATH);
    struct Case
    {
        DWORD type;
        std::wstring command;
        bool spacedTemp;
    };
    for (const Case& test :
         {Case{REG_SZ, L"\"" + browser + L"\" -osint -url \"%1\"", true},
          Case{REG_EXPAND_SZ, browser + L" -url %1", false}, Case{REG_SZ, browser, true}}) {
        SCOPED_TRACE(test.command);
        browserCommand.SetText(test.type, test.command);
        std::unique_ptr<CEnvironmentOverride> tmp, temp;
        if (test.spacedTemp) {
            tmp = std::make_unique<CEnvironmentOverride>(L"TMP", spaced);
            temp = std::make_unique<CEnvironmentOverride>(L"TEMP", spaced);
        }
        std::wstring path = PreviewPath();
        EXPECT_EQ(path.find(L' ') != std::wstring::npos, test.spacedTemp) << path;

        Preview(project);
        ASSERT_TRUE(PumpUntil([] { return PreviewsRunning() == 0; }));

        EXPECT_FALSE(platform::FileExists(path));
        std::vector<BrowserRun> runs = TakeBrowserRuns();
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_NE(runs[0].commandLine.find(L" \"" + path + L"\""), std::wstring::npos)
            << runs[0].commandLine;
        std::vector<std::wstring> arguments = Arguments(runs[0].commandLine);
        ASSERT_EQ(arguments.size(), 2u) << runs[0].commandLine;
        EXPECT_EQ(arguments[1], path);
        // Read by the browser a moment after it started: the file was still there.
        EXPECT_EQ(runs[0].page, GeneratedPage(project));
    }
    ::RemoveDirectoryW(spaced.c_str());
}

namespace {

std::atomic<int> ticks{0};

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++ticks;
}

} // namespace

TEST_F(PreviewTest, WithoutABrowserCommandTheFileGoesAfterTheWait)
{
    SetPreviewWaitForTesting(2000);
    CCountingShell shell;
    DWORD number = 1;
    struct Case
    {
        const char* what;
        std::function<void()> set;
    };
    for (const Case& test :
         {Case{"key missing", [&] { browserCommand.Remove(); }},
          Case{"not text", [&] { browserCommand.Set(REG_DWORD, &number, sizeof number); }},
          Case{"empty", [&] { browserCommand.SetText(REG_SZ, L""); }},
          Case{"blank", [&] { browserCommand.SetText(REG_EXPAND_SZ, L" \t "); }}}) {
        SCOPED_TRACE(test.what);
        test.set();
        std::wstring path = PreviewPath();

        Preview(project);
        // The command came back at once, the page written and the wait still on.
        EXPECT_EQ(ReadFileBytes(path), GeneratedPage(project));
        EXPECT_EQ(PreviewsRunning(), 1);

        // Meanwhile this thread goes on handling its messages.
        ticks = 0;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CountTick);
        ASSERT_TRUE(PumpUntil([] { return PreviewsRunning() == 0; }));
        ::KillTimer(nullptr, timer);
        EXPECT_GT(ticks.load(), 0);
        EXPECT_FALSE(platform::FileExists(path));
    }
    // An empty program is no program: nothing was handed to the shell.
    EXPECT_EQ(shell.launches.load(), 0);
    EXPECT_TRUE(TakeBrowserRuns().empty());
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
    bool Execute(SHELLEXECUTEINFOW& info) override
    {
        // Runs on the preview's thread; the test reads these after that thread has ended.
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

TEST_F(PreviewTest, ALaunchWithoutAProcessKeepsTheFileForTheWait)
{
    SetPreviewWaitForTesting(2000);
    CHandOverShell shell;
    browserCommand.SetText(REG_EXPAND_SZ,
                           L"'%ProgramFiles%\\Web Browser\\browser.exe' -url \"%1\"");
    std::wstring path = PreviewPath();

    Preview(project);
    ASSERT_TRUE(PumpUntil([&] { return shell.launches.load() > 0; }));
    // The browser may still be reading the page.
    EXPECT_TRUE(platform::FileExists(path));
    ASSERT_TRUE(PumpUntil([] { return PreviewsRunning() == 0; }));
    EXPECT_FALSE(platform::FileExists(path));

    EXPECT_EQ(shell.launches.load(), 1);
    EXPECT_EQ(shell.mask, static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS));
    EXPECT_EQ(shell.owner, nullptr);
    EXPECT_EQ(shell.verb, L"(none)");
    // The stored text as it is: not expanded, the options dropped.
    EXPECT_EQ(shell.file, L"%ProgramFiles%\\Web Browser\\browser.exe");
    EXPECT_EQ(shell.parameters, L"\"" + path + L"\"");
    EXPECT_EQ(shell.folder, L"(none)");
    EXPECT_EQ(shell.show, SW_SHOWNORMAL);
}

TEST_F(PreviewTest, TwoPreviewsInARowEachStartABrowser)
{
    SetPreviewWaitForTesting(10 * 60 * 1000);
    browserCommand.SetText(REG_SZ, L"\"" + WindowsPath(QUIL_TEST_BROWSER_PATH) + L"\" \"%1\"");
    std::wstring path = PreviewPath();

    Preview(project);
    project.title = L"Second look";
    Preview(project);
    ASSERT_TRUE(PumpUntil([] { return PreviewsRunning() == 0; }));

    EXPECT_FALSE(platform::FileExists(path));
    std::vector<BrowserRun> runs = TakeBrowserRuns();
    ASSERT_EQ(runs.size(), 2u);
    for (const BrowserRun& run : runs) {
        std::vector<std::wstring> arguments = Arguments(run.commandLine);
        ASSERT_EQ(arguments.size(), 2u) << run.commandLine;
        EXPECT_EQ(arguments[1], path);
    }
}

namespace {

// What the Ctrl+F5 test's timer does and sees while the editor's own message loop runs.
struct EditorRun
{
    HWND main = nullptr;
    DWORD start = 0;
    int step = 0;
    bool previewSeen = false;
    int ticksWhileWaiting = 0;
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
    if (PreviewsRunning() > 0) {
        run.previewSeen = true;
        ++run.ticksWhileWaiting;
    } else if (run.previewSeen || ::GetTickCount() - run.start > 60000) {
        run.timedOut = !run.previewSeen;
        run.step = 3;
        ::PostMessageW(run.main, WM_CLOSE, 0, 0);
    }
}

} // namespace

TEST_F(PreviewTest, CtrlF5InTheEditorPreviewsWhileTheWindowGoesOnAnswering)
{
    std::wstring folder = platform::TempFolder() + L"quillomere-preview-editor-" +
                          std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    BuildFilePaths(folder);
    SetPreviewWaitForTesting(10 * 60 * 1000);
    browserCommand.SetText(REG_SZ,
                           L"\"" + WindowsPath(QUIL_TEST_BROWSER_PATH) + L"\" -osint -url \"%1\"");
    CCountingShell shell;
    std::wstring path = PreviewPath();

    CProject edited;
    {
        CfrmTreeEditor window(edited);
        ASSERT_TRUE(StartUp(edited, window));
        EditorRun run;
        run.main = window.MainWindow();
        run.start = ::GetTickCount();
        editorRun = &run;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 50, DriveEditor);
        EXPECT_EQ(RunMessageLoop(window, SW_SHOWNORMAL), 0);
        ::KillTimer(nullptr, timer);
        editorRun = nullptr;
        SetControlKey(false);

        EXPECT_FALSE(run.timedOut);
        EXPECT_GT(run.ticksWhileWaiting, 0);
    }
    EXPECT_EQ(shell.launches.load(), 1);
    EXPECT_FALSE(platform::FileExists(path));
    std::vector<BrowserRun> runs = TakeBrowserRuns();
    ASSERT_EQ(runs.size(), 1u);
    std::vector<std::wstring> arguments = Arguments(runs[0].commandLine);
    ASSERT_EQ(arguments.size(), 2u) << runs[0].commandLine;
    EXPECT_EQ(arguments[1], path);
    EXPECT_EQ(runs[0].page, GeneratedPage(edited));
    ::RemoveDirectoryW(folder.c_str());
}

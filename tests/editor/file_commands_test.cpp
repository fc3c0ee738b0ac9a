// The File menu's work as a person meets it, with real input: every save writes the homepage too
// (unless the setting says not), a file of the homepage's name that is no page of ours is kept
// aside, a browser that cannot be started is told, Export bookmarks..., the Options dialog by
// keyboard and mouse, and the program's icon on its other windows.
#include "editor/editor_fixture.h"
#include "editor/options_dialog.h"
#include "gui_desktop.h"
#include "homepage/bookmark_writer.h"
#include "model/item_link.h"
#include "panes/pane_fixture.h"
#include "persist/project_file.h"
#include "platform/platform.h"
#include "registry_override.h"
#include "services/browser_launch.h"
#include "services/browser_stand_in.h"
#include "services/help.h"
#include "services/paths.h"
#include "services/preview.h"
#include "services/run_files.h"
#include "services/settings.h"
#include "services/status_texts.h"
#include "test_support.h"

#include <commdlg.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Drives a modal dialog from inside its own message loop: a timer runs the steps in turn, each
// acting once and then waiting until its condition holds (at most 5 s; then the dialog is
// cancelled and the step named as the one that failed).
struct ModalStep
{
    std::string what;
    std::function<void(HWND dialog)> act;
    std::function<bool(HWND dialog)> done;
};

struct ModalRun
{
    std::wstring title;
    std::vector<ModalStep> steps;
    std::size_t at = 0;
    bool acted = false;
    DWORD since = 0;
    HWND dialog = nullptr;
    bool finished = false;
    std::string failed;
};
ModalRun* modalRun = nullptr;

HWND ShownDialog(const std::wstring& title)
{
    HWND box = nullptr;
    while ((box = ::FindWindowExW(nullptr, box, L"#32770", title.c_str()))) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(box, &process);
        if (process == ::GetCurrentProcessId() && ::IsWindowVisible(box)) return box;
    }
    return nullptr;
}

void CALLBACK DriveModal(HWND, UINT, UINT_PTR, DWORD)
{
    if (!modalRun || modalRun->finished) return;
    ModalRun& run = *modalRun;
    if (!run.dialog && !(run.dialog = ShownDialog(run.title))) return;
    if (run.at == run.steps.size()) {
        run.finished = true;
        return;
    }
    ModalStep& step = run.steps[run.at];
    if (!run.acted && !::IsWindow(run.dialog)) {
        run.failed = "the dialog closed before: " + step.what;
        run.finished = true;
        return;
    }
    if (!run.acted) {
        run.acted = true;
        run.since = ::GetTickCount();
        if (step.act) step.act(run.dialog);
        return;
    }
    if (!step.done || step.done(run.dialog)) {
        ++run.at;
        run.acted = false;
        // The last step may have closed the dialog.
        if (run.at == run.steps.size()) run.finished = true;
        return;
    }
    if (!::IsWindow(run.dialog) || ::GetTickCount() - run.since > 5000) {
        run.failed = step.what;
        run.finished = true;
        ::EndDialog(run.dialog, IDCANCEL);
    }
}

void SendKey(WORD key, bool alt = false)
{
    std::vector<INPUT> inputs = KeyPressInputs(key, false, false, alt);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT MouseInput(POINT screen, DWORD flags)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535 + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535 + height / 2) / (height - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    return input;
}

POINT CentreOf(HWND control)
{
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    // Left of the middle for a check box or radio button: on its box or the start of its text.
    return {rect.left + std::min(20L, (rect.right - rect.left) / 2), (rect.top + rect.bottom) / 2};
}

// A click on a control of the dialog, as two steps: the pointer goes there and stays for three
// ticks (under Wine it strays back now and then), then the button goes down and up;
// `done` tells that the click took effect.
void AddClick(std::vector<ModalStep>& steps, const std::string& what, int id,
              std::function<bool(HWND)> done)
{
    auto steady = std::make_shared<int>(0);
    auto target = std::make_shared<POINT>();
    steps.push_back({what + ": the pointer over it",
                     [=](HWND dialog) {
                         *target = CentreOf(::GetDlgItem(dialog, id));
                         *steady = 0;
                         INPUT move = MouseInput(*target, 0);
                         ::SendInput(1, &move, sizeof move);
                     },
                     [=](HWND) {
                         POINT now = {};
                         ::GetCursorPos(&now);
                         if (now.x != target->x || now.y != target->y) {
                             *steady = 0;
                             INPUT move = MouseInput(*target, 0);
                             ::SendInput(1, &move, sizeof move);
                             return false;
                         }
                         return ++*steady >= 3;
                     }});
    steps.push_back({what + ": clicked",
                     [=](HWND) {
                         INPUT click[2] = {MouseInput(*target, MOUSEEVENTF_LEFTDOWN),
                                           MouseInput(*target, MOUSEEVENTF_LEFTUP)};
                         ::SendInput(2, click, sizeof(INPUT));
                     },
                     std::move(done)});
}

// The dialog redrawn, given a few ticks to finish painting, and saved as build/NAME.
void AddPicture(std::vector<ModalStep>& steps, const wchar_t* name)
{
    auto ticks = std::make_shared<int>(0);
    steps.push_back({"painted",
                     [ticks](HWND dialog) {
                         *ticks = 0;
                         ::RedrawWindow(dialog, nullptr, nullptr,
                                        RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
                     },
                     [ticks](HWND) { return ++*ticks >= 5; }});
    const std::wstring path = WindowsPath(QUIL_SCREENSHOT_DIR) + L"\\" + name;
    steps.push_back({"the picture",
                     [path](HWND dialog) { EXPECT_TRUE(SaveWindowScreenshot(dialog, path)); },
                     nullptr});
}

bool Checked(HWND dialog, int id)
{
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

class FileCommandsTest : public InputTest
{
protected:
    std::wstring Outcome() { return editor->StatusBar().PartText(CStatusBar::kOutcome); }
    std::wstring PageState() { return editor->StatusBar().PartText(CStatusBar::kPageState); }

    // Types the key's letter at the end of the News group's caption: a change of the project.
    void TypeIntoNews(WORD key)
    {
        Select(kNodeGroup, news);
        HWND caption = ::GetDlgItem(editor->groupPane.Window(), IDC_GROUP_CAPTION);
        ::SetFocus(caption);
        ::SendMessageW(caption, EM_SETSEL, 0x7FFF, 0x7FFF);
        Key(key);
    }

    // The project file as an outline, and the News group's caption in it.
    std::wstring SavedOutline()
    {
        CProject saved;
        EXPECT_GT(LoadProjectFile(saved, ProjectFilePath), 0);
        return ProjectOutline(saved);
    }
    std::wstring SavedNewsCaption()
    {
        CProject saved;
        if (LoadProjectFile(saved, ProjectFilePath) <= 0 || saved.columns.size() < 2 ||
            saved.columns[1]->groups.empty())
            return L"(no project file)";
        return saved.columns[1]->groups[0]->caption;
    }

    // Opens a modal dialog with `open` and drives it through `steps`; false, with the failed step
    // named, when it did not go through all of them.
    bool DriveDialog(const wchar_t* title, std::vector<ModalStep> steps,
                     const std::function<void()>& open)
    {
        ModalRun run;
        run.title = title;
        run.steps = std::move(steps);
        modalRun = &run;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 30, DriveModal);
        open();
        PumpUntil([&] { return run.finished; }, 20000);
        ::KillTimer(nullptr, timer);
        modalRun = nullptr;
        PumpFor(100);
        EXPECT_EQ(run.failed, "");
        EXPECT_TRUE(run.finished) << "stopped at step " << run.at;
        return run.finished && run.failed.empty();
    }
};

} // namespace

TEST(Settings, AbsentOrUnreadableValuesReadAsTheirDefaults)
{
    CRegistryKeyOverride key(HKEY_CURRENT_USER, SettingsKey());
    key.Remove();
    ProgramSettings settings = LoadSettings();
    EXPECT_TRUE(settings.writeHomepageOnSave);
    EXPECT_EQ(settings.previewBrowser, L"");

    key.SetNumber(L"WriteHomepageOnSave", 0);
    key.SetText(REG_SZ, L"C:\\Browser\\browser.exe", L"PreviewBrowser");
    settings = LoadSettings();
    EXPECT_FALSE(settings.writeHomepageOnSave);
    EXPECT_EQ(settings.previewBrowser, L"C:\\Browser\\browser.exe");

    // Any other number is on; values of another type are not read.
    key.SetNumber(L"WriteHomepageOnSave", 7);
    EXPECT_TRUE(LoadSettings().writeHomepageOnSave);
    key.SetText(REG_SZ, L"0", L"WriteHomepageOnSave");
    key.SetNumber(L"PreviewBrowser", 1);
    settings = LoadSettings();
    EXPECT_TRUE(settings.writeHomepageOnSave);
    EXPECT_EQ(settings.previewBrowser, L"");

    ASSERT_TRUE(SaveSettings({false, L"D:\\Other browser\\b.exe"}));
    settings = LoadSettings();
    EXPECT_FALSE(settings.writeHomepageOnSave);
    EXPECT_EQ(settings.previewBrowser, L"D:\\Other browser\\b.exe");
    EXPECT_EQ(ProgramPathOf(L"  \" C:\\B\\b.exe \" "), L"C:\\B\\b.exe");
    EXPECT_EQ(ProgramPathOf(L"\""), L"\"");
}

TEST_F(FileCommandsTest, EverySaveWritesTheHomepageAsF5DoesUnlessTheSettingIsOff)
{
    Open();
    TypeIntoNews('X');
    ASSERT_EQ(news->caption, L"Newsx");

    // The setting absent: Ctrl+S writes the project file, then the homepage.
    Key('S', false, true);
    EXPECT_EQ(SavedOutline(), ProjectOutline(project));
    const std::string page = ReadFileBytes(HomepageFilePath);
    EXPECT_EQ(page, GeneratedPage(project));
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(Outcome(), L"Project saved to Quillomere.quil and homepage written to "
                         L"Quillomere.html in " +
                             folder);
    EXPECT_EQ(PageState(), L"Homepage up to date");
    // F5 writes the same bytes.
    platform::RemoveFile(HomepageFilePath);
    Key(VK_F5);
    EXPECT_EQ(ReadFileBytes(HomepageFilePath), page);

    // Off: only the project file.
    ASSERT_TRUE(SaveSettings({false, L""}));
    TypeIntoNews('Y');
    Key('S', false, true);
    EXPECT_EQ(SavedNewsCaption(), L"Newsxy");
    EXPECT_EQ(ReadFileBytes(HomepageFilePath), page);
    EXPECT_EQ(Outcome(), L"Project saved to " + ProjectFilePath);
    EXPECT_EQ(PageState(), L"Homepage not yet written since the last change (F5)");
}

TEST_F(FileCommandsTest, TheQuitPromptsYesWritesTheProjectAndThenTheHomepage)
{
    Open();
    TypeIntoNews('X');
    shell.answers = {IDYES};
    Key('X', false, false, true);
    ASSERT_TRUE(quitPosted);
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(shell.shown[0].text, L"Project is changed.\r\n\r\nSave changes before quitting?");
    EXPECT_EQ(SavedNewsCaption(), L"Newsx");
    EXPECT_EQ(ReadFileBytes(HomepageFilePath), GeneratedPage(project));
}

TEST_F(FileCommandsTest, AHomepageThatCannotBeWrittenAtQuitIsToldAndTheProgramQuits)
{
    // A folder where the homepage would go.
    ASSERT_TRUE(::CreateDirectoryW(HomepageFilePath.c_str(), nullptr));
    Open();
    TypeIntoNews('X');
    shell.answers = {IDYES};
    Key('X', false, false, true);
    EXPECT_TRUE(quitPosted);
    ASSERT_EQ(shell.shown.size(), 2u);
    EXPECT_EQ(shell.shown[1].text,
              L"The project was saved, but the homepage could not be written to\r\n" +
                  HomepageFilePath);
    EXPECT_EQ(shell.shown[1].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(SavedNewsCaption(), L"Newsx");
    ::RemoveDirectoryW(HomepageFilePath.c_str());
}

TEST_F(FileCommandsTest, AFileOfTheHomepagesNameThatIsNoPageOfOursIsKeptAside)
{
    const std::string foreign = "<p>Meine Startseite \xE2\x80\x94 von woanders</p>\n";
    WriteFileBytes(HomepageFilePath, foreign);
    Open();
    Key(VK_F5);
    const std::wstring earlier = folder + L"\\Quillomere (earlier).html";
    EXPECT_EQ(ReadFileBytes(earlier), foreign);
    EXPECT_EQ(ReadFileBytes(HomepageFilePath), GeneratedPage(project));
    EXPECT_EQ(Outcome(), L"Earlier Quillomere.html kept as Quillomere (earlier).html; homepage "
                         L"written to " +
                             HomepageFilePath);
    Shot(L"screenshot-status-bar-kept-aside.png");

    // Our own page is written over; another foreign file takes the next name.
    Key(VK_F5);
    EXPECT_EQ(Outcome(), L"Homepage written to " + HomepageFilePath);
    WriteFileBytes(HomepageFilePath, "plain text");
    Key('S', false, true);
    const std::wstring second = folder + L"\\Quillomere (earlier 2).html";
    EXPECT_EQ(ReadFileBytes(second), "plain text");
    EXPECT_EQ(ReadFileBytes(earlier), foreign);
    EXPECT_EQ(Outcome(), L"Earlier Quillomere.html kept as Quillomere (earlier 2).html; project "
                         L"saved to Quillomere.quil and homepage written to Quillomere.html in " +
                             folder);
    platform::RemoveFile(earlier);
    platform::RemoveFile(second);
}

TEST_F(FileCommandsTest, ABrowserThatCannotStartIsToldWithThePagesFile)
{
    CBrowserStandIn browser;
    browser.command.SetText(REG_SZ, L"\"C:\\No such browser\\browser.exe\" -url \"%1\"");
    shell.realLaunches = true;
    Open();

    Key(VK_F5, false, true);
    ASSERT_TRUE(PumpUntil([&] { return !shell.shown.empty(); }, 20000));
    EXPECT_EQ(shell.shown[0].text,
              L"The browser could not be started.\r\n\r\nThe preview is in the file\r\n" +
                  PreviewFilePath() +
                  L"\r\nOpen it in a browser by hand, or choose the browser in File > Options.");
    EXPECT_EQ(shell.shown[0].owner, main);
    EXPECT_EQ(Outcome(),
              L"The browser could not be started; the preview is in " + PreviewFilePath());
    EXPECT_EQ(ReadFileBytes(PreviewFilePath()), GeneratedPage(project));

    Key(VK_F1);
    ASSERT_TRUE(PumpUntil([&] { return shell.shown.size() == 2; }, 20000));
    EXPECT_NE(shell.shown[1].text.find(L"The help page is in the file\r\n" + HelpFilePath()),
              std::wstring::npos);
    EXPECT_EQ(Outcome(),
              L"The browser could not be started; the help page is in " + HelpFilePath());

    // The program chosen in Options is used in place of the system's command.
    ASSERT_TRUE(SaveSettings({true, WindowsPath(QUIL_TEST_BROWSER_PATH)}));
    Key(VK_F5, false, true);
    ASSERT_TRUE(PumpUntil([&] { return browser.HasRun(); }, 30000));
    ASSERT_TRUE(PumpUntil([] { return BrowserLaunchesRunning() == 0; }));
    std::vector<BrowserRun> runs = browser.TakeRuns();
    ASSERT_EQ(runs.size(), 1u);
    std::vector<std::wstring> arguments = Arguments(runs[0].commandLine);
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[1], PreviewFilePath());
    EXPECT_EQ(Outcome(), L"Preview opened in the browser");
    Key(VK_F1);
    ASSERT_TRUE(PumpUntil([&] { return browser.HasRun(); }, 30000));
    ASSERT_TRUE(PumpUntil([] { return BrowserLaunchesRunning() == 0; }));
    EXPECT_EQ(Outcome(), L"Help opened in the browser");
    EXPECT_EQ(shell.shown.size(), 2u);
    RemoveFilesOfRun();
}

TEST_F(FileCommandsTest, ExportBookmarksWritesTheProjectsLinksWhereTheSaveDialogSays)
{
    auto* paper = static_cast<CItemLink*>(project.columns[1]->groups[0]->items[0]);
    paper->AddLink(L"Sport", L"https://paper.example.com/sport");
    Open();
    const std::wstring path = folder + L"\\Exported bookmarks.html";
    shell.chosenSaveFile = path;
    // Alt+F, E.
    MenuKeys('F', 'E');
    ASSERT_EQ(shell.saveDialogs.size(), 1u);
    EXPECT_TRUE(shell.openDialogs.empty());
    EXPECT_EQ(shell.filter, L"Bookmark files (*.html)|*.html|");
    EXPECT_EQ(shell.initialFolder, DocumentsFolder);
    EXPECT_EQ(shell.initialFile, L"Bookmarks.html");
    EXPECT_EQ(shell.defaultExtension, L"html");
    EXPECT_EQ(shell.title, L"Export bookmarks");
    EXPECT_EQ(shell.saveDialogs[0].hwndOwner, main);
    EXPECT_TRUE(shell.saveDialogs[0].Flags & OFN_OVERWRITEPROMPT);
    CMemoryStream expected;
    WriteBookmarks(project, expected);
    expected.Finish();
    EXPECT_EQ(ReadFileBytes(path), ReadAll(expected));
    EXPECT_EQ(Outcome(), L"Exported 5 bookmarks to " + path);
    EXPECT_FALSE(project.modified);

    // Cancelled, nothing happens; a file that cannot be written is told.
    shell.chosenSaveFile.clear();
    Command(IDM_EXPORT_BOOKMARKS);
    EXPECT_EQ(Outcome(), L"Exported 5 bookmarks to " + path);
    const std::wstring missing = folder + L"\\missing\\b.html";
    shell.chosenSaveFile = missing;
    Command(IDM_EXPORT_BOOKMARKS);
    EXPECT_EQ(Outcome(), L"The bookmarks could not be written to " + missing);
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(shell.shown[0].text, L"The bookmarks could not be written to\r\n" + missing);
    platform::RemoveFile(path);
}

TEST_F(FileCommandsTest, TheOptionsDialogByKeyboard)
{
    Open();
    const std::wstring program = L"C:\\Programs\\Browser\\browser.exe";
    HICON bigIcon = reinterpret_cast<HICON>(::GetClassLongPtrW(main, GCLP_HICON));
    HICON smallIcon = reinterpret_cast<HICON>(::GetClassLongPtrW(main, GCLP_HICONSM));
    ASSERT_NE(smallIcon, nullptr);
    std::vector<ModalStep> steps;
    steps.push_back(
        {"the stored settings shown, the focus on the first control", nullptr, [&](HWND dialog) {
             return ::GetWindow(dialog, GW_OWNER) == main &&
                    Checked(dialog, IDC_OPTIONS_WRITE_ON_SAVE) &&
                    Checked(dialog, IDC_OPTIONS_BROWSER_DEFAULT) &&
                    !Checked(dialog, IDC_OPTIONS_BROWSER_PROGRAM) &&
                    !::IsWindowEnabled(::GetDlgItem(dialog, IDC_OPTIONS_BROWSER_PATH)) &&
                    !::IsWindowEnabled(::GetDlgItem(dialog, IDC_OPTIONS_BROWSE)) &&
                    ::GetFocus() == ::GetDlgItem(dialog, IDC_OPTIONS_WRITE_ON_SAVE);
         }});
    steps.push_back({"the program's icon", nullptr, [&](HWND dialog) {
                         return ::SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0) ==
                                    reinterpret_cast<LRESULT>(smallIcon) &&
                                ::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0) ==
                                    reinterpret_cast<LRESULT>(bigIcon);
                     }});
    steps.push_back({"Space unticks the box", [](HWND) { SendKey(VK_SPACE); },
                     [](HWND dialog) { return !Checked(dialog, IDC_OPTIONS_WRITE_ON_SAVE); }});
    steps.push_back({"Alt+T chooses a program and goes to its path",
                     [](HWND) { SendKey('T', true); },
                     [](HWND dialog) {
                         HWND path = ::GetDlgItem(dialog, IDC_OPTIONS_BROWSER_PATH);
                         return Checked(dialog, IDC_OPTIONS_BROWSER_PROGRAM) &&
                                !Checked(dialog, IDC_OPTIONS_BROWSER_DEFAULT) &&
                                ::IsWindowEnabled(path) && ::GetFocus() == path;
                     }});
    steps.push_back({"Enter without a program asks for one", [](HWND) { SendKey(VK_RETURN); },
                     [&](HWND dialog) {
                         return shell.shown.size() == 1 && ::IsWindowVisible(dialog) &&
                                ::GetFocus() == ::GetDlgItem(dialog, IDC_OPTIONS_BROWSER_PATH);
                     }});
    steps.push_back({"Alt+B browses for the program",
                     [&](HWND) {
                         shell.chosenFile = program;
                         SendKey('B', true);
                     },
                     [&](HWND dialog) {
                         return ItemText(dialog, IDC_OPTIONS_BROWSER_PATH) == program &&
                                ::GetFocus() == ::GetDlgItem(dialog, IDOK);
                     }});
    AddPicture(steps, L"screenshot-options.png");
    steps.push_back({"Enter stores and closes", [](HWND) { SendKey(VK_RETURN); },
                     [](HWND dialog) { return !::IsWindow(dialog); }});
    // Alt+F, O.
    ASSERT_TRUE(DriveDialog(L"Options", std::move(steps), [this] { MenuKeys('F', 'O'); }));
    EXPECT_EQ(shell.shown[0].text,
              L"Choose the browser's program with Browse..., or the system's default browser.");
    EXPECT_EQ(shell.title, L"Choose the browser");
    EXPECT_EQ(shell.filter, L"Programs (*.exe)|*.exe|All files (*.*)|*.*|");
    const ProgramSettings stored = LoadSettings();
    EXPECT_FALSE(stored.writeHomepageOnSave);
    EXPECT_EQ(stored.previewBrowser, program);

    // Opened again it shows what is stored; Escape leaves it so.
    steps.clear();
    steps.push_back({"the stored settings shown", nullptr, [&](HWND dialog) {
                         return !Checked(dialog, IDC_OPTIONS_WRITE_ON_SAVE) &&
                                Checked(dialog, IDC_OPTIONS_BROWSER_PROGRAM) &&
                                ItemText(dialog, IDC_OPTIONS_BROWSER_PATH) == program;
                     }});
    steps.push_back({"Space ticks the box", [](HWND) { SendKey(VK_SPACE); },
                     [](HWND dialog) { return Checked(dialog, IDC_OPTIONS_WRITE_ON_SAVE); }});
    steps.push_back({"Escape cancels", [](HWND) { SendKey(VK_ESCAPE); },
                     [](HWND dialog) { return !::IsWindow(dialog); }});
    ASSERT_TRUE(DriveDialog(L"Options", std::move(steps), [this] { MenuKeys('F', 'O'); }));
    EXPECT_FALSE(LoadSettings().writeHomepageOnSave);
    EXPECT_TRUE(::IsWindowEnabled(main));
}

TEST_F(FileCommandsTest, TheOptionsDialogByMouse)
{
    ASSERT_TRUE(SaveSettings({false, L"C:\\Browser\\b.exe"}));
    Open();
    std::vector<ModalStep> steps;
    AddClick(steps, "the default browser", IDC_OPTIONS_BROWSER_DEFAULT, [](HWND dialog) {
        return Checked(dialog, IDC_OPTIONS_BROWSER_DEFAULT) &&
               !::IsWindowEnabled(::GetDlgItem(dialog, IDC_OPTIONS_BROWSER_PATH));
    });
    AddClick(steps, "the check box", IDC_OPTIONS_WRITE_ON_SAVE,
             [](HWND dialog) { return Checked(dialog, IDC_OPTIONS_WRITE_ON_SAVE); });
    AddClick(steps, "Cancel", IDCANCEL, [](HWND dialog) { return !::IsWindow(dialog); });
    ASSERT_TRUE(DriveDialog(L"Options", std::move(steps), [this] { Command(IDM_OPTIONS); }));
    ProgramSettings stored = LoadSettings();
    EXPECT_FALSE(stored.writeHomepageOnSave);
    EXPECT_EQ(stored.previewBrowser, L"C:\\Browser\\b.exe");

    steps.clear();
    AddClick(steps, "the check box", IDC_OPTIONS_WRITE_ON_SAVE,
             [](HWND dialog) { return Checked(dialog, IDC_OPTIONS_WRITE_ON_SAVE); });
    AddClick(steps, "the default browser", IDC_OPTIONS_BROWSER_DEFAULT,
             [](HWND dialog) { return Checked(dialog, IDC_OPTIONS_BROWSER_DEFAULT); });
    AddClick(steps, "OK", IDOK, [](HWND dialog) { return !::IsWindow(dialog); });
    ASSERT_TRUE(DriveDialog(L"Options", std::move(steps), [this] { Command(IDM_OPTIONS); }));
    stored = LoadSettings();
    EXPECT_TRUE(stored.writeHomepageOnSave);
    EXPECT_EQ(stored.previewBrowser, L"");
}

namespace {

// A top-level dialog of the program's owned by the main window (the link check's and icon fetch's
// windows, which are not owned, are seen in their own tests).
class CTopLevelDialog : public CDialogBase
{
public:
    explicit CTopLevelDialog(UINT templateId) : CDialogBase(templateId) {}
};

} // namespace

TEST_F(FileCommandsTest, TheProgramsOtherWindowsAndMessageBoxesShowItsIcon)
{
    Open();
    const auto bigIcon = static_cast<LRESULT>(::GetClassLongPtrW(main, GCLP_HICON));
    const auto smallIcon = static_cast<LRESULT>(::GetClassLongPtrW(main, GCLP_HICONSM));
    ASSERT_NE(bigIcon, 0);
    ASSERT_NE(smallIcon, 0);
    for (UINT id : {IDD_LINK_CHECK, IDD_ICON_FETCH}) {
        CTopLevelDialog dialog(id);
        ASSERT_TRUE(dialog.Create(main));
        EXPECT_EQ(::SendMessageW(dialog.Window(), WM_GETICON, ICON_BIG, 0), bigIcon) << id;
        EXPECT_EQ(::SendMessageW(dialog.Window(), WM_GETICON, ICON_SMALL, 0), smallIcon) << id;
        ::DestroyWindow(dialog.Window());
    }

    // The system's message box, as the program shows it (the failed preview's).
    SetShellForTesting(nullptr);
    std::vector<ModalStep> steps;
    steps.push_back({"the program's icon", nullptr, [&](HWND box) {
                         return ::SendMessageW(box, WM_GETICON, ICON_SMALL, 0) == smallIcon &&
                                ::SendMessageW(box, WM_GETICON, ICON_BIG, 0) == bigIcon;
                     }});
    AddPicture(steps, L"screenshot-browser-failed.png");
    steps.push_back({"Enter closes it", [](HWND) { SendKey(VK_RETURN); },
                     [](HWND box) { return !::IsWindow(box); }});
    const bool driven = DriveDialog(L"Quillomere", std::move(steps), [this] {
        Shell().ShowMessage(main, BrowserNotStartedMessage(false, PreviewFilePath()).c_str(),
                            L"Quillomere", MB_OK | MB_ICONWARNING);
    });
    // And the system's save-file dialog, as Export bookmarks... shows it.
    steps.clear();
    steps.push_back({"the program's icon", nullptr, [&](HWND dialog) {
                         return ::SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0) == smallIcon &&
                                ::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0) == bigIcon;
                     }});
    steps.push_back({"Escape closes it", [](HWND) { SendKey(VK_ESCAPE); },
                     [](HWND dialog) { return !::IsWindow(dialog); }});
    const bool savedDriven = DriveDialog(L"Export bookmarks", std::move(steps),
                                         [this] { Command(IDM_EXPORT_BOOKMARKS); });
    SetShellForTesting(&shell);
    EXPECT_TRUE(driven);
    EXPECT_TRUE(savedDriven);
}

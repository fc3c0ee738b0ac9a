// The real main window on the virtual display, driven in-process with real messages, and a
// stand-in for the message boxes and the open-file dialog that answers in place of a person.
// EditorWindowTest is shared by the editor's and the panes' tests.
#pragma once

#include "editor/tree_editor.h"
#include "model/project.h"
#include "resources/resource.h"
#include "services/shell.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAnsweringShell : public IShell
{
public:
    struct Shown
    {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        UINT type;
    };

    int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override;
    bool ChooseOpenFile(OPENFILENAMEW& dialog) override;
    bool ChooseSaveFile(OPENFILENAMEW& dialog) override;
    bool Execute(SHELLEXECUTEINFOW& info) override;

    // Message boxes shown, in order, and the answers to give them (IDOK when none is left).
    std::vector<Shown> shown;
    std::deque<int> answers;
    // The file the open-file dialog "chooses"; empty cancels it.
    std::wstring chosenFile;
    // What the open-file dialog was given.
    std::vector<OPENFILENAMEW> openDialogs;
    // The same for the save-file dialog.
    std::wstring chosenSaveFile;
    std::vector<OPENFILENAMEW> saveDialogs;
    // What the last open-file or save-file dialog was given.
    std::wstring filter; // the whole filter with its NULs
    std::wstring title;
    std::wstring initialFolder;
    std::wstring initialFile;
    std::wstring defaultExtension;
    // Launches go to the system's shell when set; otherwise they fail.
    bool realLaunches = false;
    DWORD bufferSize = 0;

private:
    // Notes what the dialog was given and "chooses" `chosen`.
    bool Choose(OPENFILENAMEW& dialog, const std::wstring& chosen);
};

// What a right-click showed: whether a context menu opened, and its grayed commands.
struct MenuSeen
{
    bool shown = false;
    std::vector<int> grayed;
    RECT where = {}; // the menu's window on the screen
};

// A project of the test's own in the real main window, created as start-up and the message loop
// create it; the project and homepage files go to a folder of the test's own, and message boxes
// and the open-file dialog are answered by `shell`.
class EditorWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    // Destroys the windows and checks that none is left behind.
    void TearDown() override;

    // Creates the windows (at this outer size when one is given), fills the tree, shows the
    // window and handles what that queued.
    void OpenWindow(SIZE size = {0, 0});
    // Handles every pending message the way the message loop does.
    void Pump();
    // Handles messages as the loop does until `done` holds; false after the time-out (a safety
    // net, not a measure).
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
    // A moment for input that may show no effect at all.
    void PumpFor(DWORD milliseconds);
    // The text of the tree item that shows (kind, node).
    std::wstring TreeLabel(std::int32_t kind, const CStreamable* node);

    CAnsweringShell shell;
    std::wstring folder;
    CProject project;
    std::unique_ptr<CfrmTreeEditor> editor;
    HWND main = nullptr;
    HWND tree = nullptr;
    HACCEL accelerators = nullptr;
    // Set when Pump met the quit message.
    bool quitPosted = false;
    WPARAM exitCode = 0xDEAD;
};

class EditorTest : public EditorWindowTest
{
protected:
    void SetUp() override;

    // A project of every node kind: columns with groups, an empty group and an empty column,
    // link items, a named and an unnamed form.
    static void BuildProject(CProject& project);
    // Creates and fills the windows as start-up and the message loop do.
    void Open();

    // A key pressed with the focus where it is, through the message loop.
    void PressKey(UINT key, bool control = false, bool alt = false);
    void Command(int id);
    void Select(std::int32_t kind, const CStreamable* node);
    HTREEITEM ItemOf(std::int32_t kind, const CStreamable* node);
    const TreeItemData* Selected();
    void Resize(int clientWidth, int clientHeight);

    // The tree as text, e.g. "Home[Work[Mail[Inbox,Search]],Empty]", from the tree view...
    std::wstring TreeText();
    // ...and from the model.
    std::wstring ModelText();
    // Checks item by item that the tree shows the model: labels, kinds, nodes, records.
    void ExpectTreeShowsModel();
    // The names of the visible panes: "project", "column", "group", "link", "form".
    std::vector<std::string> VisiblePanes();

    // Right-clicks the item at the mouse and, while the context menu is open, notes which of
    // its commands are grayed and then picks `command` (0 closes the menu).
    MenuSeen RightClick(HTREEITEM item, int command);
    // Right-clicks below the last item.
    MenuSeen RightClickEmptySpace();
    // Runs `open` (keys that open a menu) and, while the menu is open, notes which of its
    // commands are grayed and then picks `command` (0 closes the menu).
    MenuSeen InMenu(const std::function<void()>& open, int command);

    // Nodes of BuildProject's project.
    CColumn* work = nullptr;
    CColumn* play = nullptr;
    CColumn* empty = nullptr;
    CGroup* mail = nullptr;
    CGroup* docs = nullptr;
    CGroup* news = nullptr;
    CGroup* spare = nullptr;
    CItem* inbox = nullptr;
    CItem* search = nullptr;
    CItem* unnamed = nullptr;
    CItem* wiki = nullptr;
    CItem* paper = nullptr;
    CItem* radio = nullptr;

private:
    MenuSeen ClickAt(POINT screen, int command);
};

// From the end-to-end helpers, whose header names another DocumentsFolder.
bool SaveWindowScreenshot(HWND window, const std::wstring& path);

// Under Wine the pointer may go back to an earlier place for a moment after it has reached a new
// one (and the window then sees a move there): waits until it has stayed on `screen` for
// `steadyMs`, calling `replace` whenever it strays and `wait` between looks; at most 5 s.
void HoldPointerOn(POINT screen, DWORD steadyMs, const std::function<void()>& replace,
                   const std::function<void()>& wait);

// The editor driven with real input: keys and the mouse through SendInput and the message loop.
class InputTest : public EditorTest
{
protected:
    // A key as the keyboard gives it, with modifiers held around it.
    void Key(WORD key, bool shift = false, bool control = false, bool alt = false);
    // A menu's key (Alt+`menu`) and then an item's underlined letter, sent together: the menu
    // runs a loop of its own, which takes the letter from the queue.
    void MenuKeys(WORD menu, WORD item);
    // The mouse to a point of the window's client area, with a button event there.
    void Mouse(POINT client, DWORD buttonFlags = 0);
    // Saves the window as build/NAME.
    void Shot(const wchar_t* name);
};

// A person edits the sample project through the panes of the real program with mouse and
// keyboard, generates the page (F5) and saves (Ctrl+S); the files hold what was typed and the
// page style chosen, and the tree's labels, read from outside as other programs read them, follow
// the typing.
#include "e2e/program.h"

#include "homepage/page_writer.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "platform/platform.h"
#include "resources/resource.h"
#include "test_support.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

void Send(INPUT input)
{
    ::SendInput(1, &input, sizeof input);
}

void Key(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    Send(input);
}

void Press(WORD key, WORD modifier = 0)
{
    if (modifier) Key(modifier, false);
    Key(key, false);
    Key(key, true);
    if (modifier) Key(modifier, true);
    ::Sleep(30);
}

void TypeText(const std::wstring& text)
{
    for (wchar_t c : text) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = c;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        Send(input);
        input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        Send(input);
    }
    ::Sleep(30);
}

// A left click at a point of the window's client area: the mouse moves there, presses, lets go.
void ClickAt(HWND window, int x, int y)
{
    POINT point = {x, y};
    ::ClientToScreen(window, &point);
    DWORD owner = 0, hitOwner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    ::GetWindowThreadProcessId(::WindowFromPoint(point), &hitOwner);
    EXPECT_EQ(hitOwner, owner) << "another program's window covers the click";
    ::SetForegroundWindow(::GetAncestor(window, GA_ROOT));
    SendClick(point);
    ::Sleep(50);
}

// The window that has the keyboard focus in the program that owns `window`.
HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void Click(HWND control)
{
    RECT client = {};
    ::GetClientRect(control, &client);
    ClickAt(control, client.right / 2, client.bottom / 2);
}

std::wstring Text(HWND window)
{
    wchar_t text[512] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                          nullptr);
    return text;
}

// Clicks a control until it has the focus (a click that arrives while the program is still
// busy with its window may go astray, as it may for a person).
void ClickIntoFocus(HWND control)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        Click(control);
        if (WaitUntil([&] { return FocusOf(control) == control; }, 2000)) return;
    }
    ADD_FAILURE() << "no focus in " << ::GetDlgCtrlID(control);
}

// Picks entry `index` of a drop-down list with the mouse: a click drops the list, a click on the
// entry picks it. Tried again when the pick did not take, as ClickIntoFocus does.
void ChooseWithMouse(HWND combo, int index)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0) {
            Click(combo);
            if (!WaitUntil([&] { return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; },
                           2000))
                continue;
        }
        RECT closed = {};
        ::GetClientRect(combo, &closed);
        int entry = static_cast<int>(::SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
        ClickAt(combo, closed.right / 2, closed.bottom + entry * index + entry / 2);
        if (WaitUntil(
                [&] {
                    return ::SendMessageW(combo, CB_GETCURSEL, 0, 0) == index &&
                           ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0;
                },
                2000))
            return;
    }
    ADD_FAILURE() << "entry " << index << " of " << ::GetDlgCtrlID(combo) << " not chosen";
}

// Replaces an edit box's text as a person does: click into it, select it all, type.
void Retype(HWND edit, const std::wstring& text)
{
    ClickIntoFocus(edit);
    Press(VK_HOME);
    Press(VK_END, VK_SHIFT);
    TypeText(text);
    EXPECT_TRUE(WaitUntil([&] { return Text(edit) == text; }))
        << "typed into " << ::GetDlgCtrlID(edit);
}

// The pane of the main window that holds control `id`.
HWND PaneWith(HWND main, int id)
{
    for (HWND child = ::GetWindow(main, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgItem(child, id)) return child;
    }
    return nullptr;
}

// Selects the tree item `steps` below the root with the keyboard and waits for its pane.
HWND SelectInTree(HWND main, int steps, int paneControl)
{
    HWND tree = ::FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr);
    RECT client = {};
    ::GetClientRect(tree, &client);
    for (int attempt = 0; attempt < 3 && FocusOf(tree) != tree; ++attempt) {
        ClickAt(tree, client.right - 8, 8); // beside the root's label: the focus, nothing folds
        WaitUntil([&] { return FocusOf(tree) == tree; }, 2000);
    }
    EXPECT_EQ(FocusOf(tree), tree);
    Press(VK_HOME);
    for (int i = 0; i < steps; ++i)
        Press(VK_DOWN);
    HWND pane = PaneWith(main, paneControl);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(pane) != FALSE; }))
        << "the pane with " << paneControl << " shows";
    return pane;
}

// A tree item's label as another program (a screen reader, a test tool) reads it: the item
// and the text buffer live in the program's memory.
std::wstring LabelSeenFromOutside(HWND tree, HTREEITEM item)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(tree, &processId);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return L"(no access)";
    const int room = 256;
    void* remote = ::VirtualAllocEx(process, nullptr, sizeof(TVITEMW) + room * sizeof(wchar_t),
                                    MEM_COMMIT, PAGE_READWRITE);
    std::wstring label = L"(not read)";
    if (remote) {
        TVITEMW request = {};
        request.mask = TVIF_TEXT;
        request.hItem = item;
        request.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(TVITEMW));
        request.cchTextMax = room;
        wchar_t text[room] = {};
        DWORD_PTR answer = 0;
        if (::WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
            ::SendMessageTimeoutW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote),
                                  SMTO_BLOCK, 5000, &answer) &&
            answer &&
            ::ReadProcessMemory(process, request.pszText, text, sizeof text - sizeof(wchar_t),
                                nullptr))
            label = text;
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return label;
}

// The program's main window once it is idle, above the other test windows so that the clicks
// reach it; null when none comes.
HWND FrontMainWindow(CProgram& program)
{
    HWND main = program.WaitForMainWindow();
    if (main == nullptr) return nullptr;
    program.WaitUntilIdle();
    ::SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(main);
    return main;
}

} // namespace

TEST(ProgramPanes, TypedEditsReachThePageAndTheProjectFile)
{
    CProgramFiles files;
    CProgram program;
    ASSERT_TRUE(program.Started());
    HWND main = FrontMainWindow(program);
    ASSERT_NE(main, nullptr);

    // The sample project's tree: New project, New Column, Search, Google, Example group, the
    // author's link, Quillomere, Another column.
    HWND tree = ::FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr);
    auto selectedItem = [tree] {
        return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    };
    HWND projectPane = SelectInTree(main, 0, IDC_PROJECT_TITLE);
    Retype(::GetDlgItem(projectPane, IDC_PROJECT_TITLE), L"Home of Ada");
    EXPECT_EQ(LabelSeenFromOutside(tree, selectedItem()), L"Home of Ada");

    HWND formPane = SelectInTree(main, 3, IDC_FORM_NAME);
    Retype(::GetDlgItem(formPane, IDC_FORM_NAME), L"Web search");
    EXPECT_EQ(LabelSeenFromOutside(tree, selectedItem()), L"Web search");
    Retype(::GetDlgItem(formPane, IDC_FORM_URL), L"https://duckduckgo.com/html/");
    HWND method = ::GetDlgItem(formPane, IDC_FORM_METHOD);
    ChooseWithMouse(method, 1); // "POST"
    HWND fields = ::GetDlgItem(formPane, IDC_FORM_FIELDS);
    RECT header = {};
    ::GetWindowRect(::FindWindowExW(fields, nullptr, WC_HEADERW, nullptr), &header);
    ClickAt(fields, 20, (header.bottom - header.top) + 6); // the first field's row
    HWND fieldValue = ::GetDlgItem(formPane, IDC_FIELD_VALUE);
    ASSERT_TRUE(WaitUntil([&] { return Text(fieldValue) == L"google search"; }));
    Retype(fieldValue, L"ada lovelace");

    HWND linkPane = SelectInTree(main, 6, IDC_LINK_POPUP);
    ASSERT_TRUE(
        WaitUntil([&] { return Text(::GetDlgItem(linkPane, IDC_LINK_CAPTION)) == L"Quillomere"; }));
    Retype(::GetDlgItem(linkPane, IDC_LINK_POPUP), L"Keeps my start page");
    Click(::GetDlgItem(linkPane, IDC_LINK_ADD)); // the new link's caption is selected for typing
    HWND rowCaption = ::GetDlgItem(linkPane, IDC_LINK_ROW_CAPTION);
    ASSERT_TRUE(WaitUntil([&] { return Text(rowCaption) == L"New link"; }));
    TypeText(L"Sources");
    EXPECT_TRUE(WaitUntil([&] { return Text(rowCaption) == L"Sources"; }));
    Retype(::GetDlgItem(linkPane, IDC_LINK_ROW_URL), L"https://example.org/src");

    Press(VK_F5);
    ASSERT_TRUE(WaitForFile(files.homepage));
    Press('S', VK_CONTROL);
    ASSERT_TRUE(WaitForFile(files.project));
    // Saved: quitting asks nothing.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);

    CProject saved;
    ASSERT_GT(LoadProjectFile(saved, files.project), 0);
    EXPECT_EQ(saved.title, L"Home of Ada");
    ASSERT_EQ(saved.columns.size(), 2u);
    CGroup* search = saved.columns[0]->groups[0];
    auto* form = static_cast<CItemForm*>(search->items[0]);
    EXPECT_EQ(form->name, L"Web search");
    EXPECT_EQ(form->action, L"https://duckduckgo.com/html/");
    EXPECT_EQ(form->method, 1);
    ASSERT_EQ(form->fields.size(), 1u);
    EXPECT_EQ(form->fields[0]->name, L"q");
    EXPECT_EQ(form->fields[0]->value, L"ada lovelace");
    auto* link = static_cast<CItemLink*>(saved.columns[0]->groups[1]->items[1]);
    EXPECT_EQ(link->mainLink.caption, L"Quillomere");
    ASSERT_TRUE(link->popup);
    EXPECT_EQ(link->popup->content, L"Keeps my start page");
    ASSERT_EQ(link->links.size(), 1u);
    EXPECT_EQ(link->links[0]->caption, L"Sources");
    EXPECT_EQ(link->links[0]->url, L"https://example.org/src");

    // The page is the one the saved project makes (its one popup numbered 1, as in the program).
    CProject numbered;
    popupCounter = 0;
    ASSERT_GT(LoadProjectFile(numbered, files.project), 0);
    CMemoryStream page;
    WritePage(numbered, page);
    page.Finish();
    EXPECT_EQ(ReadFileBytes(files.homepage), ReadAll(page));
}

TEST(ProgramPanes, ThePageStyleChosenInTheProjectPaneReachesBothFiles)
{
    CProgramFiles files;
    CProgram program;
    ASSERT_TRUE(program.Started());
    HWND main = FrontMainWindow(program);
    ASSERT_NE(main, nullptr);

    // The second entry is "Modern".
    HWND projectPane = SelectInTree(main, 0, IDC_PROJECT_STYLE);
    HWND style = ::GetDlgItem(projectPane, IDC_PROJECT_STYLE);
    EXPECT_EQ(Text(style), L"Classic");
    ChooseWithMouse(style, 1);
    EXPECT_TRUE(WaitUntil([&] { return Text(style) == L"Modern"; }));

    Press('S', VK_CONTROL);
    ASSERT_TRUE(WaitForFile(files.project));
    Press(VK_F5);
    ASSERT_TRUE(WaitForFile(files.homepage));
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u) << "saved: quitting asks nothing";

    // The project file holds the style in its chunk; the page is the Modern page of the project.
    const std::string saved = ReadFileBytes(files.project);
    EXPECT_NE(saved.find(Chunk("styl", Le32(1))), std::string::npos);
    CProject project;
    ASSERT_GT(LoadProjectFile(project, files.project), 0);
    EXPECT_EQ(project.pageStyle, PageStyle::Modern);
    const std::string page = ReadFileBytes(files.homepage);
    EXPECT_EQ(page.rfind("<!DOCTYPE html>\r\n<html class=\"quillomere-modern\"", 0), 0u);
    EXPECT_EQ(page, GeneratedPage(project));
}

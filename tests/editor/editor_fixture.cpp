#include "editor/editor_fixture.h"

#include "app/startup.h"
#include "editor/tree_labels.h"
#include "gui_desktop.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "platform/platform.h"
#include "services/paths.h"
#include "test_support.h"

#include <atomic>
#include <cstring>

int CAnsweringShell::ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    shown.push_back({owner, text ? text : L"", caption ? caption : L"", type});
    if (answers.empty()) return IDOK;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool CAnsweringShell::ChooseOpenFile(OPENFILENAMEW& dialog)
{
    openDialogs.push_back(dialog);
    return Choose(dialog, chosenFile);
}

bool CAnsweringShell::ChooseSaveFile(OPENFILENAMEW& dialog)
{
    saveDialogs.push_back(dialog);
    return Choose(dialog, chosenSaveFile);
}

bool CAnsweringShell::Choose(OPENFILENAMEW& dialog, const std::wstring& chosen)
{
    filter.clear();
    if (const wchar_t* at = dialog.lpstrFilter) {
        // The filter ends at the first empty string.
        while (*at) {
            std::wstring part = at;
            filter += part + L'|';
            at += part.size() + 1;
        }
    }
    bufferSize = dialog.nMaxFile;
    title = dialog.lpstrTitle ? dialog.lpstrTitle : L"";
    initialFolder = dialog.lpstrInitialDir ? dialog.lpstrInitialDir : L"";
    initialFile = dialog.lpstrFile ? dialog.lpstrFile : L"";
    defaultExtension = dialog.lpstrDefExt ? dialog.lpstrDefExt : L"";
    if (chosen.empty() || chosen.size() >= dialog.nMaxFile) return false;
    chosen.copy(dialog.lpstrFile, chosen.size());
    dialog.lpstrFile[chosen.size()] = L'\0';
    return true;
}

bool CAnsweringShell::Execute(SHELLEXECUTEINFOW& info)
{
    return realLaunches && ::ShellExecuteExW(&info);
}

namespace {

std::atomic<int> folderCounter{0};

// What the context menu's timer is to do while the menu is open.
struct MenuRequest
{
    MenuSeen* seen;
    int command;
    int ticks;
    bool done;
};
MenuRequest* menuRequest = nullptr;

// Runs inside the menu's own message loop, once per tick: notes the grayed commands, then
// presses Down, one key per tick, until the wanted command is highlighted, and then Enter, as
// a user would.
void CALLBACK OnMenuTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (!menuRequest || menuRequest->done) return;
    if (++menuRequest->ticks > 300) {
        menuRequest->done = true;
        ::EndMenu(); // never leave a test hanging in a menu
        return;
    }
    HWND menuWindow = nullptr;
    while ((menuWindow = ::FindWindowExW(nullptr, menuWindow, L"#32768", nullptr))) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(menuWindow, &process);
        if (process == ::GetCurrentProcessId() && ::IsWindowVisible(menuWindow)) break;
    }
    if (!menuWindow) return;
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    if (!menu) return;
    MenuSeen& seen = *menuRequest->seen;
    if (!seen.shown) ::GetWindowRect(menuWindow, &seen.where);
    const int count = ::GetMenuItemCount(menu);
    bool wanted = false;
    bool highlighted = false;
    for (int i = 0; i < count; ++i) {
        UINT id = ::GetMenuItemID(menu, i);
        UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (!seen.shown && id != 0 && (state & MF_GRAYED))
            seen.grayed.push_back(static_cast<int>(id));
        if (menuRequest->command != 0 && static_cast<int>(id) == menuRequest->command) {
            wanted = true;
            highlighted = (state & MF_HILITE) != 0;
        }
    }
    seen.shown = true;
    if (!wanted) {
        menuRequest->done = true;
        ::EndMenu();
        return;
    }
    if (highlighted) {
        menuRequest->done = true;
        ::PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 1);
    } else {
        ::PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 1);
    }
}

} // namespace

void EditorWindowTest::SetUp()
{
    SetShellForTesting(&shell);
    folder = platform::TempFolder() + L"quillomere-editor-" +
             std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++folderCounter);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    BuildFilePaths(folder);
}

void EditorWindowTest::TearDown()
{
    editor.reset();
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) ::DispatchMessageW(&message);
    }
    EXPECT_EQ(::FindWindowW(L"CfrmTreeEditor", nullptr), nullptr) << "a window was left behind";
    SetShellForTesting(nullptr);
    platform::RemoveFile(ProjectFilePath);
    platform::RemoveFile(HomepageFilePath);
    ::RemoveDirectoryW(folder.c_str());
}

void EditorWindowTest::OpenWindow(SIZE size)
{
    ::InitCommonControls();
    editor = std::make_unique<CfrmTreeEditor>(project);
    ASSERT_TRUE(editor->Create());
    main = editor->MainWindow();
    tree = editor->TreeView();
    if (size.cx > 0)
        ::SetWindowPos(main, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    editor->Populate();
    ::ShowWindow(main, SW_SHOWNORMAL);
    accelerators = LoadEditorAccelerators();
    ASSERT_NE(accelerators, nullptr);
    Pump();
}

void EditorWindowTest::Pump()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitPosted = true;
            exitCode = message.wParam;
            continue;
        }
        DispatchEditorMessage(main, accelerators, message);
    }
}

bool EditorWindowTest::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        Pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    Pump();
    return true;
}

void EditorWindowTest::PumpFor(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    PumpUntil([&] { return ::GetTickCount() - start >= milliseconds; });
}

void EditorTest::SetUp()
{
    EditorWindowTest::SetUp();
    BuildProject(project);
}

void EditorTest::BuildProject(CProject& target)
{
    target.title = L"Home";
    auto* workColumn = new CColumn(target, L"Work");
    auto* mailGroup = new CGroup(*workColumn, L"Mail");
    new CItemLink(*mailGroup, L"Inbox", L"https://mail.example.com/");
    auto* form = new CItemForm(*mailGroup);
    form->name = L"Search";
    form->action = L"https://search.example.com/";
    form->AddField(0, L"q", L"", -1);
    new CItemForm(*mailGroup); // unnamed
    auto* docsGroup = new CGroup(*workColumn, L"Docs");
    new CItemLink(*docsGroup, L"Wiki", L"https://wiki.example.com/");
    auto* playColumn = new CColumn(target, L"Play");
    auto* newsGroup = new CGroup(*playColumn, L"News");
    new CItemLink(*newsGroup, L"Paper", L"https://paper.example.com/");
    new CItemLink(*newsGroup, L"Radio", L"https://radio.example.com/");
    new CGroup(*playColumn, L"Spare");
    new CColumn(target, L"Empty");
}

void EditorTest::Open()
{
    work = project.columns[0];
    play = project.columns[1];
    empty = project.columns[2];
    mail = work->groups[0];
    docs = work->groups[1];
    news = play->groups[0];
    spare = play->groups[1];
    inbox = mail->items[0];
    search = mail->items[1];
    unnamed = mail->items[2];
    wiki = docs->items[0];
    paper = news->items[0];
    radio = news->items[1];

    OpenWindow();
    ::SetForegroundWindow(main);
    ::SetFocus(tree);
    Pump();
}

void EditorTest::PressKey(UINT key, bool control, bool alt)
{
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    BYTE pressed[256];
    std::copy(state, state + 256, pressed);
    if (control) pressed[VK_CONTROL] = pressed[VK_LCONTROL] = 0x80;
    if (alt) pressed[VK_MENU] = pressed[VK_LMENU] = 0x80;
    ::SetKeyboardState(pressed);
    HWND focus = ::GetFocus();
    UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    LPARAM flags = alt ? (1 << 29) : 0;
    ::PostMessageW(focus ? focus : main, down, key, 1 | flags);
    ::PostMessageW(focus ? focus : main, up, key, 1 | flags | (1u << 30) | (1u << 31));
    Pump();
    ::SetKeyboardState(state);
}

void EditorTest::Command(int id)
{
    ::SendMessageW(main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
}

HTREEITEM EditorTest::ItemOf(std::int32_t kind, const CStreamable* node)
{
    const TreeItemData* record = editor->FindTreeItemData(kind, node);
    return record ? record->item : nullptr;
}

void EditorTest::Select(std::int32_t kind, const CStreamable* node)
{
    HTREEITEM item = ItemOf(kind, node);
    ASSERT_NE(item, nullptr);
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    Pump();
}

const TreeItemData* EditorTest::Selected()
{
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return nullptr;
    TVITEMW data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return reinterpret_cast<const TreeItemData*>(data.lParam);
}

void EditorTest::Resize(int clientWidth, int clientHeight)
{
    RECT frame = {0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CONTROLPARENT);
    ::SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    Pump();
}

namespace {

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void AppendTree(HWND tree, HTREEITEM item, std::wstring& text)
{
    text += TreeItemText(tree, item, 512);
    HTREEITEM child = Next(tree, item, TVGN_CHILD);
    if (!child) return;
    text += L'[';
    for (bool first = true; child; child = Next(tree, child, TVGN_NEXT), first = false) {
        if (!first) text += L',';
        AppendTree(tree, child, text);
    }
    text += L']';
}

} // namespace

void HoldPointerOn(POINT screen, DWORD steadyMs, const std::function<void()>& replace,
                   const std::function<void()>& wait)
{
    const DWORD start = ::GetTickCount();
    DWORD steadySince = start;
    while (::GetTickCount() - steadySince < steadyMs && ::GetTickCount() - start < 5000) {
        wait();
        POINT now = {};
        ::GetCursorPos(&now);
        if (now.x != screen.x || now.y != screen.y) {
            replace();
            steadySince = ::GetTickCount();
        }
    }
}

std::wstring EditorWindowTest::TreeLabel(std::int32_t kind, const CStreamable* node)
{
    const TreeItemData* record = editor->FindTreeItemData(kind, node);
    return record ? TreeItemText(tree, record->item, 512) : L"(not in the tree)";
}

std::wstring EditorTest::TreeText()
{
    std::wstring text;
    for (HTREEITEM root = Next(tree, nullptr, TVGN_ROOT); root; root = Next(tree, root, TVGN_NEXT))
        AppendTree(tree, root, text);
    return text;
}

std::wstring EditorTest::ModelText()
{
    return ProjectOutline(project);
}

void EditorTest::ExpectTreeShowsModel()
{
    EXPECT_EQ(TreeText(), ShownOutline(project));
    std::size_t items = 0;
    auto expectItem = [&](HTREEITEM item, std::int32_t kind, const CStreamable* node) {
        ++items;
        const TreeItemData* record = editor->FindTreeItemData(kind, node);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->item, item);
        TVITEMW data = {};
        data.mask = TVIF_PARAM;
        data.hItem = item;
        ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        EXPECT_EQ(reinterpret_cast<const TreeItemData*>(data.lParam), record);
    };
    HTREEITEM root = Next(tree, nullptr, TVGN_ROOT);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Next(tree, root, TVGN_NEXT), nullptr) << "one root only";
    expectItem(root, kNodeProject, &project);
    HTREEITEM columnItem = Next(tree, root, TVGN_CHILD);
    for (CColumn* column : project.columns) {
        ASSERT_NE(columnItem, nullptr);
        expectItem(columnItem, kNodeColumn, column);
        HTREEITEM groupItem = Next(tree, columnItem, TVGN_CHILD);
        for (CGroup* group : column->groups) {
            ASSERT_NE(groupItem, nullptr);
            expectItem(groupItem, kNodeGroup, group);
            HTREEITEM itemItem = Next(tree, groupItem, TVGN_CHILD);
            for (CItem* item : group->items) {
                ASSERT_NE(itemItem, nullptr);
                expectItem(itemItem, kNodeItem, item);
                itemItem = Next(tree, itemItem, TVGN_NEXT);
            }
            groupItem = Next(tree, groupItem, TVGN_NEXT);
        }
        columnItem = Next(tree, columnItem, TVGN_NEXT);
    }
    EXPECT_EQ(items, static_cast<std::size_t>(::SendMessageW(tree, TVM_GETCOUNT, 0, 0)));
    EXPECT_EQ(items, editor->RecordCount());
}

std::vector<std::string> EditorTest::VisiblePanes()
{
    std::vector<std::string> names;
    const char* const kinds[] = {"project", "column", "group", "link", "form"};
    for (std::size_t i = 0; i < 5; ++i) {
        if (::GetWindowLongW(editor->Panes()[i]->Window(), GWL_STYLE) & WS_VISIBLE)
            names.push_back(kinds[i]);
    }
    return names;
}

MenuSeen EditorTest::RightClick(HTREEITEM item, int command)
{
    RECT rect = {};
    std::memcpy(&rect, &item, sizeof item); // TVM_GETITEMRECT takes the item in the rectangle
    ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    return ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, command);
}

MenuSeen EditorTest::RightClickEmptySpace()
{
    RECT client = {};
    ::GetClientRect(tree, &client);
    return ClickAt({client.right / 2, client.bottom - 5}, IDM_ADD_COLUMN);
}

MenuSeen EditorTest::ClickAt(POINT point, int command)
{
    POINT screen = point;
    ::ClientToScreen(tree, &screen);
    ::SetCursorPos(screen.x, screen.y);
    HoldPointerOn(
        screen, 250, [&] { ::SetCursorPos(screen.x, screen.y); }, [] { ::Sleep(10); });
    return InMenu(
        [&] {
            ::PostMessageW(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
            ::PostMessageW(tree, WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        },
        command);
}

MenuSeen EditorTest::InMenu(const std::function<void()>& open, int command)
{
    MenuSeen seen;
    MenuRequest request = {&seen, command, 0, false};
    menuRequest = &request;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, OnMenuTimer);
    open();
    Pump();
    ::KillTimer(nullptr, timer);
    menuRequest = nullptr;
    return seen;
}

void InputTest::Key(WORD key, bool shift, bool control, bool alt)
{
    std::vector<INPUT> inputs = KeyPressInputs(key, shift, control, alt);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    PumpFor(150);
}

void InputTest::MenuKeys(WORD menu, WORD item)
{
    std::vector<INPUT> inputs = KeyPressInputs(menu, false, false, true);
    std::vector<INPUT> second = KeyPressInputs(item);
    inputs.insert(inputs.end(), second.begin(), second.end());
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    PumpFor(300);
}

void InputTest::Mouse(POINT client, DWORD buttonFlags)
{
    POINT screen = client;
    ::ClientToScreen(main, &screen);
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535 + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535 + height / 2) / (height - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
    ::SendInput(1, &input, sizeof input);
    auto there = [&] {
        POINT now = {};
        ::GetCursorPos(&now);
        return now.x == screen.x && now.y == screen.y;
    };
    PumpUntil(there);
    // Moved there again without the buttons when it strays.
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    HoldPointerOn(
        screen, 120, [&] { ::SendInput(1, &input, sizeof input); }, [this] { PumpFor(10); });
}

void InputTest::Shot(const wchar_t* name)
{
    ::RedrawWindow(main, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    EXPECT_TRUE(SaveWindowScreenshot(main, WindowsPath(QUIL_SCREENSHOT_DIR) + L"\\" + name));
}

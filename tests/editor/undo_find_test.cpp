// Undo and redo, the Edit menu, Find and Rename in the real main window, driven with real keys
// (SendInput, handled by the message loop).
#include "e2e/program.h"
#include "editor/editor_fixture.h"
#include "panes/pane_fixture.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <utility>

namespace {

class UndoFindTest : public EditorTest
{
protected:
    // Further texts of every kind for the find, before the window opens.
    void AddFindTexts()
    {
        auto* link = static_cast<CItemLink*>(project.columns[0]->groups[0]->items[0]);
        link->divider = L"div-\u00B5";
        link->SetPopupContent(L"Popup \u03A3\u039F\u03A6\u0399\u0391");
        further = link->AddLink(L"Further caption", L"https://further.example/");
        auto* form = static_cast<CItemForm*>(project.columns[0]->groups[0]->items[1]);
        form->fields[0]->value = L"find-me";
        engine = form->AddField(1, L"engine", L"web", -1);
        option = engine->AddOption(L"Option text", L"opt-value");
    }

    // Handles what arrives for a while: queued input takes a moment to come through.
    void PumpFor(DWORD milliseconds)
    {
        const DWORD start = ::GetTickCount();
        do {
            ::Sleep(10);
            Pump();
        } while (::GetTickCount() - start < milliseconds);
    }

    static void Key(WORD key, bool up)
    {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        if (key == VK_DELETE) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        ::SendInput(1, &input, sizeof input);
    }

    // A key with its modifiers, as the keyboard gives it, to the window with the focus.
    void Keys(WORD key, bool control = false, bool shift = false)
    {
        ::SetForegroundWindow(main);
        if (control) Key(VK_CONTROL, false);
        if (shift) Key(VK_SHIFT, false);
        Key(key, false);
        Key(key, true);
        if (shift) Key(VK_SHIFT, true);
        if (control) Key(VK_CONTROL, true);
        PumpFor(150);
    }

    void TypeKeys(const std::wstring& text)
    {
        ::SetForegroundWindow(main);
        for (wchar_t c : text) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE;
            ::SendInput(1, &input, sizeof input);
            input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
            ::SendInput(1, &input, sizeof input);
        }
        PumpFor(150);
    }

    // The text of an Edit menu item as the menu shows it when it opens, and whether it is grayed.
    std::pair<std::wstring, bool> EditItem(UINT command)
    {
        HMENU edit = ::GetSubMenu(::GetMenu(main), 1);
        ::SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
        wchar_t text[128] = {};
        ::GetMenuStringW(edit, command, text, 128, MF_BYCOMMAND);
        return {text, (::GetMenuState(edit, command, MF_BYCOMMAND) & MF_GRAYED) != 0};
    }

    HWND FocusedControl() { return ::GetFocus(); }

    // The node selected and the row selected in its pane's list.
    const void* SelectedLinkRow()
    {
        HWND list = editor->linkPane.linkList;
        return listrows::Object(list, listrows::Selected(list));
    }

    CItemLink::CLink* further = nullptr;
    CItemForm::CField* engine = nullptr;
    CItemForm::COption* option = nullptr;
};

TEST_F(UndoFindTest, CtrlZAndCtrlYInTheTreeUndoAndRedoADeleteAndSelectTheRestoredNode)
{
    Open();
    const std::string before = SaveToBytes(project);
    const std::wstring outline = ModelText();
    Select(kNodeColumn, work);
    Keys(VK_DELETE, true);
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(project.columns.size(), 2u);

    Keys('Z', true);
    EXPECT_EQ(ModelText(), outline);
    ExpectTreeShowsModel();
    EXPECT_EQ(project.columns[0], work);
    EXPECT_EQ(Selected()->node, work);
    EXPECT_EQ(VisiblePanes(), std::vector<std::string>{"column"});
    EXPECT_EQ(Text(editor->columnPane.edit), L"Work");
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(SaveToBytes(project), before);

    Keys('Y', true);
    EXPECT_EQ(project.columns.size(), 2u);
    ExpectTreeShowsModel();
    EXPECT_EQ(Selected()->node, &project);
    Keys('Z', true);
    EXPECT_EQ(project.columns[0], work);
    // Ctrl+Shift+Z redoes as well.
    Keys('Z', true, true);
    EXPECT_EQ(project.columns.size(), 2u);
    EXPECT_EQ(shell.shown.size(), 1u); // undo and redo ask nothing
}

TEST_F(UndoFindTest, CtrlZInTheCaptionEditGivesTheOldCaptionBackInModelEditLabelAndPage)
{
    Open();
    const std::string page = GeneratedPage(project);
    Select(kNodeColumn, work);
    HWND edit = editor->columnPane.edit;
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 4, 4);
    TypeKeys(L"XY");
    ASSERT_EQ(work->caption, L"WorkXY");
    EXPECT_EQ(TreeLabel(kNodeColumn, work), L"WorkXY");
    EXPECT_EQ(editor->changes.History().Count(), 1u); // the keystrokes are one step

    Keys('Z', true);
    EXPECT_EQ(work->caption, L"Work");
    EXPECT_EQ(Text(edit), L"Work");
    EXPECT_EQ(TreeLabel(kNodeColumn, work), L"Work");
    EXPECT_EQ(GeneratedPage(project), page);
    EXPECT_EQ(FocusedControl(), edit);

    Keys('Y', true);
    EXPECT_EQ(work->caption, L"WorkXY");
    EXPECT_EQ(Text(edit), L"WorkXY");
    // Typing goes on at the end of the text that came back.
    TypeKeys(L"!");
    EXPECT_EQ(work->caption, L"WorkXY!");
}

TEST_F(UndoFindTest, TheTabIsTypedAndChosenByKeyboardAndCtrlZTakesEachBack)
{
    Open();
    play->tab = L"Games";
    Select(kNodeColumn, work);
    HWND combo = editor->columnPane.tabCombo;
    HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    ::SetFocus(edit);
    TypeKeys(L"Later");
    ASSERT_EQ(work->tab, L"Later");
    EXPECT_EQ(editor->changes.History().Count(), 1u); // the keystrokes are one step
    // Down in the closed box takes the list's next name.
    Keys(VK_DOWN);
    EXPECT_EQ(work->tab, L"Games");
    EXPECT_EQ(Text(combo), L"Games");
    EXPECT_EQ(editor->changes.UndoName(), L"tab change");

    Keys('Z', true);
    EXPECT_EQ(work->tab, L"Later");
    EXPECT_EQ(Text(combo), L"Later");
    Keys('Z', true);
    EXPECT_EQ(work->tab, L"");
    EXPECT_EQ(Text(combo), L"");
    EXPECT_EQ(FocusedControl(), edit);
    Keys('Y', true);
    EXPECT_EQ(work->tab, L"Later");
}

TEST_F(UndoFindTest, TheEditMenuNamesTheStepAndGraysWhatIsNotThere)
{
    Open();
    using Item = std::pair<std::wstring, bool>;
    EXPECT_EQ(EditItem(IDM_UNDO), Item(L"&Undo\tCtrl+Z", true));
    EXPECT_EQ(EditItem(IDM_REDO), Item(L"&Redo\tCtrl+Y", true));
    EXPECT_EQ(EditItem(IDM_FIND), Item(L"&Find...\tCtrl+F", false));

    Select(kNodeItem, inbox);
    Command(IDM_ADD_LINK);
    EXPECT_EQ(EditItem(IDM_UNDO), Item(L"&Undo add link\tCtrl+Z", false));
    EXPECT_EQ(EditItem(IDM_REDO), Item(L"&Redo\tCtrl+Y", true));
    Keys('Z', true);
    EXPECT_EQ(EditItem(IDM_UNDO), Item(L"&Undo\tCtrl+Z", true));
    EXPECT_EQ(EditItem(IDM_REDO), Item(L"&Redo add link\tCtrl+Y", false));

    Select(kNodeColumn, play);
    Type(editor->columnPane.edit, L"Games");
    EXPECT_EQ(EditItem(IDM_UNDO), Item(L"&Undo typing\tCtrl+Z", false));
    EXPECT_EQ(EditItem(IDM_REDO), Item(L"&Redo\tCtrl+Y", true)); // the new change dropped it
    Keys(VK_UP, true);
    EXPECT_EQ(EditItem(IDM_UNDO), Item(L"&Undo move\tCtrl+Z", false));
    Keys(VK_DELETE, true);
    EXPECT_EQ(EditItem(IDM_UNDO), Item(L"&Undo delete\tCtrl+Z", false));
    Select(kNodeGroup, mail);
    Command(IDM_ADD_GROUP);
    EXPECT_EQ(EditItem(IDM_UNDO), Item(L"&Undo add group\tCtrl+Z", false));
}

TEST_F(UndoFindTest, EachUndoSelectsTheNodeAndTheRowItChanged)
{
    Open();
    // A further link added and named, then another node selected.
    Select(kNodeItem, inbox);
    CdlgPropItemLink& linkPane = editor->linkPane;
    Click(::GetDlgItem(linkPane.Window(), IDC_LINK_ADD));
    auto* item = static_cast<CItemLink*>(inbox);
    ASSERT_EQ(item->links.size(), 1u);
    CItemLink::CLink* added = item->links[0];
    Type(linkPane.linkCaptionEdit, L"Archive");
    Select(kNodeColumn, play);

    Keys('Z', true);
    EXPECT_EQ(Selected()->node, inbox);
    EXPECT_EQ(VisiblePanes(), std::vector<std::string>{"link"});
    EXPECT_EQ(SelectedLinkRow(), added);
    EXPECT_EQ(Text(linkPane.linkCaptionEdit), L"New link");
    EXPECT_EQ(added->caption, L"New link");
    Keys('Z', true);
    EXPECT_TRUE(item->links.empty());
    EXPECT_EQ(listrows::Count(linkPane.linkList), 0);
    EXPECT_EQ(Selected()->node, inbox);
    Keys('Y', true);
    EXPECT_EQ(SelectedLinkRow(), added);

    // A form's method, and a field's name.
    Select(kNodeItem, search);
    CdlgPropItemForm& formPane = editor->formPane;
    Choose(formPane.methodCombo, 1);
    listrows::Select(formPane.fieldList, 0);
    Pump();
    Type(formPane.fieldNameEdit, L"query");
    Select(kNodeGroup, docs);
    Keys('Z', true);
    EXPECT_EQ(Selected()->node, search);
    EXPECT_EQ(listrows::Selected(formPane.fieldList), 0);
    EXPECT_EQ(Text(formPane.fieldNameEdit), L"q");
    Keys('Z', true);
    EXPECT_EQ(ComboText(formPane.methodCombo), L"GET");
    EXPECT_EQ(static_cast<CItemForm*>(search)->method, 0);

    // An added column undone selects the project; redone, the column again.
    Select(kNodeColumn, empty);
    Command(IDM_ADD_COLUMN);
    CColumn* column = project.columns[3];
    Keys('Z', true);
    EXPECT_EQ(project.columns.size(), 3u);
    EXPECT_EQ(Selected()->node, &project);
    Keys('Y', true);
    EXPECT_EQ(Selected()->node, column);
    ExpectTreeShowsModel();
}

// A page read in replaces the columns: its undo and redo each insert and remove several
// branches. Followed item by item (the drawing held for the whole step) or with the tree rebuilt,
// the tree must show the model, the project selected, with scroll bars that fit what it shows.
TEST_F(UndoFindTest, UndoAndRedoOfAReadShowTheTreeAndItsScrollBarsEitherWay)
{
    CProject other;
    other.title = L"Elsewhere";
    for (int c = 0; c < 4; ++c) {
        auto* column = new CColumn(other, L"Column " + std::to_wstring(c));
        for (int g = 0; g < 3; ++g) {
            auto* group = new CGroup(*column, L"Group " + std::to_wstring(g));
            for (int i = 0; i < 8; ++i)
                new CItemLink(*group, L"Link " + std::to_wstring(i), L"https://example.com/");
        }
    }
    CTempFile page(L".html");
    WriteFileBytes(page.Path(), GeneratedPage(other));
    // The vertical bar's range, or -1 while the tree shows none (the range it had stays).
    auto verticalRange = [this] {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE;
        if (!(::GetWindowLongW(tree, GWL_STYLE) & WS_VSCROLL) ||
            !::GetScrollInfo(tree, SB_VERT, &info))
            return -1;
        return info.nMax;
    };

    Open();
    const std::wstring outline = ModelText();
    const std::string before = SaveToBytes(project);
    const int rangeBefore = verticalRange();
    shell.chosenFile = page.Path();
    Command(IDM_READ_HTML);
    const std::wstring read = ModelText();
    const int rangeRead = verticalRange();
    ASSERT_NE(read, outline);
    ASSERT_GT(rangeRead, rangeBefore) << "the page's nodes need a longer scroll range";

    for (std::size_t rebuildAbove : {editor->rebuildStepAbove, std::size_t(0)}) {
        SCOPED_TRACE(rebuildAbove ? "item by item" : "rebuilt");
        editor->rebuildStepAbove = rebuildAbove;
        Keys('Z', true);
        EXPECT_EQ(ModelText(), outline);
        ExpectTreeShowsModel();
        EXPECT_EQ(SaveToBytes(project), before);
        EXPECT_EQ(Selected()->node, &project);
        EXPECT_EQ(VisiblePanes(), std::vector<std::string>{"project"});
        EXPECT_EQ(Text(editor->projectPane.edit), L"Home");
        EXPECT_EQ(verticalRange(), rangeBefore);
        EXPECT_TRUE(::IsWindowVisible(tree));

        Keys('Y', true);
        EXPECT_EQ(ModelText(), read);
        ExpectTreeShowsModel();
        EXPECT_EQ(Selected()->node, &project);
        EXPECT_EQ(Text(editor->projectPane.edit), L"Elsewhere");
        EXPECT_EQ(verticalRange(), rangeRead);
        EXPECT_TRUE(::IsWindowVisible(tree));
    }
}

TEST_F(UndoFindTest, FindSelectsEveryKindOfTextWithItsRow)
{
    AddFindTexts();
    Open();
    Keys('F', true);
    CdlgFindBar& bar = editor->findBar;
    ASSERT_TRUE(bar.IsOpen());
    EXPECT_EQ(FocusedControl(), bar.textEdit);
    struct Case
    {
        const wchar_t* text;
        CStreamable* node;
        const void* row;
    };
    const Case cases[] = {
        {L"Play", play, nullptr},
        {L"Spare", spare, nullptr},
        {L"Radio", radio, nullptr},
        {L"paper.example", paper, nullptr},
        {L"div-", inbox, nullptr},
        {L"Popup", inbox, nullptr},
        {L"Further caption", inbox, further},
        {L"further.example", inbox, further},
        {L"Unnamed", nullptr, nullptr}, // a label, not a text of the form
        {L"search.example", search, nullptr},
        {L"find-me", search, static_cast<CItemForm*>(search)->fields[0]},
        {L"engine", search, engine},
        {L"Option text", search, option},
        {L"opt-value", search, option},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Select(kNodeProject, &project);
        ::SetFocus(bar.textEdit);
        Type(bar.textEdit, c.text);
        Pump();
        if (!c.node) {
            EXPECT_EQ(Text(bar.status), L"Not found");
            EXPECT_EQ(Selected()->node, &project);
            continue;
        }
        EXPECT_EQ(Text(bar.status), L"");
        EXPECT_EQ(Selected()->node, c.node);
        if (c.node == search) {
            HWND fields = editor->formPane.fieldList;
            const void* field = listrows::Object(fields, listrows::Selected(fields));
            HWND options = editor->formPane.optionList;
            const void* row =
                c.row == option ? listrows::Object(options, listrows::Selected(options)) : field;
            EXPECT_EQ(row, c.row);
        } else if (c.node == inbox) {
            EXPECT_EQ(SelectedLinkRow(), c.row);
        }
    }
}

TEST_F(UndoFindTest, FindFoldsCaseUnlessAskedWrapsAndGoesBothWaysWithF3)
{
    AddFindTexts();
    Open();
    Keys('F', true);
    CdlgFindBar& bar = editor->findBar;
    // Greek in another case, typed as a person types it.
    TypeKeys(L"\u03C3\u03BF\u03C6\u03B9\u03B1");
    EXPECT_EQ(Selected()->node, inbox);
    Click(bar.caseCheck);
    Select(kNodeProject, &project);
    ::SetFocus(bar.textEdit);
    Keys(VK_F3);
    EXPECT_EQ(Text(bar.status), L"Not found");
    EXPECT_EQ(Selected()->node, &project);
    Click(bar.caseCheck);

    // "example" is in the URLs of the links and the form, in tree order.
    Type(bar.textEdit, L"example");
    Pump();
    const CStreamable* order[] = {inbox, inbox, search, wiki, paper, radio};
    EXPECT_EQ(Selected()->node, order[0]);
    for (int i = 1; i < 6; ++i) {
        Keys(VK_F3);
        EXPECT_EQ(Selected()->node, order[i]) << i;
    }
    Keys(VK_F3); // wraps to the first
    EXPECT_EQ(Selected()->node, inbox);
    EXPECT_EQ(SelectedLinkRow(), nullptr);
    Keys(VK_F3, false, true); // and back round to the last
    EXPECT_EQ(Selected()->node, radio);

    // Escape closes the bar and gives the tree the focus; F3 still finds with the last text.
    ::SetFocus(bar.textEdit);
    Keys(VK_ESCAPE);
    EXPECT_FALSE(bar.IsOpen());
    EXPECT_EQ(FocusedControl(), tree);
    Keys(VK_F3);
    EXPECT_EQ(Selected()->node, inbox);
    Keys(VK_F3);
    EXPECT_EQ(SelectedLinkRow(), further);
    Keys(VK_F3, false, true);
    EXPECT_EQ(Selected()->node, inbox);
    EXPECT_EQ(SelectedLinkRow(), nullptr);
    EXPECT_FALSE(bar.IsOpen());
}

TEST_F(UndoFindTest, F2PutsTheFocusIntoTheNameWithItsTextSelected)
{
    Open();
    const std::pair<std::int32_t, CStreamable*> nodes[] = {
        {kNodeProject, &project}, {kNodeColumn, work}, {kNodeItem, inbox}, {kNodeItem, search}};
    const HWND edits[] = {editor->projectPane.edit, editor->columnPane.edit,
                          editor->linkPane.captionEdit, editor->formPane.nameEdit};
    for (int i = 0; i < 4; ++i) {
        Select(nodes[i].first, nodes[i].second);
        ::SetFocus(tree);
        Keys(VK_F2);
        EXPECT_EQ(FocusedControl(), edits[i]) << i;
        const auto length = static_cast<DWORD>(::GetWindowTextLengthW(edits[i]));
        EXPECT_EQ(Selection(edits[i]), std::make_pair(DWORD{0}, length)) << i;
    }
    // Typing replaces the name at once.
    Select(kNodeColumn, play);
    ::SetFocus(tree);
    Keys(VK_F2);
    TypeKeys(L"Games");
    EXPECT_EQ(play->caption, L"Games");
    EXPECT_EQ(TreeLabel(kNodeColumn, play), L"Games");
}

// Runs inside the menu's own loop: waits for the drop-down, saves the screen and closes it.
struct MenuShot
{
    HWND main = nullptr;
    std::wstring path;
    bool saved = false;
    int ticks = 0;
};
MenuShot* menuShot = nullptr;

void CALLBACK TakeMenuShot(HWND, UINT, UINT_PTR, DWORD)
{
    if (!menuShot || menuShot->saved) return;
    if (++menuShot->ticks > 100) {
        ::EndMenu();
        return;
    }
    HWND dropDown = ::FindWindowW(L"#32768", nullptr);
    if (!dropDown || !::IsWindowVisible(dropDown) || menuShot->ticks < 5) return;
    menuShot->saved = SaveWindowScreenshot(menuShot->main, menuShot->path);
    ::EndMenu();
}

TEST_F(UndoFindTest, ScreenshotsOfTheEditMenuAndTheFindBar)
{
    AddFindTexts();
    Open();
    ::SetWindowPos(main, nullptr, 0, 0, 900, 600, SWP_NOZORDER | SWP_NOMOVE);
    Select(kNodeColumn, work);
    Type(editor->columnPane.edit, L"Work and more");
    Pump();

    MenuShot shot;
    shot.main = main;
    shot.path = QUIL_SCREENSHOT_DIR L"/screenshot-edit-menu.png";
    menuShot = &shot;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, TakeMenuShot);
    // Alt+E opens the Edit menu; its loop runs the timer.
    ::SetForegroundWindow(main);
    Key(VK_MENU, false);
    Key('E', false);
    Key('E', true);
    Key(VK_MENU, true);
    PumpFor(3000);
    ::KillTimer(nullptr, timer);
    menuShot = nullptr;
    EXPECT_TRUE(shot.saved);

    Keys('F', true);
    TypeKeys(L"opt-value");
    EXPECT_EQ(Selected()->node, search);
    PumpFor(300);
    EXPECT_TRUE(SaveWindowScreenshot(main, QUIL_SCREENSHOT_DIR L"/screenshot-find-bar.png"));
}

} // namespace

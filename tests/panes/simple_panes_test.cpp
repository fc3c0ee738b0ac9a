// The project, column and group panes: one text each, written at every keystroke; the project's
// page style under its title.
#include "pane_fixture.h"

#include "resources/resource.h"
#include "test_support.h"

#include <string>
#include <vector>

TEST_F(PaneTest, SimplePanesWriteEveryKeystrokeIntoTheirNode)
{
    struct
    {
        CdlgPropBase& pane;
        CStreamable* node;
        NodeKind kind;
        int editId;
        std::wstring* field;
        std::wstring shown;
    } cases[] = {
        {editor->projectPane, &project, kNodeProject, IDC_PROJECT_TITLE, &project.title,
         L"My start page"},
        {editor->columnPane, column, kNodeColumn, IDC_COLUMN_CAPTION, &column->caption, L"Work"},
        {editor->groupPane, group, kNodeGroup, IDC_GROUP_CAPTION, &group->caption, L"Search"},
    };
    for (auto& each : cases) {
        SCOPED_TRACE(each.editId);
        project.modified = false;
        SetTreeLabel(each.kind, each.node, L"untouched");
        Show(each.pane, each.node);
        HWND edit = ::GetDlgItem(each.pane.Window(), each.editId);
        EXPECT_EQ(Text(edit), each.shown);
        EXPECT_FALSE(project.modified) << "binding is no edit";
        EXPECT_EQ(TreeLabel(each.kind, each.node), L"untouched") << "binding relabels nothing";

        Type(edit, each.shown + L"!");
        EXPECT_EQ(*each.field, each.shown + L"!");
        EXPECT_TRUE(project.modified);
        EXPECT_EQ(TreeLabel(each.kind, each.node), each.shown + L"!");

        Type(edit, L"");
        EXPECT_EQ(*each.field, L"") << "an empty text is stored, not refused";
        EXPECT_EQ(TreeLabel(each.kind, each.node), L"");

        std::wstring longText(3000, L'x');
        longText += L" end \u00e9\u4e2d";
        Type(edit, longText);
        EXPECT_EQ(*each.field, longText) << "stored whole, whatever the edit box shows";
    }
}

TEST_F(PaneTest, SimplePanesStretchTheirEditToFourPixelsInsideTheClientEdge)
{
    struct
    {
        CdlgPropBase& pane;
        CStreamable* node;
        int editId;
    } cases[] = {{editor->projectPane, &project, IDC_PROJECT_TITLE},
                 {editor->columnPane, column, IDC_COLUMN_CAPTION},
                 {editor->groupPane, group, IDC_GROUP_CAPTION}};
    for (auto& each : cases) {
        SCOPED_TRACE(each.editId);
        Show(each.pane, each.node);
        HWND edit = ::GetDlgItem(each.pane.Window(), each.editId);
        RECT before = ChildRect(edit);
        for (int width : {700, 250, 520}) {
            ::SetWindowPos(each.pane.Window(), nullptr, 0, 0, width, 300,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            RECT client = {};
            ::GetClientRect(each.pane.Window(), &client);
            RECT after = ChildRect(edit);
            EXPECT_EQ(after.left, before.left);
            EXPECT_EQ(after.top, before.top);
            EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
            EXPECT_EQ(after.right, client.right - 4);
        }
    }
}

TEST_F(PaneTest, TheProjectPaneShowsThePageStyleUnderTheTitleAndStretchesBoth)
{
    for (PageStyle style : {PageStyle::Modern, PageStyle::Classic, static_cast<PageStyle>(7)}) {
        project.pageStyle = style;
        Show(editor->projectPane, &project);
        EXPECT_EQ(::SendMessageW(::GetDlgItem(editor->projectPane.Window(), IDC_PROJECT_STYLE),
                                 CB_GETCURSEL, 0, 0),
                  style == PageStyle::Modern    ? 1
                  : style == PageStyle::Classic ? 0
                                                : CB_ERR);
    }
    EXPECT_FALSE(project.modified) << "binding is no edit";
    HWND pane = editor->projectPane.Window();
    HWND label = ::GetDlgItem(pane, IDC_PROJECT_STYLE_LABEL);
    HWND title = ::GetDlgItem(pane, IDC_PROJECT_TITLE);
    HWND combo = ::GetDlgItem(pane, IDC_PROJECT_STYLE);
    EXPECT_EQ(Text(label), L"Page style:");
    EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
    RECT dropped = {};
    ::SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    const int droppedHeight = dropped.bottom - dropped.top;
    for (int width : {700, 250, 520}) {
        ::SetWindowPos(pane, nullptr, 0, 0, width, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client = {};
        ::GetClientRect(pane, &client);
        RECT edit = ChildRect(title), list = ChildRect(combo), caption = ChildRect(label);
        EXPECT_EQ(list.left, edit.left);
        EXPECT_EQ(list.right, edit.right);
        EXPECT_EQ(list.right, client.right - 4);
        EXPECT_GE(list.top, edit.bottom) << "under the title";
        EXPECT_LT(caption.top, list.bottom);
        EXPECT_GT(caption.bottom, list.top) << "the label beside its list";
        ::SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        EXPECT_EQ(dropped.bottom - dropped.top, droppedHeight) << "the list keeps its height";
    }
}

namespace {

std::vector<std::wstring> ComboEntries(HWND combo)
{
    std::vector<std::wstring> entries;
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t buffer[128] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
        entries.push_back(buffer);
    }
    return entries;
}

using Entries = std::vector<std::wstring>;

// Keystrokes into an edit, as characters: a combo box's edit reports no change for text set with
// WM_SETTEXT, as Windows' does not either.
void TypeChars(HWND edit, const std::wstring& text)
{
    for (wchar_t c : text)
        ::SendMessageW(edit, WM_CHAR, c, 1);
}

} // namespace

TEST_F(PaneTest, TheColumnPaneShowsTheTabUnderTheCaptionAndListsTheTabsInUse)
{
    column->tab = L"Work";
    (new CColumn(project, L"Games"))->tab = L" Fun ";
    (new CColumn(project, L"More work"))->tab = L"Work";
    new CColumn(project, L"Everywhere");
    project.modified = false;
    Show(editor->columnPane, column);
    HWND pane = editor->columnPane.Window();
    HWND combo = ::GetDlgItem(pane, IDC_COLUMN_TAB);
    EXPECT_EQ(Text(::GetDlgItem(pane, IDC_COLUMN_TAB_LABEL)), L"Tab:");
    EXPECT_EQ(Text(combo), L"Work");
    EXPECT_EQ(ComboEntries(combo), (Entries{L"Work", L"Fun"})) << "each once, in page order";
    EXPECT_FALSE(project.modified) << "binding is no edit";
    Show(editor->columnPane, project.columns[3]);
    EXPECT_EQ(Text(combo), L"");

    // Under the caption, stretched alike; the list keeps its height.
    HWND caption = ::GetDlgItem(pane, IDC_COLUMN_CAPTION);
    RECT dropped = {};
    ::SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    const int droppedHeight = dropped.bottom - dropped.top;
    for (int width : {700, 250}) {
        ::SetWindowPos(pane, nullptr, 0, 0, width, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client = {};
        ::GetClientRect(pane, &client);
        RECT edit = ChildRect(caption), box = ChildRect(combo);
        EXPECT_EQ(box.left, edit.left);
        EXPECT_EQ(box.right, client.right - 4);
        EXPECT_GE(box.top, edit.bottom);
        ::SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        EXPECT_EQ(dropped.bottom - dropped.top, droppedHeight);
    }
}

TEST_F(PaneTest, TypingATabAndChoosingOneFromTheListAreStepsThatUndoGivesBack)
{
    (new CColumn(project, L"Games"))->tab = L"Fun";
    Show(editor->columnPane, column);
    HWND combo = ::GetDlgItem(editor->columnPane.Window(), IDC_COLUMN_TAB);
    HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    CProjectChanges& changes = editor->changes;

    // Keystrokes into the edit: one typing step.
    TypeChars(edit, L"Rea");
    TypeChars(edit, L"ding");
    EXPECT_EQ(column->tab, L"Reading");
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(changes.UndoName(), L"typing");
    EXPECT_EQ(changes.History().Count(), 1u);

    // The list drops down with the names in use, the one typed too, and keeps the text.
    EXPECT_EQ(ComboEntries(combo), (Entries{L"Fun"}));
    Notify(combo, CBN_DROPDOWN);
    EXPECT_EQ(ComboEntries(combo), (Entries{L"Reading", L"Fun"}));
    EXPECT_EQ(Text(combo), L"Reading");

    // A name chosen from the list: a step of its own.
    Choose(combo, 1);
    EXPECT_EQ(column->tab, L"Fun");
    EXPECT_EQ(Text(combo), L"Fun");
    EXPECT_EQ(changes.UndoName(), L"tab change");
    EXPECT_EQ(changes.History().Count(), 2u);

    // Undo through the window: the pane shows what came back.
    ::SendMessageW(main, WM_COMMAND, IDM_UNDO, 0);
    Pump();
    EXPECT_EQ(column->tab, L"Reading");
    EXPECT_EQ(Text(combo), L"Reading");
    ::SendMessageW(main, WM_COMMAND, IDM_UNDO, 0);
    Pump();
    EXPECT_EQ(column->tab, L"");
    EXPECT_EQ(Text(combo), L"");
    ::SendMessageW(main, WM_COMMAND, IDM_REDO, 0);
    ::SendMessageW(main, WM_COMMAND, IDM_REDO, 0);
    Pump();
    EXPECT_EQ(column->tab, L"Fun");
    EXPECT_EQ(Text(combo), L"Fun");
    const std::string saved = SaveToBytes(project);
    EXPECT_NE(saved.find("Fun"), std::string::npos);
}

// The project, column and group panes: one text each, written at every keystroke.
#include "pane_fixture.h"

#include "resources/resource.h"

TEST_F(PaneTest, SimplePanesWriteEveryKeystrokeIntoTheirNode)
{
    struct
    {
        CdlgPropBase& pane;
        CStreamable* node;
        int editId;
        std::wstring* field;
        std::wstring shown;
    } cases[] = {
        {editor->projectPane, &project, IDC_PROJECT_TITLE, &project.title, L"My start page"},
        {editor->columnPane, column, IDC_COLUMN_CAPTION, &column->caption, L"Work"},
        {editor->groupPane, group, IDC_GROUP_CAPTION, &group->caption, L"Search"},
    };
    for (auto& each : cases) {
        SCOPED_TRACE(each.editId);
        project.modified = false;
        Show(each.pane, each.node);
        HWND edit = ::GetDlgItem(each.pane.Window(), each.editId);
        EXPECT_EQ(Text(edit), each.shown);
        EXPECT_FALSE(project.modified) << "binding is no edit";

        Type(edit, each.shown + L"!");
        EXPECT_EQ(*each.field, each.shown + L"!");
        EXPECT_TRUE(project.modified);

        Type(edit, L"");
        EXPECT_EQ(*each.field, L"") << "an empty text is stored, not refused";

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

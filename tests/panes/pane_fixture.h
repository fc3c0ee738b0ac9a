// The real main window with its five panes, created in-process, and the ways a person drives
// controls, as messages.
#pragma once

#include "editor/editor_fixture.h"
#include "editor/tree_item_data.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "winui/controls.h"
#include "winui/list_rows.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Each test has its own project, shown in its own main window.
class PaneTest : public EditorWindowTest
{
protected:
    void SetUp() override;

    // Shows only `pane`, binds it to `node` and places it right of the tree, as the main window
    // does; the placing sends the pane its WM_SIZE.
    void Show(CdlgPropBase& pane, CStreamable* node, int width = 560, int height = 480);

    // Puts a text of the test's own there, to see whether anything rewrites the label.
    void SetTreeLabel(std::int32_t kind, CStreamable* node, const std::wstring& text);

    // Filled by SetUp: a column and group with one link item and one form item.
    CColumn* column = nullptr;
    CGroup* group = nullptr;
    CItemLink* link = nullptr;
    CItemForm* form = nullptr;
};

// A test of one pane: `pane` is shown and bound by the test's SetUp, Item finds its controls.
template <typename Pane> class OnePaneTest : public PaneTest
{
protected:
    void Bind(Pane& shown, CStreamable* node)
    {
        pane = &shown;
        Show(shown, node);
    }
    HWND Item(int id) { return ::GetDlgItem(pane->Window(), id); }

    Pane* pane = nullptr;
};

// Rows are selected, counted and read back with listrows (Select, Selected, Count), as the panes
// themselves do.

// Typing: WM_SETTEXT raises EN_CHANGE as a keystroke does.
void Type(HWND edit, const std::wstring& text);
std::wstring Text(HWND window);
// A push button or check box clicked by the mouse.
void Click(HWND button);
// A notification from `control` to its dialog, sent whether the control is enabled or not.
void Notify(HWND control, WORD code);
std::wstring Cell(HWND list, int row, int column);
// Every cell of a row, left to right.
std::vector<std::wstring> Row(HWND list, int row);
// The edit box's selection as start and end.
std::pair<DWORD, DWORD> Selection(HWND edit);
// Chooses a combo box entry as the user does: the selection, then CBN_SELCHANGE to the parent.
void Choose(HWND combo, int index);
std::wstring ComboText(HWND combo);
// The control's rectangle in its parent's client coordinates.
RECT ChildRect(HWND control);
bool Enabled(HWND control);
using Cells = std::vector<std::wstring>;

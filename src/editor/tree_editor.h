// The main window: the project tree on the left, the selected node's pane on the right, the
// menus and accelerators, and the commands that change the project's structure.
#pragma once

#include "editor/tree_item_data.h"
#include "editor/tree_item_records.h"
#include "editor/tree_labels.h"
#include "panes/prop_item_form.h"
#include "panes/prop_item_link.h"
#include "panes/prop_simple.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class CProject;
class CStreamable;

class CfrmTreeEditor
{
public:
    explicit CfrmTreeEditor(CProject& project);
    // Destroys the windows if they still exist (they normally went at quitting).
    ~CfrmTreeEditor();
    CfrmTreeEditor(const CfrmTreeEditor&) = delete;
    CfrmTreeEditor& operator=(const CfrmTreeEditor&) = delete;

    // Registers the window class and creates the main window, the tree view and the five panes;
    // false when any of them fails.
    bool Create();
    HWND MainWindow() const { return mainWindow; }
    HWND TreeView() const { return treeView; }
    CProject& Project() const { return *project; }

    // Rebuilds the tree from the project, every container expanded; the node selected before
    // stays selected when it is still shown, otherwise the project is selected.
    void Populate();
    // The record of the tree item showing (kind, node), or null.
    TreeItemData* FindTreeItemData(std::int32_t kind, const CStreamable* node) const;

    // Called by the panes after they changed a property of `node`: marks the project modified
    // and rewrites the tree label of the item that shows the node.
    void NodeEdited(std::int32_t kind, CStreamable* node);

    // For tests: what the window keeps.
    std::size_t RecordCount() const { return records.Count(); }
    int TreeWidth() const { return treeWidth; }
    bool IsRebuilding() const { return rebuilding; }
    const TreeItemData* ContextRecord() const { return contextRecord; }

    CdlgPropProject projectPane;
    CdlgPropColumn columnPane;
    CdlgPropGroup groupPane;
    CdlgPropItemLink linkPane;
    CdlgPropItemForm formPane;
    // The five panes, in the order they are created.
    std::array<CdlgPropBase*, 5> Panes()
    {
        return {&projectPane, &columnPane, &groupPane, &linkPane, &formPane};
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnTreeNotify(const NMHDR& header);
    // Runs a menu, context menu or accelerator command on the context record or the selection.
    void Dispatch(int command);
    LRESULT ShowContextMenu();
    // Hides every pane, then shows and binds the one for the record's node (none for null).
    void ShowPaneFor(const TreeItemData* record);
    void Layout();
    // The main window itself takes no keys: its focus goes on to the control that had it when
    // the window was last deactivated, when that is still usable, or else to the tree, so that
    // the keyboard reaches the tree from the start (it has no tab stop).
    void FocusChild();
    void Close();

    // The tree (tree_editor_binding.cpp).
    // Empties the tree view and releases every record.
    void ClearTree();
    // Fills the emptied tree from the project and selects (kind, node), or the root.
    void FillTree(std::int32_t kind, const CStreamable* node);
    HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, std::int32_t kind, CStreamable* node,
                         const std::wstring& label);
    void ReleaseRecord(TreeItemData* record);
    TreeItemData* RecordOf(HTREEITEM item) const;
    TreeItemData* ParentRecord(const TreeItemData& record) const;
    TreeItemData* SelectedRecord() const;
    HTREEITEM NextItem(HTREEITEM item, UINT relation) const;

    // The commands (tree_editor_commands.cpp).
    void AddColumn(TreeItemData* acting);
    void AddGroup(TreeItemData* acting);
    void AddItem(TreeItemData* acting, bool form);
    // Inserts the tree item of a node just added to the model after its sibling's item (at the
    // end when the sibling is not shown) and selects it.
    void ShowAddedNode(const TreeItemData& parent, std::int32_t kind, CStreamable* node,
                       const CStreamable* sibling, const std::wstring& label);
    void MoveUp(TreeItemData* acting);
    void MoveDown(TreeItemData* acting);
    // Puts `moved` right after `after` among the acting node's siblings in the model.
    bool MoveInModel(const TreeItemData& acting, CStreamable* moved, CStreamable* after);
    // Swaps two neighbouring tree items: `later` goes after `earlier`.
    void SwapInTree(const TreeItemData& later, const TreeItemData& earlier);
    void Delete(TreeItemData* acting);
    // Binds every pane that shows (kind, node) or a node below it to nothing, before that node
    // is destroyed: a hidden pane keeps its node, and its controls still take messages.
    void ReleasePanesWithin(std::int32_t kind, const CStreamable* node);
    void Save();
    void ReadHtmlFile();
    void GenerateHomepage();
    void Preview();
    // True when the program may quit: asks about unsaved changes, saves on Yes.
    bool ConfirmQuit();
    // Writes the project file; when it could not be written, says so and returns false.
    bool SaveProject();
    // Adds what an HTML file holds to the project.
    void ImportFile(const std::wstring& path);

    CProject* project; // not owned
    HWND mainWindow = nullptr;
    HWND treeView = nullptr;
    int treeWidth = 300;
    CTreeItemRecords records;
    CTreeLabels labels;
    TreeItemData* contextRecord = nullptr; // not owned; set while the context menu acts
    HWND lastFocus = nullptr;              // the child that had the focus at deactivation
    // Set while the tree is emptied for a rebuild, and from the quit prompt on: deleted items
    // then release no records one by one.
    bool rebuilding = false;
};

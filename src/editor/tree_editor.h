// The main window: the project tree on the left, the selected node's pane on the right, the
// menus and accelerators, and the commands that change the project's structure.
#pragma once

#include "editor/splitter.h"
#include "editor/status_bar.h"
#include "editor/tree_item_data.h"
#include "editor/tree_item_records.h"
#include "editor/tree_labels.h"
#include "import/html_import.h"
#include "layout/main_layout.h"
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

    // Every change of the project comes here: it marks the project modified and the homepage
    // file as behind the project.
    void ProjectChanged();

    // The window side beyond the tree and the panes (tree_editor_window.cpp).
    // The object that owns a main window, or null.
    static CfrmTreeEditor* FromWindow(HWND window);
    // Keys the window takes before the dialog navigation sees them: Tab and Shift+Tab between
    // the pane and the tree, Escape from a pane to the tree. True when the key was used.
    bool PreTranslateKey(const MSG& message);
    // How to show the window first: maximised when it was maximised at the last quit.
    int ShowCommandFor(int requested) const;
    // The pane that is shown, or null.
    CdlgPropBase* ShownPane();
    const CStatusBar& StatusBar() const { return statusBar; }
    bool PageUpToDate() const { return pageUpToDate; }
    const CMainLayout& Layouts() const { return layout; }
    // Where the parts are in the client area now.
    CMainLayout::Placement CurrentPlacement() const;

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
    // Places every part for the client area and the tree width as they are.
    void PlaceParts();
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
    HtmlImportResult ImportFile(const std::wstring& path);

    // The window side (tree_editor_window.cpp).
    // Takes the messages of the splitter, the minimum size and the painting; true when the
    // message was handled, with its result.
    bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The commands of the window itself; false for the others.
    bool OnWindowCommand(int command);
    LRESULT OnTreeKey(const NMTVKEYDOWN& key);
    // Puts the window where it was at the last quit, before anything is shown.
    void RestorePlacement();
    void StorePlacement();
    // The status bar and the sizes the layout needs; false when the bar cannot be created.
    bool CreateWindowParts();
    void FocusTree();
    void FocusPane();
    void SetPageUpToDate(bool upToDate);
    void SetCueBanners();

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

    CMainLayout layout;
    std::size_t statusStrip = 0;
    CSplitter splitter;
    CStatusBar statusBar;
    HWND paneFocus = nullptr;      // the pane's control that had the focus when it went to the tree
    bool pageUpToDate = false;     // the homepage file holds the page of the project as it is
    bool restoreMaximized = false; // the window was maximised at the last quit
};

// The main window: the project tree on the left, the selected node's pane on the right, the find
// bar below them while it is open, the menus and accelerators, and the commands. Every change to
// the project goes through its change path; the window is told of each and refreshes only what
// changed.
#pragma once

#include "edit/change_observer.h"
#include "edit/node_placement.h"
#include "edit/project_changes.h"
#include "editor/data_transfer.h"
#include "editor/find_bar.h"
#include "editor/icon_fetch_dialog.h"
#include "editor/link_check_dialog.h"
#include "editor/status_bar.h"
#include "editor/tree_drag.h"
#include "editor/tree_drop_target.h"
#include "editor/tree_item_data.h"
#include "editor/tree_item_records.h"
#include "editor/tree_labels.h"
#include "import/html_import.h"
#include "layout/main_layout.h"
#include "panes/prop_item_form.h"
#include "panes/prop_item_link.h"
#include "panes/prop_project.h"
#include "panes/prop_simple.h"
#include "services/project_store.h"
#include "winui/splitter.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CProject;
class CStreamable;

class CfrmTreeEditor : public IChangeObserver,
                       public IFindHost,
                       public IDropHost,
                       public ITreeDragHost,
                       public ILinkCheckHost
{
public:
    explicit CfrmTreeEditor(CProject& project);
    // Destroys the windows if they still exist (they normally went at quitting).
    ~CfrmTreeEditor() override;
    CfrmTreeEditor(const CfrmTreeEditor&) = delete;
    CfrmTreeEditor& operator=(const CfrmTreeEditor&) = delete;

    // The main window's class, by which a second start finds it too.
    static constexpr wchar_t kWindowClass[] = L"CfrmTreeEditor";

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

    // Marks the project modified and rewrites the tree label of the item that shows the node.
    void NodeEdited(std::int32_t kind, CStreamable* node);

    // The change path's reports (tree_editor_binding.cpp, tree_editor_edit.cpp).
    void NodeChanged(const CSite& site) override;
    void NodeRemoving(std::int32_t kind, CStreamable* node) override;
    void NodeInserted(std::int32_t kind, CStreamable* node) override;
    void NodeMoved(std::int32_t kind, CStreamable* node) override;
    void StepShown(const CSite& site) override;
    void FindFromBar(bool forward, bool inclusive) override;
    // The link check window's requests (tree_editor_edit.cpp).
    void ShowLinkSite(const CSite& site) override;
    void RefreshShownPane() override;

    // Drops from other programs and drags inside the tree (tree_editor_transfer.cpp).
    bool DropOver(POINT screen, const CIncoming& incoming) override;
    void DropLeft() override;
    void Dropped(POINT screen, CIncoming incoming) override;
    bool CanDrop(HTREEITEM dragged, HTREEITEM target, bool upperHalf, bool copy) override;
    void Drop(HTREEITEM dragged, HTREEITEM target, bool upperHalf, bool copy) override;
    bool DropsBeside(HTREEITEM dragged, HTREEITEM target) override;
    bool Dragging() const { return drag.Active(); }
    const CTreeDrag& Drag() const { return drag; }

    // Every change of the project comes here: it marks the project modified and the homepage
    // file as behind the project.
    void ProjectChanged();

    // What a browser launch posts to the main window (wParam: kPreviewLaunch or kHelpLaunch;
    // lParam: 1 when the browser was started).
    static constexpr UINT kBrowserLaunched = WM_APP + 450;
    static constexpr WPARAM kPreviewLaunch = 0;
    static constexpr WPARAM kHelpLaunch = 1;

    // The window side beyond the tree and the panes (tree_editor_window.cpp).
    // The object that owns a main window, or null.
    static CfrmTreeEditor* FromWindow(HWND window);
    // Keys the window takes before the dialog navigation sees them: Tab and Shift+Tab between
    // the pane and the tree, Escape from a pane to the tree. True when the key was used.
    bool PreTranslateKey(const MSG& message);
    // Keys for the windows the main window owns (the link check's): their dialog navigation.
    // True when the message was theirs and is handled.
    bool TranslateOwnedWindowKey(MSG& message);
    // How to show the window first: maximised when it was maximised at the last quit.
    int ShowCommandFor(int requested) const;
    // The pane that is shown, or null.
    CdlgPropBase* ShownPane();
    const CStatusBar& StatusBar() const { return statusBar; }
    bool PageUpToDate() const { return pageUpToDate; }
    const CMainLayout& Layouts() const { return layout; }
    int Dpi() const { return dpi; }
    // Where the parts are in the client area now.
    CMainLayout::Placement CurrentPlacement() const;

    // The run's project file and recovery (tree_editor_run.cpp).
    // Called by a second start's handing over, after the window came forward, with the command
    // line after the program's name; outside the sender's call, so it may take its time.
    std::function<void(const std::wstring&)> onHandover;
    // The project was filled again from the recovery file, before the window is shown.
    void RecoveryRestored();
    // How long after a change its copy goes to the recovery file at the latest; settable for
    // tests.
    UINT recoveryDelayMs = 30000;

    // For tests: what the window keeps.
    std::size_t RecordCount() const { return records.Count(); }
    int TreeWidth() const { return treeWidth; }
    // The tree's share of the client width, in ten-thousandths.
    int TreeShare() const { return treeShare; }
    bool IsRebuilding() const { return rebuilding; }
    const TreeItemData* ContextRecord() const { return contextRecord; }
    // The step size in bytes above which an undo or redo rebuilds the tree instead of following
    // the step item by item (tree_editor_edit.cpp); settable for timing.
    std::size_t rebuildStepAbove = 8u << 20;

    // The one way the project is changed, with its history; declared before the panes that use
    // it.
    CProjectChanges changes;
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
    CdlgFindBar findBar;
    // The link check's results window, created at the first Ctrl+L.
    CdlgLinkCheck linkCheck;
    // The icon fetch's window, created at the first Fetch icons.
    CdlgIconFetch iconFetch;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnTreeNotify(const NMHDR& header);
    // Runs a menu, context menu or accelerator command on the context record or the selection.
    void Dispatch(int command);
    // The context menu for the item under the mouse (a right-click) or, from the keyboard
    // (Shift+F10, the Menu key), for the selected item, at that item.
    LRESULT ShowContextMenu();
    void ShowContextMenuForSelection();
    // Runs the context menu for the record at a screen point; the command acts on the record.
    void RunContextMenu(TreeItemData* record, POINT screen);
    // Hides every pane, then shows and binds the one for the record's node (none for null).
    void ShowPaneFor(const TreeItemData* record);
    // The pane that shows the record's node, or null.
    CdlgPropBase* PaneFor(const TreeItemData* record);
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
    // Inserts the node's item, labelled as the page shows its text, open when `open`.
    HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, std::int32_t kind, CStreamable* node,
                         bool open = false);
    void ReleaseRecord(TreeItemData* record);
    TreeItemData* RecordOf(HTREEITEM item) const;
    TreeItemData* ParentRecord(const TreeItemData& record) const;
    TreeItemData* SelectedRecord() const;
    HTREEITEM NextItem(HTREEITEM item, UINT relation) const;
    // Inserts the items of the node's children, and theirs, and opens them.
    void InsertChildren(HTREEITEM item, std::int32_t kind, CStreamable* node);
    // Puts the child items of `item` in the order of the model's children of `parent`.
    void SortChildren(HTREEITEM item, std::int32_t parentKind, const CStreamable* parent);

    // The commands (tree_editor_commands.cpp).
    void AddColumn(TreeItemData* acting);
    void AddGroup(TreeItemData* acting);
    void AddItem(TreeItemData* acting, bool form);
    // Puts a new node into the project after `sibling` (first when null) and selects it.
    void AddNode(CDetachedNode added, CStreamable* parent, const CStreamable* sibling,
                 const wchar_t* name);
    void MoveUp(TreeItemData* acting);
    void MoveDown(TreeItemData* acting);
    void Delete(TreeItemData* acting);
    // Binds every pane that shows (kind, node) or a node below it to nothing, before that node
    // leaves the tree: a hidden pane keeps its node, and its controls still take messages.
    void ReleasePanesWithin(std::int32_t kind, const CStreamable* node);
    void Save();
    void ReadHtmlFile();
    void GenerateHomepage();
    void Preview();
    void ExportBookmarks();
    void ShowOptions();
    // Tells in the status bar, and in a box when it failed, what came of a browser launch.
    void BrowserLaunched(WPARAM tag, bool started);
    // True when the program may quit: asks about unsaved changes, saves on Yes.
    bool ConfirmQuit();
    enum class SaveResult
    {
        NotSaved,
        Saved,          // with the homepage when the setting asks for it
        PageNotWritten, // the project was saved, the homepage the setting asks for was not
    };
    // The one save: writes the project file and, while the setting asks for it, the homepage
    // after it, and says in the status bar what came of both. A project file that could not be
    // written is also told in a box.
    SaveResult SaveProject();
    // Writes the homepage as F5 does and notes whether the file shows the project.
    HomepageWrite WriteHomepage();

    // Nodes on the clipboard and dropped (tree_editor_transfer.cpp).
    // Cut and Copy act on a node other than the project; a beep says when there is none.
    void Copy(TreeItemData* acting);
    void Cut(TreeItemData* acting);
    // Puts what the clipboard holds where a paste onto the acting node goes.
    void Paste(TreeItemData* acting);
    // Cut, Copy and Paste from the Edit menu act on the text of an edit box that has the focus;
    // true when one had it.
    bool EditBoxCommand(int command);
    // Where nodes of `kind` go, pasted onto the record's node; false when nowhere.
    bool PlaceOnto(const TreeItemData* acting, std::int32_t kind, CNodePlace& place) const;
    // Puts what came in at the place as one step named `name`, and selects the first node put
    // in. Pages and bookmark files are read as Read HTML file reads them, in the same step.
    void PutIncoming(const CNodePlace& place, CIncoming incoming, const wchar_t* name);
    // The in-tree drag's messages to the main window; true when one was taken.
    bool OnDragMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void BeginDrag(const NMTREEVIEWW& start);

    // The Edit menu (tree_editor_edit.cpp).
    // Names the step in the undo and redo items, or grays them.
    void UpdateEditMenu(HMENU menu);
    void OpenFind();
    // Finds the last text from the selection; false when the bar had none to give.
    void FindAgain(bool forward);
    // Finds `text` from the selection and shows the match; says in the bar when there is none.
    void Find(bool forward, bool inclusive);
    void CloseFind();
    // Focuses the shown pane's first edit with its text selected.
    void Rename();
    // Escape after F2 and typing: the typing is withdrawn (the text as before F2, no step left
    // behind); false, with nothing done, when the focus is not in that edit or more happened.
    bool CancelRename();
    // Selects the site's node (its item opened and scrolled into view), binds its pane afresh
    // and selects the site's row there.
    void ShowSite(const CSite& site);
    // True when the focus is in the find bar.
    bool FocusInFindBar() const;
    // Undoes or redoes one step; a step that holds many nodes has the tree rebuilt once after
    // it instead of following it item by item.
    void UndoOrRedo(bool undo);
    // Runs a change with the tree left as it is until the end, then rebuilds it and shows where
    // the change acted: for a change that brings or takes most of a large tree, Wine's tree
    // view costs more per item inserted or deleted than a rebuild costs in all.
    void WithTreeRebuiltAfter(const std::function<void()>& change);
    // Runs a change whose tree follows it item by item, with the tree's drawing suspended at
    // most once for the whole change instead of once per branch, then shows where it acted.
    void WithTreeQuietDuring(const std::function<void()>& change);
    // Inside WithTreeQuietDuring: turns the tree's drawing off until the change ends.
    void HoldDrawing();

    // The run's project file and recovery (tree_editor_run.cpp).
    // The messages of the file on disk, the recovery, the session's end and a second start's
    // handing over; true when the message was handled, with its result.
    bool OnRunMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The window was activated: whether another program changed the project file is looked at
    // a moment later, once the input that activated it has been handled.
    void Activated();
    // Loads the project file again as one step when another program changed it and the project
    // has no changes of its own; otherwise says so in the status bar.
    void CheckProjectFile();
    // A change was made: its copy goes to the recovery file within recoveryDelayMs.
    void ChangeForRecovery();
    // Writes the recovery file now, waiting for it, when there are changes it does not hold;
    // false when they could not be written.
    bool WriteRecoveryNow();
    // Restores the window when it is minimised and brings it, or the dialog it has open, to the
    // front.
    void BringForward();
    // Whether the homepage file shows the project as it is.
    bool PageShowsProject() const;

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
    // The layout's sizes at the window's DPI: the splitter, the tree's minimum, the pane's
    // reserve and the panes' minima.
    void UpdateMetrics();
    // Lays the window out for another DPI (WM_DPICHANGED): the fonts of the tree and the status
    // bar, the panes and the find bar, the splitter, the minimum size and the icons.
    void ApplyDpi(int newDpi);
    // The window's icons at its DPI.
    void SetIcons();
    void FocusTree();
    void FocusPane();
    void SetPageUpToDate(bool upToDate);
    void SetCueBanners();

    CProject* project; // not owned
    HWND mainWindow = nullptr;
    HWND treeView = nullptr;
    int treeWidth = 300;
    // The tree's share of the client width (ten-thousandths), which it keeps as the window
    // changes size; the splitter sets it.
    int treeShare = kDefaultTreeShare;
    static constexpr int kDefaultTreeShare = 3000;
    CTreeItemRecords records;
    CTreeLabels labels;
    std::wstring labelScratch;             // a label made from a node's text while it is inserted
    TreeItemData* contextRecord = nullptr; // not owned; set while the context menu acts
    HWND lastFocus = nullptr;              // the child that had the focus at deactivation
    // Set while a change runs whose tree is rebuilt after it; `treeStale` once it changed
    // the tree, `pendingSite` is where it acted.
    bool treeDeferred = false;
    bool treeStale = false;
    CSite pendingSite;
    // Set while a change runs inside WithTreeQuietDuring: `drawingHeld` once the tree's drawing
    // is off until its end, `removalsFollowed` counts the branches it removed, `sitePending` is
    // set once it named the site it acted on (in `pendingSite`).
    bool treeQuiet = false;
    bool drawingHeld = false;
    int removalsFollowed = 0;
    bool sitePending = false;
    // What F2 found, so that Escape can put it back: the edit it focused, the node, the history
    // and the project's state then. Ended by any command or another selection.
    struct RenameSession
    {
        HWND edit = nullptr;
        const CStreamable* node = nullptr;
        std::size_t undoCount = 0;
        std::size_t revision = 0;
        bool modified = false;
        bool pageUpToDate = false;
    } renameSession;
    std::wstring findText; // the text last searched for
    bool findMatchCase = false;
    // Set while the tree is emptied for a rebuild, and from the quit prompt on: deleted items
    // then release no records one by one.
    bool rebuilding = false;

    // The DPI the window is laid out for, the one it was created at, and what the tree's and the
    // status bar's fonts were then; the fonts and icons made for another DPI, owned.
    int dpi = 96;
    int creationDpi = 96;
    LOGFONTW treeFontAtCreation = {};
    LOGFONTW statusFontAtCreation = {};
    HFONT treeFont = nullptr;
    HFONT statusFont = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;

    CMainLayout layout;
    std::size_t statusStrip = 0;
    std::size_t findStrip = 0; // no height while the find bar is closed
    CSplitter splitter;
    CStatusBar statusBar;
    HWND paneFocus = nullptr;      // the pane's control that had the focus when it went to the tree
    bool pageUpToDate = false;     // the homepage file holds the page of the project as it is
    bool restoreMaximized = false; // the window was maximised at the last quit

    // A paste or drop whose nodes cost more bytes than this (about 5,000 nodes) has the tree
    // rebuilt once after it rather than followed item by item (undo and redo: rebuildStepAbove).
    static constexpr std::size_t kRebuildAboveBytes = 1u << 20;
    CTreeDrag drag{*this};
    CTreeDropTarget* dropTarget = nullptr; // one reference held; registered with the tree

    // The run's project file and recovery.
    bool recoveryArmed = false; // the recovery timer runs
    // Counts the changes; `recoveryHolds` is the count the recovery file holds.
    std::uint64_t changeCount = 0;
    std::uint64_t recoveryHolds = 0;
    std::vector<std::wstring> handedOver; // command lines waiting for onHandover
};

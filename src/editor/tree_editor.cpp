#include "editor/tree_editor.h"

#include "model/item.h"
#include "model/project.h"
#include "model/tags.h"
#include "resources/resource.h"
#include "services/project_store.h"
#include "winui/controls.h"
#include "winui/module.h"

#include <commctrl.h>

#include <cstring>

namespace {

// Clears a pointer when the scope ends, also when an exception passes.
class CResetOnExit
{
public:
    explicit CResetOnExit(TreeItemData*& pointer) : pointer(pointer) {}
    ~CResetOnExit() { pointer = nullptr; }
    CResetOnExit(const CResetOnExit&) = delete;
    CResetOnExit& operator=(const CResetOnExit&) = delete;

private:
    TreeItemData*& pointer;
};

// A loaded menu resource, destroyed with the scope.
class CMenuResource
{
public:
    explicit CMenuResource(UINT id) : menu(::LoadMenuW(ModuleInstance(), MAKEINTRESOURCEW(id))) {}
    ~CMenuResource()
    {
        if (menu) ::DestroyMenu(menu);
    }
    CMenuResource(const CMenuResource&) = delete;
    CMenuResource& operator=(const CMenuResource&) = delete;
    HMENU Get() const { return menu; }

private:
    HMENU menu;
};

} // namespace

CfrmTreeEditor::CfrmTreeEditor(CProject& project)
    : changes(project), projectPane(changes), columnPane(changes), groupPane(changes),
      linkPane(changes), formPane(changes), findBar(*this), linkCheck(changes, *this),
      iconFetch(changes, *this), project(&project)
{
    changes.SetObserver(this);
}

CfrmTreeEditor::~CfrmTreeEditor()
{
    if (mainWindow && ::IsWindow(mainWindow)) {
        // The records go with this object; the tree view's deletions need not release them.
        rebuilding = true;
        ::DestroyWindow(mainWindow);
    }
    if (dropTarget) {
        // OLE may still hold a reference: it finds no editor behind it.
        dropTarget->Detach();
        dropTarget->Release();
    }
    // Made for another DPI; the windows that used them are gone.
    for (HGDIOBJ font : {treeFont, statusFont}) {
        if (font) ::DeleteObject(font);
    }
    for (HICON icon : {bigIcon, smallIcon}) {
        if (icon) ::DestroyIcon(icon);
    }
}

bool CfrmTreeEditor::Create()
{
    HINSTANCE instance = ModuleInstance();
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
    windowClass.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLOMERE),
                                                        IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                        ::GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLOMERE), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.lpszClassName = kWindowClass;
    if (!::RegisterClassExW(&windowClass)) {
        // The class keeps no icons it was not registered with.
        const DWORD error = ::GetLastError();
        if (windowClass.hIcon) ::DestroyIcon(windowClass.hIcon);
        if (windowClass.hIconSm) ::DestroyIcon(windowClass.hIconSm);
        // A class left over from an earlier window of this process (tests create several) is
        // fine.
        if (error != ERROR_CLASS_ALREADY_EXISTS) return false;
    }

    mainWindow =
        ::CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, L"Quillomere", WS_OVERLAPPEDWINDOW,
                          CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    if (!mainWindow) return false;
    ::SetWindowLongPtrW(mainWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    dpi = creationDpi = winui::WindowDpi(mainWindow);
    RestorePlacement();

    // Child, visible, buttons, lines, lines at the root, selection shown always; no tab stop:
    // the window's own key handling leads Tab between the tree and the visible pane.
    const DWORD treeStyle =
        WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    treeView = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", treeStyle, 0, 0, treeWidth, 0,
                                 mainWindow, nullptr, instance, nullptr);
    if (!treeView) return false;
    treeFontAtCreation = winui::FontOf(treeView);
    labels.Attach(treeView);
    // Links and files dragged from other programs; without OLE on this thread the tree simply
    // takes no drops.
    dropTarget = new CTreeDropTarget(*this);
    ::RegisterDragDrop(treeView, dropTarget);

    for (CdlgPropBase* pane : Panes()) {
        if (!pane->Create(mainWindow)) return false;
    }
    // Hidden until Ctrl+F.
    if (!findBar.Create(mainWindow)) return false;
    return CreateWindowParts();
}

LRESULT CALLBACK CfrmTreeEditor::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CfrmTreeEditor*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    // No exception may unwind into the system's message dispatch.
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT CfrmTreeEditor::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnDragMessage(message, wParam, lParam)) return 0;
    if (OnWindowMessage(message, wParam, lParam, result)) return result;
    if (OnRunMessage(message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_DESTROY:
        drag.Cancel();
        // The results windows are not owned by this window: they go with it all the same.
        linkCheck.Destroy();
        iconFetch.Destroy();
        // Before the tree goes: the registration holds a reference to the target.
        if (treeView) ::RevokeDragDrop(treeView);
        return ::DefWindowProcW(mainWindow, message, wParam, lParam);
    case WM_CLOSE:
        Close();
        return 0;
    case WM_COMMAND:
        Dispatch(LOWORD(wParam));
        return 0;
    case WM_CONTEXTMENU:
        // From the keyboard (the point is -1, -1) for the tree: its selected item.
        if (reinterpret_cast<HWND>(wParam) == treeView && lParam == -1) {
            ShowContextMenuForSelection();
            return 0;
        }
        return ::DefWindowProcW(mainWindow, message, wParam, lParam);
    case WM_INITMENUPOPUP:
        UpdateEditMenu(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && treeView && header->hwndFrom == treeView) return OnTreeNotify(*header);
        return 0;
    }
    case WM_SIZE:
        Layout();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(mainWindow, focus)) lastFocus = focus;
        } else {
            Activated();
        }
        return ::DefWindowProcW(mainWindow, message, wParam, lParam);
    case WM_SETFOCUS:
        FocusChild();
        return 0;
    case kBrowserLaunched:
        BrowserLaunched(wParam, lParam != 0);
        return 0;
    default:
        return ::DefWindowProcW(mainWindow, message, wParam, lParam);
    }
}

LRESULT CfrmTreeEditor::OnTreeNotify(const NMHDR& header)
{
    switch (header.code) {
    case TVN_SELCHANGEDW: {
        // Typing into another node is another step.
        changes.Seal();
        renameSession = RenameSession();
        const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
        ShowPaneFor(reinterpret_cast<const TreeItemData*>(change.itemNew.lParam));
        return 0;
    }
    case TVN_DELETEITEMW: {
        const auto& deletion = reinterpret_cast<const NMTREEVIEWW&>(header);
        ReleaseRecord(reinterpret_cast<TreeItemData*>(deletion.itemOld.lParam));
        return 0;
    }
    case NM_RCLICK:
        return ShowContextMenu();
    case TVN_BEGINDRAGW:
        BeginDrag(reinterpret_cast<const NMTREEVIEWW&>(header));
        return 0;
    case TVN_KEYDOWN:
        return OnTreeKey(reinterpret_cast<const NMTVKEYDOWN&>(header));
    default:
        return 0;
    }
}

void CfrmTreeEditor::Dispatch(int command)
{
    TreeItemData* acting = contextRecord ? contextRecord : SelectedRecord();
    // Any command ends the typing of one step, and what Escape would put back after F2.
    changes.Seal();
    if (command != IDM_RENAME) renameSession = RenameSession();
    switch (command) {
    case IDM_ADD_COLUMN:
        AddColumn(acting);
        break;
    case IDM_SAVE:
        Save();
        break;
    case IDM_ADD_GROUP:
        AddGroup(acting);
        break;
    case IDM_GENERATE:
        GenerateHomepage();
        break;
    case IDM_ADD_LINK:
        AddItem(acting, false);
        break;
    case IDM_ADD_FORM:
        AddItem(acting, true);
        break;
    case IDM_EXIT:
        Close();
        break;
    case IDM_REFRESH:
        Populate();
        break;
    case IDM_MOVE_UP:
        MoveUp(acting);
        break;
    case IDM_MOVE_DOWN:
        MoveDown(acting);
        break;
    case IDM_DELETE:
        Delete(acting);
        break;
    case IDM_READ_HTML:
        ReadHtmlFile();
        break;
    case IDM_PREVIEW:
        Preview();
        break;
    case IDM_UNDO:
        UndoOrRedo(true);
        break;
    case IDM_REDO:
        UndoOrRedo(false);
        break;
    case IDM_FIND:
        OpenFind();
        break;
    case IDM_FIND_NEXT:
        FindAgain(true);
        break;
    case IDM_FIND_PREVIOUS:
        FindAgain(false);
        break;
    case IDM_RENAME:
        Rename();
        break;
    // From the Edit menu, an edit box with the focus takes them for its text.
    case IDM_CUT:
        if (contextRecord || !EditBoxCommand(command)) Cut(acting);
        break;
    case IDM_COPY:
        if (contextRecord || !EditBoxCommand(command)) Copy(acting);
        break;
    case IDM_PASTE:
        if (contextRecord || !EditBoxCommand(command)) Paste(acting);
        break;
    case IDM_CHECK_LINKS:
        linkCheck.Start(mainWindow);
        break;
    case IDM_FETCH_ICONS:
        iconFetch.Start(mainWindow);
        break;
    case IDM_EXPORT_BOOKMARKS:
        ExportBookmarks();
        break;
    case IDM_OPTIONS:
        ShowOptions();
        break;
    // Enter and Escape, as the dialog navigation reports them: they act in the find bar only.
    case IDOK:
        if (FocusInFindBar()) Find(true, false);
        break;
    case IDCANCEL:
        if (drag.Active())
            drag.Cancel();
        else if (FocusInFindBar())
            CloseFind();
        break;
    default:
        OnWindowCommand(command);
        break;
    }
}

LRESULT CfrmTreeEditor::ShowContextMenu()
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    TVHITTESTINFO hit = {};
    hit.pt = cursor;
    ::ScreenToClient(treeView, &hit.pt);
    auto* item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(treeView, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (TreeItemData* record = RecordOf(item)) RunContextMenu(record, cursor);
    // Handled: the tree view sends no WM_CONTEXTMENU after it.
    return -1;
}

void CfrmTreeEditor::ShowContextMenuForSelection()
{
    TreeItemData* record = SelectedRecord();
    if (!record) return;
    // Below the start of the item's text, the item scrolled into view first.
    ::SendMessageW(treeView, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(record->item));
    RECT text = {};
    std::memcpy(&text, &record->item, sizeof record->item); // the item goes in the rectangle
    if (!::SendMessageW(treeView, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text))) return;
    POINT at = {text.left, text.bottom};
    ::ClientToScreen(treeView, &at);
    RunContextMenu(record, at);
}

void CfrmTreeEditor::RunContextMenu(TreeItemData* record, POINT screen)
{
    // The tree's selection stays as it is while the menu is open: the command acts on the item
    // the menu is for, and a command that leaves its node in place selects it afterwards.
    contextRecord = record;
    const std::int32_t kind = record->kind;
    const CStreamable* node = record->node;
    int command = 0;
    {
        CResetOnExit resetContext(contextRecord);
        CMenuResource menu(IDR_CONTEXTMENU);
        HMENU popup = ::GetSubMenu(menu.Get(), 0);
        if (!popup) return;
        const UINT gray = MF_BYCOMMAND | MF_GRAYED;
        if (kind == kNodeProject) {
            ::EnableMenuItem(popup, IDM_ADD_GROUP, gray);
            ::EnableMenuItem(popup, IDM_CUT, gray);
            ::EnableMenuItem(popup, IDM_COPY, gray);
        }
        if (kind == kNodeProject || kind == kNodeColumn) {
            ::EnableMenuItem(popup, IDM_ADD_LINK, gray);
            ::EnableMenuItem(popup, IDM_ADD_FORM, gray);
        }
        command = static_cast<int>(
            ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                             screen.x, screen.y, 0, mainWindow, nullptr));
        if (command) Dispatch(command);
    }
    // Add selects the new node itself; a moved or copied node is selected here.
    if (command == IDM_MOVE_UP || command == IDM_MOVE_DOWN || command == IDM_COPY) {
        if (const TreeItemData* acted = records.Find(kind, node))
            ::SendMessageW(treeView, TVM_SELECTITEM, TVGN_CARET,
                           reinterpret_cast<LPARAM>(acted->item));
    }
}

CdlgPropBase* CfrmTreeEditor::PaneFor(const TreeItemData* record)
{
    switch (record ? record->kind : -1) {
    case kNodeProject:
        return &projectPane;
    case kNodeColumn:
        return &columnPane;
    case kNodeGroup:
        return &groupPane;
    case kNodeItem: {
        std::uint32_t tag = static_cast<const CItem*>(record->node)->GetTag();
        if (tag == tags::kItemForm) return &formPane;
        if (tag == tags::kItemLink) return &linkPane;
        return nullptr;
    }
    default:
        return nullptr;
    }
}

void CfrmTreeEditor::ShowPaneFor(const TreeItemData* record)
{
    CdlgPropBase* shown = PaneFor(record);
    for (CdlgPropBase* pane : Panes())
        ::ShowWindow(pane->Window(), SW_HIDE);
    if (shown) ::ShowWindow(shown->Window(), SW_SHOW);
    // A hidden control keeps the focus (the panes' creation leaves it in one), and keys would
    // go to it unseen: the tree takes it.
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(mainWindow, focus) && !::IsWindowVisible(focus)) ::SetFocus(treeView);
    // Shown first, bound second.
    if (shown) shown->SetNode(record->node);
}

void CfrmTreeEditor::FocusChild()
{
    HWND target = treeView;
    if (lastFocus && ::IsChild(mainWindow, lastFocus) && ::IsWindowVisible(lastFocus) &&
        ::IsWindowEnabled(lastFocus))
        target = lastFocus;
    if (target) ::SetFocus(target);
}

void CfrmTreeEditor::Close()
{
    if (!ConfirmQuit()) return;
    // Whatever the answer, the changes are saved or given up: nothing is left to recover.
    DiscardRecoveryOfRun();
    // A check that runs winds down while the windows go.
    linkCheck.Cancel();
    // A fetch that runs is abandoned: quitting does not wait for its servers.
    iconFetch.Close();
    StorePlacement();
    ::DestroyWindow(mainWindow);
}

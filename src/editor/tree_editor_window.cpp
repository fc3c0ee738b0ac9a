// The main window beyond the tree and the panes: the splitter, the status bar, the minimum size,
// the remembered placement, the keyboard between tree and pane, Help and About.
#include "editor/tree_editor.h"

#include "editor/about_dialog.h"
#include "editor/keyboard_navigation.h"
#include "editor/window_placement.h"
#include "model/project.h"
#include "resources/resource.h"
#include "services/help.h"
#include "services/paths.h"
#include "services/status_texts.h"
#include "winui/controls.h"
#include "winui/module.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace {

// At 96 DPI; scaled to the screen's.
const int kSplitterWidth = 5;
const int kTreeMinimum = 120;
const int kPaneReserve = 240;

bool KeyDown(int key)
{
    return ::GetKeyState(key) < 0;
}

} // namespace

CfrmTreeEditor* CfrmTreeEditor::FromWindow(HWND window)
{
    if (!window ||
        ::GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(WindowProc))
        return nullptr;
    return reinterpret_cast<CfrmTreeEditor*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void CfrmTreeEditor::RestorePlacement()
{
    SavedPlacement saved;
    if (!LoadPlacement(saved)) return;
    if (saved.treeShare > 0) {
        treeShare = saved.treeShare;
    } else if (saved.treeWidth > 0) {
        // An older run kept pixels: the share they were of the window it left.
        RECT frame = {};
        ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(mainWindow, GWL_STYLE)),
                             TRUE, static_cast<DWORD>(::GetWindowLongW(mainWindow, GWL_EXSTYLE)));
        const int clientWidth =
            (saved.normal.right - saved.normal.left) - (frame.right - frame.left);
        if (const int share = CMainLayout::ShareOfTree(saved.treeWidth, clientWidth))
            treeShare = share;
    }
    // A window on a monitor that is gone would be out of reach: it gets the default place.
    if (!IsOnAMonitor(saved.normal)) return;
    ApplyPlacement(mainWindow, saved);
    restoreMaximized = saved.maximized;
}

void CfrmTreeEditor::StorePlacement()
{
    SavePlacement(PlacementOf(mainWindow, treeWidth, treeShare));
}

int CfrmTreeEditor::ShowCommandFor(int requested) const
{
    if (restoreMaximized &&
        (requested == SW_SHOWNORMAL || requested == SW_SHOWDEFAULT || requested == SW_SHOW))
        return SW_SHOWMAXIMIZED;
    return requested;
}

bool CfrmTreeEditor::CreateWindowParts()
{
    if (!statusBar.Create(mainWindow, IDC_STATUS_BAR)) return false;
    statusFontAtCreation = winui::FontOf(statusBar.Window());
    UpdateMetrics();
    SetCueBanners();
    statusStrip = layout.AddStrip(CMainLayout::Edge::Bottom, statusBar.Height());
    // Above the status bar, as tall as the find bar while it is open.
    findStrip = layout.AddStrip(CMainLayout::Edge::Bottom, 0);

    // Whether the homepage file already shows the project as it starts.
    pageUpToDate = PageShowsProject();
    Layout();
    statusBar.SetPageState(pageUpToDate);
    return true;
}

void CfrmTreeEditor::UpdateMetrics()
{
    MainLayoutMetrics metrics;
    metrics.splitterWidth = winui::ScaleForDpi(kSplitterWidth, dpi);
    metrics.treeMinimum = winui::ScaleForDpi(kTreeMinimum, dpi);
    metrics.paneReserve = winui::ScaleForDpi(kPaneReserve, dpi);
    // The panes' minima come from the controls' sizes, which the dialog font sets at this DPI.
    metrics.paneMinimumWidth = std::max(
        {linkPane.grid.MinimumWidth(), formPane.grid.MinimumWidth(), projectPane.MinimumWidth()});
    metrics.paneMinimumHeight =
        std::max({linkPane.grid.MinimumHeight(), formPane.grid.MinimumHeight(),
                  projectPane.MinimumHeight()});
    layout.SetMetrics(metrics);
}

void CfrmTreeEditor::ApplyDpi(int newDpi)
{
    if (newDpi <= 0 || newDpi == dpi) return;
    dpi = newDpi;
    // Each font is handed over before the one it replaces goes.
    if (HFONT font = winui::CreateFontForDpi(treeFontAtCreation, creationDpi, dpi)) {
        ::SendMessageW(treeView, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (treeFont) ::DeleteObject(treeFont);
        treeFont = font;
    }
    if (HFONT font = winui::CreateFontForDpi(statusFontAtCreation, creationDpi, dpi)) {
        statusBar.SetFont(font, dpi);
        if (statusFont) ::DeleteObject(statusFont);
        statusFont = font;
    }
    for (CdlgPropBase* pane : Panes())
        pane->ApplyDpi(dpi);
    findBar.ApplyDpi(dpi);
    UpdateMetrics();
    SetIcons();
    Layout();
    ::RedrawWindow(mainWindow, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CfrmTreeEditor::SetIcons()
{
    HINSTANCE instance = ModuleInstance();
    auto load = [this, instance](int width, int height) {
        return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLOMERE),
                                               IMAGE_ICON, winui::SystemMetricForDpi(width, dpi),
                                               winui::SystemMetricForDpi(height, dpi), 0));
    };
    HICON big = load(SM_CXICON, SM_CYICON);
    HICON small = load(SM_CXSMICON, SM_CYSMICON);
    if (big) ::SendMessageW(mainWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small) ::SendMessageW(mainWindow, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (big) {
        if (bigIcon) ::DestroyIcon(bigIcon);
        bigIcon = big;
    }
    if (small) {
        if (smallIcon) ::DestroyIcon(smallIcon);
        smallIcon = small;
    }
}

void CfrmTreeEditor::SetCueBanners()
{
    // The edits below a list have no label of their own: the grayed hint says what goes in.
    const struct
    {
        HWND pane;
        int id;
        const wchar_t* hint;
    } edits[] = {
        {linkPane.Window(), IDC_LINK_ROW_CAPTION, L"Caption of the further link"},
        {linkPane.Window(), IDC_LINK_ROW_URL, L"URL of the further link"},
        {formPane.Window(), IDC_FIELD_NAME, L"Field name"},
        {formPane.Window(), IDC_FIELD_VALUE, L"Field value"},
        {formPane.Window(), IDC_OPTION_NAME, L"Option name"},
        {formPane.Window(), IDC_OPTION_VALUE, L"Option value"},
    };
    for (const auto& edit : edits) {
        ::SendMessageW(::GetDlgItem(edit.pane, edit.id), EM_SETCUEBANNER, TRUE,
                       reinterpret_cast<LPARAM>(edit.hint));
    }
}

void CfrmTreeEditor::ProjectChanged()
{
    project->modified = true;
    SetPageUpToDate(false);
    ChangeForRecovery();
}

void CfrmTreeEditor::SetPageUpToDate(bool upToDate)
{
    if (upToDate == pageUpToDate) return;
    pageUpToDate = upToDate;
    statusBar.SetPageState(upToDate);
}

CMainLayout::Placement CfrmTreeEditor::CurrentPlacement() const
{
    RECT client = {};
    ::GetClientRect(mainWindow, &client);
    return layout.Place(client.right - client.left, client.bottom - client.top, treeWidth);
}

void CfrmTreeEditor::Layout()
{
    if (::IsIconic(mainWindow)) return;
    RECT client = {};
    ::GetClientRect(mainWindow, &client);
    // The tree keeps its share of the width, within its limits.
    treeWidth = layout.TreeWidthForShare(treeShare, client.right - client.left);
    PlaceParts();
}

void CfrmTreeEditor::PlaceParts()
{
    RECT client = {};
    ::GetClientRect(mainWindow, &client);
    statusBar.Resize(client.right - client.left);
    // The bar's height follows its font.
    layout.SetStripHeight(statusStrip, statusBar.Height());
    layout.SetStripHeight(findStrip, findBar.IsOpen() ? findBar.Height() : 0);
    const CMainLayout::Placement placement = CurrentPlacement();

    HDWP batch = ::BeginDeferWindowPos(10);
    auto place = [&batch](HWND window, const LayoutBox& box) {
        // A failed step frees the batch; windows not created yet are left out.
        if (batch && window)
            batch = ::DeferWindowPos(batch, window, nullptr, box.left, box.top, box.Width(),
                                     box.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(treeView, placement.tree);
    for (const CdlgPropBase* pane : Panes())
        place(pane->Window(), placement.pane);
    if (findBar.IsOpen()) place(findBar.Window(), placement.strips[findStrip]);
    if (batch) ::EndDeferWindowPos(batch);
    const LayoutBox& bar = placement.splitter;
    RECT barRect = {bar.left, bar.top, bar.right, bar.bottom};
    ::InvalidateRect(mainWindow, &barRect, FALSE);
}

bool CfrmTreeEditor::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_GETMINMAXINFO: {
        RECT frame = {0, 0, layout.MinimumClientWidth(), layout.MinimumClientHeight()};
        winui::AdjustWindowRectForDpi(
            frame, static_cast<DWORD>(::GetWindowLongW(mainWindow, GWL_STYLE)), true,
            static_cast<DWORD>(::GetWindowLongW(mainWindow, GWL_EXSTYLE)), dpi);
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = frame.right - frame.left;
        info->ptMinTrackSize.y = frame.bottom - frame.top;
        return true;
    }
    case WM_DPICHANGED: {
        // Moved to a monitor of another DPI (or its DPI changed): laid out for it, then put where
        // the system suggests, which keeps the window's size in proportion.
        ApplyDpi(HIWORD(wParam));
        if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
            ::SetWindowPos(mainWindow, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        return true;
    }
    case WM_SETCURSOR: {
        if (reinterpret_cast<HWND>(wParam) != mainWindow || LOWORD(lParam) != HTCLIENT)
            return false;
        POINT at = {};
        ::GetCursorPos(&at);
        ::ScreenToClient(mainWindow, &at);
        if (!CSplitter::SetCursorOver(CurrentPlacement().splitter, at)) return false;
        result = TRUE;
        return true;
    }
    case WM_LBUTTONDOWN: {
        const int x = GET_X_LPARAM(lParam);
        if (!CurrentPlacement().splitter.Contains(x, GET_Y_LPARAM(lParam))) return false;
        splitter.Begin(mainWindow, x, treeWidth);
        return true;
    }
    case WM_MOUSEMOVE: {
        if (!splitter.Dragging()) return false;
        RECT client = {};
        ::GetClientRect(mainWindow, &client);
        const int wanted = layout.TreeWidthForDrag(splitter.WantedTreeWidth(GET_X_LPARAM(lParam)),
                                                   client.right - client.left);
        if (wanted != treeWidth) {
            // Live: the tree and the pane follow the mouse.
            treeWidth = wanted;
            treeShare = CMainLayout::ShareOfTree(wanted, client.right - client.left);
            PlaceParts();
            ::UpdateWindow(mainWindow);
        }
        return true;
    }
    case WM_LBUTTONUP:
        if (!splitter.Dragging()) return false;
        splitter.End();
        return true;
    case WM_CAPTURECHANGED:
        if (splitter.Dragging() && reinterpret_cast<HWND>(lParam) != mainWindow) splitter.End();
        return true;
    case WM_PAINT:
        CSplitter::Paint(mainWindow, CurrentPlacement().splitter);
        return true;
    default:
        return false;
    }
}

bool CfrmTreeEditor::OnWindowCommand(int command)
{
    switch (command) {
    case IDM_NEXT_PANE:
    case IDM_PREVIOUS_PANE: {
        // Two places take the focus in turn, so both keys go to the other one.
        CdlgPropBase* pane = ShownPane();
        if (pane && keyboard::PaneChildOf(pane->Window(), ::GetFocus()))
            FocusTree();
        else
            FocusPane();
        return true;
    }
    case IDM_HELP:
        if (!ShowHelpPage({mainWindow, kBrowserLaunched, kHelpLaunch}))
            statusBar.SetOutcome(BrowserPageNotWrittenText(true, HelpFilePath()));
        return true;
    case IDM_ABOUT: {
        CdlgAbout about(mainWindow);
        about.Run();
        return true;
    }
    default:
        return false;
    }
}

CdlgPropBase* CfrmTreeEditor::ShownPane()
{
    for (CdlgPropBase* pane : Panes()) {
        if (pane->Window() && (::GetWindowLongW(pane->Window(), GWL_STYLE) & WS_VISIBLE))
            return pane;
    }
    return nullptr;
}

void CfrmTreeEditor::FocusTree()
{
    if (CdlgPropBase* pane = ShownPane()) {
        if (HWND child = keyboard::PaneChildOf(pane->Window(), ::GetFocus())) paneFocus = child;
    }
    ::SetFocus(treeView);
}

void CfrmTreeEditor::FocusPane()
{
    CdlgPropBase* pane = ShownPane();
    if (!pane) return;
    std::vector<HWND> stops = keyboard::TabStops(pane->Window());
    if (stops.empty()) return;
    // Back to the control that was left, when it still takes the focus.
    HWND target =
        std::find(stops.begin(), stops.end(), paneFocus) != stops.end() ? paneFocus : stops.front();
    keyboard::FocusLikeTab(target);
}

bool CfrmTreeEditor::PreTranslateKey(const MSG& message)
{
    // Shift+F10 (a system key) and the Menu key open the tree's context menu for the selected
    // item. Both of the Menu key's messages are taken, so that no default handling of the key
    // opens it a second time.
    if (message.hwnd == treeView && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
        const bool shiftF10 = (message.message == WM_SYSKEYDOWN || message.message == WM_KEYDOWN) &&
                              message.wParam == VK_F10 && KeyDown(VK_SHIFT);
        const bool menuKey = message.message == WM_KEYDOWN && message.wParam == VK_APPS;
        if (shiftF10 || menuKey) {
            ShowContextMenuForSelection();
            return true;
        }
        if (message.message == WM_KEYUP && message.wParam == VK_APPS) return true;
        if (message.message == WM_SYSKEYUP && message.wParam == VK_F10 && KeyDown(VK_SHIFT))
            return true;
    }
    if (message.message != WM_KEYDOWN || KeyDown(VK_CONTROL) || KeyDown(VK_MENU)) return false;
    HWND focus = ::GetFocus();
    CdlgPropBase* pane = ShownPane();
    HWND paneWindow = pane ? pane->Window() : nullptr;
    HWND inPane = keyboard::PaneChildOf(paneWindow, focus);

    if (message.wParam == VK_ESCAPE) {
        if (!inPane) return false;
        // A control that uses the key itself (an open drop-down list closes on it) keeps it.
        MSG copy = message;
        if (::SendMessageW(focus, WM_GETDLGCODE, VK_ESCAPE, reinterpret_cast<LPARAM>(&copy)) &
            (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))
            return false;
        // After F2 and typing, the name goes back to what it was.
        CancelRename();
        FocusTree();
        return true;
    }
    if (message.wParam != VK_TAB) return false;
    const bool back = KeyDown(VK_SHIFT);
    if (focus == treeView) {
        // The tree has no tab stop of its own: Tab goes into the pane at its first control,
        // Shift+Tab at its last.
        std::vector<HWND> stops = keyboard::TabStops(paneWindow);
        if (!stops.empty()) keyboard::FocusLikeTab(back ? stops.back() : stops.front());
        return true;
    }
    if (!inPane) return false;
    std::vector<HWND> stops = keyboard::TabStops(paneWindow);
    // From the pane's last control on (or its first one back) to the tree.
    if (stops.empty() || inPane == (back ? stops.front() : stops.back())) {
        ::SetFocus(treeView);
        return true;
    }
    return false;
}

bool CfrmTreeEditor::TranslateOwnedWindowKey(MSG& message)
{
    return linkCheck.TranslateKey(message) || iconFetch.TranslateKey(message);
}

LRESULT CfrmTreeEditor::OnTreeKey(const NMTVKEYDOWN& key)
{
    const bool control = KeyDown(VK_CONTROL), alt = KeyDown(VK_MENU), shift = KeyDown(VK_SHIFT);
    // The plain Delete key deletes the selected node, asking first, as Ctrl+Del does.
    if (key.wVKey == VK_DELETE && !control && !alt && !shift) Dispatch(IDM_DELETE);
    if (key.wVKey == VK_ESCAPE && drag.Active()) {
        drag.Cancel();
        return 1;
    }
    // Ctrl+X, C and V act on nodes while the tree has the focus; they are no accelerators, so
    // that an edit box keeps them for its text. Nonzero keeps them out of the tree's search.
    if (control && !alt && !shift) {
        const int command = key.wVKey == 'X'   ? IDM_CUT
                            : key.wVKey == 'C' ? IDM_COPY
                            : key.wVKey == 'V' ? IDM_PASTE
                                               : 0;
        if (command) {
            // The tree has the focus and no context menu is open: the command acts on the
            // selection.
            Dispatch(command);
            return 1;
        }
    }
    return 0;
}

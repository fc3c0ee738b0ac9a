// Timing of the tree's Refresh (Populate) against the floor a bare tree view sets, run by hand
// under Wine. A project of 10,000 (and 50,000) items shown in the editor's window is refreshed,
// and a bare tree view of the same size in a window of its own takes as many items with its
// drawing off (insert + expand, in the editor's order: each item at the front of its siblings,
// the containers expanded after their children, the root last), and lets them go again (delete
// all). The runs are interleaved so that each sees the same load of the machine. Prints medians
// in milliseconds and Refresh's ratio to the bare insert + expand.
//
//     scripts/wine-exec build/windows/bench/gui/populate_timing.exe
#include "editor/tree_editor.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "timing_support.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Shape
{
    const char* name;
    int columns, groups, items, runs;
    std::size_t Nodes() const
    {
        return 1 + static_cast<std::size_t>(columns) * (1 + groups * (1 + items));
    }
};

void Build(CProject& project, const Shape& shape)
{
    project.DeleteChildren();
    project.title = L"Generated";
    for (int c = 0; c < shape.columns; ++c) {
        auto* column = new CColumn(project, L"Column " + std::to_wstring(c));
        for (int g = 0; g < shape.groups; ++g) {
            auto* group = new CGroup(*column, L"Group " + std::to_wstring(g));
            for (int i = 0; i < shape.items; ++i) {
                if (i % 5 == 4) {
                    auto* form = new CItemForm(*group);
                    form->name = L"Form " + std::to_wstring(i);
                } else {
                    new CItemLink(*group, L"Link " + std::to_wstring(i), L"https://example.com/");
                }
            }
        }
    }
}

HTREEITEM InsertFirst(HWND tree, HTREEITEM parent, const wchar_t* text, LPARAM data)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_FIRST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void Expand(HWND tree, HTREEITEM item)
{
    ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

// The bare tree view: the same labels, inserted and expanded as the editor does it, drawing off.
// Returns the time to insert, expand and turn the drawing back on; `drawingOn` gets the last
// part alone (Wine's tree view then measures and orders every item), `removal` the time of
// deleting them all afterwards.
double BareFill(const CProject& project, SIZE size, double& drawingOn, double& removal)
{
    HWND frame = ::CreateWindowExW(0, L"STATIC", L"bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
    HWND tree = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", 0x50000027, 0, 0, 300,
                                  size.cy - 80, frame, nullptr, nullptr, nullptr);
    Pump();
    const double start = Now();
    ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    HTREEITEM root = InsertFirst(tree, TVI_ROOT, project.title.c_str(), 1);
    std::vector<HTREEITEM> columnItems(project.columns.size());
    std::vector<std::pair<HTREEITEM, const CGroup*>> groupItems;
    for (std::size_t c = project.columns.size(); c-- > 0;)
        columnItems[c] = InsertFirst(tree, root, project.columns[c]->caption.c_str(), 1);
    for (std::size_t c = 0; c < project.columns.size(); ++c) {
        const auto& groups = project.columns[c]->groups;
        const std::size_t first = groupItems.size();
        groupItems.resize(first + groups.size());
        for (std::size_t g = groups.size(); g-- > 0;)
            groupItems[first + g] = {
                InsertFirst(tree, columnItems[c], groups[g]->caption.c_str(), 1), groups[g]};
    }
    for (const auto& group : groupItems) {
        const auto& items = group.second->items;
        for (std::size_t i = items.size(); i-- > 0;)
            InsertFirst(tree, group.first, items[i]->GetLabel().c_str(), 1);
    }
    for (const auto& group : groupItems)
        Expand(tree, group.first);
    for (HTREEITEM column : columnItems)
        Expand(tree, column);
    Expand(tree, root);
    const double inserted = Now();
    ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    const double elapsed = Now() - start;
    drawingOn = Now() - inserted;
    Pump();
    const double deleteStart = Now();
    ::SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    removal = Now() - deleteStart;
    ::DestroyWindow(frame);
    Pump();
    return elapsed;
}

void Run(const Shape& shape)
{
    CProject project;
    Build(project, shape);
    CfrmTreeEditor editor(project);
    if (!editor.Create()) {
        std::printf("the windows could not be created\n");
        return;
    }
    ::SetWindowPos(editor.MainWindow(), nullptr, 0, 0, 1000, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    editor.Populate();
    ::ShowWindow(editor.MainWindow(), SW_SHOWNORMAL);
    Pump();
    RECT bounds = {};
    ::GetWindowRect(editor.MainWindow(), &bounds);
    const SIZE size = {bounds.right - bounds.left, bounds.bottom - bounds.top};

    std::vector<double> bare, bareDrawing, bareDelete, refresh, firstFill;
    for (int run = 0; run < shape.runs; ++run) {
        double drawingOn = 0, removal = 0;
        bare.push_back(BareFill(project, size, drawingOn, removal));
        bareDrawing.push_back(drawingOn);
        bareDelete.push_back(removal);
        double start = Now();
        editor.Populate();
        refresh.push_back(Now() - start);
        Pump();
    }
    // The first fill, into an empty tree of a window not shown yet (as at start-up).
    for (int run = 0; run < 3; ++run) {
        CfrmTreeEditor fresh(project);
        if (!fresh.Create()) break;
        const double start = Now();
        fresh.Populate();
        firstFill.push_back(Now() - start);
        Pump();
    }
    const double floor = Median(bare);
    std::printf("%-26s %8zu %10.1f %10.1f %10.1f %10.1f %10.1f %8.2fx\n", shape.name, shape.Nodes(),
                floor, Median(bareDrawing), Median(bareDelete), Median(refresh),
                firstFill.empty() ? 0.0 : Median(firstFill), Median(refresh) / floor);
    std::fflush(stdout);
}

} // namespace

int wmain()
{
    // A desktop of its own, as the other timing programs use: under Wine a virtual desktop.
    const std::wstring desktopName = L"quillomere-timing";
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        const wchar_t size[] = L"1280x1024";
        ::RegSetValueExW(key, desktopName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(size),
                         sizeof size);
        ::RegCloseKey(key);
    }
    HDESK desktop =
        ::CreateDesktopW(desktopName.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop) ::SetThreadDesktop(desktop);
    ::InitCommonControls();
    // bare fill: insert + expand with the drawing off and the drawing back on (that part alone in
    // the next column: Wine's tree view then measures and orders every item); bare delete: all of
    // them deleted again; refresh: the editor's Populate of its shown, filled tree; first fill:
    // Populate into the empty tree of a window not yet shown, as at start-up.
    std::printf("%-26s %8s %10s %10s %10s %10s %10s %9s\n", "project", "nodes", "bare fill",
                "drawing on", "bare del", "refresh", "first fill", "ratio");
    std::printf("%-26s %8s %10s %10s %10s %10s %10s %9s\n", "", "", "(ms)", "(ms)", "(ms)", "(ms)",
                "(ms)", "refresh/bare fill");
    const Shape shapes[] = {{"10k nodes, 20 x 20 x 24", 20, 20, 24, 11},
                            {"50k nodes, 25 x 40 x 49", 25, 40, 49, 5}};
    for (const Shape& shape : shapes)
        Run(shape);
    if (desktop) ::CloseDesktop(desktop);
    return 0;
}

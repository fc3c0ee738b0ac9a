// Timing of the editor's tree under Wine, run by hand: filling the tree from generated projects
// of 10,000 and 50,000 nodes (against a raw tree view filled the plain way), a keystroke's label
// update with the paint it causes, deleting a column of 2,000 nodes, and the whole program from
// process start to its shown, filled window; with `undo`, undoing and redoing a deleted column
// and a Read HTML file, and a find without a match; with `move`, cutting and pasting a column of
// 2,000 nodes through the clipboard and moving it by a drop; with `recovery`, what writing the
// recovery file costs the window's thread at 10,000 and 50,000 nodes (the copy in memory), beside
// the write that a thread of its own does, and the session end's write that the window waits
// for. Prints medians in milliseconds.
//
//     scripts/wine-exec build/windows/bench/gui/editor_timing.exe [startup | undo | move |
//     recovery]
#include "app/startup.h"
#include "edit/project_finder.h"
#include "editor/tree_editor.h"
#include "homepage/page_writer.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "resources/resource.h"
#include "services/paths.h"
#include "services/project_store.h"
#include "services/shell.h"
#include "timing_support.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Shape
{
    const char* name;
    int columns, groups, items;
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

// The plain way, for comparison: every item inserted at the end (TVI_LAST) in page order,
// each container expanded after its children, into a fresh visible tree view.
double RawFill(const Shape& shape)
{
    HWND frame = ::CreateWindowExW(0, L"STATIC", L"raw", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   900, 700, nullptr, nullptr, nullptr, nullptr);
    HWND tree = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", 0x50000027, 0, 0, 300, 700,
                                  frame, nullptr, nullptr, nullptr);
    Pump();
    auto insert = [tree](HTREEITEM parent, const wchar_t* text) {
        return InsertTreeItem(tree, parent, text);
    };
    auto expand = [tree](HTREEITEM item) {
        ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    };
    double start = Now();
    HTREEITEM root = insert(TVI_ROOT, L"Generated");
    for (int c = 0; c < shape.columns; ++c) {
        HTREEITEM column = insert(root, L"Column");
        for (int g = 0; g < shape.groups; ++g) {
            HTREEITEM group = insert(column, L"Group");
            for (int i = 0; i < shape.items; ++i)
                insert(group, L"Link item");
            expand(group);
        }
        expand(column);
    }
    expand(root);
    double elapsed = Now() - start;
    ::DestroyWindow(frame);
    Pump();
    return elapsed;
}

// Agrees to every question; the open-file dialog "chooses" `chosen` when it is set.
class CAgreeingShell : public IShell
{
public:
    int ShowMessage(HWND, const wchar_t*, const wchar_t*, UINT) override { return IDOK; }
    bool ChooseOpenFile(OPENFILENAMEW& dialog) override
    {
        if (chosen.empty() || chosen.size() >= dialog.nMaxFile) return false;
        std::copy(chosen.c_str(), chosen.c_str() + chosen.size() + 1, dialog.lpstrFile);
        return true;
    }
    bool ChooseSaveFile(OPENFILENAMEW&) override { return false; }
    bool Execute(SHELLEXECUTEINFOW&) override { return false; }

    std::wstring chosen;
};

void InProcess()
{
    CAgreeingShell shell;
    SetShellForTesting(&shell);
    const Shape shapes[] = {{"100 nodes, 3 x 4 x 7", 3, 4, 7},
                            {"10k nodes, 20 x 20 x 24", 20, 20, 24},
                            {"50k nodes, 25 x 40 x 49", 25, 40, 49},
                            {"10k items in one group", 1, 1, 10000},
                            {"50k items in one group", 1, 1, 50000}};
    std::printf("%-26s %8s %10s %11s %10s %12s %12s %12s %14s\n", "project", "nodes", "raw fill",
                "first fill", "refresh", "edit label", "edit other", "edit widest",
                "delete column");
    for (const Shape& shape : shapes) {
        const int runs = shape.Nodes() > 20000 ? 3 : 5;
        std::vector<double> raws;
        for (int i = 0; i < runs; ++i)
            raws.push_back(RawFill(shape));
        double raw = Median(raws);

        CProject project;
        Build(project, shape);
        std::vector<double> firsts, refreshes, labels, others, wides, deletes;
        std::vector<double> labelCpu, otherCpu, wideCpu;
        for (int run = 0; run < runs; ++run) {
            CfrmTreeEditor editor(project);
            if (!editor.Create()) {
                std::printf("the windows could not be created\n");
                return;
            }
            // At start the window is not shown yet.
            double start = Now();
            editor.Populate();
            firsts.push_back(Now() - start);
            ::ShowWindow(editor.MainWindow(), SW_SHOWNORMAL);
            Pump();
            start = Now();
            editor.Populate();
            refreshes.push_back(Now() - start);
            Pump();

            // One keystroke at a time: the pane changed a field and reports it, then the tree
            // paints what changed (it would at the next message otherwise). The label keeps a
            // width below the tree's, as most do; a label that is the tree's widest and grows
            // changes the horizontal scroll extent with every keystroke.
            CGroup* group = project.columns.back()->groups.back();
            auto* link = static_cast<CItemLink*>(group->items.front());
            const TreeItemData* record = editor.FindTreeItemData(kNodeItem, link);
            ::SendMessageW(editor.TreeView(), TVM_SELECTITEM, TVGN_CARET,
                           reinterpret_cast<LPARAM>(record->item));
            Pump();
            const std::wstring caption = link->mainLink.caption;
            const int keystrokes = 100;
            auto keystroke = [&](std::vector<double>& wall, std::vector<double>& cpu,
                                 const std::function<void(int)>& change) {
                for (int k = 0; k < keystrokes; ++k) {
                    change(k);
                    double startCpu = ThreadTime();
                    double begin = Now();
                    editor.NodeEdited(kNodeItem, link);
                    ::UpdateWindow(editor.TreeView());
                    wall.push_back(Now() - begin);
                    cpu.push_back(ThreadTime() - startCpu);
                    Pump();
                }
            };
            keystroke(labels, labelCpu, [&](int k) {
                link->mainLink.caption = caption + std::wstring(k % 16, L'x');
            });
            keystroke(others, otherCpu, [&](int) { link->mainLink.url += L'x'; });
            keystroke(wides, wideCpu, [&](int k) {
                link->mainLink.caption =
                    L"A caption wider than the tree view, typed on and on " + std::wstring(k, L'x');
            });
            link->mainLink.caption = caption;
            editor.NodeEdited(kNodeItem, link);
            Pump();

            if (shape.columns > 1) {
                // The column in the middle, selected, deleted with its 2,000 nodes.
                CColumn* column = project.columns[project.columns.size() / 2];
                const TreeItemData* record = editor.FindTreeItemData(kNodeColumn, column);
                ::SendMessageW(editor.TreeView(), TVM_SELECTITEM, TVGN_CARET,
                               reinterpret_cast<LPARAM>(record->item));
                Pump();
                start = Now();
                ::SendMessageW(editor.MainWindow(), WM_COMMAND, IDM_DELETE, 0);
                deletes.push_back(Now() - start);
                Pump();
                Build(project, shape);
            }
        }
        std::printf("%-26s %8zu %8.1f   %8.1f   %8.1f   %9.3f    %9.3f    %9.3f    %10.1f\n",
                    shape.name, shape.Nodes(), raw, Median(firsts), Median(refreshes),
                    Median(labels), Median(others), Median(wides),
                    deletes.empty() ? 0.0 : Median(deletes));
        std::printf("%-26s %8s %8s   %8s   %8s   %9.3f    %9.3f    %9.3f    (thread cpu, mean)\n",
                    "", "", "", "", "", Mean(labelCpu), Mean(otherCpu), Mean(wideCpu));
        std::fflush(stdout);
    }
    SetShellForTesting(nullptr);
}

// The time one command takes, its messages handled afterwards.
double TimeCommand(CfrmTreeEditor& editor, int command)
{
    double start = Now();
    ::SendMessageW(editor.MainWindow(), WM_COMMAND, command, 0);
    double elapsed = Now() - start;
    Pump();
    return elapsed;
}

// The project built in the shape, in a shown window; null when the windows could not be made.
std::unique_ptr<CfrmTreeEditor> ShowLarge(CProject& project, const Shape& shape)
{
    Build(project, shape);
    auto editor = std::make_unique<CfrmTreeEditor>(project);
    if (!editor->Create()) {
        std::printf("the windows could not be created\n");
        return nullptr;
    }
    editor->Populate();
    ::ShowWindow(editor->MainWindow(), SW_SHOWNORMAL);
    Pump();
    std::printf("%s, %zu nodes in the tree\n", shape.name, shape.Nodes());
    return editor;
}

void UndoTimes()
{
    CAgreeingShell shell;
    SetShellForTesting(&shell);
    const Shape large = {"50k nodes, 25 x 40 x 49", 25, 40, 49};
    const Shape page = {"10k nodes, 20 x 20 x 24", 20, 20, 24};
    // The page to read: without its <html> tag its columns are added to the project's.
    CProject source;
    Build(source, page);
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring pagePath = std::wstring(folder) + L"quillomere-undo-timing.html";
    {
        CMemoryStream memory;
        WritePage(source, memory);
        memory.Finish();
        std::string bytes(static_cast<std::size_t>(memory.Size()), '\0');
        memory.Read(&bytes[0], static_cast<std::int32_t>(bytes.size()));
        std::size_t at = bytes.find("<html");
        if (at != std::string::npos) bytes.replace(at, 5, "<xhtml");
        CFileStream file(pagePath, true);
        file.Write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    }

    CProject project;
    std::unique_ptr<CfrmTreeEditor> shown = ShowLarge(project, large);
    if (!shown) return;
    CfrmTreeEditor& editor = *shown;

    // The column in the middle, 2,001 nodes, deleted once; then undone and redone in turn.
    CColumn* column = project.columns[project.columns.size() / 2];
    const TreeItemData* record = editor.FindTreeItemData(kNodeColumn, column);
    ::SendMessageW(editor.TreeView(), TVM_SELECTITEM, TVGN_CARET,
                   reinterpret_cast<LPARAM>(record->item));
    Pump();
    std::vector<double> deletes, undos, redos;
    deletes.push_back(TimeCommand(editor, IDM_DELETE));
    for (int run = 0; run < 7; ++run) {
        undos.push_back(TimeCommand(editor, IDM_UNDO));
        redos.push_back(TimeCommand(editor, IDM_REDO));
    }
    std::printf("  delete a 2,001-node column   %8.1f ms (the step holds %zu KiB)\n", deletes[0],
                editor.changes.History().NextUndo()->Cost() >> 10);
    std::printf("  undo that delete (median)    %8.1f ms (min %.1f, max %.1f)\n", Median(undos),
                *std::min_element(undos.begin(), undos.end()),
                *std::max_element(undos.begin(), undos.end()));
    std::printf("  redo it (median)             %8.1f ms (min %.1f, max %.1f)\n", Median(redos),
                *std::min_element(redos.begin(), redos.end()),
                *std::max_element(redos.begin(), redos.end()));
    TimeCommand(editor, IDM_UNDO);

    // A page of 10,021 nodes read into it, then undone and redone: item by item, and with the
    // tree rebuilt, in turn, so that both see the same load on a shared machine.
    shell.chosen = pagePath;
    const std::size_t rebuildDefault = editor.rebuildStepAbove;
    std::vector<double> reads;
    reads.push_back(TimeCommand(editor, IDM_READ_HTML));
    const std::size_t columns = project.columns.size();
    const std::size_t readCost = editor.changes.History().NextUndo()->Cost();
    std::printf("  read HTML file, +%zu columns %8.1f ms (the step holds %zu KiB)\n",
                columns - large.columns, reads[0], readCost >> 10);
    struct Rule
    {
        const char* name;
        std::size_t rebuildAbove;
    };
    const Rule rules[] = {{"item by item", static_cast<std::size_t>(-1)}, {"rebuilt", 0}};
    std::vector<double> readUndos[2], readRedos[2];
    for (int run = 0; run < 4; ++run) {
        for (int r = 0; r < 2; ++r) {
            editor.rebuildStepAbove = rules[r].rebuildAbove;
            readUndos[r].push_back(TimeCommand(editor, IDM_UNDO));
            readRedos[r].push_back(TimeCommand(editor, IDM_REDO));
        }
    }
    for (int r = 0; r < 2; ++r) {
        std::printf("  undo the read, %-13s %8.1f ms (min %.1f, max %.1f)\n", rules[r].name,
                    Median(readUndos[r]),
                    *std::min_element(readUndos[r].begin(), readUndos[r].end()),
                    *std::max_element(readUndos[r].begin(), readUndos[r].end()));
        std::printf("  redo the read, %-13s %8.1f ms (min %.1f)\n", rules[r].name,
                    Median(readRedos[r]),
                    *std::min_element(readRedos[r].begin(), readRedos[r].end()));
    }
    std::fflush(stdout);
    editor.rebuildStepAbove = rebuildDefault;
    TimeCommand(editor, IDM_UNDO);
    ::DeleteFileW(pagePath.c_str());

    // A find without a match: the search alone, and the whole command with the bar.
    for (bool matchCase : {false, true}) {
        std::vector<double> finds;
        for (int run = 0; run < 11; ++run) {
            CSite found;
            double start = Now();
            CProjectFinder(project, L"no such text", matchCase).Find(CSite(), true, false, found);
            finds.push_back(Now() - start);
        }
        std::printf("  find, no match, %-12s %8.2f ms (min %.2f)\n",
                    matchCase ? "match case" : "any case", Median(finds),
                    *std::min_element(finds.begin(), finds.end()));
    }
    ::SendMessageW(editor.MainWindow(), WM_COMMAND, IDM_FIND, 0);
    ::SetWindowTextW(editor.findBar.textEdit, L"no such text");
    Pump();
    std::vector<double> commands;
    for (int run = 0; run < 11; ++run)
        commands.push_back(TimeCommand(editor, IDM_FIND_NEXT));
    std::printf("  F3, no match, with the bar   %8.2f ms\n", Median(commands));
    std::fflush(stdout);
    SetShellForTesting(nullptr);
}

std::wstring WindowsPath(std::wstring path)
{
    if (!path.empty() && path[0] == L'/') {
        std::replace(path.begin(), path.end(), L'/', L'\\');
        path = L"Z:" + path;
    }
    return path;
}

// From CreateProcess to a visible main window whose tree holds every node; the window is then
// closed (nothing changed, so nothing is asked).
double StartOnce(const std::wstring& desktop, std::size_t nodes)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring desktopName = desktop;
    startup.lpDesktop = &desktopName[0];
    PROCESS_INFORMATION info = {};
    std::wstring commandLine = L"\"" + WindowsPath(QUIL_EXE_PATH) + L"\"";
    double start = Now();
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return -1;
    double elapsed = -1;
    while (Now() - start < 30000) {
        HWND main = nullptr;
        while ((main = ::FindWindowExW(nullptr, main, L"CfrmTreeEditor", nullptr))) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(main, &process);
            if (process == info.dwProcessId) break;
        }
        HWND tree = main ? ::FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr) : nullptr;
        if (tree && ::IsWindowVisible(main) &&
            static_cast<std::size_t>(::SendMessageW(tree, TVM_GETCOUNT, 0, 0)) == nodes) {
            elapsed = Now() - start;
            ::PostMessageW(main, WM_CLOSE, 0, 0);
            break;
        }
        ::Sleep(1);
    }
    if (::WaitForSingleObject(info.hProcess, 20000) != WAIT_OBJECT_0)
        ::TerminateProcess(info.hProcess, 1);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return elapsed;
}

void StartUpTimes(const std::wstring& desktop)
{
    const std::wstring folder = UserDocumentsFolder();
    const std::wstring projectFile = folder + L"\\Quillomere.quil";
    const std::wstring homepage = folder + L"\\Quillomere.html";
    const std::wstring aside = L".timing-backup";
    ::MoveFileExW(projectFile.c_str(), (projectFile + aside).c_str(), MOVEFILE_REPLACE_EXISTING);
    ::MoveFileExW(homepage.c_str(), (homepage + aside).c_str(), MOVEFILE_REPLACE_EXISTING);

    const Shape shapes[] = {{"sample project (no files)", 0, 0, 0},
                            {"10k nodes, 20 x 20 x 24", 20, 20, 24},
                            {"50k nodes, 25 x 40 x 49", 25, 40, 49}};
    std::printf("\n%-26s %8s %22s\n", "start-up", "nodes", "to shown, filled window");
    for (const Shape& shape : shapes) {
        std::size_t nodes = 8;
        if (shape.columns) {
            CProject project;
            Build(project, shape);
            SaveProjectFile(project, projectFile);
            nodes = shape.Nodes();
        }
        std::vector<double> times;
        for (int run = 0; run < 7; ++run)
            times.push_back(StartOnce(desktop, nodes));
        std::printf("%-26s %8zu %17.0f ms (min %.0f)\n", shape.name, nodes, Median(times),
                    *std::min_element(times.begin(), times.end()));
        std::fflush(stdout);
        ::DeleteFileW(projectFile.c_str());
    }
    ::MoveFileExW((projectFile + aside).c_str(), projectFile.c_str(), MOVEFILE_REPLACE_EXISTING);
    ::MoveFileExW((homepage + aside).c_str(), homepage.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Selects the tree item of a node.
void SelectNode(CfrmTreeEditor& editor, std::int32_t kind, const CStreamable* node)
{
    const TreeItemData* record = editor.FindTreeItemData(kind, node);
    ::SendMessageW(editor.TreeView(), TVM_SELECTITEM, TVGN_CARET,
                   reinterpret_cast<LPARAM>(record->item));
    Pump();
}

void PrintTimes(const char* what, const std::vector<double>& times)
{
    std::printf("  %-34s %8.1f ms (min %.1f, max %.1f)\n", what, Median(times),
                *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()));
}

void MoveTimes()
{
    const Shape large = {"50k nodes, 25 x 40 x 49", 25, 40, 49};
    CProject project;
    std::unique_ptr<CfrmTreeEditor> shown = ShowLarge(project, large);
    if (!shown) return;
    CfrmTreeEditor& editor = *shown;

    // A column of 2,001 nodes cut from the middle and pasted after the first column, seven
    // times; the pasted one is cut the next time.
    std::vector<double> cuts, pastes, moves;
    CColumn* column = project.columns[project.columns.size() / 2];
    for (int run = 0; run < 7; ++run) {
        SelectNode(editor, kNodeColumn, column);
        cuts.push_back(TimeCommand(editor, IDM_CUT));
        SelectNode(editor, kNodeColumn, project.columns[0]);
        pastes.push_back(TimeCommand(editor, IDM_PASTE));
        column = project.columns[1];
    }
    // The same column dropped after the last one and back after the first.
    for (int run = 0; run < 7; ++run) {
        const bool back = run % 2 == 1;
        CColumn* onto = back ? project.columns[0] : project.columns.back();
        const HTREEITEM dragged = editor.FindTreeItemData(kNodeColumn, column)->item;
        const HTREEITEM target = editor.FindTreeItemData(kNodeColumn, onto)->item;
        double start = Now();
        editor.Drop(dragged, target, false, false);
        moves.push_back(Now() - start);
        Pump();
    }
    PrintTimes("cut a 2,001-node column", cuts);
    PrintTimes("paste it after the first column", pastes);
    PrintTimes("drop it after another column", moves);
    std::fflush(stdout);
}

void RecoveryTimes()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"quillomere-recovery-timing";
    RecoveryFilePath = folder + L"\\Quillomere.quil";
    const Shape shapes[] = {{"10k nodes, 20 x 20 x 24", 20, 20, 24},
                            {"50k nodes, 25 x 40 x 49", 25, 40, 49}};
    for (const Shape& shape : shapes) {
        CProject project;
        std::unique_ptr<CfrmTreeEditor> editor = ShowLarge(project, shape);
        if (!editor) return;
        HWND main = editor->MainWindow();
        // A change before each run, so that the timer has something to write; the title's
        // step is the same each time.
        std::vector<double> thread, wall, background, ending;
        for (int run = 0; run < 15; ++run) {
            CSite title;
            title.node = &project;
            title.part = SitePart::Title;
            editor->changes.SetText(title, L"Title " + std::to_wstring(run));
            editor->changes.Seal();
            Pump();
            const double startCpu = ThreadTime();
            const double start = Now();
            ::SendMessageW(main, WM_TIMER, IDT_RECOVERY, 0);
            wall.push_back(Now() - start);
            thread.push_back(ThreadTime() - startCpu);
            WaitForRecoveryOfRun();
            background.push_back(Now() - start);
        }
        for (int run = 0; run < 5; ++run) {
            CSite title;
            title.node = &project;
            title.part = SitePart::Title;
            editor->changes.SetText(title, L"Ending " + std::to_wstring(run));
            Pump();
            const double start = Now();
            ::SendMessageW(main, WM_QUERYENDSESSION, 0, 0);
            ending.push_back(Now() - start);
        }
        std::printf("  recovery copy on the window's thread: wall median %7.3f max %7.3f, thread "
                    "cpu mean %7.3f ms\n",
                    Median(wall), *std::max_element(wall.begin(), wall.end()), Mean(thread));
        std::printf("  until the file is written (own thread):  median %7.3f ms\n",
                    Median(background));
        std::printf("  session end, written while the window waits: median %7.3f ms\n",
                    Median(ending));
        std::fflush(stdout);
        project.modified = false;
        editor.reset();
        Pump();
    }
    DiscardRecoveryOfRun();
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // A desktop of its own: under Wine a virtual desktop, where windows close without waiting
    // for a window manager.
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

    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"startup")
        StartUpTimes(desktopName);
    else if (mode == L"undo")
        UndoTimes();
    else if (mode == L"move")
        MoveTimes();
    else if (mode == L"recovery")
        RecoveryTimes();
    else
        InProcess();
    if (desktop) ::CloseDesktop(desktop);
    return 0;
}

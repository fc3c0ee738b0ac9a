// Times the panes under Wine: binding a link item with 1,000 further links and a form with
// 1,000 fields until the pane has painted, and one keystroke into each kind of edit with a
// project of 10,000 items. Prints figures; run by hand (no pass or fail).
#include "editor/tree_editor.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "resources/resource.h"
#include "timing_support.h"

#include <string>

namespace {

void Show(CfrmTreeEditor& editor, CdlgPropBase& pane)
{
    for (CdlgPropBase* each : editor.Panes())
        ::ShowWindow(each->Window(), &pane == each ? SW_SHOW : SW_HIDE);
    ::SetWindowPos(pane.Window(), nullptr, 300, 0, 660, 700, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

int wmain()
{
    ::InitCommonControls();
    CProject project;
    project.title = L"Timing";
    // 10 columns x 10 groups x 100 items: 10,000 items, links and forms mixed.
    CItemLink* bigLink = nullptr;
    CItemForm* bigForm = nullptr;
    for (int c = 0; c < 10; ++c) {
        auto* column = new CColumn(project, L"Column " + std::to_wstring(c));
        for (int g = 0; g < 10; ++g) {
            auto* group = new CGroup(*column, L"Group " + std::to_wstring(g));
            for (int i = 0; i < 100; ++i) {
                if (i % 10 == 9) {
                    auto* form = new CItemForm(*group);
                    form->name = L"Form " + std::to_wstring(i);
                    form->AddField(0, L"q", L"", 20);
                    if (!bigForm) bigForm = form;
                } else {
                    auto* link = new CItemLink(*group, L"Link " + std::to_wstring(i),
                                               L"https://example.org/" + std::to_wstring(i));
                    if (!bigLink) bigLink = link;
                }
            }
        }
    }
    for (int i = 0; i < 1000; ++i) {
        bigLink->AddLink(L"Further link " + std::to_wstring(i),
                         L"https://example.org/further/" + std::to_wstring(i));
        CItemForm::CField* field =
            bigForm->AddField(i % 2, L"field" + std::to_wstring(i), L"value", -1);
        if (i % 2) field->AddOption(L"Option", L"o");
    }

    CfrmTreeEditor editor(project);
    if (!editor.Create()) return 1;
    HWND main = editor.MainWindow();
    ::SetWindowPos(main, nullptr, 0, 0, 1000, 740, SWP_NOZORDER);
    ::ShowWindow(main, SW_SHOW);
    Pump();
    Report("main window: fill the tree with 10,110 nodes", 1, [&](int) { editor.Populate(); });

    Show(editor, editor.linkPane);
    Report("link pane: bind 1,000 further links and paint", 20, [&](int) {
        editor.linkPane.SetNode(bigLink);
        ::UpdateWindow(editor.linkPane.Window());
    });
    Show(editor, editor.formPane);
    Report("form pane: bind 1,000 fields and paint", 20, [&](int) {
        editor.formPane.SetNode(bigForm);
        ::UpdateWindow(editor.formPane.Window());
    });

    // A keystroke: the whole of it (SetWindowTextW: the edit box, then the pane and the tree
    // label through EN_CHANGE), and the EN_CHANGE alone with the text unchanged (the pane's
    // write and a tree label that stays as it is). The edit box's own part is timed below.
    struct Edit
    {
        const char* name;
        CdlgPropBase& pane;
        CStreamable* node;
        int id;
        int selectRow; // list row to select first, or -1
        int list;
    } edits[] = {
        {"project title", editor.projectPane, &project, IDC_PROJECT_TITLE, -1, 0},
        {"link caption (tree label)", editor.linkPane, bigLink, IDC_LINK_CAPTION, -1, 0},
        {"further link caption (row of 1,000)", editor.linkPane, bigLink, IDC_LINK_ROW_CAPTION, 999,
         IDC_LINK_LIST},
        {"form name (tree label)", editor.formPane, bigForm, IDC_FORM_NAME, -1, 0},
        {"field name (row of 1,000)", editor.formPane, bigForm, IDC_FIELD_NAME, 998,
         IDC_FORM_FIELDS},
    };
    for (Edit& edit : edits) {
        Show(editor, edit.pane);
        edit.pane.SetNode(edit.node);
        HWND pane = edit.pane.Window();
        HWND control = ::GetDlgItem(pane, edit.id);
        if (edit.selectRow >= 0) {
            LVITEMW state = {};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageW(::GetDlgItem(pane, edit.list), LVM_SETITEMSTATE, edit.selectRow,
                           reinterpret_cast<LPARAM>(&state));
        }
        // The typed text keeps a width below the tree's, as most labels do.
        auto typed = [](int i) {
            return L"Typed text " + std::wstring(static_cast<std::size_t>(i % 16), L'a' + i % 26);
        };
        std::string label = std::string("keystroke, whole: ") + edit.name;
        Report(label.c_str(), 500, [&](int i) { ::SetWindowTextW(control, typed(i).c_str()); });
        label = std::string("keystroke and the paints it causes: ") + edit.name;
        Report(label.c_str(), 500, [&](int i) {
            ::SetWindowTextW(control, typed(i).c_str());
            ::RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        });
        label = std::string("keystroke, EN_CHANGE alone: ") + edit.name;
        Report(label.c_str(), 500, [&](int) {
            ::SendMessageW(pane, WM_COMMAND, MAKEWPARAM(edit.id, EN_CHANGE),
                           reinterpret_cast<LPARAM>(control));
        });
    }
    {
        HWND tree = editor.TreeView();
        HTREEITEM root =
            reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        std::wstring label = L"Label";
        Report("tree: TVM_SETITEMW text of the root, 10,110 items", 200, [&](int i) {
            label += static_cast<wchar_t>(L'a' + i % 26);
            SetTreeItemText(tree, root, label.c_str());
        });
        Report("tree: TVM_GETITEMW text of the root", 200, [&](int) {
            wchar_t buffer[256];
            TVITEMW item = {};
            item.mask = TVIF_TEXT;
            item.hItem = root;
            item.pszText = buffer;
            item.cchTextMax = 256;
            ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        });
        Report("tree: TVM_SETITEMW text, redraw off around it", 200, [&](int i) {
            label += static_cast<wchar_t>(L'a' + i % 26);
            ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
            SetTreeItemText(tree, root, label.c_str());
            ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
        });
    }
    // Yardstick: the edit box's own part of a keystroke, in a window that ignores its
    // notifications.
    HWND plain = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100,
                                   nullptr, nullptr, nullptr, nullptr);
    HWND bareEdit =
        ::CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, 0,
                          300, 24, plain, nullptr, nullptr, nullptr);
    std::wstring typed = L"Typed text";
    Report("keystroke, the edit box alone", 500, [&](int i) {
        typed += static_cast<wchar_t>(L'a' + i % 26);
        ::SetWindowTextW(bareEdit, typed.c_str());
    });
    ::DestroyWindow(plain);

    // Yardsticks: a bare list view in a plain window, filled with 1,000 rows of 4 cells, the
    // cells written one by one or supplied on demand.
    HWND bare = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                  600, 600, main, nullptr, nullptr, nullptr);
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.cx = 100;
        column.pszText = const_cast<wchar_t*>(L"C");
        ::SendMessageW(bare, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    Report("bare list: delete, insert 1,000 rows, write 4,000 cells", 20, [&](int) {
        ::SendMessageW(bare, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(bare, LVM_DELETEALLITEMS, 0, 0);
        for (int r = 0; r < 1000; ++r) {
            LVITEMW row = {};
            row.mask = LVIF_TEXT | LVIF_PARAM;
            row.iItem = 0xFFFFFF;
            row.pszText = const_cast<wchar_t*>(L"");
            int index = static_cast<int>(
                ::SendMessageW(bare, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
            for (int c = 0; c < 4; ++c) {
                LVITEMW cell = {};
                cell.iSubItem = c;
                cell.pszText = const_cast<wchar_t*>(L"some text");
                ::SendMessageW(bare, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&cell));
            }
        }
        ::SendMessageW(bare, WM_SETREDRAW, TRUE, 0);
    });
    Report("bare list: delete, insert 1,000 rows with callback texts", 20, [&](int) {
        ::SendMessageW(bare, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(bare, LVM_DELETEALLITEMS, 0, 0);
        for (int r = 0; r < 1000; ++r) {
            LVITEMW row = {};
            row.mask = LVIF_TEXT | LVIF_PARAM;
            row.iItem = 0xFFFFFF;
            row.pszText = LPSTR_TEXTCALLBACKW;
            ::SendMessageW(bare, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
        }
        ::SendMessageW(bare, WM_SETREDRAW, TRUE, 0);
    });
    ::DestroyWindow(main);
    return 0;
}

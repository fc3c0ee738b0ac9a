#include "pane_fixture.h"

#include "winui/controls.h"
#include "winui/list_rows.h"

#include <vector>

void PaneTest::SetUp()
{
    EditorWindowTest::SetUp();
    project.title = L"My start page";
    column = new CColumn(project, L"Work");
    group = new CGroup(*column, L"Search");
    link = new CItemLink(*group, L"Wikipedia", L"https://en.wikipedia.org/");
    link->divider = L" | ";
    link->AddLink(L"Deutsch", L"https://de.wikipedia.org/");
    link->AddLink(L"Français", L"https://fr.wikipedia.org/");
    link->SetPopupContent(L"The free encyclopedia");
    form = new CItemForm(*group);
    form->name = L"Search the web";
    form->action = L"https://duckduckgo.com/html/";
    form->method = 0;
    form->AddField(0, L"q", L"", 30);
    CItemForm::CField* region = form->AddField(1, L"kl", L"de-de", -1);
    region->AddOption(L"Germany", L"de-de");
    region->AddOption(L"France", L"fr-fr");
    form->AddField(0, L"kp", L"-2", -1)->hidden = true;
    project.modified = false;

    OpenWindow({900, 560});
}

void PaneTest::Show(CdlgPropBase& pane, CStreamable* node, int width, int height)
{
    for (CdlgPropBase* each : editor->Panes())
        ::ShowWindow(each->Window(), SW_HIDE);
    ::ShowWindow(pane.Window(), SW_SHOW);
    pane.SetNode(node);
    ::SetWindowPos(pane.Window(), nullptr, 300, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PaneTest::SetTreeLabel(std::int32_t kind, CStreamable* node, const std::wstring& text)
{
    const TreeItemData* record = editor->FindTreeItemData(kind, node);
    ASSERT_NE(record, nullptr);
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = record->item;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(editor->TreeView(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void Type(HWND edit, const std::wstring& text)
{
    ::SetWindowTextW(edit, text.c_str());
}

std::wstring Text(HWND window)
{
    std::vector<wchar_t> buffer(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1);
    int length = ::GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(length));
}

void Click(HWND button)
{
    ::SendMessageW(button, BM_CLICK, 0, 0);
}

void Notify(HWND control, WORD code)
{
    ::SendMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), code),
                   reinterpret_cast<LPARAM>(control));
}

std::wstring Cell(HWND list, int row, int column)
{
    wchar_t buffer[512] = {};
    LVITEMW cell = {};
    cell.iSubItem = column;
    cell.pszText = buffer;
    cell.cchTextMax = 512;
    ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
    return buffer;
}

std::vector<std::wstring> Row(HWND list, int row)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    int columns = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<std::wstring> cells;
    for (int column = 0; column < columns; ++column)
        cells.push_back(Cell(list, row, column));
    return cells;
}

std::pair<DWORD, DWORD> Selection(HWND edit)
{
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

void Choose(HWND combo, int index)
{
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    Notify(combo, CBN_SELCHANGE);
}

std::wstring ComboText(HWND combo)
{
    LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return L"(none)";
    wchar_t buffer[128] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

RECT ChildRect(HWND control)
{
    RECT bounds = {};
    ::GetWindowRect(control, &bounds);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

bool Enabled(HWND control)
{
    return ::IsWindowEnabled(control) != FALSE;
}

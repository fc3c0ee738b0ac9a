// The pane templates as built, the grid panes' placement of their controls, keyboard navigation,
// and screenshots of the two grid panes.
#include "pane_fixture.h"

#include "resources/resource.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>

namespace {

// One control as the compiled dialog template holds it.
struct TemplateItem
{
    std::wstring className;
    std::wstring text;
    int id;
    DWORD style;
    DWORD exStyle;
    RECT rect; // x, y, width, height in dialog units
};

struct TemplateInfo
{
    DWORD style = 0;
    int width = 0, height = 0;
    int pointSize = 0;
    std::wstring font;
    std::vector<TemplateItem> items;
};

class CTemplateReader
{
public:
    explicit CTemplateReader(const BYTE* at) : at(at) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return Take<short>(); }
    // A string or an ordinal; ordinals of the predefined classes come back as their names.
    std::wstring StringOrOrdinal()
    {
        if (reinterpret_cast<const WORD*>(at)[0] == 0xFFFF) {
            Word();
            WORD ordinal = Word();
            static const std::map<WORD, std::wstring> names = {
                {0x80, L"Button"}, {0x81, L"Edit"}, {0x82, L"Static"}, {0x85, L"ComboBox"}};
            auto found = names.find(ordinal);
            return found != names.end() ? found->second : L"#" + std::to_wstring(ordinal);
        }
        std::wstring text;
        while (WORD c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    void Skip(std::size_t count) { at += count; }
    void AlignDword()
    {
        while (reinterpret_cast<std::uintptr_t>(at) % 4)
            ++at;
    }

private:
    template <typename T> T Take()
    {
        T value;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    const BYTE* at;
};

TemplateInfo ReadTemplate(int id)
{
    TemplateInfo info;
    HRSRC found =
        ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    if (!found) return info;
    auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
    CTemplateReader reader(data);
    EXPECT_EQ(reader.Word(), 1);      // dlgVer: an extended template
    EXPECT_EQ(reader.Word(), 0xFFFF); // signature
    reader.Dword();                   // help id
    reader.Dword();                   // extended style
    info.style = reader.Dword();
    int count = reader.Word();
    reader.Short();
    reader.Short();
    info.width = reader.Short();
    info.height = reader.Short();
    EXPECT_EQ(reader.StringOrOrdinal(), L""); // menu
    EXPECT_EQ(reader.StringOrOrdinal(), L""); // class
    EXPECT_EQ(reader.StringOrOrdinal(), L""); // title
    info.pointSize = reader.Word();
    reader.Word();  // weight
    reader.Skip(2); // italic, charset
    info.font = reader.StringOrOrdinal();
    for (int i = 0; i < count; ++i) {
        reader.AlignDword();
        TemplateItem item;
        reader.Dword(); // help id
        item.exStyle = reader.Dword();
        item.style = reader.Dword();
        item.rect.left = reader.Short();
        item.rect.top = reader.Short();
        item.rect.right = reader.Short();
        item.rect.bottom = reader.Short();
        item.id = static_cast<int>(reader.Dword());
        item.className = reader.StringOrOrdinal();
        item.text = reader.StringOrOrdinal();
        reader.Skip(reader.Word());
        info.items.push_back(item);
    }
    return info;
}

const DWORD kPane =
    WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_CENTER | DS_3DLOOK | DS_SETFONT | DS_FIXEDSYS;
const DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT | WS_GROUP;
const DWORD kEdit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD kCombo = WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_HASSTRINGS;
const DWORD kList = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                    LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | LVS_NOSORTHEADER;

struct Expected
{
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
};

void ExpectTemplate(int id, DWORD style, int width, int height, const wchar_t* font,
                    const std::vector<Expected>& controls)
{
    SCOPED_TRACE("template " + std::to_string(id));
    TemplateInfo info = ReadTemplate(id);
    EXPECT_EQ(info.style, kPane | style);
    EXPECT_EQ(info.width, width);
    EXPECT_EQ(info.height, height);
    EXPECT_EQ(info.pointSize, 8);
    EXPECT_EQ(info.font, font);
    ASSERT_EQ(info.items.size(), controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const TemplateItem& got = info.items[i];
        const Expected& want = controls[i];
        SCOPED_TRACE("control " + std::to_string(want.id));
        EXPECT_EQ(got.id & 0xFFFF, want.id & 0xFFFF);
        EXPECT_EQ(::lstrcmpiW(got.className.c_str(), want.className), 0)
            << std::string(got.className.begin(), got.className.end());
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.exStyle, want.exStyle);
        EXPECT_EQ(got.rect.left, want.x);
        EXPECT_EQ(got.rect.top, want.y);
        EXPECT_EQ(got.rect.right, want.width);
        EXPECT_EQ(got.rect.bottom, want.height);
    }
}

} // namespace

TEST(PaneTemplates, CarryTheirSizesFontsStylesIdsTextsAndRectangles)
{
    const wchar_t* lv = L"SysListView32";
    ExpectTemplate(
        IDD_PROP_PROJECT, WS_SYSMENU, 264, 174, L"Ms Shell Dlg 2",
        {{-1, L"Static", L"Project name:", kLabel, 0, 4, 4, 49, 8},
         {IDC_PROJECT_TITLE, L"Edit", L"", kEdit, 0, 57, 1, 203, 14},
         {IDC_PROJECT_STYLE_LABEL, L"Static", L"Page style:", kLabel, 0, 4, 21, 49, 8},
         {IDC_PROJECT_STYLE, L"ComboBox", L"", kCombo | WS_TABSTOP, 0, 57, 19, 203, 40}});
    // The tab under the caption: an editable list, which scrolls its text.
    ExpectTemplate(IDD_PROP_COLUMN, WS_SYSMENU, 186, 95, L"Ms Shell Dlg 2",
                   {{-1, L"Static", L"Column caption:", kLabel, 0, 4, 4, 56, 8},
                    {IDC_COLUMN_CAPTION, L"Edit", L"", kEdit, 0, 64, 1, 118, 14},
                    {IDC_COLUMN_TAB_LABEL, L"Static", L"Tab:", kLabel, 0, 4, 21, 56, 8},
                    {IDC_COLUMN_TAB, L"ComboBox", L"",
                     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN |
                         CBS_AUTOHSCROLL | CBS_HASSTRINGS,
                     0, 64, 19, 118, 80}});
    ExpectTemplate(IDD_PROP_GROUP, WS_SYSMENU, 186, 95, L"Ms Shell Dlg 2",
                   {{-1, L"Static", L"Caption:", kLabel, 0, 4, 4, 27, 8},
                    {IDC_GROUP_CAPTION, L"Edit", L"", kEdit, 0, 35, 1, 147, 14}});
    // The icon's place beside the caption, drawn by the pane.
    const DWORD kOwnerDraw = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW;
    ExpectTemplate(IDD_PROP_ITEMLINK, 0, 255, 175, L"Ms Shell Dlg 2",
                   {{40054, L"Static", L"Caption:", kLabel, 0, 4, 4, 26, 8},
                    {1007, L"Edit", L"", kEdit, 0, 34, 1, 216, 14},
                    {40056, L"Static", L"URL:", kLabel, 0, 4, 22, 19, 8},
                    {1006, L"Edit", L"", kEdit, 0, 34, 19, 216, 14},
                    {40057, L"Static", L"Divider:", kLabel, 0, 4, 38, 26, 8},
                    {1001, L"Edit", L"", kEdit, 0, 34, 35, 216, 14},
                    {1003, L"Static", L"Popup:", kLabel, 0, 4, 54, 24, 8},
                    {40059, L"Edit", L"", kEdit, 0, 34, 51, 216, 14},
                    {40053, L"Static", L"Secondary links:", kLabel, 0, 4, 70, 53, 8},
                    {40047, lv, L"", kList, WS_EX_CLIENTEDGE, 34, 80, 216, 58},
                    {40048, L"Edit", L"", kEdit, 0, 34, 140, 109, 14},
                    {40050, L"Button", L"Add", kButton, 0, 148, 140, 50, 14},
                    {40058, L"Button", L"Remove...", kButton, 0, 200, 140, 50, 14},
                    {40049, L"Edit", L"", kEdit, 0, 34, 156, 216, 14},
                    {40181, L"Static", L"", kOwnerDraw, 0, 144, 1, 50, 14},
                    {40182, L"Button", L"Clear icon", kButton, 0, 200, 1, 50, 14}});
    const DWORD check = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
    ExpectTemplate(IDD_PROP_ITEMFORM, WS_CLIPCHILDREN, 316, 292, L"Ms Shell Dlg",
                   {{40011, L"Static", L"Name:", kLabel, 0, 8, 8, 26, 8},
                    {40036, L"Edit", L"", kEdit, 0, 38, 5, 274, 14},
                    {40012, L"Static", L"URL:", kLabel, 0, 8, 23, 19, 8},
                    {40037, L"Edit", L"", kEdit, 0, 38, 21, 274, 14},
                    {40013, L"Static", L"Method:", kLabel, 0, 8, 39, 26, 8},
                    {40015, L"ComboBox", L"", kCombo, 0, 38, 37, 274, 30},
                    {40023, L"Static", L"Form fields:", kLabel, 0, 8, 60, 61, 8},
                    {40017, lv, L"", kList | WS_BORDER, 0, 38, 72, 274, 73},
                    {1002, L"Edit", L"", kEdit, 0, 38, 147, 40, 14},
                    {40038, L"Edit", L"", kEdit, 0, 114, 147, 40, 14},
                    {40019, L"Button", L"Add", kButton, 0, 210, 147, 50, 14},
                    {40021, L"Button", L"Remove...", kButton, 0, 262, 147, 50, 14},
                    {40041, L"ComboBox", L"", kCombo, 0, 38, 163, 167, 30},
                    {40042, L"Button", L"Hidden", check, 0, 210, 166, 104, 8},
                    {40024, L"Static", L"Field options:", kLabel, 0, 8, 185, 61, 8},
                    {40025, lv, L"", kList | WS_BORDER, 0, 38, 195, 274, 73},
                    {40032, L"Edit", L"", kEdit, 0, 38, 272, 40, 14},
                    {40033, L"Edit", L"", kEdit, 0, 114, 272, 40, 14},
                    {40029, L"Button", L"Add", kButton, 0, 208, 272, 50, 14},
                    {40028, L"Button", L"Remove...", kButton, 0, 262, 272, 50, 14}});
}

namespace {

struct CellPlace
{
    int id;
    int firstRow, firstColumn, lastRow, lastColumn, inset;
};

// Every control sits inside its cell of the grid whose track edges are `xs` and `ys`.
void ExpectPlaced(HWND pane, const std::vector<int>& xs, const std::vector<int>& ys,
                  const std::vector<CellPlace>& cells)
{
    for (const CellPlace& cell : cells) {
        SCOPED_TRACE("control " + std::to_string(cell.id));
        RECT got = ChildRect(::GetDlgItem(pane, cell.id));
        EXPECT_EQ(got.left, xs[cell.firstColumn] + cell.inset);
        EXPECT_EQ(got.top, ys[cell.firstRow] + cell.inset);
        EXPECT_EQ(got.right, xs[cell.lastColumn + 1] - cell.inset);
        EXPECT_EQ(got.bottom, ys[cell.lastRow + 1] - cell.inset);
    }
}

} // namespace

TEST_F(PaneTest, TheLinkPanePlacesItsControlsOnTheGrid)
{
    HWND pane = editor->linkPane.Window();
    int h = winui::WindowHeight(::GetDlgItem(pane, IDC_LINK_CAPTION));
    int w = winui::WindowWidth(::GetDlgItem(pane, IDC_LINK_REMOVE));
    for (SIZE size : {SIZE{600, 460}, SIZE{431, 333}}) {
        Show(editor->linkPane, link, size.cx, size.cy);
        int W = size.cx, H = size.cy; // a child dialog without border: client = window
        std::vector<int> xs = {0, 100, W - 2 * w, W - w, W};
        std::vector<int> ys = {0, h, 2 * h, 3 * h, 4 * h, 5 * h, H - 2 * h, H - h, H};
        ExpectPlaced(pane, xs, ys,
                     {{IDC_LINK_CAPTION_LABEL, 0, 0, 0, 0, 3},
                      {IDC_LINK_URL_LABEL, 1, 0, 1, 0, 3},
                      {IDC_LINK_DIVIDER_LABEL, 2, 0, 2, 0, 3},
                      {IDC_LINK_POPUP_LABEL, 3, 0, 3, 0, 3},
                      {IDC_LINK_LIST_LABEL, 4, 0, 4, 1, 3},
                      {IDC_LINK_ADD, 6, 2, 6, 2, 0},
                      {IDC_LINK_REMOVE, 6, 3, 6, 3, 0},
                      {IDC_LINK_CAPTION, 0, 1, 0, 1, 0},
                      {IDC_LINK_ICON, 0, 2, 0, 2, 0},
                      {IDC_LINK_CLEAR_ICON, 0, 3, 0, 3, 0},
                      {IDC_LINK_URL, 1, 1, 1, 3, 0},
                      {IDC_LINK_DIVIDER, 2, 1, 2, 3, 0},
                      {IDC_LINK_POPUP, 3, 1, 3, 3, 0},
                      {IDC_LINK_LIST, 5, 1, 5, 3, 0},
                      {IDC_LINK_ROW_CAPTION, 6, 1, 6, 1, 0},
                      {IDC_LINK_ROW_URL, 7, 1, 7, 3, 0}});
    }
}

namespace {

// The heights the form pane's combo boxes were asked to take, seen on their way in (the combo
// box then shrinks its window to the closed height and keeps the rest for its list).
std::map<int, std::vector<int>> requestedHeights;
std::map<HWND, WNDPROC> comboProcedures;

LRESULT CALLBACK WatchHeight(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGING) {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOSIZE))
            requestedHeights[::GetDlgCtrlID(window)].push_back(position->cy);
    }
    return ::CallWindowProcW(comboProcedures[window], window, message, wParam, lParam);
}

bool WasAskedFor(int id, int height)
{
    const std::vector<int>& heights = requestedHeights[id];
    return std::find(heights.begin(), heights.end(), height) != heights.end();
}

} // namespace

TEST_F(PaneTest, TheFormPanePlacesItsControlsOnTheGrid)
{
    HWND pane = editor->formPane.Window();
    for (int id : {IDC_FORM_METHOD, IDC_FIELD_TYPE}) {
        HWND combo = ::GetDlgItem(pane, id);
        comboProcedures[combo] = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchHeight)));
    }
    int h = std::max(winui::WindowHeight(::GetDlgItem(pane, IDC_FORM_NAME)),
                     winui::WindowHeight(::GetDlgItem(pane, IDC_FIELD_ADD)));
    for (SIZE size : {SIZE{600, 520}, SIZE{433, 401}}) {
        requestedHeights.clear();
        Show(editor->formPane, form, size.cx, size.cy);
        int W = size.cx, H = size.cy;
        int c = W / 5;              // five equal columns; the truncated pixels stay free
        int list = (H - 8 * h) / 2; // the two lists share what the fixed rows leave
        std::vector<int> xs = {0, c, 2 * c, 3 * c, 4 * c, 5 * c};
        std::vector<int> ys = {0, h, 2 * h, 3 * h, 4 * h};
        ys.push_back(ys.back() + list);
        for (int i = 0; i < 3; ++i)
            ys.push_back(ys.back() + h);
        ys.push_back(ys.back() + list);
        ys.push_back(ys.back() + h);
        ExpectPlaced(pane, xs, ys,
                     {{IDC_FORM_NAME_LABEL, 0, 0, 0, 0, 3},
                      {IDC_FORM_URL_LABEL, 1, 0, 1, 0, 3},
                      {IDC_FORM_METHOD_LABEL, 2, 0, 2, 0, 3},
                      {IDC_FORM_FIELDS_LABEL, 3, 0, 3, 4, 3},
                      {IDC_FIELD_ADD, 5, 3, 5, 3, 1},
                      {IDC_FIELD_REMOVE, 5, 4, 5, 4, 1},
                      {IDC_FORM_OPTIONS_LABEL, 7, 0, 7, 4, 3},
                      {IDC_OPTION_ADD, 9, 3, 9, 3, 1},
                      {IDC_OPTION_REMOVE, 9, 4, 9, 4, 1},
                      {IDC_FORM_NAME, 0, 1, 0, 4, 0},
                      {IDC_FORM_URL, 1, 1, 1, 4, 0},
                      {IDC_FORM_FIELDS, 4, 1, 4, 4, 0},
                      {IDC_FIELD_NAME, 5, 1, 5, 1, 0},
                      {IDC_FIELD_VALUE, 5, 2, 5, 2, 0},
                      {IDC_FIELD_HIDDEN, 6, 3, 6, 4, 0},
                      {IDC_FORM_OPTIONS, 8, 1, 8, 4, 0},
                      {IDC_OPTION_NAME, 9, 1, 9, 1, 0},
                      {IDC_OPTION_VALUE, 9, 2, 9, 2, 0}});
        // The combo boxes start in their cell and are given the whole pane's height, so that
        // their lists may drop down as tall as that.
        for (CellPlace combo : {CellPlace{IDC_FORM_METHOD, 2, 1, 2, 4, 0},
                                CellPlace{IDC_FIELD_TYPE, 6, 1, 6, 2, 0}}) {
            HWND control = ::GetDlgItem(pane, combo.id);
            RECT got = ChildRect(control);
            EXPECT_EQ(got.left, xs[combo.firstColumn]);
            EXPECT_EQ(got.top, ys[combo.firstRow]);
            EXPECT_EQ(got.right, xs[combo.lastColumn + 1]);
            EXPECT_TRUE(WasAskedFor(combo.id, H)) << combo.id;
        }
    }
    for (auto& [combo, procedure] : comboProcedures)
        ::SetWindowLongPtrW(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

namespace {

// Presses Tab as the message loop would hand it over: through the main window's dialog
// navigation.
void PressTab(HWND main)
{
    MSG message = {};
    message.hwnd = ::GetFocus();
    message.message = WM_KEYDOWN;
    message.wParam = VK_TAB;
    message.lParam = 1;
    EXPECT_TRUE(::IsDialogMessageW(main, &message));
}

std::vector<int> TabOrder(HWND main, HWND first, std::size_t count)
{
    ::SetFocus(first);
    std::vector<int> ids = {::GetDlgCtrlID(::GetFocus())};
    while (ids.size() < count) {
        PressTab(main);
        ids.push_back(::GetDlgCtrlID(::GetFocus()));
    }
    return ids;
}

} // namespace

TEST_F(PaneTest, TabMovesThroughAPaneInTemplateOrder)
{
    HWND main = editor->MainWindow();
    Show(editor->projectPane, &project);
    EXPECT_EQ(TabOrder(main, ::GetDlgItem(editor->projectPane.Window(), IDC_PROJECT_TITLE), 2),
              (std::vector<int>{IDC_PROJECT_TITLE, IDC_PROJECT_STYLE}));

    Show(editor->linkPane, link);
    HWND linkPane = editor->linkPane.Window();
    listrows::Select(::GetDlgItem(linkPane, IDC_LINK_LIST), 0); // everything enabled
    EXPECT_EQ(TabOrder(main, ::GetDlgItem(linkPane, IDC_LINK_CAPTION), 9),
              (std::vector<int>{IDC_LINK_CAPTION, IDC_LINK_URL, IDC_LINK_DIVIDER, IDC_LINK_POPUP,
                                IDC_LINK_LIST, IDC_LINK_ROW_CAPTION, IDC_LINK_ADD, IDC_LINK_REMOVE,
                                IDC_LINK_ROW_URL}));

    Show(editor->formPane, form);
    HWND formPane = editor->formPane.Window();
    listrows::Select(::GetDlgItem(formPane, IDC_FORM_FIELDS), 1); // the select field
    listrows::Select(::GetDlgItem(formPane, IDC_FORM_OPTIONS), 0);
    // The form pane's combo boxes have no tab stop.
    EXPECT_EQ(TabOrder(main, ::GetDlgItem(formPane, IDC_FORM_NAME), 13),
              (std::vector<int>{IDC_FORM_NAME, IDC_FORM_URL, IDC_FORM_FIELDS, IDC_FIELD_NAME,
                                IDC_FIELD_VALUE, IDC_FIELD_ADD, IDC_FIELD_REMOVE, IDC_FIELD_HIDDEN,
                                IDC_FORM_OPTIONS, IDC_OPTION_NAME, IDC_OPTION_VALUE, IDC_OPTION_ADD,
                                IDC_OPTION_REMOVE}));
}

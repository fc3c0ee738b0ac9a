// The link and form panes as a person sees them, at the main window's default size and narrow:
// nothing overlaps and, at the default size, nothing is cut off. Screenshots go to build/.
#include "pane_fixture.h"

#include "resources/resource.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The main window's size when the system chooses it, as it does at start-up.
SIZE DefaultWindowSize()
{
    HWND probe = ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                   CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
    RECT bounds = {};
    ::GetWindowRect(probe, &bounds);
    ::DestroyWindow(probe);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

// Sizes the main window and puts the pane where the main window's layout puts it: right of a
// tree 300 pixels wide, or half the client width when that is less.
void Place(HWND main, HWND pane, SIZE window)
{
    ::SetWindowPos(main, HWND_TOP, 0, 0, window.cx, window.cy, SWP_NOACTIVATE);
    RECT client = {};
    ::GetClientRect(main, &client);
    int tree = std::min(300L, client.right / 2);
    ::SetWindowPos(pane, nullptr, tree, 0, client.right - tree, client.bottom,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(main, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
}

std::wstring WindowsPath(std::wstring path)
{
    if (!path.empty() && path[0] == L'/') {
        for (wchar_t& c : path) {
            if (c == L'/') c = L'\\';
        }
        path = L"Z:" + path;
    }
    return path;
}

// Writes what the screen shows of `window` as a 24-bit BMP.
void Screenshot(HWND window, const std::wstring& name)
{
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY);
    ::SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height);
    ::GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::wstring path = WindowsPath(QUIL_SCREENSHOT_DIR) + L"\\" + name;
    FILE* out = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(out, nullptr) << "cannot write the screenshot";
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
}

std::vector<HWND> VisibleControls(HWND pane)
{
    std::vector<HWND> controls;
    for (HWND child = ::GetWindow(pane, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowVisible(child)) controls.push_back(child);
    }
    return controls;
}

void ExpectNoOverlap(HWND pane)
{
    std::vector<HWND> controls = VisibleControls(pane);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            RECT a = ChildRect(controls[i]), b = ChildRect(controls[j]), both = {};
            EXPECT_FALSE(::IntersectRect(&both, &a, &b))
                << ::GetDlgCtrlID(controls[i]) << " overlaps " << ::GetDlgCtrlID(controls[j]);
        }
    }
}

// Every control lies inside the pane, and every label, button and check box has room for its
// text in the pane's font.
void ExpectNothingCutOff(HWND pane)
{
    RECT client = {};
    ::GetClientRect(pane, &client);
    HDC dc = ::GetDC(pane);
    for (HWND control : VisibleControls(pane)) {
        int id = ::GetDlgCtrlID(control);
        RECT bounds = ChildRect(control);
        EXPECT_TRUE(bounds.left >= 0 && bounds.top >= 0 && bounds.right <= client.right &&
                    bounds.bottom <= client.bottom)
            << id << " reaches outside the pane";
        std::wstring text = Text(control);
        wchar_t className[32] = {};
        ::GetClassNameW(control, className, 32);
        if (text.empty() ||
            (::lstrcmpiW(className, L"Static") && ::lstrcmpiW(className, L"Button")))
            continue;
        HGDIOBJ old = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ::SelectObject(dc, old);
        RECT inside = {};
        ::GetClientRect(control, &inside);
        bool check = (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
        int room = inside.right - (check ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0);
        EXPECT_LE(extent.cx, room)
            << id << " cuts off \"" << std::string(text.begin(), text.end()) << "\"";
        EXPECT_LE(extent.cy, inside.bottom) << id << " is too low for its text";
    }
    ::ReleaseDC(pane, dc);
}

} // namespace

TEST_F(PaneTest, GridPanesAtTheDefaultAndANarrowSize)
{
    HWND main = editor->MainWindow();
    SIZE standard = DefaultWindowSize();
    SIZE narrow = {520, standard.cy};
    ::SetForegroundWindow(main);

    Show(editor->linkPane, link);
    SelectRow(::GetDlgItem(editor->linkPane.Window(), IDC_LINK_LIST), 1);
    Show(editor->formPane, form);
    HWND formPane = editor->formPane.Window();
    SelectRow(::GetDlgItem(formPane, IDC_FORM_FIELDS), 1);
    SelectRow(::GetDlgItem(formPane, IDC_FORM_OPTIONS), 0);

    struct
    {
        CdlgPropBase& pane;
        const wchar_t* name;
    } shots[] = {{editor->linkPane, L"link-pane"}, {editor->formPane, L"form-pane"}};
    for (auto& shot : shots) {
        SCOPED_TRACE(std::string(shot.name, shot.name + wcslen(shot.name)));
        ::ShowWindow(editor->linkPane.Window(),
                     &shot.pane == &editor->linkPane ? SW_SHOW : SW_HIDE);
        ::ShowWindow(editor->formPane.Window(),
                     &shot.pane == &editor->formPane ? SW_SHOW : SW_HIDE);
        Place(main, shot.pane.Window(), standard);
        ExpectNoOverlap(shot.pane.Window());
        ExpectNothingCutOff(shot.pane.Window());
        Screenshot(main, std::wstring(L"screenshot-") + shot.name + L"-default.bmp");

        Place(main, shot.pane.Window(), narrow);
        ExpectNoOverlap(shot.pane.Window());
        Screenshot(main, std::wstring(L"screenshot-") + shot.name + L"-narrow.bmp");
    }
    ::SetWindowPos(main, nullptr, 0, 0, 900, 560, SWP_NOZORDER | SWP_NOACTIVATE);
}

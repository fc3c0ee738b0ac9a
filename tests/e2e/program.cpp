#include "e2e/program.h"

#include "gui_desktop.h"

#include <commctrl.h>
#include <shlobj.h>

#include <vector>

std::wstring DocumentsFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PERSONAL, FALSE);
    return buffer;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start >= timeoutMs) return condition();
        ::Sleep(20);
    }
    return true;
}

std::wstring RecoveryFileOfUser()
{
    wchar_t buffer[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_LOCAL_APPDATA, FALSE);
    return std::wstring(buffer) + L"\\Quillomere\\Recovery\\Quillomere.quil";
}

CProgramFiles::CProgramFiles()
    : project(DocumentsFolder() + L"\\Quillomere.quil"),
      homepage(DocumentsFolder() + L"\\Quillomere.html"), recovery(RecoveryFileOfUser())
{
    ::CreateDirectoryW(DocumentsFolder().c_str(), nullptr);
    // A recovery file, left by a run that ended otherwise, would ask its question at every start.
    for (const std::wstring* path : {&project, &homepage, &recovery}) {
        std::wstring aside = *path + L".aside";
        ::DeleteFileW(aside.c_str());
        ::MoveFileW(path->c_str(), aside.c_str());
    }
}

CProgramFiles::~CProgramFiles()
{
    for (const std::wstring* path : {&project, &homepage, &recovery}) {
        ::DeleteFileW(path->c_str());
        ::MoveFileW((*path + L".aside").c_str(), path->c_str());
    }
}

#ifdef QUIL_EXE_PATH
CProgram::CProgram() : CProgram(QUIL_EXE_PATH) {}
#endif

CProgram::CProgram(const std::wstring& exePath, const std::wstring& arguments)
    : placement(HKEY_CURRENT_USER, L"Software\\Quillomere")
{
    placement.Remove();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring desktop = kTestDesktop;
    startup.lpDesktop = &desktop[0];
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    std::wstring commandLine = L"\"" + WindowsPath(exePath) + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    started = ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info) != FALSE;
}

CProgram::~CProgram()
{
    if (!started) return;
    if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(info.hProcess, 99);
        ::WaitForSingleObject(info.hProcess, 5000);
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
}

HWND CProgram::FindShownWindow(const wchar_t* className) const
{
    HWND found = nullptr;
    while ((found = ::FindWindowExW(nullptr, found, className, nullptr))) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(found, &process);
        if (process == info.dwProcessId && ::IsWindowVisible(found)) return found;
    }
    return nullptr;
}

HWND CProgram::WaitForMainWindow(DWORD timeoutMs)
{
    WaitUntil([this] { return (main = FindShownWindow(L"CfrmTreeEditor")) != nullptr; }, timeoutMs);
    return main;
}

HWND CProgram::Tree() const
{
    return main ? ::FindWindowExW(main, nullptr, L"SysTreeView32", nullptr) : nullptr;
}

DWORD CProgram::WaitForExit(DWORD timeoutMs)
{
    if (!started || ::WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) return 0xDEAD;
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    return code;
}

HWND CProgram::WaitForMessageBox(DWORD timeoutMs)
{
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindShownWindow(L"#32770")) != nullptr; }, timeoutMs);
    return box;
}

HWND CProgram::FileNameBox(HWND dialog)
{
    // Explorer-style dialogs take the name in a combo box (cmb13, in Wine an extended one with
    // a combo box inside) whose edit is the box, older ones in a plain edit (edt1).
    for (HWND inside = ::GetDlgItem(dialog, 0x47C); inside;
         inside = ::GetWindow(inside, GW_CHILD)) {
        if (HWND edit = ::FindWindowExW(inside, nullptr, L"Edit", nullptr)) return edit;
    }
    HWND edit = ::GetDlgItem(dialog, 0x480);
    wchar_t className[16] = {};
    if (edit) ::GetClassNameW(edit, className, 16);
    return ::lstrcmpiW(className, L"Edit") == 0 ? edit : nullptr;
}

HWND CProgram::WaitForOpenFileDialog(DWORD timeoutMs)
{
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            HWND box = FindShownWindow(L"#32770");
            dialog = box && FileNameBox(box) && ::IsWindowVisible(FileNameBox(box)) ? box : nullptr;
            return dialog != nullptr;
        },
        timeoutMs);
    return dialog;
}

std::wstring CProgram::MessageBoxText(HWND box)
{
    // The message is the box's static text with the id 0xFFFF.
    wchar_t text[512] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

void CProgram::ClickButton(HWND dialog, int id)
{
    ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void CProgram::BringToFront()
{
    // The switch completes asynchronously; input sent before it lands in the old foreground.
    ::SetForegroundWindow(main);
    WaitUntil(
        [this] {
            DWORD process = 0;
            ::GetWindowThreadProcessId(::GetForegroundWindow(), &process);
            return process == info.dwProcessId;
        },
        2000);
}

void CProgram::PressKey(WORD key, bool control)
{
    BringToFront();
    std::vector<INPUT> inputs = KeyPressInputs(key, false, control);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    WaitUntilIdle();
}

void CProgram::ClickTreeRow(int row, int level)
{
    HWND tree = Tree();
    int height = static_cast<int>(::SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
    int indent = static_cast<int>(::SendMessageW(tree, TVM_GETINDENT, 0, 0));
    // On the label: lines at the root indent every level by one more step.
    POINT at = {indent * (level + 1) + 12, row * height + height / 2};
    ::ClientToScreen(tree, &at);
    Click(at);
}

void CProgram::Click(POINT screen)
{
    BringToFront();
    SendClick(screen);
    WaitUntilIdle();
}

void SendClick(POINT screen)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>((screen.x * 65535 + width / 2) / (width - 1));
        input.mi.dy = static_cast<LONG>((screen.y * 65535 + height / 2) / (height - 1));
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(3, inputs, sizeof(INPUT));
}

void CProgram::WaitUntilIdle()
{
    ::WaitForInputIdle(info.hProcess, 5000);
    // A sent message overtakes queued input, so the answer says only that the program is not
    // stuck; callers wait for the input's effect itself.
    DWORD_PTR result = 0;
    ::Sleep(50);
    ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
}

bool CProgram::ChooseMenuItem(int menuIndex, char accessKey)
{
    // The menu bar lies right above the client area; its drop-downs' titles are short words,
    // the first starting a few pixels in from the frame.
    POINT client = {0, 0};
    ::ClientToScreen(main, &client);
    POINT at = {client.x + 12 + menuIndex * 30, client.y - ::GetSystemMetrics(SM_CYMENU) / 2};
    Click(at);
    if (!WaitUntil([this] { return FindShownWindow(L"#32768") != nullptr; })) return false;
    PressKey(static_cast<WORD>(accessKey));
    return true;
}

namespace {

// Reads a tree item's label out of the program: the tree view writes it into memory of the
// program's own, as for any tool that reads another process's tree.
std::wstring RemoteItemText(HANDLE process, HWND tree, HTREEITEM item)
{
    const SIZE_T textChars = 512;
    void* remote = ::VirtualAllocEx(process, nullptr, sizeof(TVITEMW) + textChars * sizeof(wchar_t),
                                    MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return L"(unreadable)";
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(TVITEMW));
    TVITEMW request = {};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = remoteText;
    request.cchTextMax = static_cast<int>(textChars);
    std::vector<wchar_t> text(textChars + 1, L'\0');
    if (::WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
        ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)))
        ::ReadProcessMemory(process, remoteText, text.data(), textChars * sizeof(wchar_t), nullptr);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text.data();
}

HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void AppendTreeText(HANDLE process, HWND tree, HTREEITEM item, std::wstring& text)
{
    text += RemoteItemText(process, tree, item);
    HTREEITEM child = NextItem(tree, item, TVGN_CHILD);
    if (!child) return;
    text += L'[';
    for (bool first = true; child; child = NextItem(tree, child, TVGN_NEXT), first = false) {
        if (!first) text += L',';
        AppendTreeText(process, tree, child, text);
    }
    text += L']';
}

} // namespace

std::wstring CProgram::TreeText()
{
    std::wstring text;
    HWND tree = Tree();
    for (HTREEITEM root = NextItem(tree, nullptr, TVGN_ROOT); root;
         root = NextItem(tree, root, TVGN_NEXT))
        AppendTreeText(info.hProcess, tree, root, text);
    return text;
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    LONGLONG lastSize = -1;
    do {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
            LONGLONG size = (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            if (size == lastSize) return true;
            lastSize = size;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < timeoutMs);
    return false;
}

namespace {

std::uint32_t Crc32(const unsigned char* data, std::size_t length, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void PutChunk(std::vector<unsigned char>& out, const char* type,
              const std::vector<unsigned char>& data)
{
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::vector<unsigned char> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBigEndian(out, Crc32(typed.data(), typed.size()));
}

// A PNG of 24-bit RGB rows, compressed with stored (uncompressed) deflate blocks.
std::vector<unsigned char> EncodePng(int width, int height, const std::vector<unsigned char>& rgb)
{
    std::vector<unsigned char> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        auto row = rgb.begin() + static_cast<std::ptrdiff_t>(y) * width * 3;
        raw.insert(raw.end(), row, row + width * 3);
    }
    std::vector<unsigned char> zlib = {0x78, 0x01};
    for (std::size_t at = 0; at < raw.size() || at == 0;) {
        std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        bool last = at + length == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<unsigned char>(length & 0xFF));
        zlib.push_back(static_cast<unsigned char>(length >> 8));
        zlib.push_back(static_cast<unsigned char>(~length & 0xFF));
        zlib.push_back(static_cast<unsigned char>((~length >> 8) & 0xFF));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                    raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        if (last) break;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace

bool SaveWindowScreenshot(HWND window, const std::wstring& path)
{
    RECT rect = {};
    if (!::GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height; // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> bgra(static_cast<std::size_t>(width) * height * 4);
    bool read = ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bgra.data(), &format,
                            DIB_RGB_COLORS) == height;
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (!read) return false;

    std::vector<unsigned char> rgb;
    rgb.reserve(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < bgra.size(); i += 4) {
        rgb.push_back(bgra[i + 2]);
        rgb.push_back(bgra[i + 1]);
        rgb.push_back(bgra[i]);
    }
    std::vector<unsigned char> png = EncodePng(width, height, rgb);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr) &&
              written == png.size();
    ::CloseHandle(file);
    return ok;
}

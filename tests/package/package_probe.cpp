// What the installer test (package_test.py) asks Windows about an installed Quillomere, inside the
// Wine prefix it installed into. Prints its findings as NAME=VALUE lines.
//   package_probe run EXE        starts EXE as a person does, with no project or page in the
//                                Documents folder (any there are put aside and back), presses F5
//                                and closes the window; exit status 0 when the page written is
//                                the sample project's and the program's exit code is 0
//   package_probe shortcut LNK   the shortcut's target, working folder and icon
//   package_probe version EXE    the version information of EXE
#include "e2e/program.h"
#include "gui_desktop.h"
#include "model/project.h"
#include "services/default_project.h"
#include "test_support.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Print(const wchar_t* name, const std::wstring& value)
{
    std::wprintf(L"%ls=%ls\n", name, value.c_str());
}

int Run(const std::wstring& exe)
{
    HDESK desktop = EnterTestDesktop();
    if (!desktop) {
        Print(L"error", L"no desktop for the program");
        return 1;
    }
    int status = 1;
    {
        CProgramFiles files;
        CProgram program(exe);
        HWND main = program.Started() ? program.WaitForMainWindow() : nullptr;
        Print(L"window", main ? L"shown" : L"none");
        if (main) {
            CProject sample;
            BuildDefaultProject(sample);
            const std::string expected = GeneratedPage(sample);
            program.PressKey(VK_F5);
            const bool written =
                WaitUntil([&] { return ReadFileBytes(files.homepage) == expected; });
            Print(L"page", written ? L"sample" : L"missing or different");
            ::PostMessageW(main, WM_CLOSE, 0, 0);
            const DWORD code = program.WaitForExit();
            Print(L"exit", std::to_wstring(code));
            status = written && code == 0 ? 0 : 1;
        }
    }
    ::CloseDesktop(desktop);
    return status;
}

int Shortcut(const std::wstring& path)
{
    if (FAILED(::CoInitialize(nullptr))) return 1;
    int status = 1;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(WindowsPath(path).c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH] = {};
        int index = 0;
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        Print(L"target", text);
        text[0] = L'\0';
        link->GetWorkingDirectory(text, MAX_PATH);
        Print(L"folder", text);
        text[0] = L'\0';
        link->GetIconLocation(text, MAX_PATH, &index);
        Print(L"icon", text);
        status = 0;
    }
    if (file) file->Release();
    if (link) link->Release();
    ::CoUninitialize();
    return status;
}

// One string of the version information's first language block.
std::wstring VersionString(const std::vector<char>& data, const std::wstring& name)
{
    struct Translation
    {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                          reinterpret_cast<void**>(&translation), &size) ||
        size < sizeof *translation)
        return L"";
    wchar_t query[64];
    std::swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
                  translation->codePage, name.c_str());
    wchar_t* value = nullptr;
    if (!::VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &size)) return L"";
    return std::wstring(value, size ? size - 1 : 0);
}

int Version(const std::wstring& exe)
{
    const std::wstring path = WindowsPath(exe);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<char> data(size);
    if (!size || !::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return 1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
        length >= sizeof *fixed) {
        wchar_t text[64];
        std::swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwProductVersionMS),
                      LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                      LOWORD(fixed->dwProductVersionLS));
        Print(L"fixed", text);
    }
    for (const wchar_t* name : {L"ProductName", L"ProductVersion", L"FileVersion", L"CompanyName"})
        Print(name, VersionString(data, name));
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc == 3 ? argv[1] : L"";
    if (command == L"run") return Run(argv[2]);
    if (command == L"shortcut") return Shortcut(argv[2]);
    if (command == L"version") return Version(argv[2]);
    std::fwprintf(stderr, L"usage: package_probe run EXE | shortcut LNK | version EXE\n");
    return 2;
}

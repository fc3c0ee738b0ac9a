// "About Quillomere": the version, where the project file and the homepage are, and the notices
// of the libraries the program contains.
#pragma once

#include <windows.h>

#include <string>

class CdlgAbout
{
public:
    explicit CdlgAbout(HWND owner) : owner(owner) {}
    CdlgAbout(const CdlgAbout&) = delete;
    CdlgAbout& operator=(const CdlgAbout&) = delete;

    // Shows the box until it is closed.
    void Run();

    int OnInitDialog();
    int OnCommand(WPARAM wParam, LPARAM lParam);

    // The texts the box shows.
    static std::wstring VersionText();
    static std::wstring FilesText();
    static std::wstring NoticesText();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND owner; // not owned
    HWND window = nullptr;
};

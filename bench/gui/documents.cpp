#include <windows.h>

#include <shlobj.h>

#include <string>

std::wstring UserDocumentsFolder()
{
    wchar_t folder[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, FALSE);
    return folder;
}

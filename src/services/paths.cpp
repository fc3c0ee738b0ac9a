#include "services/paths.h"

std::wstring DocumentsFolder;
std::wstring ProjectFilePath;
std::wstring HomepageFilePath;
std::wstring RecoveryFilePath;

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

std::wstring WithoutTrailingSeparators(std::wstring folder)
{
    while (!folder.empty() && IsSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

// `folder` and a file name joined by one backslash.
std::wstring PathInFolder(const std::wstring& folder, const std::wstring& name)
{
    // A drive root as the shell gives it, "D:\", already ends with its backslash.
    if (!folder.empty() && IsSeparator(folder.back())) return folder + name;
    return folder + L'\\' + name;
}

} // namespace

bool IsRootFolder(const std::wstring& folder)
{
    std::wstring trimmed = WithoutTrailingSeparators(folder);
    // "", "\" and "/" all trim to nothing.
    if (trimmed.empty()) return true;
    // "C:" and "\\?\C:".
    if (trimmed.size() == 2 && trimmed[1] == L':') return true;
    if (trimmed.size() == 6 && trimmed.compare(0, 4, L"\\\\?\\") == 0 && trimmed[5] == L':')
        return true;
    // "\\server" and "\\server\share".
    if (trimmed.size() > 2 && IsSeparator(trimmed[0]) && IsSeparator(trimmed[1]) &&
        trimmed[2] != L'?') {
        std::size_t separators = 0;
        for (std::size_t i = 2; i < trimmed.size(); ++i)
            separators += IsSeparator(trimmed[i]);
        return separators <= 1;
    }
    return false;
}

std::wstring ChooseFolder(const std::wstring& documents, const std::vector<std::wstring>& fallbacks)
{
    if (!documents.empty()) return documents;
    for (const std::wstring& candidate : fallbacks) {
        if (!IsRootFolder(candidate)) return WithoutTrailingSeparators(candidate);
    }
    return std::wstring();
}

void BuildFilePaths(const std::wstring& documentsFolder)
{
    DocumentsFolder = documentsFolder;
    ProjectFilePath = PathInFolder(DocumentsFolder, L"Quillomere.quil");
    HomepageFilePath = PathInFolder(DocumentsFolder, L"Quillomere.html");
}

void BuildRecoveryPath(const std::wstring& localAppDataFolder)
{
    RecoveryFilePath.clear();
    if (IsRootFolder(localAppDataFolder)) return;
    const std::wstring folder = PathInFolder(
        PathInFolder(WithoutTrailingSeparators(localAppDataFolder), L"Quillomere"), L"Recovery");
    RecoveryFilePath = PathInFolder(folder, L"Quillomere.quil");
}

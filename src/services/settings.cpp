#include "services/settings.h"

#include <windows.h>

#include <vector>

namespace {

const wchar_t kProgramKey[] = L"Software\\Quillomere";
std::wstring testKey;

const wchar_t kWriteHomepageOnSave[] = L"WriteHomepageOnSave";
const wchar_t kPreviewBrowser[] = L"PreviewBrowser";

// Longer than any path a person can choose.
const DWORD kLongestText = 32768 * sizeof(wchar_t);

bool ReadNumber(HKEY key, const wchar_t* name, DWORD& value)
{
    DWORD type = 0;
    DWORD read = 0;
    DWORD size = sizeof read;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&read), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof read)
        return false;
    value = read;
    return true;
}

bool ReadText(HKEY key, const wchar_t* name, std::wstring& value)
{
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size > kLongestText)
        return false;
    // A wchar_t more than the value needs: a value stored without its NUL still ends.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                           &read) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    value = buffer.data();
    return true;
}

} // namespace

const wchar_t* SettingsKey()
{
    return testKey.empty() ? kProgramKey : testKey.c_str();
}

void SetSettingsKeyForTesting(const wchar_t* key)
{
    testKey = key ? key : L"";
}

ProgramSettings LoadSettings()
{
    ProgramSettings settings;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return settings;
    DWORD number = 0;
    if (ReadNumber(key, kWriteHomepageOnSave, number)) settings.writeHomepageOnSave = number != 0;
    ReadText(key, kPreviewBrowser, settings.previewBrowser);
    ::RegCloseKey(key);
    return settings;
}

bool SaveSettings(const ProgramSettings& settings)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD number = settings.writeHomepageOnSave ? 1 : 0;
    bool written =
        ::RegSetValueExW(key, kWriteHomepageOnSave, 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&number), sizeof number) == ERROR_SUCCESS;
    const std::wstring& browser = settings.previewBrowser;
    written = ::RegSetValueExW(
                  key, kPreviewBrowser, 0, REG_SZ, reinterpret_cast<const BYTE*>(browser.c_str()),
                  static_cast<DWORD>((browser.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
              written;
    ::RegCloseKey(key);
    return written;
}

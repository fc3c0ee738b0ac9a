#include "registry_override.h"

#include <gtest/gtest.h>

CRegistryKeyOverride::CRegistryKeyOverride(HKEY root, std::wstring keyPath)
    : root(root), path(std::move(keyPath))
{
    std::wstring level;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        level = path.substr(0, end);
        HKEY key = nullptr;
        bool exists = ::RegOpenKeyExW(root, level.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (exists) ::RegCloseKey(key);
        levels.push_back({level, exists});
        start = end + 1;
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    DWORD count = 0, longestName = 0, largestData = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &longestName, &largestData, nullptr, nullptr);
    for (DWORD index = 0; index < count; ++index) {
        std::vector<wchar_t> name(longestName + 1);
        DWORD nameLength = longestName + 1;
        DWORD type = 0;
        std::vector<BYTE> data(largestData);
        DWORD size = largestData;
        EXPECT_EQ(::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(),
                                  &size),
                  ERROR_SUCCESS);
        data.resize(size);
        saved.push_back({std::wstring(name.data(), nameLength), type, data});
    }
    ::RegCloseKey(key);
}

CRegistryKeyOverride::~CRegistryKeyOverride()
{
    ::RegDeleteKeyW(root, path.c_str());
    if (levels.back().existed) {
        HKEY key = nullptr;
        ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        for (const Value& value : saved) {
            ::RegSetValueExW(key, value.name.empty() ? nullptr : value.name.c_str(), 0, value.type,
                             value.data.data(), static_cast<DWORD>(value.data.size()));
        }
        ::RegCloseKey(key);
    }
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
        if (!level->existed) ::RegDeleteKeyW(root, level->path.c_str());
    }
}

void CRegistryKeyOverride::SetText(DWORD type, const std::wstring& text, const wchar_t* name)
{
    Set(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), name);
}

void CRegistryKeyOverride::SetNumber(const wchar_t* name, DWORD value)
{
    Set(REG_DWORD, &value, sizeof value, name);
}

void CRegistryKeyOverride::Set(DWORD type, const void* data, DWORD size, const wchar_t* name)
{
    HKEY key = nullptr;
    ASSERT_EQ(
        ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

void CRegistryKeyOverride::Remove()
{
    ::RegDeleteKeyW(root, path.c_str());
}

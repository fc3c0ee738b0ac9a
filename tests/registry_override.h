// Changes a registry key for a test and puts back exactly what was there: the key's values, or
// no key at all (with the parent keys this created).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CRegistryKeyOverride
{
public:
    CRegistryKeyOverride(HKEY root, std::wstring path);
    ~CRegistryKeyOverride();
    CRegistryKeyOverride(const CRegistryKeyOverride&) = delete;
    CRegistryKeyOverride& operator=(const CRegistryKeyOverride&) = delete;

    // Sets the value `name` (the default value when null), creating the key if needed.
    void SetText(DWORD type, const std::wstring& text, const wchar_t* name = nullptr);
    void Set(DWORD type, const void* data, DWORD size, const wchar_t* name = nullptr);
    void SetNumber(const wchar_t* name, DWORD value);
    // Deletes the key (it must have no subkeys).
    void Remove();

private:
    struct Level
    {
        std::wstring path;
        bool existed;
    };
    struct Value
    {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    HKEY root;
    std::wstring path;
    std::vector<Level> levels;
    std::vector<Value> saved;
};

#include "gui_desktop.h"

const wchar_t kTestDesktop[] = L"quillomere-tests";

HDESK EnterTestDesktop()
{
    // Wine sizes a named desktop from its own registry key; Windows ignores the key.
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        const wchar_t size[] = L"1280x1024";
        ::RegSetValueExW(key, kTestDesktop, 0, REG_SZ, reinterpret_cast<const BYTE*>(size),
                         sizeof size);
        ::RegCloseKey(key);
    }
    HDESK desktop = ::CreateDesktopW(kTestDesktop, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop && !::SetThreadDesktop(desktop)) {
        ::CloseDesktop(desktop);
        desktop = nullptr;
    }
    return desktop;
}

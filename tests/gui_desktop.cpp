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

std::vector<INPUT> KeyPressInputs(WORD key, bool shift, bool control, bool alt)
{
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD virtualKey, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        if (virtualKey == VK_UP || virtualKey == VK_DOWN || virtualKey == VK_DELETE)
            input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        inputs.push_back(input);
    };
    if (alt) add(VK_MENU, false);
    if (control) add(VK_CONTROL, false);
    if (shift) add(VK_SHIFT, false);
    add(key, false);
    add(key, true);
    if (shift) add(VK_SHIFT, true);
    if (control) add(VK_CONTROL, true);
    if (alt) add(VK_MENU, true);
    return inputs;
}

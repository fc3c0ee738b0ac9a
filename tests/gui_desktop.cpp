#include "gui_desktop.h"

#include "editor/window_placement.h"

#include <gtest/gtest.h>

const wchar_t kTestDesktop[] = L"quillomere-tests";

namespace {

class CTestDesktop : public ::testing::Environment
{
public:
    void SetUp() override
    {
        // Wine sizes a named desktop from its own registry key; Windows ignores the key.
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            const wchar_t size[] = L"1280x1024";
            ::RegSetValueExW(key, kTestDesktop, 0, REG_SZ, reinterpret_cast<const BYTE*>(size),
                             sizeof size);
            ::RegCloseKey(key);
        }
        desktop = ::CreateDesktopW(kTestDesktop, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ASSERT_NE(desktop, nullptr);
        ASSERT_TRUE(::SetThreadDesktop(desktop));
    }
    void TearDown() override
    {
        if (desktop) ::CloseDesktop(desktop);
    }

private:
    HDESK desktop = nullptr;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new CTestDesktop);

// The windows of the tests keep their placement under a key of the tests' own, which every test
// starts without: one test's quit must not place the next test's window.
const wchar_t kTestPlacementKey[] = L"Software\\QuillomereTests";

class CPlacementReset : public ::testing::EmptyTestEventListener
{
public:
    void OnTestProgramStart(const ::testing::UnitTest&) override
    {
        SetPlacementKeyForTesting(kTestPlacementKey);
    }
    void OnTestStart(const ::testing::TestInfo&) override
    {
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kTestPlacementKey);
    }
    void OnTestProgramEnd(const ::testing::UnitTest&) override
    {
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kTestPlacementKey);
    }
};

const bool placementReset = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new CPlacementReset);
    return true;
}();

} // namespace

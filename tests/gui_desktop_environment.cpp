// Every GUI test program runs its tests on the tests' desktop (gui_desktop.h).
#include "gui_desktop.h"

#include "editor/window_placement.h"

#include <gtest/gtest.h>

#include <ole2.h>

namespace {

class CTestDesktop : public ::testing::Environment
{
public:
    void SetUp() override
    {
        desktop = EnterTestDesktop();
        ASSERT_NE(desktop, nullptr);
        // As the program does at start: the tree takes drops.
        ole = SUCCEEDED(::OleInitialize(nullptr));
    }
    void TearDown() override
    {
        if (ole) ::OleUninitialize();
        if (desktop) ::CloseDesktop(desktop);
    }

private:
    HDESK desktop = nullptr;
    bool ole = false;
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

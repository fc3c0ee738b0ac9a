// Every GUI test program runs its tests on the tests' desktop (gui_desktop.h).
#include "gui_desktop.h"

#include <gtest/gtest.h>

namespace {

class CTestDesktop : public ::testing::Environment
{
public:
    void SetUp() override
    {
        desktop = EnterTestDesktop();
        ASSERT_NE(desktop, nullptr);
    }
    void TearDown() override
    {
        if (desktop) ::CloseDesktop(desktop);
    }

private:
    HDESK desktop = nullptr;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new CTestDesktop);

} // namespace

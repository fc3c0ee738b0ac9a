// The real program, started as a user starts it.
#include "e2e/program.h"

#include <gtest/gtest.h>

TEST(Program, StartsShowsItsWindowAndQuitsWithExitCodeZero)
{
    CProgram program;
    ASSERT_TRUE(program.Started());
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    wchar_t title[64] = {};
    ::GetWindowTextW(main, title, 64);
    EXPECT_STREQ(title, L"Quillomere");
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

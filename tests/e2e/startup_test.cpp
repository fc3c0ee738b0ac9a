// The real program, started as a user starts it.
#include "e2e/program.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

} // namespace

TEST(Program, StartsShowsItsWindowAndQuitsWithExitCodeZero)
{
    CProgram program;
    ASSERT_TRUE(program.started);
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main), L"Quillomere");
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

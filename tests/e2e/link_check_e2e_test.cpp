// The real program's link check against the tests' own server on loopback
// (tests/network/with_link_server.py names it in QUIL_LINK_SERVER; without it the test is
// skipped): Ctrl+L, the results, Replace moved links and Ctrl+S, with real input.
#include "e2e/program.h"

#include "model/item_link.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/text.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <sstream>

namespace {

std::wstring ServerBase()
{
    const char* value = std::getenv("QUIL_LINK_SERVER");
    std::istringstream words(value ? value : "");
    std::string first;
    words >> first;
    return FromUtf8(first);
}

// The program's results window, once it is shown.
HWND WaitForResultsWindow(DWORD process)
{
    HWND found = nullptr;
    WaitUntil([&] {
        found = nullptr;
        while ((found = ::FindWindowExW(nullptr, found, L"#32770", L"Check links"))) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(found, &owner);
            if (owner == process && ::IsWindowVisible(found)) return true;
        }
        return false;
    });
    return found;
}

} // namespace

TEST(ProgramLinkCheckTest, CtrlLThenReplaceMovedLinksAndCtrlSSaveTheFinalAddresses)
{
    const std::wstring base = ServerBase();
    if (base.empty()) GTEST_SKIP() << "no link server (run through with_link_server.py)";
    CProgramFiles files;
    {
        CProject start;
        start.title = L"Links";
        auto* column = new CColumn(start, L"Web");
        auto* group = new CGroup(*column, L"Checks");
        auto* ok = new CItemLink(*group, L"ok", base + L"/ok");
        ok->AddLink(L"moved 308", base + L"/perm");
        new CItemLink(*group, L"moved", base + L"/moved");
        new CItemLink(*group, L"temporary", base + L"/temp");
        new CItemLink(*group, L"missing", base + L"/missing");
        ASSERT_TRUE(SaveProjectFile(start, files.project));
    }

    CProgram program;
    ASSERT_TRUE(program.Started());
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    DWORD process = 0;
    ::GetWindowThreadProcessId(main, &process);
    program.PressKey('L', true);
    HWND results = WaitForResultsWindow(process);
    ASSERT_NE(results, nullptr);
    // Not owned: opening a row brings the main window in front of it.
    EXPECT_EQ(::GetWindow(results, GW_OWNER), nullptr);
    // Done when there is something to replace (another process's list texts cannot be read).
    HWND replace = ::GetDlgItem(results, IDC_LINKCHECK_REPLACE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(replace) != FALSE; }, 30000));
    EXPECT_EQ(::SendMessageW(::GetDlgItem(results, IDC_LINKCHECK_LIST), LVM_GETITEMCOUNT, 0, 0), 5);

    RECT button = {};
    ::GetWindowRect(replace, &button);
    // The results window in front, as the check left it, and a click on its button.
    ::SetForegroundWindow(results);
    WaitUntil([&] { return ::GetForegroundWindow() == results; }, 2000);
    SendClick({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(replace) == FALSE; }));
    program.PressKey('S', true);

    // The main links, then the further link, as the saved file holds them.
    std::vector<std::wstring> urls;
    auto readSaved = [&] {
        urls.clear();
        CProject saved;
        if (LoadProjectFile(saved, files.project) < 0 || saved.columns.size() != 1) return false;
        for (CItem* item : saved.columns[0]->groups[0]->items)
            urls.push_back(static_cast<CItemLink*>(item)->mainLink.url);
        urls.push_back(
            static_cast<CItemLink*>(saved.columns[0]->groups[0]->items[0])->links[0]->url);
        return urls[1] == base + L"/ok";
    };
    EXPECT_TRUE(WaitUntil(readSaved));
    EXPECT_EQ(urls, (std::vector<std::wstring>{base + L"/ok", base + L"/ok", base + L"/temp",
                                               base + L"/missing", base + L"/ok"}));
    // Saved: quitting asks nothing.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

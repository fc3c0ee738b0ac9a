// Times the editor's link check under Wine: the whole project checked in the background (Ctrl+L's
// command, the WinHTTP stack), and how the window's message loop keeps up meanwhile: the longest
// single message, and the longest gap between the ticks of a 10 ms timer. Prints figures; run by
// hand through bench/linkcheck-speed (no pass or fail).
//   link_check_timing.exe URLS.txt      one address per line
#include "editor/tree_editor.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/streams.h"
#include "resources/resource.h"
#include "timing_support.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> ReadLines(const wchar_t* path)
{
    std::vector<std::wstring> lines;
    CFileStream file(path, false);
    std::string bytes, chunk(65536, '\0');
    std::int32_t read = 0;
    while ((read = file.Read(&chunk[0], static_cast<std::int32_t>(chunk.size()))) > 0)
        bytes.append(chunk, 0, static_cast<std::size_t>(read));
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        if (end > start) lines.emplace_back(bytes.begin() + start, bytes.begin() + end);
        start = end + 1;
    }
    return lines;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::printf("usage: link_check_timing.exe URLS.txt\n");
        return 2;
    }
    const std::vector<std::wstring> urls = ReadLines(argv[1]);
    ::InitCommonControls();
    CProject project;
    project.title = L"Timing";
    // Ten columns of ten groups share the links, as a large start page would.
    std::vector<CGroup*> groups;
    for (int c = 0; c < 10; ++c) {
        auto* column = new CColumn(project, L"Column " + std::to_wstring(c));
        for (int g = 0; g < 10; ++g)
            groups.push_back(new CGroup(*column, L"Group " + std::to_wstring(g)));
    }
    for (std::size_t i = 0; i < urls.size(); ++i)
        new CItemLink(*groups[i * groups.size() / urls.size()], L"Link " + std::to_wstring(i),
                      urls[i]);

    CfrmTreeEditor editor(project);
    if (!editor.Create()) return 1;
    HWND main = editor.MainWindow();
    editor.Populate();
    ::ShowWindow(main, SW_SHOWNORMAL);
    Pump();

    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, nullptr);
    const double start = Now();
    ::SendMessageW(main, WM_COMMAND, IDM_CHECK_LINKS, 0);
    const double started = Now() - start;
    double lastTick = Now(), longestGap = 0, longestMessage = 0;
    long messages = 0;
    MSG message;
    while (!editor.linkCheck.Results()) {
        if (!::GetMessageW(&message, nullptr, 0, 0)) break;
        const double before = Now();
        if (message.message == WM_TIMER && message.hwnd == nullptr) {
            longestGap = std::max(longestGap, before - lastTick);
            lastTick = before;
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
        longestMessage = std::max(longestMessage, Now() - before);
        ++messages;
    }
    const double seconds = (Now() - start) / 1000;
    ::KillTimer(nullptr, timer);
    std::printf("editor check of %zu links: %.1f s (the command returned after %.1f ms); message "
                "loop: longest message %.1f ms, longest gap between 10 ms timer ticks %.1f ms, "
                "%ld messages; %zu rows listed\n",
                urls.size(), seconds, started, longestMessage, longestGap, messages,
                editor.linkCheck.Results() ? editor.linkCheck.Results()->Count() : 0);
    std::fflush(stdout);
    return 0;
}

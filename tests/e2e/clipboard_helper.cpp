// Puts a two-link CF_HTML fragment on the clipboard, as a browser does when a person copies part
// of a page, and ends: the end-to-end test pastes it into the real program.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int wmain()
{
    const std::string before = "<html>\r\n<body>\r\n<!--StartFragment-->";
    const std::string fragment = "<ul><li><a href=\"https://one.example.com/\">First "
                                 "link</a></li>\r\n<li><a href=\"/two?a=1&amp;b=2\">Second</a>"
                                 "</li></ul>";
    const std::string after = "<!--EndFragment-->\r\n</body>\r\n</html>";
    char header[256];
    const char format[] = "Version:0.9\r\nStartHTML:%010u\r\nEndHTML:%010u\r\n"
                          "StartFragment:%010u\r\nEndFragment:%010u\r\n"
                          "SourceURL:https://two.example.com/page\r\n";
    const int headerSize = std::snprintf(header, sizeof header, format, 0u, 0u, 0u, 0u);
    const unsigned startHtml = static_cast<unsigned>(headerSize);
    const unsigned startFragment = startHtml + static_cast<unsigned>(before.size());
    const unsigned endFragment = startFragment + static_cast<unsigned>(fragment.size());
    const unsigned endHtml = endFragment + static_cast<unsigned>(after.size());
    std::snprintf(header, sizeof header, format, startHtml, endHtml, startFragment, endFragment);
    const std::string bytes = header + before + fragment + after;

    if (!::OpenClipboard(nullptr)) return 1;
    ::EmptyClipboard();
    HGLOBAL global = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    if (!global) return 1;
    std::memcpy(::GlobalLock(global), bytes.c_str(), bytes.size() + 1);
    ::GlobalUnlock(global);
    const bool put = ::SetClipboardData(::RegisterClipboardFormatW(L"HTML Format"), global);
    ::CloseClipboard();
    return put ? 0 : 1;
}

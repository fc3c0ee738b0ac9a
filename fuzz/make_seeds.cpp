// Writes seed inputs for the fuzzers: project files of random projects, and (for the importer)
// the Classic or Modern pages or bookmark files generated from them; bookmark seeds also take the
// hand-written files in the manner of the browsers' exports; clipboard seeds are a reader's number
// and what a copy of a random column gives in its format. Icon seeds are data addresses, image
// files and pages that name icons.
#include "edit/site.h"
#include "homepage/bookmark_writer.h"
#include "homepage/modern_page.h"
#include "homepage/page_writer.h"
#include "icons/test_images.h"
#include "import/browser_bookmark_files.h"
#include "model/project.h"
#include "network/quillomere_address.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "random_project.h"
#include "transfer/html_clipboard.h"
#include "transfer/node_bytes.h"
#include "transfer/url_sources.h"
#include "transfer/utf16.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

bool WriteIconSeeds(const std::string& folder)
{
    std::string large = MakeIco(
        {{64, MakePng(64, 0xff0000)}, {32, MakePng(32, 0x0000ff)}, {16, MakePng(16, 0x00ff00)}});
    const std::string seeds[] = {
        DataUri("image/png", MakePng(16, 0x336699)),
        DataUri("image/gif", MakeGif(16, 0x993366)),
        DataUri("image/x-icon", MakeIco({{16, MakePng(16, 0x669933)}})),
        " DATA:image/svg+xml;BASE64," + DataUri("", MakeSvg(0x123456)).substr(13),
        "data:image/png;base64,iVBO%52w0K Gg o=",
        DataUri("image/jpeg", JpegLike(40)),
        DataUri("image/webp", WebpLike(40)),
        large,
        MakeGif(16, 0x808080),
        "<html><head><link rel=icon sizes=\"16x16 32x32\" href=\"/a.png\"><LINK REL=\"shortcut "
        "icon\" href='/b.ico'><link rel=apple-touch-icon href=c.png sizes=any type=image/png>"
        "<script>a<b</script><link rel=icon href=\"data:image/png;base64,iVBORw0KGgo=\">",
    };
    int n = 0;
    for (const std::string& seed : seeds) {
        CFileStream file(FromUtf8(folder + "/icon-" + std::to_string(n++)), true);
        WriteBytes(file, seed);
        if (!file.Close()) return false;
    }
    return true;
}

// For the address fuzzer: an address, then what a server answered (a Location, or a whole head).
bool WriteUrlSeeds(const std::string& folder)
{
    const std::string seeds[] = {
        "http://a.test/x?y=1&amp;z\nhttps://b.test/../c",
        "http://a.test/dir/page\n JaVaScRiPt:alert(1)",
        "http://a.test/\njava\tscript:alert(1)",
        "https://a.test/\n&#106;avascript:alert(1)",
        "http&colon;//a.test/\ndata:text/html,<script>x</script>",
        "http://a.test/\nHTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 301 Moved\r\nLocation: "
        "javascript:\x1b[2J\x1b]0;t\x07\xC2\x9B\r\nRetry-After: 5\r\n\r\nbody",
        "http://a.test/\nHTTP/1.1 200 OK\r\nX-Endless: aaaa\r\nX-Endless: aaaa\r\n",
        "http://[::1]:8080/\n//b.test\\c/./d/../e?f#g",
    };
    int n = 0;
    for (const std::string& seed : seeds) {
        CFileStream file(FromUtf8(folder + "/url-" + std::to_string(n++)), true);
        WriteBytes(file, seed);
        if (!file.Close()) return false;
    }
    return true;
}

// Bookmark files made to break a reader: scripts spelt as a browser still runs them, unquoted
// values holding "=", quoted ones holding "<" and ">", and UTF-16.
bool WriteHostileBookmarkSeeds(const std::string& folder)
{
    const std::string head =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><H3>F</H3>\n<DL><p>\n";
    const std::string seeds[] = {
        head + "<DT><A HREF=\"&#106;avascript:x\">a</A>\n<DT><A HREF=\"java&Tab;script:x\">b</A>\n"
               "<DT><A HREF=\" VBScript&#x3A;x\">c</A>\n<DT><A HREF=\"https://d.test/\">d</A>\n",
        head + "<DT><A HREF=http://b.invalid/x?y=1 ICON=data:image/png;base64,iVBORw0KGgo=>e</A>\n",
        head + "<DT><A HREF=\"https://a.test/?q=<b>\" TITLE='1 > 0'>f</A>\n</DL><p>\n</DL>\n",
    };
    int n = 0;
    for (const std::string& seed : seeds) {
        CFileStream file(FromUtf8(folder + "/hostile-" + std::to_string(n++) + ".html"), true);
        WriteBytes(file, seed);
        if (!file.Close()) return false;
    }
    // The first as UTF-16, little-endian with its byte order mark.
    CFileStream file(FromUtf8(folder + "/hostile-utf16.html"), true);
    WriteBytes(file, "\xFF\xFE" + ToUtf16Le(FromUtf8(seeds[0])));
    return file.Close();
}

// quillomere: addresses as the bookmarklet makes them, and as hand-made or hostile pages might.
bool WriteQuillomereSeeds(const std::string& folder)
{
    const std::string seeds[] = {
        ToUtf8(MakeAddAddress(L"https://example.com/a?b=1&c=2#top", L"Caf\u00e9 & <b>more</b>")),
        ToUtf8(MakeAddAddress(L"http://b\u00fccher.example:8080/x y", std::wstring(320, L'x'))),
        "QUILLOMERE://add/?title=A+b&url=http%3A//a.example/&url=javascript:1#frag",
        "quillomere:add?url=data%3Atext%2Fhtml%2C%3Cscript%3E&title=%C3%28%ED%A0%80%0A%",
        "quillomere:remove?url=https://a.example/",
    };
    int n = 0;
    for (const std::string& seed : seeds) {
        CFileStream file(FromUtf8(folder + "/quillomere-" + std::to_string(n++)), true);
        WriteBytes(file, seed);
        if (!file.Close()) return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "icons") == 0) return WriteIconSeeds(argv[2]) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "urls") == 0) return WriteUrlSeeds(argv[2]) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "quillomere") == 0)
        return WriteQuillomereSeeds(argv[2]) ? 0 : 1;
    const char* kinds[] = {"project", "page", "bookmarks", "modern", "clipboard"};
    int kind = -1;
    for (int i = 0; i < 5; ++i) {
        if (argc == 3 && std::strcmp(argv[1], kinds[i]) == 0) kind = i;
    }
    if (kind < 0) {
        std::fprintf(stderr,
                     "usage: make_seeds "
                     "project|page|bookmarks|modern|clipboard|icons|urls|quillomere FOLDER\n");
        return 2;
    }
    const bool pages = kind == 1, bookmarks = kind == 2, modern = kind == 3;
    std::string folder = argv[2];
    std::mt19937 random(7);
    for (int i = 0; i < 40; ++i) {
        CProject project;
        RandomProjectOptions options;
        options.pageSafe = (pages || bookmarks || modern) && i % 2 == 0;
        // Some columns with tabs: a chunk of the project file, sections of the Modern page.
        options.tabs = i % 3 == 1;
        BuildRandomProject(project, random, options);
        std::string path = folder + "/seed-" + std::to_string(i) + (kind == 0 ? ".quil" : ".html");
        CFileStream file(FromUtf8(path), true);
        if (kind == 4) {
            if (project.columns.empty()) continue;
            const std::vector<CStreamable*> nodes = {project.columns[0]};
            const std::string text = ToUtf16Le(WriteUrlText(kNodeColumn, nodes));
            const std::string seeds[] = {
                WriteNodeBytes(kNodeColumn, nodes), WriteHtmlClipboard(kNodeColumn, nodes), text,
                "[InternetShortcut]\r\nURL=" + ToUtf8(WriteUrlText(kNodeColumn, nodes)),
                std::string(1, '\0') + text};
            const std::string& seed = seeds[i % 5];
            WriteBytes(file, std::string(1, static_cast<char>(i % 5)) + seed);
        } else if (modern) {
            WriteModernPage(project, file, i % 3 == 0 ? "de" : "en");
        } else if (pages) {
            WritePage(project, file);
        } else if (bookmarks) {
            WriteBookmarks(project, file);
        } else {
            CStructStream writer(file);
            project.Save(writer);
        }
        if (!file.Close()) return 1;
    }
    if (bookmarks) {
        for (const BookmarkSample& sample : BrowserBookmarkFiles()) {
            CFileStream file(FromUtf8(folder + "/" + sample.name + ".html"), true);
            WriteBytes(file, sample.bytes);
            if (!file.Close()) return 1;
        }
        if (!WriteHostileBookmarkSeeds(folder)) return 1;
    }
    return 0;
}

// Writes seed inputs for the fuzzers: project files of random projects, and (for the importer)
// the Classic or Modern pages or bookmark files generated from them; bookmark seeds also take the
// hand-written files in the manner of the browsers' exports; clipboard seeds are a reader's number
// and what a copy of a random column gives in its format.
#include "edit/site.h"
#include "homepage/bookmark_writer.h"
#include "homepage/modern_page.h"
#include "homepage/page_writer.h"
#include "import/browser_bookmark_files.h"
#include "model/project.h"
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

int main(int argc, char** argv)
{
    const char* kinds[] = {"project", "page", "bookmarks", "modern", "clipboard"};
    int kind = -1;
    for (int i = 0; i < 5; ++i) {
        if (argc == 3 && std::strcmp(argv[1], kinds[i]) == 0) kind = i;
    }
    if (kind < 0) {
        std::fprintf(stderr, "usage: make_seeds project|page|bookmarks|modern|clipboard FOLDER\n");
        return 2;
    }
    const bool pages = kind == 1, bookmarks = kind == 2, modern = kind == 3;
    std::string folder = argv[2];
    std::mt19937 random(7);
    for (int i = 0; i < 40; ++i) {
        CProject project;
        RandomProjectOptions options;
        options.pageSafe = (pages || bookmarks || modern) && i % 2 == 0;
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
    }
    return 0;
}

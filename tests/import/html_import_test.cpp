#include "homepage/page_writer.h"
#include "import/html_import.h"
#include "import/project_html_parser.h"
#include "model/item_link.h"
#include "model/project.h"
#include "random_project.h"
#include "services/default_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kList[] = "<DL><p><DT><H3>F</H3><DL><p><DT><A HREF=\"u\">x</A></DL></DL>";

} // namespace

TEST(HtmlImport, TheDoctypeAfterAByteOrderMarkAndWhiteSpaceMakesABookmarkFile)
{
    for (const std::string& start : std::vector<std::string>{
             "<!DOCTYPE NETSCAPE-Bookmark-file-1>", "<!doctype netscape-bookmark-file-1>",
             "\xEF\xBB\xBF<!DocType NETSCAPE-BOOKMARK-FILE-1>",
             "\xEF\xBB\xBF \r\n\t\f\n<!DOCTYPE NETSCAPE-Bookmark-file-1>",
             std::string(10000, ' ') + "<!DOCTYPE NETSCAPE-Bookmark-file-1>"}) {
        for (std::int32_t limit : {0x7FFFFFFF, 1}) {
            CProject project;
            HtmlImportResult result = ImportBytes(project, start + kList, limit);
            EXPECT_EQ(result.kind, HtmlFileKind::Bookmarks) << start;
            EXPECT_TRUE(result.complete);
            ASSERT_EQ(project.columns.size(), 1u);
            EXPECT_EQ(project.columns[0]->caption, L"F");
        }
    }
    // Anything else, however close, is a page.
    for (const std::string& start : std::vector<std::string>{
             "", " ", "\xEF\xBB\xBF", "<!DOCTYPE html>", "<!DOCTYPE NETSCAPE-Bookmark-file-2>",
             "<!DOCTYPE NETSCAPE-Bookmark-file-1 >", "x<!DOCTYPE NETSCAPE-Bookmark-file-1>",
             "\xEF\xBB\xBF\xEF\xBB\xBF<!DOCTYPE NETSCAPE-Bookmark-file-1>",
             "<!DOCTYPE NETSCAPE-Bookmark-file"}) {
        CProject project;
        EXPECT_EQ(ImportBytes(project, start + kList).kind, HtmlFileKind::Page) << start;
    }
}

TEST(HtmlImport, PagesReadExactlyAsThePageImportReadsThem)
{
    CProject sample;
    BuildDefaultProject(sample);
    CRecordingStream written;
    WritePage(sample, written);
    std::string broken = written.bytes;
    broken.insert(broken.find("</th>"), " > ");
    std::mt19937 random(5);
    CProject randomProject;
    BuildRandomProject(randomProject, random);
    CRecordingStream randomPage;
    WritePage(randomProject, randomPage);
    for (const std::string& page : std::vector<std::string>{
             written.bytes, std::string("\xEF\xBB\xBF  ") + written.bytes, broken, randomPage.bytes,
             std::string("<html><title>cut</title"), std::string()}) {
        CProject direct;
        CRecordingStream stream(page);
        CProjectHTMLParser parser(direct);
        bool complete = parser.Parse(stream);
        for (std::int32_t limit : {0x7FFFFFFF, 3}) {
            CProject viaEntry;
            HtmlImportResult result = ImportBytes(viaEntry, page, limit);
            EXPECT_EQ(result.kind, HtmlFileKind::Page);
            EXPECT_EQ(result.complete, complete);
            EXPECT_EQ(result.errorOffset, parser.Failed() ? parser.ErrorOffset() : -1);
            EXPECT_EQ(DumpText(viaEntry), DumpText(direct));
            EXPECT_EQ(result.links, 0u);
        }
    }
}

TEST(HtmlImport, ErrorPositionsCountFromTheFirstByteOfTheFile)
{
    std::string file = "\xEF\xBB\xBF\r\n<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>"
                       "<DT><A HREF=\"u\">ok</A><DT><A HREF=\"v\">a > b</A></DL>";
    CProject project;
    HtmlImportResult result = ImportBytes(project, file, 2);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.errorOffset, static_cast<std::int64_t>(file.find('>', file.find("a >"))));
    EXPECT_EQ(result.links, 1u);
}

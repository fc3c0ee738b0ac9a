#include "homepage/bookmark_writer.h"
#include "import/html_import.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "random_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::string Bookmarks(const CProject& project)
{
    CRecordingStream stream;
    WriteBookmarks(project, stream);
    return stream.bytes;
}

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

std::wstring Collapsed(const std::wstring& text)
{
    std::wstring collapsed;
    bool space = false;
    for (wchar_t c : text) {
        if (IsSpace(c)) {
            space = !collapsed.empty();
            continue;
        }
        if (space) collapsed += L' ';
        space = false;
        collapsed += c;
    }
    return collapsed;
}

// What reading the bookmark file of `project` gives: one link item per link, form items and
// groups without links left out, columns without links too; titles collapsed, an empty one
// replaced by the address; a popup trimmed.
void BuildExpected(const CProject& project, CProject& expected)
{
    expected.title = Collapsed(project.title);
    for (const CColumn* column : project.columns) {
        CColumn* newColumn = nullptr;
        for (const CGroup* group : column->groups) {
            CGroup* newGroup = nullptr;
            for (const CItem* item : group->items) {
                if (item->GetTag() != tags::kItemLink) continue;
                const auto& link = static_cast<const CItemLink&>(*item);
                if (!newColumn) newColumn = new CColumn(expected, Collapsed(column->caption));
                if (!newGroup) newGroup = new CGroup(*newColumn, Collapsed(group->caption));
                auto add = [newGroup](const CItemLink::CLink& one) {
                    std::wstring caption = Collapsed(one.caption);
                    return new CItemLink(*newGroup, caption.empty() ? Collapsed(one.url) : caption,
                                         one.url);
                };
                CItemLink* main = add(link.mainLink);
                if (link.popup && !Collapsed(link.popup->content).empty()) {
                    std::wstring content = link.popup->content;
                    content.erase(0, content.find_first_not_of(L" \t\r\n"));
                    content.erase(content.find_last_not_of(L" \t\r\n") + 1);
                    main->SetPopupContent(content);
                }
                for (const CItemLink::CLink* further : link.links)
                    add(*further);
            }
        }
    }
}

} // namespace

TEST(BookmarkExport, FoldersPerColumnAndGroupBookmarksPerLink)
{
    CProject project;
    project.title = L"Start <page>";
    CColumn* column = new CColumn(project, L"News & more");
    CGroup* group = new CGroup(*column, L"Daily");
    CItemLink* item =
        new CItemLink(*group, L"Paper &amp; ink", L"https://p.example/?a=1&amp;b=\"2\"");
    item->divider = L" | ";
    item->AddLink(L"Sports", L"https://s.example/");
    item->SetPopupContent(L"<b>Bold</b> news<br>every day<BR />\r\nand a > b");
    CItemForm* form = new CItemForm(*group);
    form->name = L"search";
    new CItemLink(*group, L"a < b", L"u");
    new CGroup(*column, L"Empty");
    new CColumn(project, L"Empty column");

    EXPECT_EQ(Bookmarks(project),
              "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
              "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
              "charset=UTF-8\">\n"
              "<TITLE>Start &lt;page&gt;</TITLE>\n"
              "<H1>Start &lt;page&gt;</H1>\n"
              "<DL><p>\n"
              "    <DT><H3>News & more</H3>\n"
              "    <DL><p>\n"
              "        <DT><H3>Daily</H3>\n"
              "        <DL><p>\n"
              "            <DT><A HREF=\"https://p.example/?a=1&amp;b=&quot;2&quot;\">"
              "Paper &amp; ink</A>\n"
              "            <DD>Bold news\nevery day\n\r\nand a &gt; b\n"
              "            <DT><A HREF=\"https://s.example/\">Sports</A>\n"
              "            <DT><A HREF=\"u\">a &lt; b</A>\n"
              "        </DL><p>\n"
              "        <DT><H3>Empty</H3>\n"
              "        <DL><p>\n"
              "        </DL><p>\n"
              "    </DL><p>\n"
              "    <DT><H3>Empty column</H3>\n"
              "    <DL><p>\n"
              "    </DL><p>\n"
              "</DL><p>\n");

    CProject back;
    HtmlImportResult result = ImportBytes(back, Bookmarks(project));
    EXPECT_EQ(result.kind, HtmlFileKind::Bookmarks);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.links, 3u);
    ASSERT_EQ(back.columns.size(), 1u);
    const auto* first = static_cast<const CItemLink*>(back.columns[0]->groups[0]->items[0]);
    ASSERT_TRUE(first->popup);
    EXPECT_EQ(first->popup->content, L"Bold news<br />every day<br /><br />and a &gt; b");
}

TEST(BookmarkExport, RandomProjectsComeBackWithTheSameColumnsGroupsAndLinks)
{
    std::mt19937 random(12);
    RandomProjectOptions options;
    options.pageSafe = true;
    options.keptChunks = false;
    for (int round = 0; round < 200; ++round) {
        CProject original;
        BuildRandomProject(original, random, options);
        CProject expected;
        BuildExpected(original, expected);
        CProject back;
        HtmlImportResult result = ImportBytes(back, Bookmarks(original));
        ASSERT_TRUE(result.complete) << "round " << round;
        EXPECT_EQ(result.links, CountLinks(original)) << "round " << round;
        EXPECT_EQ(DumpText(back), DumpText(expected)) << "round " << round;
    }
}

TEST(BookmarkExport, AnyTextInTheProjectLeavesTheFileReadable)
{
    // Brackets, quotes and tabs anywhere: the file still reads to its end with every link.
    std::mt19937 random(13);
    for (int round = 0; round < 200; ++round) {
        CProject original;
        BuildRandomProject(original, random);
        CProject back;
        HtmlImportResult result = ImportBytes(back, Bookmarks(original));
        ASSERT_TRUE(result.complete) << "round " << round;
        EXPECT_EQ(result.links, CountLinks(original)) << "round " << round;
    }
}

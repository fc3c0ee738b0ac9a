#include "browser_bookmark_files.h"
#include "homepage/page_writer.h"
#include "icons/test_images.h"
#include "import/bookmark_parser.h"
#include "import/html_import.h"
#include "import/project_html_parser.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/text.h"
#include "random_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kHead[] = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n";

// A bookmark file whose outermost list holds `list`.
std::string File(const std::string& list)
{
    return std::string(kHead) + "<H1>Top</H1>\n<DL><p>\n" + list + "</DL><p>\n";
}

std::string Mark(const std::string& url, const std::string& title)
{
    return "<DT><A HREF=\"" + url + "\">" + title + "</A>\n";
}

std::string Folder(const std::string& name, const std::string& list)
{
    return "<DT><H3>" + name + "</H3>\n<DL><p>\n" + list + "</DL><p>\n";
}

// Column, group and link captions, one line each, indented by level.
std::string Outline(const CProject& project)
{
    std::string outline;
    for (const CColumn* column : project.columns) {
        outline += ToUtf8(column->caption) + "\n";
        for (const CGroup* group : column->groups) {
            outline += "  " + ToUtf8(group->caption) + "\n";
            for (const CItem* item : group->items)
                outline += "    " + ToUtf8(static_cast<const CItemLink*>(item)->GetLabel()) + "\n";
        }
    }
    return outline;
}

// The links of the project's first group: "caption -> address", one line each.
std::string LinksOf(const CProject& project)
{
    std::string links;
    for (const CItem* item : project.columns[0]->groups[0]->items) {
        const auto* link = static_cast<const CItemLink*>(item);
        links += ToUtf8(link->mainLink.caption) + " -> " + ToUtf8(link->mainLink.url) + "\n";
    }
    return links;
}

// UTF-8 text as UTF-16 with its byte order mark.
std::string Utf16(const std::string& utf8, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto unit = [&out, bigEndian](std::uint32_t u) {
        char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    for (wchar_t c : FromUtf8(utf8)) {
        std::uint32_t code = static_cast<std::uint32_t>(c);
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out;
}

std::string PageOf(const CProject& project)
{
    CRecordingStream page;
    WritePage(project, page);
    return page.bytes;
}

} // namespace

TEST(BookmarkImport, BrowserExportsReadAsColumnsGroupsAndLinks)
{
    for (const BookmarkSample& sample : BrowserBookmarkFiles()) {
        // Whole, and in reads of a few bytes so that every tag is split somewhere.
        for (std::int32_t limit : {0x7FFFFFFF, 7}) {
            CProject project;
            HtmlImportResult result = ImportBytes(project, sample.bytes, limit);
            EXPECT_EQ(result.kind, HtmlFileKind::Bookmarks) << sample.name;
            EXPECT_TRUE(result.complete) << sample.name;
            EXPECT_EQ(result.errorOffset, -1) << sample.name;
            EXPECT_EQ(DumpText(project), sample.dump) << sample.name;
            EXPECT_EQ(result.columns, sample.columns) << sample.name;
            EXPECT_EQ(result.groups, sample.groups) << sample.name;
            EXPECT_EQ(result.links, sample.links) << sample.name;
            EXPECT_EQ(result.skipped.Total(), sample.skipped) << sample.name;
            EXPECT_FALSE(project.modified);
        }
    }
}

TEST(BookmarkImport, GroupsAndTheLooseColumnAppearWhereTheirFirstBookmarkStands)
{
    // The folder's own bookmarks come after a subfolder; loose bookmarks stand between and after
    // the folders; a folder holding only a separator, an empty folder and one holding only a
    // place: query make nothing.
    std::string file =
        File(Folder("Empty", "<HR>\n") +
             Folder("A", Folder("Sub", Mark("u1", "s1")) + Mark("u2", "a1") + Folder("Void", "")) +
             Mark("u3", "loose1") + Folder("Smart", Mark("place:sort=8", "Most visited")) +
             Folder("B", Mark("u4", "b1")) + Mark("u5", "loose2"));
    CProject project;
    HtmlImportResult result = ImportBytes(project, file);
    ASSERT_TRUE(result.complete);
    EXPECT_EQ(Outline(project), "A\n  Sub\n    s1\n  A\n    a1\n"
                                "Top\n  Top\n    loose1\n    loose2\n"
                                "B\n  B\n    b1\n");
    EXPECT_EQ(result.columns, 3u);
    EXPECT_EQ(result.groups, 4u);
    EXPECT_EQ(result.links, 5u);
    EXPECT_EQ(result.skipped.places, 1u);
    EXPECT_EQ(result.skipped.Total(), 1u);

    // Without an outermost list, the folders at the top are still columns.
    CProject bare;
    ASSERT_TRUE(ImportBytes(bare, kHead + Folder("F", Mark("u", "x")) + Mark("v", "y")).complete);
    EXPECT_EQ(Outline(bare), "F\n  F\n    x\nBookmarks\n  Bookmarks\n    y\n");
}

TEST(BookmarkImport, ColumnsAreAppendedAndANamedProjectKeepsItsTitle)
{
    CProject project;
    project.title = L"Mine";
    new CColumn(project, L"existing");
    // Without <H1> the loose bookmarks are captioned "Bookmarks".
    std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1><TITLE>Theirs</TITLE><DL><p>" +
                       Mark("u", "x") + "</DL>";
    ASSERT_TRUE(ImportBytes(project, file).complete);
    EXPECT_EQ(project.title, L"Mine");
    EXPECT_EQ(Outline(project), "existing\nBookmarks\n  Bookmarks\n    x\n");
}

TEST(BookmarkImport, TitlesAndAddressesAreKeptAsMarkup)
{
    std::string file = File(
        Mark("https://e.example/?a=1&amp;b=2", " Caf\xC3\xA9 \t&amp;\r\n  more ") +
        Mark("  https://t.example/  ", "   ") + "<DT><A HREF='q\"uote'>Q</A>\n" +
        "<DT><A HREF=\"JavaScript:alert(1)\">js</A>\n" + "<DT><A NAME=\"anchor\">no address</A>\n" +
        "<DT><A HREF=\"u\" ICON=\"data:,x\">inner <b>bold</b> text</A>\n" +
        Mark("bad", "\xFF\xFEz"));
    CProject project;
    HtmlImportResult result = ImportBytes(project, file);
    ASSERT_TRUE(result.complete);
    const CGroup* group = project.columns[0]->groups[0];
    ASSERT_EQ(group->items.size(), 5u);
    auto link = [group](std::size_t i) -> const CItemLink::CLink& {
        return static_cast<const CItemLink*>(group->items[i])->mainLink;
    };
    EXPECT_EQ(link(0).caption, L"Caf\u00E9 &amp; more");
    EXPECT_EQ(link(0).url, L"https://e.example/?a=1&amp;b=2");
    // An empty title takes the address; the address itself stays as written.
    EXPECT_EQ(link(1).caption, L"https://t.example/");
    EXPECT_EQ(link(1).url, L"  https://t.example/  ");
    EXPECT_EQ(link(2).url, L"q&quot;uote");
    EXPECT_EQ(link(3).caption, L"inner bold text");
    EXPECT_EQ(link(4).caption, L"\uFFFD\uFFFDz");
    EXPECT_EQ(result.skipped.scripts, 1u);
    EXPECT_EQ(result.skipped.withoutAddress, 1u);
    EXPECT_EQ(result.skipped.Total(), 2u);
}

TEST(BookmarkImport, OnlyADescriptionRightAfterABookmarkBecomesItsPopup)
{
    std::string file =
        File(Mark("u1", "one") + "<DD>  first\r\nsecond\rthird\n\n  " +
             "<DT><H3>F</H3>\n<DD>about the folder\n<DL><p>\n" + Mark("u2", "two") + "</DL><p>\n" +
             Mark("place:x", "skipped") + "<DD>lost\n" + Mark("u3", "three") +
             "<HR><DD>after a separator\n" + "<DT><A HREF=\"u4\">four\n<DD>unclosed anchor\n");
    CProject project;
    ASSERT_TRUE(ImportBytes(project, file).complete);
    auto item = [&project](std::size_t column, std::size_t index) {
        return static_cast<const CItemLink*>(project.columns[column]->groups[0]->items[index]);
    };
    ASSERT_TRUE(item(0, 0)->popup);
    EXPECT_EQ(item(0, 0)->popup->content, L"first<br />second<br />third");
    // The folder's description does not stop the folder from getting its list.
    EXPECT_EQ(project.columns[1]->caption, L"F");
    EXPECT_FALSE(item(1, 0)->popup);
    EXPECT_FALSE(item(0, 1)->popup); // three: a separator stood between
    ASSERT_TRUE(item(0, 2)->popup);
    EXPECT_EQ(item(0, 2)->popup->content, L"unclosed anchor");
    EXPECT_EQ(item(0, 2)->mainLink.caption, L"four");
}

TEST(BookmarkImport, ADamagedFileKeepsWhatPrecedesTheDamage)
{
    std::string good = File(Folder("F", Mark("u1", "one")));
    std::string before = good.substr(0, good.size() - 10);
    std::string file = before + Mark("u2", "a > b") + Mark("u3", "three") + "</DL>";
    CProject project;
    HtmlImportResult result = ImportBytes(project, file);
    EXPECT_EQ(result.kind, HtmlFileKind::Bookmarks);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(file.substr(static_cast<std::size_t>(result.errorOffset), 3), "> b");
    EXPECT_EQ(Outline(project), "F\n  F\n    one\n");
    EXPECT_EQ(result.links, 1u);

    // Cut inside a tag: the read says so, without a position.
    CProject cut;
    result = ImportBytes(cut, good.substr(0, good.find("</DL>") + 3));
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.errorOffset, -1);
    EXPECT_EQ(Outline(cut), "F\n  F\n    one\n");
}

TEST(BookmarkImport, DeepNestingStaysLinearInMemory)
{
    // Every level a folder with a bookmark: paths would repeat every name above them.
    const int depth = 20000;
    std::string file = kHead + std::string("<DL><p>");
    for (int i = 0; i < depth; ++i)
        file += "<DT><H3>level" + std::to_string(i) + "</H3><DL><p><DT><A HREF=\"u\">x</A>";
    CProject project;
    CRecordingStream stream(file);
    CBookmarkParser parser(project);
    ASSERT_TRUE(parser.Parse(stream));
    EXPECT_LE(parser.FolderStackBytes(), 8 * file.size());
    ASSERT_EQ(project.columns.size(), 1u);
    const CColumn& column = *project.columns[0];
    ASSERT_EQ(column.groups.size(), static_cast<std::size_t>(depth));
    std::size_t captionBytes = 0;
    for (const CGroup* group : column.groups)
        captionBytes += ToUtf8(group->caption).size();
    EXPECT_LE(captionBytes, 8 * file.size());
    EXPECT_EQ(column.groups[2]->caption, L"level1 / level2");
    // A long path keeps its last folders whole behind an ellipsis.
    std::string last = ToUtf8(column.groups.back()->caption);
    EXPECT_LE(last.size(), CBookmarkParser::kPathBytes);
    EXPECT_EQ(last.substr(0, 7), "\xE2\x80\xA6 / l");
    EXPECT_EQ(last.substr(last.size() - 23), "level19998 / level19999");

    // Unnamed folders are left out of paths, and looking for named ones above stays short.
    std::string unnamedFolders = kHead + std::string("<DL><p><DT><H3>C</H3><DL><p>");
    for (int i = 0; i < depth; ++i)
        unnamedFolders += "<DT><H3></H3><DL><p><DT><A HREF=\"u\">x</A>";
    unnamedFolders += "<DT><H3>named</H3><DL><p><DT><A HREF=\"u\">x</A>";
    CProject empty;
    ASSERT_TRUE(ImportBytes(empty, unnamedFolders).complete);
    const CColumn& emptyColumn = *empty.columns[0];
    ASSERT_EQ(emptyColumn.groups.size(), static_cast<std::size_t>(depth) + 1);
    EXPECT_EQ(emptyColumn.groups[0]->caption, L"");
    EXPECT_EQ(emptyColumn.groups.back()->caption, L"\u2026 / named");

    // Lists without headings add no level, however many.
    std::string unnamed = kHead + std::string("<DL><p>") + Folder("F", "") + "<DT><H3>G</H3><DL>";
    for (int i = 0; i < 100000; ++i)
        unnamed += "<DL>";
    unnamed += Mark("u", "deep");
    CProject flat;
    CRecordingStream flatStream(unnamed);
    CBookmarkParser flatParser(flat);
    ASSERT_TRUE(flatParser.Parse(flatStream));
    EXPECT_LE(flatParser.FolderStackBytes(), 1024u);
    EXPECT_EQ(Outline(flat), "G\n  G\n    deep\n");
}

TEST(BookmarkImport, BigIconsAcrossBufferFillsReadTheSame)
{
    // About 1.2 MB of 20 KB icons: several tokenizer buffer fills, split inside attributes.
    std::string list;
    for (int i = 0; i < 60; ++i) {
        list += "<DT><A HREF=\"https://site" + std::to_string(i) +
                ".example/\" ADD_DATE=\"1\" ICON=\"data:image/png;base64," +
                Base64Filler(20 * 1024 + i) + "\">Site " + std::to_string(i) + "</A>\n";
    }
    std::string file = File(Folder("Icons", list));
    CProject whole, pieces;
    ASSERT_TRUE(ImportBytes(whole, file).complete);
    ASSERT_TRUE(ImportBytes(pieces, file, 4093).complete);
    ASSERT_EQ(whole.columns[0]->groups[0]->items.size(), 60u);
    EXPECT_EQ(DumpText(pieces), DumpText(whole));
}

TEST(BookmarkImport, ThePageOfAnImportedBookmarkFileReadsBackTheSame)
{
    std::vector<BookmarkSample> samples = BrowserBookmarkFiles();
    // Texts that come close to breaking the page: quotes in an address, ampersands, a caption
    // of nothing but an address.
    samples.push_back({"edges",
                       File(Folder("A\"B", "<DT><A HREF='x\"y'>1 &lt; 2</A>\n<DD>p&gt;q\n" +
                                               Mark("https://only.example/", ""))),
                       "", 0, 0, 0, 0});
    for (const BookmarkSample& sample : samples) {
        CProject bookmarks;
        ASSERT_TRUE(ImportBytes(bookmarks, sample.bytes).complete) << sample.name;
        CProject page;
        CRecordingStream stream(PageOf(bookmarks));
        ASSERT_TRUE(CProjectHTMLParser(page).Parse(stream)) << sample.name;
        AddPopupLineBreaksAsAPageGivesThem(bookmarks);
        EXPECT_EQ(DumpText(page), DumpText(bookmarks)) << sample.name;
    }
}

TEST(BookmarkImport, ATagTooLargeForTheReaderLosesOnlyItsOwnBookmark)
{
    // A 600 KiB icon on one bookmark and a 600 KiB attribute on a folder's heading, among others.
    const std::string icon = Base64Filler(600 * 1024);
    std::string file = File(
        Folder("Big", Mark("https://before.example/", "before") +
                          "<DT><A HREF=\"https://huge.example/\" ICON=\"data:image/png;base64," +
                          icon + "\">huge</A>\n<DD>its description\n" + "<DT><H3 ADD_DATE=\"" +
                          std::string(600 * 1024, '1') + "\">Sub</H3>\n<DL><p>\n" +
                          Mark("https://in-sub.example/", "in sub") + "</DL><p>\n" +
                          Mark("https://after.example/", "after")));
    for (std::int32_t limit : {0x7FFFFFFF, 4093}) {
        CProject project;
        HtmlImportResult result = ImportBytes(project, file, limit);
        EXPECT_TRUE(result.complete);
        EXPECT_EQ(Outline(project), "Big\n  Big\n    before\n    after\n  Sub\n    in sub\n");
        EXPECT_EQ(result.links, 3u);
        EXPECT_EQ(result.skipped.tooLarge, 1u);
        EXPECT_EQ(result.skipped.Total(), 1u);
        EXPECT_EQ(SkipReasonsText(result.skipped), "1 too large");
        const auto* before = static_cast<const CItemLink*>(project.columns[0]->groups[0]->items[0]);
        EXPECT_FALSE(before->popup); // the skipped bookmark's description went with it
    }
}

TEST(BookmarkImport, UnquotedValuesHoldingEqualsSignsAreReadToWhiteSpace)
{
    std::string icon;
    for (int size = 16; icon.empty() || icon.back() != '='; ++size) // with base64 padding
        icon = DataUri("image/png", MakePng(size, 0x336699));
    std::string file = File("<DT><A HREF=http://b.invalid/x?y=1 ICON=" + icon + ">B</A>\n" +
                            "<DT><A HREF=http://c.invalid/?a=b=c ADD_DATE=1>C</A>\n");
    CProject project;
    HtmlImportResult result = ImportBytes(project, file);
    ASSERT_TRUE(result.complete);
    EXPECT_EQ(LinksOf(project), "B -> http://b.invalid/x?y=1\nC -> http://c.invalid/?a=b=c\n");
    EXPECT_EQ(result.skipped.Total(), 0u);
    const auto* b = static_cast<const CItemLink*>(project.columns[0]->groups[0]->items[0]);
    ASSERT_TRUE(b->icon);
}

TEST(BookmarkImport, Utf16FilesReadAsTheTextTheyHold)
{
    // Beyond ASCII: Latin-1, CJK and a character outside the basic plane (a surrogate pair).
    std::string utf8 = File(
        Folder("Caf\xC3\xA9", Mark("https://a.example/\xE6\x97\xA5", "\xE6\x97\xA5\xE6\x9C\xAC") +
                                  Mark("https://b.example/", "smile \xF0\x9F\x98\x80") +
                                  Mark("javascript:x()", "script")));
    CProject expected;
    HtmlImportResult own = ImportBytes(expected, utf8);
    ASSERT_TRUE(own.complete);
    ASSERT_EQ(own.links, 2u);
    for (bool bigEndian : {false, true}) {
        // Whole, and a few bytes at a time so that units and pairs are split between reads.
        for (std::int32_t limit : {0x7FFFFFFF, 3}) {
            CProject project;
            HtmlImportResult result = ImportBytes(project, Utf16(utf8, bigEndian), limit);
            EXPECT_EQ(result.kind, HtmlFileKind::Bookmarks) << bigEndian;
            EXPECT_TRUE(result.complete) << bigEndian;
            EXPECT_EQ(DumpText(project), DumpText(expected)) << bigEndian << " " << limit;
            EXPECT_EQ(result.links, 2u);
            EXPECT_EQ(result.skipped.scripts, 1u);
        }
    }
    // Without its byte order mark, UTF-16 is told by the NUL beside the first "<".
    for (bool bigEndian : {false, true}) {
        CProject project;
        HtmlImportResult result = ImportBytes(project, Utf16(utf8, bigEndian).substr(2));
        EXPECT_TRUE(result.complete);
        EXPECT_EQ(DumpText(project), DumpText(expected)) << bigEndian;
    }
    // Broken UTF-16 (a lone surrogate, an odd last byte) reads with replacement characters.
    std::string broken = Utf16(File(Mark("u", "a")), false);
    broken.insert(broken.find(std::string("a\0<\0/\0A", 7)), std::string("\0\xD8", 2));
    broken += "x";
    CProject project;
    HtmlImportResult result = ImportBytes(project, broken);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(LinksOf(project), "\xEF\xBF\xBD"
                                "a -> u\n");
}

TEST(BookmarkImport, ScriptAddressesAreSkippedHoweverTheyAreSpelt)
{
    const char* scripts[] = {
        "javascript:alert(1)",      " JaVaScRiPt:alert(1)",        "&#106;avascript:alert(1)",
        "&#x6A;avascript:alert(1)", "&#0000106avascript:alert(1)", "javascript&colon;alert(1)",
        "javascript&#58;alert(1)",  "java&#9;script:alert(1)",     "java&Tab;script:alert(1)",
        "java\tscript:alert(1)",    "java&#x0A;script:alert(1)",   "\x01 javascript:alert(1)",
        "vbscript:msgbox(1)",       "VBScript&#x3A;msgbox(1)",
    };
    std::string list;
    for (const char* script : scripts)
        list += Mark(script, "script");
    // Look-alikes that no browser runs as script stay.
    list += Mark("javascript-notes.html", "relative") +
            Mark("https://x.example/?javascript:", "query") + Mark("java script:x", "space") +
            Mark("java&#1;script:x", "control") + Mark("javascript&colon", "no semicolon");
    CProject project;
    HtmlImportResult result = ImportBytes(project, File(list));
    ASSERT_TRUE(result.complete);
    EXPECT_EQ(result.skipped.scripts, sizeof scripts / sizeof scripts[0]);
    EXPECT_EQ(result.skipped.Total(), sizeof scripts / sizeof scripts[0]);
    EXPECT_EQ(LinksOf(project), "relative -> javascript-notes.html\n"
                                "query -> https://x.example/?javascript:\n"
                                "space -> java script:x\n"
                                "control -> java&#1;script:x\n"
                                "no semicolon -> javascript&colon\n");
}

TEST(BookmarkImport, AngleBracketsInsideQuotedValuesAreAccepted)
{
    std::string file = File("<DT><A HREF=\"https://a.example/?q=<b>&x=1>2\" TITLE='1 > 0'>A</A>\n" +
                            Mark("https://b.example/", "B"));
    CProject project;
    HtmlImportResult result = ImportBytes(project, file);
    ASSERT_TRUE(result.complete);
    // Kept as references, so that the homepage's own reader reads the page back.
    EXPECT_EQ(LinksOf(project),
              "A -> https://a.example/?q=&lt;b&gt;&x=1&gt;2\nB -> https://b.example/\n");
    CProject page;
    CRecordingStream stream(PageOf(project));
    ASSERT_TRUE(CProjectHTMLParser(page).Parse(stream));
    EXPECT_EQ(DumpText(page), DumpText(project));
}

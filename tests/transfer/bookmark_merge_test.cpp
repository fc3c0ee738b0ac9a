// Reading bookmark files again: the same file twice gives the bytes of once, a file with a few
// new bookmarks adds exactly those where their folders already are, captions match as the page
// shows them and addresses as a browser reads them, and the whole read is one undoable step.
#include "transfer/bookmark_merge.h"

#include "edit/project_changes.h"
#include "import/browser_bookmark_files.h"
#include "model/item_link.h"
#include "model/project.h"
#include "services/default_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

std::string BookmarkFile(const std::string& body)
{
    return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n"
           "<DL><p>\n" +
           body + "</DL><p>\n";
}

std::string Folder(const std::string& name, const std::string& body)
{
    return "<DT><H3>" + name + "</H3>\n<DL><p>\n" + body + "</DL><p>\n";
}

std::string Link(const std::string& address, const std::string& title)
{
    return "<DT><A HREF=\"" + address + "\">" + title + "</A>\n";
}

HtmlReadOutcome Read(CProjectChanges& changes, const std::string& bytes)
{
    CRecordingStream stream(bytes);
    return ReadHtmlMerging(changes, stream);
}

// Links loose at the top, a folder with a subfolder, another folder.
std::string FirstFile(const std::string& extraLoose = std::string(),
                      const std::string& extraWork = std::string(),
                      const std::string& extraTools = std::string())
{
    return BookmarkFile(
        Link("https://loose.example/", "Loose") + extraLoose +
        Folder("Work",
               Link("https://w1.example/", "W1") + Link("https://w2.example/a?x=1&amp;y=2", "W2") +
                   Folder("Tools", Link("https://t1.example/", "T1") + extraTools) + extraWork) +
        Folder("Play", Link("https://p1.example/", "P1")));
}

} // namespace

TEST(BookmarkMergeTest, TheSameFileReadTwiceLeavesTheProjectAsAfterOnce)
{
    for (const BookmarkSample& sample : BrowserBookmarkFiles()) {
        for (bool startEmpty : {true, false}) {
            SCOPED_TRACE(std::string(sample.name) + (startEmpty ? ", empty" : ", sample"));
            CProject project;
            if (!startEmpty) BuildDefaultProject(project);
            CProjectChanges changes(project);
            const std::string before = SaveToBytes(project);
            const HtmlReadOutcome first = Read(changes, sample.bytes);
            // Into a project without links the file is read as it always was.
            EXPECT_EQ(first.merged, !startEmpty);
            const std::string once = SaveToBytes(project);
            ASSERT_NE(once, before);

            const HtmlReadOutcome second = Read(changes, sample.bytes);
            EXPECT_TRUE(second.merged);
            EXPECT_EQ(second.counts.newLinks, 0u);
            EXPECT_EQ(second.counts.newGroups, 0u);
            EXPECT_EQ(second.counts.newColumns, 0u);
            EXPECT_EQ(second.counts.alreadyHere, sample.links);
            EXPECT_EQ(second.read.skipped.Total(), sample.skipped);
            EXPECT_FALSE(project.modified);
            EXPECT_EQ(SaveToBytes(project), once);
            // The second read recorded no step: one undo goes back to before the first.
            ASSERT_TRUE(changes.Undo());
            EXPECT_EQ(SaveToBytes(project), before);
            EXPECT_FALSE(changes.Undo());
        }
    }
}

TEST(BookmarkMergeTest, NewBookmarksGoToTheEndsOfTheirFoldersGroupsAsOneStep)
{
    CProject project;
    CProjectChanges changes(project);
    ASSERT_FALSE(Read(changes, FirstFile()).merged);
    const std::wstring outline = ProjectOutline(project);
    EXPECT_EQ(outline,
              L"Bookmarks[Bookmarks[Bookmarks[Loose]],Work[Work[W1,W2],Tools[T1]],Play[Play[P1]]]");
    const std::string once = SaveToBytes(project);

    // Three new bookmarks, and the old ones spelt as a browser would take them to the same
    // address.
    const std::string second =
        BookmarkFile(Link("HTTPS://LOOSE.example:443", "Loose again") +
                     Link("https://new-loose.example/", "New loose") +
                     Folder("Work", Link("https://w1.example/", "W1") +
                                        Link("https://w2.example/a?x=1&y=2", "W2") +
                                        Folder("Tools", Link("https://t1.example/", "T1") +
                                                            Link("https://t2.example/", "T2")) +
                                        Link("https://w3.example/", "W3")) +
                     Folder("Play", Link("https://p1.example/./", "P1")));
    const HtmlReadOutcome merge = Read(changes, second);
    EXPECT_TRUE(merge.merged);
    EXPECT_TRUE(merge.read.complete);
    EXPECT_EQ(merge.counts.newLinks, 3u);
    EXPECT_EQ(merge.counts.newGroups, 0u);
    EXPECT_EQ(merge.counts.newColumns, 0u);
    EXPECT_EQ(merge.counts.alreadyHere, 5u);
    EXPECT_EQ(ProjectOutline(project), L"Bookmarks[Bookmarks[Bookmarks[Loose,New loose]],"
                                       L"Work[Work[W1,W2,W3],Tools[T1,T2]],Play[Play[P1]]]");
    EXPECT_TRUE(project.modified);
    const std::string merged = SaveToBytes(project);

    EXPECT_EQ(changes.UndoName(), L"read HTML file");
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(SaveToBytes(project), once);
    ASSERT_TRUE(changes.Redo());
    EXPECT_EQ(SaveToBytes(project), merged);
}

TEST(BookmarkMergeTest, FoldersFindColumnsAndGroupsByTheTextThePageShows)
{
    CProject project;
    project.title = L"T";
    auto* news = new CColumn(project, L"News &amp; <b>Weather</b>");
    new CItemLink(*new CGroup(*news, L"News &amp; <b>Weather</b>"), L"A", L"https://a.example/");
    new CGroup(*news, L"Local");
    auto* misc = new CColumn(project, L"Misc");
    new CItemLink(*new CGroup(*misc, L" Tools "), L"B", L"https://b.example/");
    CProjectChanges changes(project);

    const std::string file = BookmarkFile(
        Folder("News  &amp;\n Weather", Link("https://n1.example/", "N1") +
                                            Folder("Local", Link("https://n2.example/", "N2")) +
                                            Folder("Sport", Link("https://n3.example/", "N3"))) +
        // The group Tools stands in another column now: its links follow it there.
        Folder("Work", Folder("Tools", Link("https://n4.example/", "N4"))) +
        Folder("Fresh", Link("https://n5.example/", "N5") + Link("https://n6.example/", "N6")) +
        Folder("Fresh", Link("https://n7.example/", "N7")) +
        // Folders whose bookmarks are all here make nothing.
        Folder("Old", Link("https://a.example/", "A")));
    const HtmlReadOutcome merge = Read(changes, file);
    EXPECT_EQ(merge.counts.newLinks, 7u);
    EXPECT_EQ(merge.counts.newGroups, 2u);
    EXPECT_EQ(merge.counts.newColumns, 1u);
    EXPECT_EQ(merge.counts.alreadyHere, 1u);
    EXPECT_EQ(ProjectOutline(project),
              L"T[News &amp; <b>Weather</b>[News &amp; <b>Weather</b>[A,N1],Local[N2],Sport[N3]],"
              L"Misc[ Tools [B,N4]],Fresh[Fresh[N5,N6,N7]]]");
}

TEST(BookmarkMergeTest, AddressesAlreadyHereAreComparedAsABrowserReadsThem)
{
    CProject project;
    project.title = L"T";
    auto* group = new CGroup(*new CColumn(project, L"C"), L"C");
    new CItemLink(*group, L"Mine", L"http://Example.COM:80/a?x=1&amp;y=2");
    auto* more = new CItemLink(*group, L"More", L"https://more.example/");
    more->AddLink(L"Further", L"https://B.example");
    CProjectChanges changes(project);

    const HtmlReadOutcome merge =
        Read(changes, BookmarkFile(Folder("C", Link("HTTP://example.com/a?x=1&y=2", "Same") +
                                                   Link("https://b.example/", "Further's") +
                                                   Link("http://example.com/a?x=1&y=3", "Other") +
                                                   Link("http://example.com/a?x=1&y=2#top", "Top") +
                                                   Link("javascript:void(0)", "Script"))));
    EXPECT_EQ(merge.counts.alreadyHere, 2u);
    EXPECT_EQ(merge.counts.newLinks, 2u);
    EXPECT_EQ(merge.read.skipped.scripts, 1u);
    EXPECT_EQ(ProjectOutline(project), L"T[C[C[Mine,More,Other,Top]]]");
}

TEST(BookmarkMergeTest, HomepagesAndDamagedFilesAreReadAsBefore)
{
    CProject project;
    BuildDefaultProject(project);
    CProjectChanges changes(project);
    // A damaged bookmark file merges what it held before the damage.
    const HtmlReadOutcome damaged =
        Read(changes, "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p><DT><H3>F</H3><DL><p>"
                      "<DT><A HREF=\"https://d1.example/\">D1</A><DT><A HREF=\"v\">B > C</A>");
    EXPECT_TRUE(damaged.merged);
    EXPECT_FALSE(damaged.read.complete);
    EXPECT_GE(damaged.read.errorOffset, 0);
    EXPECT_EQ(damaged.counts.newLinks, 1u);
    EXPECT_EQ(damaged.counts.newColumns, 1u);

    // A homepage takes the place of the columns, as it always did.
    CProject page;
    new CItemLink(*new CGroup(*new CColumn(page, L"Page"), L"Group"), L"L", L"https://l.example/");
    const HtmlReadOutcome read = Read(changes, GeneratedPage(page));
    EXPECT_FALSE(read.merged);
    EXPECT_TRUE(read.read.replacedColumns);
    EXPECT_EQ(ProjectOutline(project).substr(ProjectOutline(project).find(L'[')),
              L"[Page[Group[L]]]");
}

#include "homepage/page_compare.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/streams.h"
#include "platform/platform.h"
#include "services/help_page.h"
#include "services/run_files.h"
#include "services/status_texts.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

// Two columns, three groups, three links and one form.
void BuildProject(CProject& project)
{
    project.title = L"Start";
    auto* daily = new CColumn(project, L"Daily");
    auto* news = new CGroup(*daily, L"News");
    new CItemLink(*news, L"Paper", L"https://paper.example.com/");
    new CItemLink(*news, L"Radio", L"https://radio.example.com/");
    auto* form = new CItemForm(*news);
    form->name = L"Find";
    new CGroup(*daily, L"Empty");
    auto* spare = new CColumn(project, L"Spare");
    new CItemLink(*new CGroup(*spare, L"One"), L"Wiki", L"https://wiki.example.com/");
}

} // namespace

TEST(StatusTexts, CountsTakeTheirSingularOrPlural)
{
    EXPECT_EQ(CountText(0, L"column", L"columns"), L"0 columns");
    EXPECT_EQ(CountText(1, L"column", L"columns"), L"1 column");
    EXPECT_EQ(CountText(2, L"column", L"columns"), L"2 columns");
    EXPECT_EQ(CountText(17, L"link", L"links"), L"17 links");
}

TEST(StatusTexts, FileCommandsSayWhatTheyDidAndWhere)
{
    const std::wstring path = L"C:\\Users\\me\\Documents\\Quillomere.html";
    EXPECT_EQ(HomepageWrittenText(path), L"Homepage written to " + path);
    EXPECT_EQ(HomepageNotWrittenText(path), L"The homepage could not be written to " + path);
    EXPECT_EQ(ProjectSavedText(L"D:\\p.quil"), L"Project saved to D:\\p.quil");
    EXPECT_EQ(ProjectNotSavedText(L"D:\\p.quil"), L"The project could not be saved to D:\\p.quil");
    EXPECT_EQ(PageStateText(false), L"Homepage not yet written since the last change (F5)");
    EXPECT_EQ(PageStateText(true), L"Homepage up to date");
    EXPECT_EQ(FileNameOf(L"C:\\a b\\bookmarks.html"), L"bookmarks.html");
    EXPECT_EQ(FileNameOf(L"/home/me/page.htm"), L"page.htm");
    EXPECT_EQ(FileNameOf(L"plain.html"), L"plain.html");
}

TEST(StatusTexts, ASaveThatWritesTheHomepageSaysBothAndWhatWasKeptAside)
{
    const std::wstring folder = L"C:\\Users\\me\\Documents";
    const std::wstring project = folder + L"\\Quillomere.quil";
    const std::wstring page = folder + L"\\Quillomere.html";
    EXPECT_EQ(SavedWithHomepageText(project, page, true),
              L"Project saved to Quillomere.quil and homepage written to Quillomere.html in " +
                  folder);
    EXPECT_EQ(SavedWithHomepageText(project, page, false),
              L"Project saved to " + project + L"; the homepage could not be written to " + page);
    // A drive's root keeps its backslash; files in two folders are named in full.
    EXPECT_EQ(SavedWithHomepageText(L"D:\\p.quil", L"D:\\p.html", true),
              L"Project saved to p.quil and homepage written to p.html in D:\\");
    EXPECT_EQ(SavedWithHomepageText(L"D:\\a\\p.quil", L"D:\\b\\p.html", true),
              L"Project saved to D:\\a\\p.quil; homepage written to D:\\b\\p.html");

    EXPECT_EQ(WithKeptAside(page, L"", L"Homepage written"), L"Homepage written");
    EXPECT_EQ(WithKeptAside(page, folder + L"\\Quillomere (earlier 2).html", L"Homepage written"),
              L"Earlier Quillomere.html kept as Quillomere (earlier 2).html; homepage written");
    EXPECT_EQ(WithKeptAside(page, folder + L"\\Quillomere (earlier).html", L""),
              L"Earlier Quillomere.html kept as Quillomere (earlier).html; ");
}

TEST(StatusTexts, AnExportCountsEveryLinkOfTheLinkItems)
{
    CProject project;
    BuildProject(project);
    static_cast<CItemLink*>(project.columns[0]->groups[0]->items[0])
        ->AddLink(L"Sport", L"https://paper.example.com/sport");
    EXPECT_EQ(CountNodes(project).bookmarks, 4u);
    EXPECT_EQ(BookmarksExportedText(L"b.html", 1), L"Exported 1 bookmark to b.html");
}

TEST(StatusTexts, ReadingABookmarkFileSaysWhatItAddedAndSkipped)
{
    CProject project;
    HtmlImportResult result;
    result.kind = HtmlFileKind::Bookmarks;
    result.complete = true;
    result.columns = 3;
    result.groups = 5;
    result.links = 17;
    result.skipped.places = 1;
    EXPECT_EQ(ReadFileText(L"bookmarks.html", result, project),
              L"Read bookmarks.html: 3 columns, 5 groups, 17 links; 1 bookmark skipped (1 place: "
              L"address)");
    result.columns = 1;
    result.groups = 1;
    result.links = 1;
    result.skipped = SkippedBookmarks();
    result.skipped.tooLarge = 1;
    result.skipped.scripts = 2;
    result.skipped.withoutAddress = 1;
    EXPECT_EQ(ReadFileText(L"b.html", result, project),
              L"Read b.html: 1 column, 1 group, 1 link; 4 bookmarks skipped (1 too large, 2 script "
              L"addresses, 1 without an address)");
    result.skipped = SkippedBookmarks();
    EXPECT_EQ(ReadFileText(L"b.html", result, project), L"Read b.html: 1 column, 1 group, 1 link");
    result.complete = false;
    result.errorOffset = 4711;
    EXPECT_EQ(ReadFileText(L"b.html", result, project),
              L"Read b.html up to the damage at byte 4711: 1 column, 1 group, 1 link");
}

TEST(StatusTexts, AMergedBookmarkFileSaysWhatWasNewAndWhatWasHere)
{
    HtmlImportResult result;
    result.kind = HtmlFileKind::Bookmarks;
    result.complete = true;
    result.skipped.scripts = 2;
    EXPECT_EQ(MergedBookmarksText(L"bookmarks.html", result, 12, 3, 130),
              L"Read bookmarks.html: 12 new links (3 new groups); 130 already here; "
              L"2 bookmarks skipped (2 script addresses)");
    result.skipped = SkippedBookmarks();
    result.skipped.tooLarge = 1;
    EXPECT_EQ(MergedBookmarksText(L"b.html", result, 1, 1, 1),
              L"Read b.html: 1 new link (1 new group); 1 already here; 1 bookmark skipped (1 too "
              L"large)");
    result.skipped = SkippedBookmarks();
    EXPECT_EQ(MergedBookmarksText(L"b.html", result, 0, 0, 7),
              L"Read b.html: 0 new links; 7 already here");
    result.complete = false;
    result.errorOffset = 81;
    EXPECT_EQ(MergedBookmarksText(L"b.html", result, 2, 0, 0),
              L"Read b.html up to the damage at byte 81: 2 new links");
}

TEST(StatusTexts, PagesFromTheBrowserSayWhatBecameOfThem)
{
    EXPECT_EQ(AddedFromBrowserText(L"News & Weather", L"New links"),
              L"Added News & Weather to New links");
    EXPECT_EQ(BrowserAddRefusedText(L"only http and https addresses are added"),
              L"Not added from the browser: only http and https addresses are added");
    EXPECT_EQ(BrowserAddsIgnoredText(10, 3),
              L"Not added from the browser: at most 10 adds a minute (3 ignored)");
}

TEST(StatusTexts, ReadingAHomepageSaysWhatTheProjectNowHolds)
{
    CProject project;
    BuildProject(project);
    ProjectCounts counts = CountNodes(project);
    EXPECT_EQ(counts.columns, 2u);
    EXPECT_EQ(counts.groups, 3u);
    EXPECT_EQ(counts.links, 3u);
    EXPECT_EQ(counts.forms, 1u);
    HtmlImportResult result;
    result.complete = true;
    EXPECT_EQ(ReadFileText(L"Quillomere.html", result, project),
              L"Read Quillomere.html: 2 columns, 3 groups, 3 links, 1 form");
    result.complete = false;
    EXPECT_EQ(ReadFileText(L"cut.html", result, project),
              L"Read cut.html up to where it broke off: 2 columns, 3 groups, 3 links, 1 form");
}

TEST(PageCompare, OnlyTheExactPageMatches)
{
    CProject project;
    BuildProject(project);
    const std::string page = GeneratedPage(project);
    CRecordingStream same(page);
    EXPECT_TRUE(PageMatches(project, same));
    // Read in small pieces, the page still matches.
    CRecordingStream pieces(page);
    pieces.readLimit = 7;
    EXPECT_TRUE(PageMatches(project, pieces));

    std::string changed = page;
    changed[changed.size() / 2] ^= 1;
    CRecordingStream different(changed);
    EXPECT_FALSE(PageMatches(project, different));
    CRecordingStream longer(page + "\n");
    EXPECT_FALSE(PageMatches(project, longer));
    CRecordingStream shorter(page.substr(0, page.size() - 1));
    EXPECT_FALSE(PageMatches(project, shorter));
    CRecordingStream empty("");
    EXPECT_FALSE(PageMatches(project, empty));
}

TEST(PageCompare, APageLargerThanOneReadBlockIsComparedWhole)
{
    CProject project;
    BuildProject(project);
    CGroup* group = project.columns[0]->groups[0];
    for (int i = 0; i < 3000; ++i)
        new CItemLink(*group, L"Link " + std::to_wstring(i), L"https://example.com/");
    const std::string page = GeneratedPage(project);
    ASSERT_GT(page.size(), 3u * 65536u);
    CTempFile file(L".html");
    WriteFileBytes(file.Path(), page);
    {
        CFileStream stream(file.Path(), false);
        EXPECT_TRUE(PageMatches(project, stream));
    }
    std::string changed = page;
    changed[2 * 65536 + 5] ^= 1;
    WriteFileBytes(file.Path(), changed);
    CFileStream stream(file.Path(), false);
    EXPECT_FALSE(PageMatches(project, stream));
}

TEST(HelpPage, TheRunsValuesAreFilledInEscaped)
{
    HelpPageValues values;
    values.version = L"1.2.3";
    values.documentsFolder = L"C:\\Users\\Zoë & Bo\\Documents";
    values.projectFile = L"C:\\<p>.quil";
    values.homepageFile = L"C:\\\"h\".html";
    EXPECT_EQ(FillHelpPage("<p>{{VERSION}} in {{DOCUMENTS}}</p>{{PROJECT_FILE}}|{{HOMEPAGE_FILE}}",
                           values),
              "<p>1.2.3 in C:\\Users\\Zo\xC3\xAB &amp; Bo\\Documents</p>C:\\&lt;p&gt;.quil|"
              "C:\\&quot;h&quot;.html");
    // Whatever is not a known token stays as it is.
    EXPECT_EQ(FillHelpPage("{{OTHER}} {{ {{VERSION", values), "{{OTHER}} {{ {{VERSION");
    EXPECT_EQ(FillHelpPage("", values), "");
    EXPECT_EQ(FillHelpPage("}}{{VERSION}}{{", values), "}}1.2.3{{");
}

TEST(RunFiles, QuittingRemovesWhatThisRunNotedOnce)
{
    CTempFile first(L".html");
    CTempFile second(L".html");
    CTempFile other(L".html");
    for (const CTempFile* file : {&first, &second, &other})
        WriteFileBytes(file->Path(), "page");
    KeepUntilQuit(first.Path());
    KeepUntilQuit(second.Path());
    KeepUntilQuit(first.Path());
    EXPECT_EQ(FilesOfRun(), (std::vector<std::wstring>{first.Path(), second.Path()}));
    RemoveFilesOfRun();
    EXPECT_FALSE(platform::FileExists(first.Path()));
    EXPECT_FALSE(platform::FileExists(second.Path()));
    EXPECT_TRUE(platform::FileExists(other.Path()));
    EXPECT_TRUE(FilesOfRun().empty());
}

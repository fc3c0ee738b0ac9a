#include "cli/cli.h"
#include "homepage/page_writer.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "quil_version.h"
#include "random_project.h"
#include "services/default_project.h"
#include "services/status_texts.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

struct CliRun
{
    int status;
    std::string out;
    std::string err;
};

CliRun RunWith(std::vector<std::wstring> arguments)
{
    CRecordingStream out, err;
    CProject project;
    int status = RunCli(arguments, project, out, err);
    return {status, out.bytes, err.bytes};
}

} // namespace

TEST(Cli, HelpAndVersionSucceed)
{
    CliRun help = RunWith({L"--help"});
    EXPECT_EQ(help.status, kCliSuccess);
    EXPECT_NE(help.out.find("generate [PROJECT.quil"), std::string::npos);
    EXPECT_NE(help.out.find("dump PROJECT.quil"), std::string::npos);
    EXPECT_TRUE(help.err.empty());
    CliRun version = RunWith({L"--version"});
    EXPECT_EQ(version.status, kCliSuccess);
    EXPECT_EQ(version.out, std::string("quillomere-cli ") + QUIL_VERSION + "\n");
}

TEST(Cli, WrongUsageExitsWithTwoAndSaysWhy)
{
    CliRun none = RunWith({});
    EXPECT_EQ(none.status, kCliUsage);
    EXPECT_NE(none.err.find("no command"), std::string::npos);
    CliRun unknown = RunWith({L"frobnicate"});
    EXPECT_EQ(unknown.status, kCliUsage);
    EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_TRUE(unknown.out.empty());
}

namespace {

std::string PageOf(const CProject& project)
{
    CRecordingStream stream;
    WritePage(project, stream);
    return stream.bytes;
}

std::string Utf8Path(const CTempFile& file)
{
    return ToUtf8(file.Path());
}

} // namespace

TEST(Cli, GenerateWritesTheSampleProjectWithoutAnInput)
{
    CProject sample;
    BuildDefaultProject(sample);
    CliRun run = RunWith({L"generate"});
    EXPECT_EQ(run.status, kCliSuccess);
    EXPECT_EQ(run.out, PageOf(sample));

    CTempFile page(L".html");
    CliRun toFile = RunWith({L"generate", L"-o", page.Path()});
    EXPECT_EQ(toFile.status, kCliSuccess);
    EXPECT_TRUE(toFile.out.empty());
    EXPECT_EQ(ReadFileBytes(page.Path()), PageOf(sample));
}

TEST(Cli, GenerateAndDumpReadProjectFiles)
{
    CTempFile file(L".quil");
    CProject project;
    project.title = L"T\u010D";
    CGroup* group = new CGroup(*new CColumn(project, L"C"), L"G");
    new CItemLink(*group, L"a", L"u");
    ASSERT_TRUE(SaveProjectFile(project, file.Path()));

    CliRun generate = RunWith({L"generate", file.Path()});
    EXPECT_EQ(generate.status, kCliSuccess);
    EXPECT_EQ(generate.out, PageOf(project));

    CliRun dump = RunWith({L"dump", file.Path()});
    EXPECT_EQ(dump.status, kCliSuccess);
    EXPECT_EQ(dump.out, "project \"T\xC4\x8D\"\n  column \"C\"\n    group \"G\"\n"
                        "      link \"a\" -> \"u\"\n        divider \"\"\n");
}

TEST(Cli, FilesThatDoNotLoadExitWithOneAndSayWhy)
{
    CTempFile missing(L".quil"), notProject(L".quil"), futureRevision(L".quil"), tooLarge(L".quil");
    WriteFileBytes(notProject.Path(), "<html></html>");
    WriteFileBytes(futureRevision.Path(), Bytes("\x6C\x69\x75\x71\x01\x00\x00\x00"));
    WriteFileBytes(tooLarge.Path(), Bytes("\x6C\x69\x75\x71\x00\x00\x00\x00"));
    std::filesystem::resize_file(std::filesystem::path(tooLarge.Path()), std::uintmax_t(1) << 31);
    struct Case
    {
        const CTempFile& file;
        const char* reason;
    } cases[] = {{missing, "cannot read"},
                 {notProject, "is not a Quillomere project file"},
                 {futureRevision, "unknown revision"},
                 {tooLarge, "is too large for a project file"}};
    for (const Case& c : cases) {
        for (const wchar_t* command : {L"generate", L"dump"}) {
            CliRun run = RunWith({command, c.file.Path()});
            EXPECT_EQ(run.status, kCliFileError) << c.reason;
            EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
            EXPECT_NE(run.err.find(Utf8Path(c.file)), std::string::npos) << run.err;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_TRUE(run.out.empty());
        }
    }
}

TEST(Cli, TheCommandsProjectIsLeftToTheCaller)
{
    CTempFile file(L".quil");
    CProject saved;
    new CColumn(saved, L"C");
    ASSERT_TRUE(SaveProjectFile(saved, file.Path()));
    CRecordingStream out, err;
    CProject project;
    EXPECT_EQ(RunCli({L"generate", file.Path()}, project, out, err), kCliSuccess);
    EXPECT_EQ(DumpText(project), DumpText(saved));
}

TEST(Cli, ImportReadsAHomepageIntoAProject)
{
    CProject sample;
    BuildDefaultProject(sample);
    CTempFile page(L".HTM"), project(L".quil");
    WriteFileBytes(page.Path(), PageOf(sample));

    CliRun dump = RunWith({L"import", page.Path()});
    EXPECT_EQ(dump.status, kCliSuccess);
    EXPECT_EQ(dump.out, DumpText(sample));

    CliRun save = RunWith({L"import", page.Path(), L"-o", project.Path()});
    EXPECT_EQ(save.status, kCliSuccess);
    CProject loaded;
    EXPECT_GT(LoadProjectFile(loaded, project.Path()), 0);
    EXPECT_EQ(DumpText(loaded), DumpText(sample));

    // generate on a page: read it back, then write it again.
    CliRun generate = RunWith({L"generate", page.Path()});
    EXPECT_EQ(generate.status, kCliSuccess);
    EXPECT_EQ(generate.out, PageOf(sample));
}

TEST(Cli, PagesThatDoNotReadToTheirEndExitWithOne)
{
    CTempFile broken(L".html"), empty(L".html"), cut(L".html");
    WriteFileBytes(broken.Path(), "<html><title>a > b</title></html>");
    WriteFileBytes(empty.Path(), "");
    WriteFileBytes(cut.Path(), "<html><title>x</title");
    CliRun misplaced = RunWith({L"import", broken.Path()});
    EXPECT_EQ(misplaced.status, kCliFileError);
    EXPECT_NE(misplaced.err.find("misplaced '<' or '>' at byte 15"), std::string::npos)
        << misplaced.err;
    for (const CTempFile* file : {&empty, &cut}) {
        for (const wchar_t* command : {L"import", L"generate"}) {
            CliRun run = RunWith({command, file->Path()});
            EXPECT_EQ(run.status, kCliFileError);
            EXPECT_NE(run.err.find("is empty or ends inside a tag or a comment"), std::string::npos)
                << run.err;
            EXPECT_TRUE(run.out.empty());
        }
    }
}

TEST(Cli, OperandsInTheWrongShapeAreUsageErrors)
{
    for (std::vector<std::wstring> arguments :
         std::vector<std::vector<std::wstring>>{{L"generate", L"a.quil", L"b.quil"},
                                                {L"generate", L"-o"},
                                                {L"generate", L"-o", L"x", L"-o", L"y"},
                                                {L"generate", L"--fast"},
                                                {L"import"},
                                                {L"dump"},
                                                {L"dump", L"a.quil", L"-o", L"b"}}) {
        CliRun run = RunWith(arguments);
        EXPECT_EQ(run.status, kCliUsage) << ToUtf8(arguments[0]);
        EXPECT_NE(run.err.find("Try 'quillomere-cli --help'"), std::string::npos);
    }
}

TEST(Cli, ImportRecognisesABookmarkFileAndCountsWhatItMade)
{
    CTempFile bookmarks(L".html"), project(L".quil");
    WriteFileBytes(bookmarks.Path(),
                   "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p><DT><H3>Bar</H3><DL><p>"
                   "<DT><A HREF=\"https://a.example/\">A</A>"
                   "<DT><A HREF=\"place:sort=8\">Most visited</A></DL><p></DL><p>");
    CliRun dump = RunWith({L"import", bookmarks.Path()});
    EXPECT_EQ(dump.status, kCliSuccess);
    EXPECT_EQ(dump.out, "project \"\"\n  column \"Bar\"\n    group \"Bar\"\n"
                        "      link \"A\" -> \"https://a.example/\"\n        divider \"\"\n");
    EXPECT_EQ(dump.err,
              "quillomere-cli: '" + Utf8Path(bookmarks) +
                  "' is a bookmark file: 1 column, 1 group, 1 link; skipped 1 bookmark (1 place: "
                  "address)\n");

    CliRun save = RunWith({L"import", bookmarks.Path(), L"-o", project.Path()});
    EXPECT_EQ(save.status, kCliSuccess);
    CProject loaded;
    EXPECT_GT(LoadProjectFile(loaded, project.Path()), 0);
    EXPECT_EQ(DumpText(loaded), dump.out);

    // A damaged file: the counts of what preceded the damage, then the reason.
    WriteFileBytes(bookmarks.Path(), "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p>"
                                     "<DT><A HREF=\"u\">A</A><DT><A HREF=\"v\">B > C</A>");
    CliRun damaged = RunWith({L"import", bookmarks.Path()});
    EXPECT_EQ(damaged.status, kCliFileError);
    EXPECT_TRUE(damaged.out.empty());
    EXPECT_NE(damaged.err.find("1 column, 1 group, 1 link; skipped 0 bookmarks\n"),
              std::string::npos)
        << damaged.err;
    EXPECT_NE(damaged.err.find("misplaced '<' or '>' at byte 81"), std::string::npos)
        << damaged.err;
}

TEST(Cli, ImportMergeIntoAddsOnlyWhatTheProjectDoesNotHave)
{
    CTempFile first(L".html"), second(L".html"), base(L".quil"), again(L".quil"), merged(L".quil");
    const std::string head = "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p><DT><H3>Bar</H3><DL><p>"
                             "<DT><A HREF=\"https://a.example/\">A</A>"
                             "<DT><A HREF=\"https://b.example/?x=1&amp;y=2\">B</A>";
    WriteFileBytes(first.Path(), head + "<DT><A HREF=\"place:sort=8\">Most visited</A>"
                                        "</DL><p></DL><p>");
    WriteFileBytes(second.Path(), head +
                                      "<DT><A HREF=\"https://c.example/\">C</A>"
                                      "<DT><A HREF=\"https://d.example/\">D</A></DL><p>"
                                      "<DT><H3>Baz</H3><DL><p>"
                                      "<DT><A HREF=\"HTTPS://A.example:443\">A again</A>"
                                      "<DT><A HREF=\"https://e.example/\">E</A></DL><p></DL><p>");
    ASSERT_EQ(RunWith({L"import", first.Path(), L"-o", base.Path()}).status, kCliSuccess);
    const std::string prefix = "quillomere-cli: Read " + ToUtf8(FileNameOf(first.Path())) + ": ";

    // The same file again: the same bytes.
    CliRun same =
        RunWith({L"import", first.Path(), L"--merge-into", base.Path(), L"-o", again.Path()});
    EXPECT_EQ(same.status, kCliSuccess);
    EXPECT_EQ(same.err,
              prefix + "0 new links; 2 already here; 1 bookmark skipped (1 place: address)\n");
    EXPECT_EQ(ReadFileBytes(again.Path()), ReadFileBytes(base.Path()));

    CliRun run =
        RunWith({L"import", second.Path(), L"--merge-into", base.Path(), L"-o", merged.Path()});
    EXPECT_EQ(run.status, kCliSuccess);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err, "quillomere-cli: Read " + ToUtf8(FileNameOf(second.Path())) +
                           ": 3 new links (1 new group); 3 already here\n");
    CProject loaded;
    ASSERT_GT(LoadProjectFile(loaded, merged.Path()), 0);
    EXPECT_EQ(ProjectOutline(loaded), L"[Bar[Bar[A,B,C,D]],Baz[Baz[E]]]");
    // Without -o the project is printed.
    CliRun dump = RunWith({L"import", second.Path(), L"--merge-into", base.Path()});
    EXPECT_EQ(dump.status, kCliSuccess);
    EXPECT_EQ(dump.out, DumpText(loaded));

    // A damaged file, or a project that does not load: exit 1, nothing saved.
    CTempFile damaged(L".html"), notSaved(L".quil");
    WriteFileBytes(damaged.Path(), head + "<DT><A HREF=\"v\">B > C</A>");
    CliRun broken =
        RunWith({L"import", damaged.Path(), L"--merge-into", base.Path(), L"-o", notSaved.Path()});
    EXPECT_EQ(broken.status, kCliFileError);
    EXPECT_NE(broken.err.find("misplaced '<' or '>' at byte"), std::string::npos) << broken.err;
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(notSaved.Path())));
    CliRun unloadable =
        RunWith({L"import", first.Path(), L"--merge-into", first.Path(), L"-o", notSaved.Path()});
    EXPECT_EQ(unloadable.status, kCliFileError);
    EXPECT_NE(unloadable.err.find("is not a Quillomere project file"), std::string::npos);

    for (std::vector<std::wstring> arguments : std::vector<std::vector<std::wstring>>{
             {L"import", first.Path(), L"--merge-into"},
             {L"import", first.Path(), L"--merge-into", base.Path(), L"--merge-into", base.Path()},
             {L"generate", L"--merge-into", base.Path()}}) {
        CliRun wrong = RunWith(arguments);
        EXPECT_EQ(wrong.status, kCliUsage) << wrong.err;
    }
}

TEST(Cli, ExportBookmarksWritesAFileThatReadsBack)
{
    CProject sample;
    BuildDefaultProject(sample);
    CTempFile file(L".quil"), bookmarks(L".html"), back(L".quil");
    ASSERT_TRUE(SaveProjectFile(sample, file.Path()));

    CliRun out = RunWith({L"export-bookmarks", file.Path()});
    EXPECT_EQ(out.status, kCliSuccess);
    EXPECT_EQ(out.out.rfind("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n", 0), 0u);
    EXPECT_TRUE(out.err.empty());

    CliRun toFile = RunWith({L"export-bookmarks", file.Path(), L"-o", bookmarks.Path()});
    EXPECT_EQ(toFile.status, kCliSuccess);
    EXPECT_TRUE(toFile.out.empty());
    EXPECT_EQ(ReadFileBytes(bookmarks.Path()), out.out);
    CliRun import = RunWith({L"import", bookmarks.Path(), L"-o", back.Path()});
    EXPECT_EQ(import.status, kCliSuccess);
    EXPECT_NE(import.err.find("is a bookmark file"), std::string::npos);

    CliRun missing = RunWith({L"export-bookmarks", bookmarks.Path() + L".missing"});
    EXPECT_EQ(missing.status, kCliFileError);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
    for (std::vector<std::wstring> arguments : std::vector<std::vector<std::wstring>>{
             {L"export-bookmarks"}, {L"export-bookmarks", L"a.quil", L"b.quil"}}) {
        CliRun run = RunWith(arguments);
        EXPECT_EQ(run.status, kCliUsage);
        EXPECT_NE(run.err.find("export-bookmarks takes one project file"), std::string::npos);
    }
    EXPECT_NE(RunWith({L"--help"}).out.find("export-bookmarks PROJECT.quil [-o FILE]"),
              std::string::npos);
}

TEST(Cli, GenerateWritesTheStyleThatStyleNamesAndImportKeepsAModernPagesStyle)
{
    CProject sample;
    BuildDefaultProject(sample);
    CProject modern;
    BuildDefaultProject(modern);
    modern.pageStyle = PageStyle::Modern;
    CTempFile classicFile(L".quil"), modernFile(L".quil"), page(L".html"), imported(L".quil");
    ASSERT_TRUE(SaveProjectFile(sample, classicFile.Path()));
    ASSERT_TRUE(SaveProjectFile(modern, modernFile.Path()));

    EXPECT_EQ(RunWith({L"generate", L"--style", L"modern"}).out, PageOf(modern));
    EXPECT_EQ(RunWith({L"generate", classicFile.Path(), L"--style", L"modern"}).out,
              PageOf(modern));
    EXPECT_EQ(RunWith({L"generate", modernFile.Path()}).out, PageOf(modern));
    EXPECT_EQ(RunWith({L"generate", L"--style", L"classic", modernFile.Path()}).out,
              PageOf(sample));
    // The override is for the one run: the file keeps its style.
    CProject reloaded;
    ASSERT_GT(LoadProjectFile(reloaded, modernFile.Path()), 0);
    EXPECT_EQ(reloaded.pageStyle, PageStyle::Modern);

    // import of a Modern page: the project comes back Modern, and its page byte for byte.
    ASSERT_EQ(RunWith({L"generate", modernFile.Path(), L"-o", page.Path()}).status, kCliSuccess);
    CliRun dump = RunWith({L"import", page.Path()});
    EXPECT_EQ(dump.status, kCliSuccess);
    EXPECT_EQ(dump.out, DumpText(modern));
    EXPECT_NE(dump.out.find("\n  style modern\n"), std::string::npos);
    ASSERT_EQ(RunWith({L"import", page.Path(), L"-o", imported.Path()}).status, kCliSuccess);
    EXPECT_EQ(RunWith({L"dump", imported.Path()}).out, DumpText(modern));
    EXPECT_EQ(RunWith({L"generate", imported.Path()}).out, ReadFileBytes(page.Path()));
    EXPECT_EQ(RunWith({L"generate", page.Path()}).out, ReadFileBytes(page.Path()));
}

TEST(Cli, StyleIsAnOptionOfGenerateWithOneOfTwoValues)
{
    for (std::vector<std::wstring> arguments : std::vector<std::vector<std::wstring>>{
             {L"generate", L"--style"},
             {L"generate", L"--style", L"fancy"},
             {L"generate", L"--style", L"modern", L"--style", L"classic"},
             {L"import", L"a.html", L"--style", L"modern"},
             {L"dump", L"a.quil", L"--style", L"classic"}}) {
        CliRun run = RunWith(arguments);
        EXPECT_EQ(run.status, kCliUsage) << ToUtf8(arguments.back());
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find("Try 'quillomere-cli --help'"), std::string::npos);
    }
    EXPECT_NE(RunWith({L"generate", L"--style", L"fancy"}).err.find("unknown style 'fancy'"),
              std::string::npos);
    EXPECT_NE(RunWith({L"--help"}).out.find("--style classic|modern"), std::string::npos);
}

TEST(Cli, DumpShowsAColumnsTabAndAModernPageShowsTheTabs)
{
    CProject project;
    BuildDefaultProject(project);
    project.columns[1]->tab = L"Play & fun";
    CProject untabbed;
    BuildDefaultProject(untabbed);
    CTempFile file(L".quil"), page(L".html");
    ASSERT_TRUE(SaveProjectFile(project, file.Path()));

    std::string dump = RunWith({L"dump", file.Path()}).out;
    EXPECT_NE(dump.find("  column \"Another column\"\n    tab \"Play & fun\"\n"), std::string::npos)
        << dump;
    EXPECT_EQ(dump.find("tab \"\""), std::string::npos) << "a column without a tab says nothing";

    std::string modern = RunWith({L"generate", file.Path(), L"--style", L"modern"}).out;
    EXPECT_NE(modern.find(">Play &amp; fun</button>"), std::string::npos);
    EXPECT_NE(modern.find("<section class=\"tab\""), std::string::npos);
    EXPECT_EQ(RunWith({L"generate", file.Path()}).out, PageOf(untabbed)) << "Classic: no tabs";

    // Read back, the tab is there again.
    ASSERT_EQ(RunWith({L"generate", file.Path(), L"--style", L"modern", L"-o", page.Path()}).status,
              kCliSuccess);
    EXPECT_NE(RunWith({L"import", page.Path()}).out.find("    tab \"Play & fun\"\n"),
              std::string::npos);
}

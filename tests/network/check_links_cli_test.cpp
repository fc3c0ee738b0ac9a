#include "cli/check_links.h"
#include "cli/cli.h"
#include "fake_transport.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

struct CliRun
{
    int status;
    std::string out, err;
};

CliRun RunCheck(std::vector<std::wstring> arguments)
{
    CRecordingStream out, err;
    CProject project;
    int status = RunCli(arguments, project, out, err);
    return {status, out.bytes, err.bytes};
}

// The command's HTTP stack answers from a script while the fixture lives.
class CheckLinksCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetCheckLinksTransportForTesting([](const TransportSettings&, std::string&) {
            return std::unique_ptr<IHttpTransport>(
                new CFakeTransport([](const HttpRequest& request, int) {
                    CFakeTransport::Answer answer;
                    if (request.target == "/old") answer.status = 301, answer.location = "/new";
                    if (request.target == "/missing") answer.status = 404;
                    if (request.target == "/script")
                        answer.status = 308, answer.location = "JavaScript:alert(1)\x1B[2J";
                    return answer;
                }));
        });
    }
    void TearDown() override { SetCheckLinksTransportForTesting(nullptr); }

    // A project file with the given link addresses, in one group.
    void SaveProject(const std::vector<std::wstring>& urls)
    {
        CProject project;
        auto* group = new CGroup(*new CColumn(project, L"Column"), L"Group");
        for (const std::wstring& url : urls)
            new CItemLink(*group, L"Link", url);
        ASSERT_TRUE(SaveProjectFile(project, file.Path()));
    }

    CTempFile file{L".quil"};
};

} // namespace

TEST_F(CheckLinksCli, WrongUsageAndUnreadableFilesExitWithTwo)
{
    for (const auto& arguments : std::vector<std::vector<std::wstring>>{
             {L"check-links"},
             {L"check-links", L"a.quil", L"b.quil"},
             {L"check-links", L"a.quil", L"--jobs", L"0"},
             {L"check-links", L"a.quil", L"--per-host"},
             {L"check-links", L"a.quil", L"--timeout", L"x"},
             {L"check-links", L"a.quil", L"--format", L"xml"},
             {L"check-links", L"a.quil", L"--fix-moved"},
             {L"check-links", L"a.quil", L"--fix-https", L"-o", L"b.quil"},
             {L"check-links", L"a.quil", L"--frobnicate"}}) {
        CliRun run = RunCheck(arguments);
        EXPECT_EQ(run.status, kCliUsage) << ToUtf8(arguments.back());
        EXPECT_NE(run.err.find("Try 'quillomere-cli --help'"), std::string::npos);
    }
    CliRun missing = RunCheck({L"check-links", L"/nonexistent/project.quil"});
    EXPECT_EQ(missing.status, kCliUsage);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
    CTempFile junk(L".quil");
    WriteFileBytes(junk.Path(), "not a project");
    EXPECT_EQ(RunCheck({L"check-links", junk.Path()}).status, kCliUsage);
}

TEST_F(CheckLinksCli, ExitsWithZeroOnlyWhenEveryCheckedLinkIsOkOrRedirected)
{
    SaveProject({L"http://a.test:81/ok", L"mailto:x@y.test"});
    CliRun ok = RunCheck({L"check-links", file.Path()});
    EXPECT_EQ(ok.status, kCliSuccess);
    EXPECT_EQ(ok.out, "Not checked: mailto:x@y.test (not an http or https address)  "
                      "[Column / Group / Link]\n"
                      "2 places, 1 address: 1 OK; 1 not checked\n");
    SaveProject({L"http://a.test:81/ok", L"http://a.test:81/missing"});
    CTempFile report(L".json");
    CliRun failed =
        RunCheck({L"check-links", file.Path(), L"--format", L"json", L"-o", report.Path(),
                  L"--jobs", L"2", L"--per-host", L"1", L"--timeout", L"3"});
    EXPECT_EQ(failed.status, kCliFileError);
    EXPECT_TRUE(failed.out.empty());
    EXPECT_NE(ReadFileBytes(report.Path()).find("\"result\": \"Not found\", \"status\": 404"),
              std::string::npos);
}

TEST_F(CheckLinksCli, FixMovedWritesAFixedCopyAndReportsTheChanges)
{
    SaveProject({L"http://a.test:81/old", L"http://a.test:81/ok"});
    CTempFile fixed(L".quil");
    CliRun run = RunCheck({L"check-links", file.Path(), L"--fix-moved", L"-o", fixed.Path()});
    EXPECT_EQ(run.status, kCliFileError); // a Moved link is not OK
    EXPECT_NE(run.out.find("Changed 1 address in '" + ToUtf8(fixed.Path()) +
                           "':\n  moved: http://a.test:81/old -> http://a.test:81/new  "
                           "[Column / Group / Link]\n"),
              std::string::npos);
    CProject result;
    ASSERT_GT(LoadProjectFile(result, fixed.Path()), 0);
    auto* group = result.columns[0]->groups[0];
    EXPECT_EQ(static_cast<CItemLink*>(group->items[0])->mainLink.url, L"http://a.test:81/new");
    EXPECT_EQ(static_cast<CItemLink*>(group->items[1])->mainLink.url, L"http://a.test:81/ok");
    CProject original;
    ASSERT_GT(LoadProjectFile(original, file.Path()), 0);
    EXPECT_EQ(static_cast<CItemLink*>(original.columns[0]->groups[0]->items[0])->mainLink.url,
              L"http://a.test:81/old");
}

TEST_F(CheckLinksCli, FixMovedLeavesARedirectOutOfTheWebAsItWasAndSaysWhy)
{
    SaveProject({L"http://a.test:81/script", L"http://a.test:81/old"});
    CTempFile fixed(L".quil");
    CliRun run = RunCheck({L"check-links", file.Path(), L"--fix-moved", L"-o", fixed.Path()});
    EXPECT_EQ(run.status, kCliFileError);
    EXPECT_NE(run.out.find("Redirect to a non-web address (308): http://a.test:81/script -> "
                           "JavaScript:alert(1)\\x1b[2J (only http and https addresses are "
                           "followed)  [Column / Group / Link]\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Changed 1 address in '" + ToUtf8(fixed.Path()) +
                           "':\n  moved: http://a.test:81/old -> http://a.test:81/new  "
                           "[Column / Group / Link]\n"
                           "Left 1 address as it was: a redirect to an address that is not http "
                           "or https is never taken over:\n"
                           "  kept: http://a.test:81/script (redirects to "
                           "JavaScript:alert(1)\\x1b[2J)  [Column / Group / Link]\n"),
              std::string::npos)
        << run.out;
    CProject result;
    ASSERT_GT(LoadProjectFile(result, fixed.Path()), 0);
    EXPECT_EQ(static_cast<CItemLink*>(result.columns[0]->groups[0]->items[0])->mainLink.url,
              L"http://a.test:81/script");
}

// quillomere-cli fetch-icons with a scripted HTTP stack: its command line, the copy it saves and
// the report it prints.
#include "cli/cli.h"
#include "cli/fetch_icons.h"
#include "icons/test_images.h"
#include "model/item_link.h"
#include "model/project.h"
#include "network/fake_transport.h"
#include "persist/project_file.h"
#include "persist/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

class FetchIconsCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetFetchIconsTransportForTesting([](const TransportSettings&, std::string&) {
            return std::unique_ptr<IHttpTransport>(
                new CFakeTransport([](const HttpRequest& request, int) {
                    CFakeTransport::Answer answer;
                    if (request.target == "/favicon.ico" && request.host == "a.test")
                        answer.body = MakePng(16, 0x445566);
                    else if (request.target != "/")
                        answer.status = 404;
                    return answer;
                }));
        });
        CProject project;
        auto* group = new CGroup(*new CColumn(project, L"Column"), L"Group");
        new CItemLink(*group, L"Has one", L"http://a.test/");
        new CItemLink(*group, L"Has none", L"http://b.test/");
        new CItemLink(*group, L"Mail", L"mailto:x@a.test");
        ASSERT_TRUE(SaveProjectFile(project, input.Path()));
    }
    void TearDown() override { SetFetchIconsTransportForTesting(nullptr); }

    int Run(const std::vector<std::wstring>& arguments)
    {
        CRecordingStream outStream, errStream;
        CProject project;
        int status = RunCli(arguments, project, outStream, errStream);
        out = outStream.bytes;
        err = errStream.bytes;
        return status;
    }

    CTempFile input{L".quil"}, output{L".quil"};
    std::string out, err;
};

} // namespace

TEST_F(FetchIconsCli, WrongUsageExitsWithTwo)
{
    for (const auto& arguments : std::vector<std::vector<std::wstring>>{
             {L"fetch-icons"},
             {L"fetch-icons", L"a.quil"},
             {L"fetch-icons", L"a.quil", L"b.quil", L"-o", L"c.quil"},
             {L"fetch-icons", L"a.quil", L"-o"},
             {L"fetch-icons", L"a.quil", L"-o", L"b.quil", L"-o", L"c.quil"},
             {L"fetch-icons", L"a.quil", L"-o", L"b.quil", L"--jobs", L"0"},
             {L"fetch-icons", L"a.quil", L"-o", L"b.quil", L"--per-host", L"65"},
             {L"fetch-icons", L"a.quil", L"-o", L"b.quil", L"--timeout", L"1s"},
             {L"fetch-icons", L"a.quil", L"-o", L"b.quil", L"--fix-moved"}}) {
        EXPECT_EQ(Run(arguments), kCliUsage) << ToUtf8(arguments.back());
        EXPECT_NE(err.find("Try 'quillomere-cli --help'"), std::string::npos);
    }
}

TEST_F(FetchIconsCli, SavesACopyWithTheIconsAndReportsTheRest)
{
    ASSERT_EQ(Run({L"fetch-icons", input.Path(), L"-o", output.Path()}), kCliSuccess) << err;
    EXPECT_NE(out.find("No icon  http://b.test/  the page names no icon, and "
                       "http://b.test/favicon.ico answered 404  [Column / Group / Has none]"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Icons for 2 links (2 pages): 1 kept, 1 failed (1 No icon); 1 link "
                       "skipped (1 is not an http or https address)."),
              std::string::npos)
        << out;
    CProject saved;
    ASSERT_GT(LoadProjectFile(saved, output.Path()), 0);
    const auto& items = saved.columns[0]->groups[0]->items;
    const auto* first = static_cast<const CItemLink*>(items[0]);
    ASSERT_TRUE(first->icon);
    EXPECT_EQ(first->icon->Bytes(), MakePng(16, 0x445566));
    EXPECT_FALSE(static_cast<const CItemLink*>(items[1])->icon);

    // The project read is left as it was; the copy, fetched again, asks only for the one without.
    CProject original;
    ASSERT_GT(LoadProjectFile(original, input.Path()), 0);
    EXPECT_FALSE(static_cast<const CItemLink*>(original.columns[0]->groups[0]->items[0])->icon);
    ASSERT_EQ(Run({L"fetch-icons", output.Path(), L"-o", input.Path()}), kCliSuccess);
    EXPECT_NE(out.find("Icons for 1 link (1 page): 0 kept, 1 failed"), std::string::npos) << out;
    EXPECT_NE(out.find("1 has an icon"), std::string::npos) << out;
}

TEST_F(FetchIconsCli, FilesThatCannotBeReadOrWrittenExitWithOne)
{
    EXPECT_EQ(Run({L"fetch-icons", L"/nonexistent/a.quil", L"-o", output.Path()}), kCliFileError);
    EXPECT_EQ(Run({L"fetch-icons", input.Path(), L"-o", L"/nonexistent/folder/b.quil"}),
              kCliFileError);
    EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
}

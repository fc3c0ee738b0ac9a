#include "cli/cli.h"
#include "persist/streams.h"
#include "test_support.h"

#include <gtest/gtest.h>

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
    int status = RunCli(arguments, out, err);
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

// A save is never torn: quillomere-cli imports a large homepage and saves its project (about
// 50 MB) over an existing project file, and is killed with SIGKILL at random moments. After every
// kill the file holds the old bytes or the complete new ones, and at most the one temporary file
// of the killed save is left, which the next save takes away.
#include "homepage/page_writer.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKills = 200;

// A project of about 50 MB in the file: long links, so that the import spends its time on bytes
// rather than on many small nodes, and the save phase is a good part of the run.
void BuildLargeProject(CProject& project, std::uint32_t seed)
{
    std::mt19937 random(seed);
    auto text = [&random](std::size_t length) {
        std::wstring result;
        result.reserve(length);
        for (std::size_t i = 0; i < length; ++i)
            result += static_cast<wchar_t>(L'a' + random() % 26);
        return result;
    };
    project.title = L"Large " + std::to_wstring(seed);
    for (int c = 0; c < 5; ++c) {
        CColumn* column = new CColumn(project, text(12));
        for (int g = 0; g < 100; ++g) {
            CGroup* group = new CGroup(*column, text(20) + L" \u010D");
            for (int i = 0; i < 10; ++i) {
                CItemLink* link = new CItemLink(*group, text(40), L"https://" + text(9800));
                if (i % 5 == 0) link->SetPopupContent(text(1000));
            }
        }
    }
}

struct CliRun
{
    bool killed = false;
    double seconds = 0;
};

// Runs `quillomere-cli import PAGE -o TARGET`; kills it after `delay` seconds unless it is done.
CliRun ImportKilledAfter(const std::string& page, const std::string& target, double delay)
{
    std::string cli = QUIL_CLI_PATH;
    std::vector<std::string> arguments = {cli, "import", page, "-o", target};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    pid_t child = 0;
    Clock::time_point start = Clock::now();
    if (posix_spawn(&child, cli.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        ADD_FAILURE() << "cannot start " << cli;
        return CliRun();
    }
    if (delay >= 0) {
        std::this_thread::sleep_until(start + std::chrono::duration<double>(delay));
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    CliRun run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    if (!run.killed) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    return run;
}

std::vector<fs::path> Leftovers(const fs::path& folder)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("Quillomere.quil.saving-", 0) == 0)
            found.push_back(entry.path());
    }
    return found;
}

} // namespace

TEST(CrashSafety, AKilledSaveLeavesTheOldOrTheNewFileAndNoLitter)
{
    CTempFile folderName(L".crash");
    fs::path folder(folderName.Path());
    fs::create_directory(folder);
    struct Cleanup
    {
        fs::path folder;
        ~Cleanup() { fs::remove_all(folder); }
    } cleanup{folder};
    const std::string target = (folder / "Quillomere.quil").string();

    // Two pages, and the project files that complete imports of them save.
    std::string pages[2], saved[2];
    double seconds[2] = {};
    for (int k = 0; k < 2; ++k) {
        pages[k] = (folder / ("page" + std::to_string(k) + ".html")).string();
        {
            CProject project;
            BuildLargeProject(project, static_cast<std::uint32_t>(k + 1));
            CFileStream page(FromUtf8(pages[k]), true);
            WritePage(project, page);
            ASSERT_TRUE(page.Close());
        }
        // The length of a whole run: the median of three.
        double runs[3];
        for (double& run : runs)
            run = ImportKilledAfter(pages[k], target, -1).seconds;
        std::sort(runs, runs + 3);
        seconds[k] = runs[1];
        saved[k] = ReadFileBytes(FromUtf8(target));
        CProject loaded;
        ASSERT_GT(LoadProjectFile(loaded, FromUtf8(target)), 0);
    }
    ASSERT_NE(saved[0], saved[1]);
    EXPECT_GT(saved[0].size(), 45000000u);

    std::mt19937 random(20240601);
    int current = 1, kills = 0, runs = 0, oldBytes = 0, newBytes = 0, leftBehind = 0;
    std::size_t mostLeftovers = 0;
    while (kills < kKills && runs < 3 * kKills) {
        ++runs;
        int next = 1 - current;
        // Anywhere in the run, from its start to its exit (a few runs end before the kill).
        double delay = std::uniform_real_distribution<double>(0, 1.02 * seconds[next])(random);
        CliRun run = ImportKilledAfter(pages[next], target, delay);
        if (run.killed) {
            ++kills;
        } else {
            seconds[next] = run.seconds; // the machine got faster: aim within the new length
        }
        std::string bytes = ReadFileBytes(FromUtf8(target));
        if (bytes == saved[next]) {
            if (run.killed) ++newBytes;
            current = next;
        } else if (bytes == saved[current]) {
            if (run.killed) ++oldBytes;
            EXPECT_TRUE(run.killed) << "a complete save left the old file";
        } else {
            ADD_FAILURE() << "torn file after a kill at " << delay << " s: " << bytes.size()
                          << " bytes";
            break;
        }
        // Each save removes what earlier ones left before it makes its own, and a complete save
        // leaves nothing.
        std::size_t leftovers = Leftovers(folder).size();
        if (run.killed && leftovers > 0) ++leftBehind;
        if (leftovers > mostLeftovers) mostLeftovers = leftovers;
        EXPECT_LE(leftovers, run.killed ? 1u : 0u);
    }
    ImportKilledAfter(pages[0], target, -1);
    EXPECT_EQ(ReadFileBytes(FromUtf8(target)), saved[0]);
    std::size_t finalLeftovers = Leftovers(folder).size();
    EXPECT_EQ(finalLeftovers, 0u) << "a complete save leaves no temporary file";
    EXPECT_EQ(kills, kKills);

    std::printf("%d kills in %d runs of %.0f MB saves (%.2f s each): %d old, %d new; %d kills left "
                "a temporary file, at most %zu at once, %zu after the last complete save\n",
                kills, runs, saved[0].size() / 1e6, seconds[0], oldBytes, newBytes, leftBehind,
                mostLeftovers, finalLeftovers);
    RecordProperty("kills", kills);
    RecordProperty("old", oldBytes);
    RecordProperty("new", newBytes);
    RecordProperty("leftBehind", leftBehind);
}

// What loading costs in memory for files made of countless tiny chunks, counted allocation by
// allocation (this program replaces operator new).
#include "allocation_counter.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t kFileBytes = 8u << 20;
constexpr std::size_t kMeasureSlack = 1u << 20; // stream buffers and the like

// Empty chunks of tag 0, eight bytes each, until `payload` is `bytes` long.
void FillWithEmptyChunks(std::string& payload, std::size_t bytes)
{
    payload.resize(payload.size() + (bytes - payload.size()) / 8 * 8, '\0');
}

struct LoadFigures
{
    std::int32_t result;
    AllocationFigures memory;
};

LoadFigures Load(CProject& project, const std::wstring& path)
{
    CAllocationCounter counter;
    std::int32_t result = LoadProjectFile(project, path);
    LoadFigures figures{result, counter.Figures()};
    // In the test report, for comparing builds.
    testing::Test::RecordProperty("peak_bytes", std::to_string(figures.memory.peakBytes));
    testing::Test::RecordProperty("allocations", std::to_string(figures.memory.allocations));
    return figures;
}

} // namespace

TEST(LoadMemory, EmptyUnknownChunksCostAboutTheirOwnSize)
{
    CTempFile file(L".quil");
    {
        std::string bytes = ProjectHeader();
        FillWithEmptyChunks(bytes, kFileBytes);
        WriteFileBytes(file.Path(), bytes);
    }
    CProject project;
    LoadFigures load = Load(project, file.Path());
    EXPECT_EQ(load.result, static_cast<std::int32_t>(kFileBytes - 8));
    EXPECT_EQ(project.keptChunks.size(), (kFileBytes - 8) / 8);
    EXPECT_LE(load.memory.peakBytes, 3 * kFileBytes + kMeasureSlack);
    EXPECT_LT(load.memory.allocations, 1000u);
}

TEST(LoadMemory, EmptyUnknownChunksInALinkItemAreWrittenBackAsTheyWere)
{
    // Built the way the program writes a link item, so that a save gives back the same file.
    std::string item =
        Chunk("capt", "a") + Chunk("url ", "u") + Chunk("dvdr", "") + Chunk("zzzz", "abc");
    FillWithEmptyChunks(item, kFileBytes - 64);
    item += Chunk("yyyy", "");
    const std::string original =
        ProjectHeader() + Chunk("titl", "T") +
        Chunk("colu", Chunk("capt", "C") + Chunk("grup", Chunk("capt", "G") + Chunk("ilnk", item)));
    CTempFile file(L".quil"), saved(L".quil");
    WriteFileBytes(file.Path(), original);

    CProject project;
    LoadFigures load = Load(project, file.Path());
    EXPECT_EQ(load.result, static_cast<std::int32_t>(original.size() - 8));
    ASSERT_EQ(project.columns.size(), 1u);
    ASSERT_EQ(project.columns[0]->groups.size(), 1u);
    ASSERT_EQ(project.columns[0]->groups[0]->items.size(), 1u);
    const CItem* loaded = project.columns[0]->groups[0]->items[0];
    EXPECT_GT(loaded->keptChunks.size(), (kFileBytes - 128) / 8);
    EXPECT_LE(load.memory.peakBytes, 3 * kFileBytes + kMeasureSlack);
    EXPECT_LT(load.memory.allocations, 1000u);

    ASSERT_TRUE(SaveProjectFile(project, saved.Path()));
    EXPECT_TRUE(ReadFileBytes(saved.Path()) == original);
}

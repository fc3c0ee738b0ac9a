// The grid arithmetic: the worked examples, and random configurations against the invariants.
#include "layout/grid_sizer.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Bounds
{
    int top, left, bottom, right;
    bool operator==(const Bounds& other) const
    {
        return top == other.top && left == other.left && bottom == other.bottom &&
               right == other.right;
    }
};

// Remembers where it was placed and when it was repainted.
class CRecordingItem : public ISizerItem
{
public:
    CRecordingItem(std::vector<std::string>& log, std::string name) : log(log), name(name) {}
    ~CRecordingItem() override { log.push_back("destroyed " + name); }
    void SetBounds(int top, int left, int bottom, int right) override
    {
        bounds = {top, left, bottom, right};
    }
    void Repaint() override { log.push_back("repaint " + name); }

    Bounds bounds = {-1, -1, -1, -1};

private:
    std::vector<std::string>& log;
    std::string name;
};

std::vector<std::int32_t> Sizes(const std::vector<Track>& tracks)
{
    std::vector<std::int32_t> sizes;
    for (const Track& track : tracks)
        sizes.push_back(track.size);
    return sizes;
}

Track MakeTrack(std::int32_t minimum, std::int32_t maximum, std::int32_t weight)
{
    Track track;
    track.minimum = minimum;
    track.maximum = maximum;
    track.weight = weight;
    return track;
}

} // namespace

TEST(GridSizer, FiveEqualColumnsLeaveTheTruncatedPixelsFree)
{
    CGridSizer grid(5, 1);
    grid.SetBounds(0, 0, 20, 503);
    EXPECT_EQ(Sizes(grid.Columns()), (std::vector<std::int32_t>{100, 100, 100, 100, 100}));
    EXPECT_EQ(grid.Columns().back().end, 500);
    EXPECT_EQ(grid.Rows()[0].size, 20);
}

TEST(GridSizer, FixedAndWeightedColumnsAndMinimaBeyondTheRange)
{
    CGridSizer grid(4, 1);
    grid.SetColumn(0, 100, 100, 0);
    grid.SetColumn(1, 100, -1, 1);
    grid.SetColumn(2, 50, 50, 0);
    grid.SetColumn(3, 50, 50, 0);
    grid.SetBounds(0, 0, 10, 400);
    EXPECT_EQ(Sizes(grid.Columns()), (std::vector<std::int32_t>{100, 200, 50, 50}));
    EXPECT_EQ(grid.Columns().back().end, 400);

    // The minima (300) exceed 250: nothing is distributed and the last column runs 50 past.
    grid.SetBounds(0, 0, 10, 250);
    EXPECT_EQ(Sizes(grid.Columns()), (std::vector<std::int32_t>{100, 100, 50, 50}));
    EXPECT_EQ(grid.Columns().back().end, 300);
}

TEST(GridSizer, AClampedTrackGivesItsExcessToTheNextPass)
{
    std::vector<Track> tracks = {MakeTrack(0, 10, 1), MakeTrack(0, -1, 1)};
    DistributeTracks(tracks, 0, 100);
    EXPECT_EQ(Sizes(tracks), (std::vector<std::int32_t>{10, 90}));

    // Without any weight all tracks share alike: 40 each, the first clamped to 20, then 30 more.
    tracks = {MakeTrack(10, 20, 0), MakeTrack(10, -1, 0)};
    DistributeTracks(tracks, 0, 100);
    EXPECT_EQ(Sizes(tracks), (std::vector<std::int32_t>{20, 80}));
    EXPECT_EQ(tracks[1].start, 20);
    EXPECT_EQ(tracks[1].end, 100);
}

TEST(GridSizer, TruncationLossesOfEveryPassStayFree)
{
    // Pass 1 hands out 33 each of 101 and loses 2; the first track returns its 33; pass 2 hands
    // out 16 each of those and loses 1 more.
    std::vector<Track> tracks = {MakeTrack(0, 0, 1), MakeTrack(0, -1, 1), MakeTrack(0, -1, 1)};
    DistributeTracks(tracks, 0, 101);
    EXPECT_EQ(Sizes(tracks), (std::vector<std::int32_t>{0, 49, 49}));
}

TEST(GridSizer, NegativeValuesAndAMaximumBelowTheMinimum)
{
    std::vector<Track> tracks = {MakeTrack(-5, -1, -3), MakeTrack(30, 10, 0), MakeTrack(0, -1, 2)};
    DistributeTracks(tracks, 10, 110);
    EXPECT_EQ(tracks[0].minimum, 0); // stored
    EXPECT_EQ(tracks[0].weight, -3); // only the working weight is cut to 0
    // Spare space was handed out, so the maximum wins over the minimum; its 20 go to the weighted.
    EXPECT_EQ(Sizes(tracks), (std::vector<std::int32_t>{0, 10, 90}));
    EXPECT_EQ(tracks[0].start, 10);

    // Without spare space nothing is clamped.
    DistributeTracks(tracks, 0, 20);
    EXPECT_EQ(Sizes(tracks), (std::vector<std::int32_t>{0, 30, 0}));
}

TEST(GridSizer, CellsArePlacedInsideTheirTracksLessTheInset)
{
    std::vector<std::string> log;
    CGridSizer grid(4, 3);
    grid.SetColumn(0, 100, 100, 0);
    grid.SetRow(0, 20, 20, 0);
    grid.SetRow(2, 20, 20, 0);
    auto spanning = std::make_shared<CRecordingItem>(log, "spanning");
    auto corner = std::make_shared<CRecordingItem>(log, "corner");
    grid.AddItem(spanning, 1, 1, 2, 3, 3);
    grid.AddItem(corner, 0, 0, 0, 0, 0);
    grid.SetBounds(5, 10, 105, 310); // columns: 100 + 3 x 66 (2 px free); rows 20, 60, 20
    EXPECT_EQ(spanning->bounds, (Bounds{25 + 3, 110 + 3, 105 - 3, 308 - 3}));
    EXPECT_EQ(corner->bounds, (Bounds{5, 10, 25, 110}));

    grid.Repaint();
    EXPECT_EQ(log, (std::vector<std::string>{"repaint spanning", "repaint corner"}));

    // The same rectangle gives the same layout however often it runs.
    grid.SetBounds(5, 10, 105, 310);
    EXPECT_EQ(spanning->bounds, (Bounds{28, 113, 102, 305}));
}

TEST(GridSizer, ScalingForAnotherDpiScalesTracksAndInsetsAndScalesBack)
{
    std::vector<std::string> log;
    CGridSizer grid(2, 2);
    grid.SetColumn(0, 100, 100, 0);
    grid.SetColumn(1, 75, -1, 1);
    grid.SetRow(0, 21, 21, 0);
    grid.SetRow(1, 0, -1, 1);
    auto cell = std::make_shared<CRecordingItem>(log, "cell");
    grid.AddItem(cell, 0, 1, 0, 1, 3);
    grid.Scale(144, 96);
    EXPECT_EQ(grid.MinimumWidth(), 150 + 113);
    EXPECT_EQ(grid.Columns()[0].maximum, 150);
    EXPECT_EQ(grid.Columns()[1].maximum, -1) << "no maximum stays none";
    EXPECT_EQ(grid.Rows()[0].minimum, 32);
    grid.SetBounds(0, 0, 300, 400);
    EXPECT_EQ(cell->bounds, (Bounds{5, 155, 32 - 5, 400 - 5}));
    // Scaled twice in a row, from the same start: no rounding piles up; back at 96 it is as it was.
    grid.Scale(120, 96);
    EXPECT_EQ(grid.Rows()[0].minimum, 26);
    grid.Scale(96, 96);
    EXPECT_EQ(grid.MinimumWidth(), 175);
    EXPECT_EQ(grid.Rows()[0].maximum, 21);
    grid.SetBounds(0, 0, 300, 400);
    EXPECT_EQ(cell->bounds, (Bounds{3, 103, 21 - 3, 400 - 3}));
}

TEST(GridSizer, IndicesBeyondTheGridAreRefusedAndChangeNothing)
{
    std::vector<std::string> log;
    CGridSizer grid(2, 3);
    EXPECT_THROW(grid.SetColumn(2, 1, 1, 1), std::out_of_range);
    EXPECT_THROW(grid.SetRow(-1, 1, 1, 1), std::out_of_range);
    EXPECT_THROW(grid.AddItem(std::make_shared<CRecordingItem>(log, "x"), 0, 0, 3, 1, 0),
                 std::out_of_range);
    EXPECT_THROW(grid.AddItem(std::make_shared<CRecordingItem>(log, "y"), 1, 1, 0, 1, 0),
                 std::out_of_range);
    EXPECT_EQ(grid.Columns().size(), 2u);
    EXPECT_EQ(grid.Rows().size(), 3u);
    EXPECT_TRUE(grid.Cells().empty());
    EXPECT_EQ(grid.Rows()[0].minimum, 0);
    EXPECT_EQ(grid.Rows()[0].maximum, -1);
    EXPECT_EQ(grid.Rows()[0].weight, 1);
}

TEST(GridSizer, TheGridOwnsItsItems)
{
    std::vector<std::string> log;
    {
        CGridSizer grid(1, 1);
        grid.AddItem(std::make_shared<CRecordingItem>(log, "a"), 0, 0, 0, 0, 0);
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(log, (std::vector<std::string>{"destroyed a"}));
}

// Random configurations against what must hold for any of them.
TEST(GridSizer, RandomConfigurationsKeepTheInvariants)
{
    std::mt19937 random(20240610);
    auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int round = 0; round < 20000; ++round) {
        // Every fourth configuration may hold maxima below their minima.
        bool crossed = round % 4 == 3;
        int count = pick(1, 8);
        std::vector<Track> tracks;
        std::int64_t minima = 0;
        for (int i = 0; i < count; ++i) {
            int minimum = pick(-10, 120);
            int maximum = pick(0, 2) == 0
                              ? -1
                              : (crossed ? pick(0, 200) : std::max(minimum, 0) + pick(0, 150));
            int weight = pick(0, 3) == 0 ? pick(-2, 0) : pick(1, 5);
            tracks.push_back(MakeTrack(minimum, maximum, weight));
            minima += std::max(minimum, 0);
        }
        int a = pick(-50, 50);
        int b = a + pick(0, 900);
        std::vector<Track> before = tracks;
        DistributeTracks(tracks, a, b);
        SCOPED_TRACE("round " + std::to_string(round));

        bool distributed = b - a - minima > 0;
        bool anyWeight = false;
        for (const Track& track : before)
            anyWeight = anyWeight || track.weight > 0;
        int weighted = 0, clamped = 0;
        std::int64_t total = 0;
        ASSERT_EQ(tracks[0].start, a);
        for (int i = 0; i < count; ++i) {
            const Track& track = tracks[i];
            int minimum = std::max(before[i].minimum, 0);
            ASSERT_EQ(track.end, track.start + track.size);
            if (i > 0) {
                ASSERT_EQ(track.start, tracks[i - 1].end);
            }
            total += track.size;
            if (!distributed) {
                ASSERT_EQ(track.size, minimum);
                continue;
            }
            if (track.maximum >= 0) {
                ASSERT_LE(track.size, track.maximum);
            }
            if (track.maximum < 0 || track.maximum >= minimum) {
                ASSERT_GE(track.size, minimum);
            } else {
                ASSERT_EQ(track.size, track.maximum);
            }
            if (!anyWeight || before[i].weight > 0) {
                ++weighted;
                if (track.maximum >= 0 && track.size == track.maximum) ++clamped;
            }
        }
        if (!distributed) continue;
        std::int64_t shortfall = (b - a) - total;
        ASSERT_GE(shortfall, 0);
        bool crossedTrack = false;
        for (const Track& track : before)
            crossedTrack = crossedTrack || (track.maximum >= 0 && track.maximum < track.minimum);
        if (clamped == weighted) continue; // everything weighted is full: the rest stays free
        // One pass loses under one pixel per weighted track; every pass that clamps makes another
        // pass with fewer tracks.
        if (clamped == 0 && !crossedTrack) {
            ASSERT_LT(shortfall, weighted);
        } else {
            ASSERT_LT(shortfall, weighted * (weighted + 1) / 2);
        }
    }
}

#include "layout/grid_sizer.h"
#include "layout/main_layout.h"

#include <gtest/gtest.h>

namespace {

MainLayoutMetrics Metrics()
{
    MainLayoutMetrics metrics;
    metrics.splitterWidth = 5;
    metrics.treeMinimum = 120;
    metrics.paneReserve = 240;
    metrics.paneMinimumWidth = 385;
    metrics.paneMinimumHeight = 284;
    return metrics;
}

} // namespace

TEST(MainLayout, ResizingKeepsTheTreeAtMostHalfAndThePaneWhole)
{
    CMainLayout layout(Metrics());
    EXPECT_EQ(layout.TreeWidthForClient(300, 1000), 300);
    EXPECT_EQ(layout.TreeWidthForClient(300, 900), 300);
    EXPECT_EQ(layout.TreeWidthForClient(600, 900), 450); // half, rounded toward zero
    EXPECT_EQ(layout.TreeWidthForClient(451, 901), 450);
    // Narrow enough that half would cut the pane: the tree gives way down to its floor.
    EXPECT_EQ(layout.TreeWidthForClient(300, 700), 300);
    EXPECT_EQ(layout.TreeWidthForClient(300, 600), 210);
    EXPECT_EQ(layout.TreeWidthForClient(300, 510), 120);
    // Below the minimum (a tiny maximised screen): never past half the width.
    EXPECT_EQ(layout.TreeWidthForClient(300, 200), 100);
    EXPECT_EQ(layout.TreeWidthForClient(300, 0), 0);
    // Never wider than it was: widening the window does not widen the tree.
    EXPECT_EQ(layout.TreeWidthForClient(130, 2000), 130);
}

TEST(MainLayout, TheTreeKeepsItsShareOfTheWidthBetween120PixelsAndHalf)
{
    CMainLayout layout(Metrics());
    EXPECT_EQ(CMainLayout::ShareOfTree(300, 1000), 3000);
    EXPECT_EQ(CMainLayout::ShareOfTree(235, 1366), 1720);
    EXPECT_EQ(CMainLayout::ShareOfTree(300, 0), 0);
    EXPECT_EQ(layout.TreeWidthForShare(3000, 1000), 300);
    // Maximised: a proportionate tree, not the small window's pixels.
    EXPECT_EQ(layout.TreeWidthForShare(3000, 1366), 410);
    EXPECT_EQ(layout.TreeWidthForShare(3000, 1920), 576);
    // A share taken from a width gives that width back at the same client width.
    for (int width = 120; width <= 500; width += 7)
        EXPECT_EQ(layout.TreeWidthForShare(CMainLayout::ShareOfTree(width, 1003), 1003), width);
    // Never below the left limit, never above half, the pane kept whole.
    EXPECT_EQ(layout.TreeWidthForShare(500, 1000), 120);
    EXPECT_EQ(layout.TreeWidthForShare(7000, 1000), 500);
    EXPECT_EQ(layout.TreeWidthForShare(3000, 600), 180);
    EXPECT_EQ(layout.TreeWidthForShare(5000, 600), 210);
    EXPECT_EQ(layout.TreeWidthForShare(3000, 200), 100);
    EXPECT_EQ(layout.TreeWidthForShare(-5, 1000), 120);
    EXPECT_EQ(layout.TreeWidthForShare(99999, 1000), 500);
}

TEST(MainLayout, TheSplitterMovesBetweenItsLimits)
{
    CMainLayout layout(Metrics());
    EXPECT_EQ(layout.TreeWidthForDrag(400, 1000), 400);
    EXPECT_EQ(layout.TreeWidthForDrag(900, 1000), 760); // width less 240
    EXPECT_EQ(layout.TreeWidthForDrag(50, 1000), 120);
    EXPECT_EQ(layout.TreeWidthForDrag(-30, 1000), 120);
    // A client narrower than both limits allow: the left limit wins.
    EXPECT_EQ(layout.TreeWidthForDrag(200, 300), 120);
}

TEST(MainLayout, StripsStackAtTheEdgesAndTheRestIsTreeSplitterAndPane)
{
    CMainLayout layout(Metrics());
    std::size_t status = layout.AddStrip(CMainLayout::Edge::Bottom, 22);
    EXPECT_EQ(layout.MinimumClientWidth(), 120 + 5 + 385);
    EXPECT_EQ(layout.MinimumClientHeight(), 284 + 22);

    CMainLayout::Placement placement = layout.Place(800, 600, 300);
    ASSERT_EQ(placement.strips.size(), 1u);
    EXPECT_EQ(placement.strips[status].top, 578);
    EXPECT_EQ(placement.strips[status].bottom, 600);
    EXPECT_EQ(placement.strips[status].Width(), 800);
    EXPECT_EQ(placement.tree.left, 0);
    EXPECT_EQ(placement.tree.right, 300);
    EXPECT_EQ(placement.tree.top, 0);
    EXPECT_EQ(placement.tree.bottom, 578);
    EXPECT_EQ(placement.splitter.left, 300);
    EXPECT_EQ(placement.splitter.right, 305);
    EXPECT_EQ(placement.pane.left, 305);
    EXPECT_EQ(placement.pane.right, 800);
    EXPECT_EQ(placement.pane.bottom, 578);
    EXPECT_TRUE(placement.splitter.Contains(302, 10));
    EXPECT_FALSE(placement.splitter.Contains(305, 10));

    // One more strip, as a find bar would be: the middle gives it the room.
    std::size_t bar = layout.AddStrip(CMainLayout::Edge::Bottom, 30);
    std::size_t top = layout.AddStrip(CMainLayout::Edge::Top, 10);
    placement = layout.Place(800, 600, 300);
    EXPECT_EQ(placement.strips[bar].bottom, 578);
    EXPECT_EQ(placement.strips[bar].top, 548);
    EXPECT_EQ(placement.strips[top].top, 0);
    EXPECT_EQ(placement.strips[top].bottom, 10);
    EXPECT_EQ(placement.tree.top, 10);
    EXPECT_EQ(placement.pane.bottom, 548);
    EXPECT_EQ(layout.MinimumClientHeight(), 284 + 22 + 30 + 10);
    layout.SetStripHeight(bar, 0);
    EXPECT_EQ(layout.Place(800, 600, 300).pane.bottom, 578);

    // Too small for its strips: the middle shrinks to nothing, never turns inside out.
    placement = layout.Place(100, 20, 300);
    EXPECT_GE(placement.tree.bottom, placement.tree.top);
    EXPECT_EQ(placement.tree.right, 100);
    EXPECT_EQ(placement.pane.left, 100);
    EXPECT_EQ(placement.pane.right, 100);
}

TEST(GridSizer, TheMinimumSizeIsTheSumOfTheTracksMinima)
{
    CGridSizer grid(3, 2);
    EXPECT_EQ(grid.MinimumWidth(), 0);
    grid.SetColumn(0, 100, 100, 0);
    grid.SetColumn(2, 75, -1, 1);
    grid.SetRow(0, 23, 23, 0);
    grid.SetRow(1, 50, -1, 1);
    EXPECT_EQ(grid.MinimumWidth(), 175);
    EXPECT_EQ(grid.MinimumHeight(), 73);
    // The grid gives every track its minimum at exactly that size.
    grid.SetBounds(0, 0, 73, 175);
    EXPECT_EQ(grid.Columns()[2].end, 175);
    EXPECT_EQ(grid.Rows()[1].end, 73);
}

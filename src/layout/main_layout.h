// Where the parts of the main window go: strips across the whole width at the top and at the
// bottom (the status bar is the last bottom strip), and between them the tree, the splitter and
// the pane. Plain arithmetic on client pixels, so that the rules can be tested anywhere.
#pragma once

#include <cstdint>
#include <vector>

struct LayoutBox
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    bool Contains(std::int32_t x, std::int32_t y) const
    {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

// Sizes in pixels at the window's DPI.
struct MainLayoutMetrics
{
    std::int32_t splitterWidth = 5;
    // The splitter moves no further left than this...
    std::int32_t treeMinimum = 120;
    // ...and keeps at least this much of the client width right of the tree.
    std::int32_t paneReserve = 240;
    // What the pane that needs the most takes to show every control whole.
    std::int32_t paneMinimumWidth = 0;
    std::int32_t paneMinimumHeight = 0;
};

class CMainLayout
{
public:
    enum class Edge
    {
        Top,
        Bottom,
    };
    struct Placement
    {
        LayoutBox tree;
        LayoutBox splitter;
        LayoutBox pane;
        std::vector<LayoutBox> strips; // in the order they were added
    };

    explicit CMainLayout(const MainLayoutMetrics& metrics = MainLayoutMetrics()) : metrics(metrics)
    {
    }
    void SetMetrics(const MainLayoutMetrics& value) { metrics = value; }
    const MainLayoutMetrics& Metrics() const { return metrics; }

    // A strip across the whole width; top strips stack downwards from the top in the order
    // added, bottom strips upwards from the bottom. Returns its index.
    std::size_t AddStrip(Edge edge, std::int32_t height);
    void SetStripHeight(std::size_t index, std::int32_t height);

    // The tree width once the client area has become `clientWidth` wide: never wider than half
    // of it, and narrower still where the pane would otherwise not get its minimum width (but
    // not below the splitter's left limit unless half the width is less). Never wider than
    // `treeWidth`: a narrowed tree is widened again only by the splitter.
    std::int32_t TreeWidthForClient(std::int32_t treeWidth, std::int32_t clientWidth) const;
    // The tree's share of the client width, in ten-thousandths, and the width a share gives: the
    // tree keeps its share as the window changes size (a maximised window gets a proportionate
    // tree), never narrower than the splitter's left limit and never wider than
    // TreeWidthForClient allows.
    static constexpr std::int32_t kWholeShare = 10000;
    static std::int32_t ShareOfTree(std::int32_t treeWidth, std::int32_t clientWidth);
    std::int32_t TreeWidthForShare(std::int32_t share, std::int32_t clientWidth) const;
    // The tree width for the splitter dragged to `wanted`: from the left limit up to the client
    // width less the reserve (the left limit wins when the two cross).
    std::int32_t TreeWidthForDrag(std::int32_t wanted, std::int32_t clientWidth) const;
    // The smallest client area in which every part keeps its minimum.
    std::int32_t MinimumClientWidth() const;
    std::int32_t MinimumClientHeight() const;

    Placement Place(std::int32_t clientWidth, std::int32_t clientHeight,
                    std::int32_t treeWidth) const;

private:
    struct Strip
    {
        Edge edge;
        std::int32_t height;
    };
    MainLayoutMetrics metrics;
    std::vector<Strip> strips;
};

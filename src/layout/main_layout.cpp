#include "layout/main_layout.h"

#include <algorithm>

std::size_t CMainLayout::AddStrip(Edge edge, std::int32_t height)
{
    strips.push_back({edge, std::max(height, 0)});
    return strips.size() - 1;
}

void CMainLayout::SetStripHeight(std::size_t index, std::int32_t height)
{
    if (index < strips.size()) strips[index].height = std::max(height, 0);
}

std::int32_t CMainLayout::TreeWidthForClient(std::int32_t treeWidth, std::int32_t clientWidth) const
{
    clientWidth = std::max(clientWidth, 0);
    std::int32_t width = std::min(treeWidth, clientWidth / 2);
    const std::int32_t paneRoom = clientWidth - metrics.splitterWidth - metrics.paneMinimumWidth;
    const std::int32_t floor = std::min(metrics.treeMinimum, clientWidth / 2);
    if (width > paneRoom) width = std::max(paneRoom, floor);
    return std::max(std::min(width, treeWidth), 0);
}

std::int32_t CMainLayout::ShareOfTree(std::int32_t treeWidth, std::int32_t clientWidth)
{
    if (clientWidth <= 0 || treeWidth <= 0) return 0;
    const std::int64_t share =
        (static_cast<std::int64_t>(treeWidth) * kWholeShare + clientWidth / 2) / clientWidth;
    return static_cast<std::int32_t>(std::min<std::int64_t>(share, kWholeShare));
}

std::int32_t CMainLayout::TreeWidthForShare(std::int32_t share, std::int32_t clientWidth) const
{
    clientWidth = std::max(clientWidth, 0);
    share = std::max(std::min(share, kWholeShare), 0);
    const auto wanted = static_cast<std::int32_t>(
        (static_cast<std::int64_t>(share) * clientWidth + kWholeShare / 2) / kWholeShare);
    return TreeWidthForClient(std::max(wanted, metrics.treeMinimum), clientWidth);
}

std::int32_t CMainLayout::TreeWidthForDrag(std::int32_t wanted, std::int32_t clientWidth) const
{
    const std::int32_t most = clientWidth - metrics.paneReserve;
    return std::max(std::min(wanted, most), metrics.treeMinimum);
}

std::int32_t CMainLayout::MinimumClientWidth() const
{
    return metrics.treeMinimum + metrics.splitterWidth + metrics.paneMinimumWidth;
}

std::int32_t CMainLayout::MinimumClientHeight() const
{
    std::int32_t height = metrics.paneMinimumHeight;
    for (const Strip& strip : strips)
        height += strip.height;
    return height;
}

CMainLayout::Placement CMainLayout::Place(std::int32_t clientWidth, std::int32_t clientHeight,
                                          std::int32_t treeWidth) const
{
    Placement placement;
    std::int32_t top = 0;
    std::int32_t bottom = clientHeight;
    for (const Strip& strip : strips) {
        LayoutBox box;
        box.left = 0;
        box.right = clientWidth;
        if (strip.edge == Edge::Top) {
            box.top = top;
            box.bottom = top + strip.height;
            top = box.bottom;
        } else {
            box.bottom = bottom;
            box.top = bottom - strip.height;
            bottom = box.top;
        }
        placement.strips.push_back(box);
    }
    bottom = std::max(bottom, top);
    const std::int32_t tree = std::max(std::min(treeWidth, clientWidth), 0);
    const std::int32_t paneLeft = std::min(tree + metrics.splitterWidth, clientWidth);
    placement.tree = {0, top, tree, bottom};
    placement.splitter = {tree, top, paneLeft, bottom};
    placement.pane = {paneLeft, top, std::max(clientWidth, paneLeft), bottom};
    return placement;
}

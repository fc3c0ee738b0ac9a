#include "layout/grid_sizer.h"

#include <algorithm>
#include <stdexcept>

void DistributeTracks(std::vector<Track>& tracks, std::int32_t a, std::int32_t b)
{
    // 64 bits for sums and products: weights and ranges come from code, but a large weight times
    // a wide range must not wrap.
    std::int64_t minima = 0;
    std::int64_t totalWeight = 0;
    for (Track& track : tracks) {
        track.workingWeight = track.weight < 0 ? 0 : track.weight;
        if (track.minimum < 0) track.minimum = 0;
        minima += track.minimum;
        totalWeight += track.workingWeight;
    }
    // Nothing weighted: spare space goes to all tracks alike.
    if (totalWeight < 1) {
        for (Track& track : tracks)
            track.workingWeight = 1;
        totalWeight = static_cast<std::int64_t>(tracks.size());
    }
    for (Track& track : tracks)
        track.size = track.minimum;

    std::int64_t extra = static_cast<std::int64_t>(b) - a - minima;
    while (extra > 0 && totalWeight > 0) {
        // Each pass shares out what the previous pass's clamped tracks gave back; what truncation
        // loses is not handed out.
        std::int64_t leftover = 0;
        std::int64_t removedWeight = 0;
        for (Track& track : tracks) {
            std::int64_t share = extra * track.workingWeight / totalWeight;
            std::int64_t grown = track.size + share;
            if (track.maximum >= 0 && grown > track.maximum) {
                leftover += grown - track.maximum;
                track.size = track.maximum;
                removedWeight += track.workingWeight;
                track.workingWeight = 0;
            } else {
                track.size = static_cast<std::int32_t>(grown);
            }
        }
        extra = leftover;
        totalWeight -= removedWeight;
    }

    std::int32_t position = a;
    for (Track& track : tracks) {
        track.start = position;
        position += track.size;
        track.end = position;
    }
}

CGridSizer::CGridSizer(std::int32_t columns, std::int32_t rows)
    : rowCount(std::max(rows, 0)), columnCount(std::max(columns, 0)),
      rows(static_cast<std::size_t>(rowCount)), columns(static_cast<std::size_t>(columnCount))
{
}

namespace {

Track& TrackAt(std::vector<Track>& tracks, std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= tracks.size())
        throw std::out_of_range("grid track index");
    return tracks[static_cast<std::size_t>(index)];
}

void SetTrack(Track& track, std::int32_t minimum, std::int32_t maximum, std::int32_t weight)
{
    track.minimum = minimum;
    track.maximum = maximum;
    track.weight = weight;
}

bool InRange(std::int32_t first, std::int32_t last, std::int32_t count)
{
    return first >= 0 && last >= first && last < count;
}

} // namespace

void CGridSizer::SetRow(std::int32_t index, std::int32_t minimum, std::int32_t maximum,
                        std::int32_t weight)
{
    SetTrack(TrackAt(rows, index), minimum, maximum, weight);
}

void CGridSizer::SetColumn(std::int32_t index, std::int32_t minimum, std::int32_t maximum,
                           std::int32_t weight)
{
    SetTrack(TrackAt(columns, index), minimum, maximum, weight);
}

void CGridSizer::AddItem(std::shared_ptr<ISizerItem> item, std::int32_t firstRow,
                         std::int32_t firstColumn, std::int32_t lastRow, std::int32_t lastColumn,
                         std::int32_t inset)
{
    if (!InRange(firstRow, lastRow, rowCount) || !InRange(firstColumn, lastColumn, columnCount))
        throw std::out_of_range("grid cell outside the grid");
    cells.push_back(Cell{std::move(item), firstRow, firstColumn, lastRow, lastColumn, inset});
}

void CGridSizer::SetBounds(int top, int left, int bottom, int right)
{
    DistributeTracks(columns, left, right);
    DistributeTracks(rows, top, bottom);
    for (const Cell& cell : cells) {
        cell.item->SetBounds(
            rows[cell.firstRow].start + cell.inset, columns[cell.firstColumn].start + cell.inset,
            rows[cell.lastRow].end - cell.inset, columns[cell.lastColumn].end - cell.inset);
    }
}

namespace {

std::int32_t ScaledLength(std::int32_t length, std::int32_t numerator, std::int32_t denominator)
{
    if (length <= 0 || denominator <= 0) return length; // no maximum stays none
    const std::int64_t scaled =
        (static_cast<std::int64_t>(length) * numerator + denominator / 2) / denominator;
    return static_cast<std::int32_t>(std::min<std::int64_t>(scaled, 0x7FFFFFFF));
}

void ScaleTracks(std::vector<Track>& tracks, const std::vector<Track>& unscaled,
                 std::int32_t numerator, std::int32_t denominator)
{
    for (std::size_t i = 0; i < tracks.size() && i < unscaled.size(); ++i) {
        tracks[i].minimum = ScaledLength(unscaled[i].minimum, numerator, denominator);
        tracks[i].maximum = ScaledLength(unscaled[i].maximum, numerator, denominator);
    }
}

} // namespace

void CGridSizer::Scale(std::int32_t numerator, std::int32_t denominator)
{
    if (unscaledRows.empty() && unscaledColumns.empty()) {
        unscaledRows = rows;
        unscaledColumns = columns;
        for (const Cell& cell : cells)
            unscaledInsets.push_back(cell.inset);
    }
    ScaleTracks(rows, unscaledRows, numerator, denominator);
    ScaleTracks(columns, unscaledColumns, numerator, denominator);
    for (std::size_t i = 0; i < cells.size() && i < unscaledInsets.size(); ++i)
        cells[i].inset = ScaledLength(unscaledInsets[i], numerator, denominator);
}

void CGridSizer::Repaint()
{
    for (const Cell& cell : cells)
        cell.item->Repaint();
}

namespace {

std::int32_t SumOfMinima(const std::vector<Track>& tracks)
{
    std::int64_t sum = 0;
    for (const Track& track : tracks)
        sum += std::max(track.minimum, 0);
    return static_cast<std::int32_t>(std::min<std::int64_t>(sum, 0x7FFFFFFF));
}

} // namespace

std::int32_t CGridSizer::MinimumWidth() const
{
    return SumOfMinima(columns);
}

std::int32_t CGridSizer::MinimumHeight() const
{
    return SumOfMinima(rows);
}

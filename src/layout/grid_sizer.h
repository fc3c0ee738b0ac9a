// A grid of rows and columns whose sizes follow a minimum, an optional maximum and a weight per
// track; each cell places one item over a range of rows and columns. The arithmetic is portable;
// the window items live with the window side (sizer_window.h).
#pragma once

#include "layout/sizer_item.h"

#include <cstdint>
#include <memory>
#include <vector>

struct HWND__; // the Win32 window handle, named here so that the core needs no windows.h

// One row or one column. Pixels, except the weights.
struct Track
{
    std::int32_t workingWeight = 0; // the weight used while distributing
    std::int32_t minimum = 0;
    std::int32_t maximum = -1; // negative: none
    std::int32_t size = 0;
    std::int32_t weight = 1; // share of the spare space relative to the other tracks
    std::int32_t start = 0;
    std::int32_t end = 0; // start + size
};

// Sizes and places `tracks` over the range from `a` to `b`: every track gets its minimum, spare
// space goes out by weight in passes, up to each maximum. Pixels lost to truncation stay free;
// minima that exceed the range run past `b`.
void DistributeTracks(std::vector<Track>& tracks, std::int32_t a, std::int32_t b);

class CGridSizer : public ISizerItem
{
public:
    struct Cell
    {
        std::shared_ptr<ISizerItem> item;
        std::int32_t firstRow;
        std::int32_t firstColumn;
        std::int32_t lastRow;    // inclusive
        std::int32_t lastColumn; // inclusive
        std::int32_t inset;      // pixels kept free on all four sides
    };

    // Column count first, row count second.
    CGridSizer(std::int32_t columns, std::int32_t rows);

    // An index at or beyond the count given at construction is a programming error: these throw
    // std::out_of_range and change nothing.
    void SetRow(std::int32_t index, std::int32_t minimum, std::int32_t maximum,
                std::int32_t weight);
    void SetColumn(std::int32_t index, std::int32_t minimum, std::int32_t maximum,
                   std::int32_t weight);
    void AddItem(std::shared_ptr<ISizerItem> item, std::int32_t firstRow, std::int32_t firstColumn,
                 std::int32_t lastRow, std::int32_t lastColumn, std::int32_t inset);
    // A cell with a CSizerWindow for `window` (defined by the window side).
    void AddWindow(HWND__* window, std::int32_t firstRow, std::int32_t firstColumn,
                   std::int32_t lastRow, std::int32_t lastColumn, std::int32_t inset);
    // A cell with a CSizerCombo, from column 1 and without inset (defined by the window side).
    void AddCombo(HWND__* window, std::int32_t firstRow, std::int32_t lastRow,
                  std::int32_t lastColumn);

    // Lays out the columns over left..right and the rows over top..bottom, then places every
    // cell's item inside its tracks less its inset.
    void SetBounds(int top, int left, int bottom, int right) override;
    // Repaints every cell's item, in the order the cells were added.
    void Repaint() override;

    // Scales every track's minimum and maximum and every cell's inset by numerator / denominator
    // (rounded to the nearest pixel) from what they were before the first call: the grid's
    // pixels at another DPI. Scaling by 1 / 1 gives them back.
    void Scale(std::int32_t numerator, std::int32_t denominator);

    // The sums of the columns' and of the rows' minima: the smallest size at which every track
    // gets its minimum.
    std::int32_t MinimumWidth() const;
    std::int32_t MinimumHeight() const;

    const std::vector<Track>& Rows() const { return rows; }
    const std::vector<Track>& Columns() const { return columns; }
    const std::vector<Cell>& Cells() const { return cells; }

private:
    std::vector<Cell> cells;
    std::int32_t rowCount;
    std::int32_t columnCount;
    std::vector<Track> rows;
    std::vector<Track> columns;
    // What Scale scales from, noted at its first call.
    std::vector<Track> unscaledRows;
    std::vector<Track> unscaledColumns;
    std::vector<std::int32_t> unscaledInsets;
};

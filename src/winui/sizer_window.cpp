#include "winui/sizer_window.h"

#include "layout/grid_sizer.h"

#include <memory>

void CSizerWindow::SetBounds(int top, int left, int bottom, int right)
{
    ::MoveWindow(window, left, top, right - left, bottom - top, FALSE);
}

void CSizerWindow::Repaint()
{
    ::InvalidateRect(window, nullptr, TRUE);
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void CSizerCombo::SetBounds(int top, int left, int, int right)
{
    RECT parent = {};
    ::GetWindowRect(::GetParent(window), &parent);
    ::MoveWindow(window, left, top, right - left, parent.bottom - parent.top, TRUE);
}

void CGridSizer::AddWindow(HWND window, std::int32_t firstRow, std::int32_t firstColumn,
                           std::int32_t lastRow, std::int32_t lastColumn, std::int32_t inset)
{
    AddItem(std::make_shared<CSizerWindow>(window), firstRow, firstColumn, lastRow, lastColumn,
            inset);
}

void CGridSizer::AddCombo(HWND window, std::int32_t firstRow, std::int32_t lastRow,
                          std::int32_t lastColumn)
{
    // Both combo boxes of the form pane start in column 1.
    AddItem(std::make_shared<CSizerCombo>(window), firstRow, 1, lastRow, lastColumn, 0);
}

#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "common/string_grid.h"

namespace trivo {

// How wide a text is, in pixels, in the font of the grid that shows it. The window
// measures; core knows no fonts.
using TextWidth = std::function<int(std::string_view text)>;

// Widening a grid's columns to their texts. widths holds one width per column, by
// position, as the grid keeps them: a column that a larger ColCount adds gets
// defaultWidth. Without a textWidth the widths keep in step with the columns but do
// not widen.
struct AutoWidth {
  std::vector<int>& widths;
  int defaultWidth;
  TextWidth textWidth;
};

// The largest grid, in cells (rows times columns), that one table may fill.
inline constexpr long long kMaxTableGridCells = 1'000'000;

// Fills grid from one table's HTML: one row per "tr", one cell per "td" or "th" closed
// inside it (they may close each other), the cell text being the HTML between the tags
// with all tags removed. Cells opened outside a row and closings without an open cell
// are passed over; a nested table adds its rows to the same grid; a row with more cells
// than any before widens the grid for all rows. The grid keeps no earlier text in its
// visible cells; text without any "tr" reduces it to its first cell, which keeps its text.
// With autoWidth, a column widens to the widest text stored in it.
//
// A table that would fill more than kMaxTableGridCells cells fails with a German message
// (trivo::Error) and leaves grid and widths as they were.
void HtmlTableToGrid(std::string_view html, StringGrid& grid, const AutoWidth* autoWidth);

}  // namespace trivo

#pragma once

#include <string>
#include <vector>

#include "analysis/distance_matrix.h"

namespace trivo {

// The distance matrix as the query window's grid StringGrid1 shows it: n + 1 rows and
// columns for n stations; row 0 and column 0 hold the station names, the cell in column
// c + 1, row r + 1 the minutes from station r to station c. It keeps the matrix as it was
// when shown and makes each cell's text when asked, so a large network costs no texts.
class DistanceGrid {
 public:
  // The grid before anything was shown: the empty corner cell only.
  DistanceGrid() = default;
  DistanceGrid(std::vector<std::string> stations, MinuteMatrix matrix);

  int ColCount() const { return static_cast<int>(stations_.size()) + 1; }
  int RowCount() const { return ColCount(); }
  static constexpr int FixedCols() { return 1; }
  static constexpr int FixedRows() { return 1; }
  // The text of a cell inside the grid; empty outside it.
  std::string Cell(int col, int row) const;

 private:
  std::vector<std::string> stations_;
  MinuteMatrix matrix_;
};

}  // namespace trivo

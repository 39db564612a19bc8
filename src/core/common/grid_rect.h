#pragma once

namespace trivo {

// A rectangle of grid cells, inclusive on all sides: columns Left to Right, rows Top to
// Bottom. A grid's selection; a single current cell is the rectangle of that one cell.
struct GridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  friend bool operator==(const GridRect&, const GridRect&) = default;
};

}  // namespace trivo

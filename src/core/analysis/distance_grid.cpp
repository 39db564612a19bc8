#include "analysis/distance_grid.h"

namespace trivo {

DistanceGrid::DistanceGrid(std::vector<std::string> stations, MinuteMatrix matrix)
    : stations_(std::move(stations)), matrix_(std::move(matrix)) {}

std::string DistanceGrid::Cell(int col, int row) const {
  if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return {};
  if (row == 0) return col == 0 ? std::string() : stations_[col - 1];
  if (col == 0) return stations_[row - 1];
  return std::to_string(matrix_.At(row - 1, col - 1));
}

}  // namespace trivo

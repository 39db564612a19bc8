#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/no_distance.h"

namespace trivo {

// The shortest known travel times in whole minutes between the stations of the station
// list, addressed by their positions in it. Directed: from a to b and from b to a are
// separate cells.
class MinuteMatrix {
 public:
  MinuteMatrix() = default;
  // n by n cells, each NoDistance.
  explicit MinuteMatrix(std::size_t n) : n_(n), cells_(n * n, NoDistance) {}

  std::size_t Size() const { return n_; }
  std::int32_t At(std::size_t from, std::size_t to) const { return cells_[from * n_ + to]; }
  void Set(std::size_t from, std::size_t to, std::int32_t minutes) {
    cells_[from * n_ + to] = minutes;
  }
  // Sets the cell when minutes are fewer than it holds.
  void Lower(std::size_t from, std::size_t to, std::int64_t minutes) {
    std::int32_t& cell = cells_[from * n_ + to];
    if (minutes < cell) cell = static_cast<std::int32_t>(minutes);
  }

  friend bool operator==(const MinuteMatrix&, const MinuteMatrix&) = default;

 private:
  std::size_t n_ = 0;
  std::vector<std::int32_t> cells_;
};

// One measured stretch: a direct travel time between two stations of the list.
struct DistanceEdge {
  std::uint32_t from;
  std::uint32_t to;
  std::int32_t minutes;
};

// Gives every cell off the diagonal the length of the shortest chain of edges from its
// row's station to its column's station when that is fewer minutes than the cell holds;
// lengths of NoDistance or more leave the cell as it is, and the diagonal is not touched.
// The edges must carry the cells' own values as chains, so that the result equals
// repeating CloseDistancesByPasses until nothing changes. One bucket-queue search per
// station: fast for large sparse networks.
void CloseDistances(MinuteMatrix& matrix, const std::vector<DistanceEdge>& edges);

// The same result by repeated passes over all cells: for every row k, column i and
// station j (j not k or i, i not k), cell (k, i) becomes cell (k, j) + cell (j, i) when
// that is smaller; passes repeat until one changes nothing. Cubic per pass.
void CloseDistancesByPasses(MinuteMatrix& matrix);

}  // namespace trivo

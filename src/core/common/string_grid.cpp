#include "common/string_grid.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "common/error.h"
#include "common/messages.h"

namespace trivo {

namespace {

void CheckIndex(int index) {
  if (index < 0) throw Error(msg::GridIndexOutOfRange());
}

const std::string& EmptyText() {
  static const std::string empty;
  return empty;
}

}  // namespace

StringGrid::StringGrid(int colCount, int rowCount, int fixedCols, int fixedRows)
    : colCount_(0), rowCount_(0), fixedCols_(0), fixedRows_(0) {
  SetColCount(colCount);
  SetRowCount(rowCount);
  SetFixedCols(fixedCols);
  SetFixedRows(fixedRows);
}

void StringGrid::SetColCount(int count) {
  CheckIndex(count);
  colCount_ = count;
}

void StringGrid::SetRowCount(int count) {
  CheckIndex(count);
  rowCount_ = count;
}

void StringGrid::SetFixedCols(int count) {
  CheckIndex(count);
  fixedCols_ = count;
}

void StringGrid::SetFixedRows(int count) {
  CheckIndex(count);
  fixedRows_ = count;
}

const std::string& StringGrid::Cell(int col, int row) const {
  CheckIndex(col);
  CheckIndex(row);
  if (static_cast<std::size_t>(col) >= columns_.size()) return EmptyText();
  const auto& column = columns_[col];
  return static_cast<std::size_t>(row) < column.size() ? column[row] : EmptyText();
}

void StringGrid::SetCell(int col, int row, std::string text) {
  CheckIndex(col);
  CheckIndex(row);
  if (text.empty() && (static_cast<std::size_t>(col) >= columns_.size() ||
                       static_cast<std::size_t>(row) >= columns_[col].size())) {
    return;  // nothing stored there, nothing to empty
  }
  auto& column = StoredColumn(col);
  if (static_cast<std::size_t>(row) >= column.size()) column.resize(row + 1);
  column[row] = std::move(text);
}

std::vector<std::string> StringGrid::Row(int row) const {
  CheckIndex(row);
  std::vector<std::string> texts;
  texts.reserve(colCount_);
  for (int col = 0; col < colCount_; ++col) texts.push_back(Cell(col, row));
  return texts;
}

void StringGrid::SetRow(int row, const std::vector<std::string>& texts) {
  CheckIndex(row);
  for (int col = 0; col < colCount_; ++col) {
    SetCell(col, row, static_cast<std::size_t>(col) < texts.size() ? texts[col] : std::string());
  }
}

std::vector<std::string> StringGrid::Col(int col) const {
  CheckIndex(col);
  std::vector<std::string> texts;
  texts.reserve(rowCount_);
  for (int row = 0; row < rowCount_; ++row) texts.push_back(Cell(col, row));
  return texts;
}

void StringGrid::SetCol(int col, const std::vector<std::string>& texts) {
  CheckIndex(col);
  for (int row = 0; row < rowCount_; ++row) {
    SetCell(col, row, static_cast<std::size_t>(row) < texts.size() ? texts[row] : std::string());
  }
}

std::vector<std::string>& StringGrid::StoredColumn(int col) {
  if (static_cast<std::size_t>(col) >= columns_.size()) columns_.resize(col + 1);
  return columns_[col];
}

void StringGrid::CycleColumns(int first, int last, bool toLeft) {
  if (first >= last) return;
  StoredColumn(last);
  // Whole columns move by swapping their storage; the hidden cells below RowCount are
  // taken out first and put back at their old column.
  const std::size_t visible = rowCount_;
  std::vector<std::pair<int, std::vector<std::string>>> hidden;
  for (int col = first; col <= last; ++col) {
    auto& column = columns_[col];
    if (column.size() <= visible) continue;
    // Hidden cells that are all empty read as empty when they are not stored at all.
    if (std::all_of(column.begin() + visible, column.end(),
                    [](const std::string& text) { return text.empty(); })) {
      column.resize(visible);
      continue;
    }
    hidden.emplace_back(col,
                        std::vector<std::string>(std::make_move_iterator(column.begin() + visible),
                                                 std::make_move_iterator(column.end())));
    column.resize(visible);
  }
  const auto begin = columns_.begin() + first;
  const auto end = columns_.begin() + last + 1;
  if (toLeft) {
    std::rotate(begin, begin + 1, end);
  } else {
    std::rotate(begin, end - 1, end);
  }
  for (auto& [col, cells] : hidden) {
    auto& column = columns_[col];
    column.resize(visible);
    column.insert(column.end(), std::make_move_iterator(cells.begin()),
                  std::make_move_iterator(cells.end()));
  }
}

void StringGrid::ClearColumn(int col) {
  if (static_cast<std::size_t>(col) >= columns_.size()) return;
  auto& column = columns_[col];
  if (column.size() <= static_cast<std::size_t>(rowCount_)) {
    column.clear();
    return;
  }
  for (int row = 0; row < rowCount_; ++row) column[row].clear();
}

void ClearGridCells(StringGrid& grid) {
  for (int col = grid.FixedCols(); col < grid.ColCount(); ++col) {
    for (int row = grid.FixedRows(); row < grid.RowCount(); ++row) grid.SetCell(col, row, {});
  }
}

void InsertGridRow(StringGrid& grid, int index) {
  CheckIndex(index);
  const int oldCount = grid.rowCount_;
  grid.rowCount_ = oldCount + 1;
  const auto row = static_cast<std::size_t>(index);
  for (int col = 0; col < grid.colCount_ && static_cast<std::size_t>(col) < grid.columns_.size();
       ++col) {
    auto& column = grid.columns_[col];
    if (row >= column.size()) continue;  // the row and all below it are empty
    if (index < oldCount) {
      // Rows index to the old last move one down; the cell they push out (stored below
      // the old size) comes round to index and is emptied.
      if (column.size() < static_cast<std::size_t>(grid.rowCount_)) column.resize(grid.rowCount_);
      std::rotate(column.begin() + index, column.begin() + oldCount, column.begin() + oldCount + 1);
    }
    column[row].clear();
  }
}

void InsertGridColumn(StringGrid& grid, int index) {
  CheckIndex(index);
  const int oldCount = grid.colCount_;
  grid.colCount_ = oldCount + 1;
  if (index < oldCount) grid.CycleColumns(index, oldCount, false);
  grid.ClearColumn(index);
}

void DeleteGridRow(StringGrid& grid, int index) {
  CheckIndex(index);
  const int count = grid.rowCount_;
  if (count == 0) return;
  if (index < count - 1) {
    for (int col = 0; col < grid.colCount_ && static_cast<std::size_t>(col) < grid.columns_.size();
         ++col) {
      auto& column = grid.columns_[col];
      if (static_cast<std::size_t>(index) >= column.size()) continue;  // all empty from index on
      if (column.size() < static_cast<std::size_t>(count)) column.resize(count);
      // Rows after index move one up; the former last row's texts stay where they were.
      std::string last = column[count - 1];
      std::move(column.begin() + index + 1, column.begin() + count, column.begin() + index);
      column[count - 1] = std::move(last);
    }
  }
  grid.rowCount_ = count - 1;
}

void DeleteGridColumn(StringGrid& grid, int index) {
  CheckIndex(index);
  const int count = grid.colCount_;
  if (count == 0) return;
  if (index < count - 1) grid.CycleColumns(index, count - 1, true);
  grid.ClearColumn(count - 1);
  grid.colCount_ = count - 1;
}

void MoveGridColumn(StringGrid& grid, int from, int to) {
  CheckIndex(from);
  CheckIndex(to);
  if (from >= grid.colCount_ || to >= grid.colCount_) throw Error(msg::GridIndexOutOfRange());
  if (from < to) {
    grid.CycleColumns(from, to, true);
  } else {
    grid.CycleColumns(to, from, false);
  }
}

}  // namespace trivo

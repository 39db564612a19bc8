#pragma once

#include <string>
#include <vector>

namespace trivo {

// A rectangular grid of texts, addressed by column and row from 0, with fixed header
// columns and rows. It keeps its texts by position independent of its current size:
// lowering RowCount or ColCount hides cells without erasing them, raising it again shows
// the kept texts. The editor and the web copy window show such a grid; it is the one
// source of their contents.
class StringGrid {
 public:
  StringGrid(int colCount = 5, int rowCount = 5, int fixedCols = 1, int fixedRows = 1);

  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  int FixedCols() const { return fixedCols_; }
  int FixedRows() const { return fixedRows_; }
  void SetColCount(int count);
  void SetRowCount(int count);
  void SetFixedCols(int count);
  void SetFixedRows(int count);

  // Any cell at or beyond the current size may be read and written; negative positions
  // fail with "Gitterindex außerhalb des zulässigen Bereichs".
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);

  // All ColCount cells of a row, all RowCount cells of a column.
  std::vector<std::string> Row(int row) const;
  void SetRow(int row, const std::vector<std::string>& texts);
  std::vector<std::string> Col(int col) const;
  void SetCol(int col, const std::vector<std::string>& texts);

 private:
  friend void InsertGridRow(StringGrid&, int);
  friend void InsertGridColumn(StringGrid&, int);
  friend void DeleteGridRow(StringGrid&, int);
  friend void DeleteGridColumn(StringGrid&, int);
  friend void MoveGridColumn(StringGrid&, int, int);

  // Moves the visible cells (rows below RowCount) of columns first to last by one column:
  // to the left, column first's cells land in column last; to the right, column last's
  // cells land in column first. Cells below RowCount stay where they are.
  void CycleColumns(int first, int last, bool toLeft);
  // Empties the visible cells of a column.
  void ClearColumn(int col);
  std::vector<std::string>& StoredColumn(int col);

  std::vector<std::vector<std::string>> columns_;  // stored texts, columns_[col][row]
  int colCount_;
  int rowCount_;
  int fixedCols_;
  int fixedRows_;
};

// Empties every cell outside the fixed rows and columns within the current size.
void ClearGridCells(StringGrid& grid);
// Inserts an empty row at index (0 to RowCount); all its cells are emptied.
void InsertGridRow(StringGrid& grid, int index);
// Inserts an empty column at index (0 to ColCount); all its cells are emptied.
void InsertGridColumn(StringGrid& grid, int index);
// Moves the rows after index one up and shrinks RowCount; the former last row's texts
// stay stored beyond the new size. An index at or past the last row removes the last row.
void DeleteGridRow(StringGrid& grid, int index);
// Moves the columns after index one left, empties the last column, shrinks ColCount.
void DeleteGridColumn(StringGrid& grid, int index);
// Moves the visible cells of column from to position to (both below ColCount); the
// columns between shift by one towards from's old place.
void MoveGridColumn(StringGrid& grid, int from, int to);

}  // namespace trivo

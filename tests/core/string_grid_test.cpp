#include "common/string_grid.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "common/messages.h"

namespace trivo {
namespace {

using Lines = std::vector<std::string>;

// A grid whose cell (c, r) holds "<c><r>", for example "21".
StringGrid Numbered(int cols, int rows, int fixedCols = 1, int fixedRows = 1) {
  StringGrid grid(cols, rows, fixedCols, fixedRows);
  for (int c = 0; c < cols; ++c) {
    for (int r = 0; r < rows; ++r) grid.SetCell(c, r, std::to_string(c) + std::to_string(r));
  }
  return grid;
}

TEST(StringGrid, KeepsHiddenCellsWhenShrunkAndShowsThemAgain) {
  StringGrid grid = Numbered(3, 3);
  grid.SetRowCount(1);
  grid.SetColCount(1);
  EXPECT_EQ(grid.Row(0), (Lines{"00"}));
  grid.SetRowCount(4);
  grid.SetColCount(3);
  EXPECT_EQ(grid.Col(2), (Lines{"20", "21", "22", ""}));
  EXPECT_EQ(grid.Cell(7, 9), "");
}

TEST(StringGrid, RowsAndColumnsAsAWhole) {
  StringGrid grid(3, 2, 0, 0);
  grid.SetRow(1, {"a", "b"});
  EXPECT_EQ(grid.Row(1), (Lines{"a", "b", ""}));
  grid.SetRow(1, {"x", "y", "z", "beyond"});
  EXPECT_EQ(grid.Row(1), (Lines{"x", "y", "z"}));
  EXPECT_EQ(grid.Cell(3, 1), "");
  grid.SetCol(0, {"p"});
  EXPECT_EQ(grid.Col(0), (Lines{"p", ""}));
}

TEST(StringGrid, NegativePositionsFail) {
  StringGrid grid;
  EXPECT_THROW(grid.Cell(-1, 0), Error);
  EXPECT_THROW(grid.SetCell(0, -1, "x"), Error);
  EXPECT_THROW(grid.Row(-1), Error);
  EXPECT_THROW(grid.SetRowCount(-1), Error);
  try {
    DeleteGridColumn(grid, -1);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.what(), msg::GridIndexOutOfRange());
  }
  EXPECT_THROW(InsertGridRow(grid, -1), Error);
}

TEST(ClearGridCells, KeepsFixedCellsAndHiddenCells) {
  StringGrid grid = Numbered(3, 3);
  grid.SetRowCount(2);
  ClearGridCells(grid);
  EXPECT_EQ(grid.Row(0), (Lines{"00", "10", "20"}));
  EXPECT_EQ(grid.Row(1), (Lines{"01", "", ""}));
  EXPECT_EQ(grid.Cell(1, 2), "12");
}

TEST(InsertGridRow, MovesRowsDownAndEmptiesTheWholeNewRow) {
  StringGrid grid = Numbered(2, 3);
  InsertGridRow(grid, 2);  // at the last index
  EXPECT_EQ(grid.RowCount(), 4);
  EXPECT_EQ(grid.Col(0), (Lines{"00", "01", "", "02"}));
  EXPECT_EQ(grid.Col(1), (Lines{"10", "11", "", "12"}));
  InsertGridRow(grid, 0);  // fixed row included
  EXPECT_EQ(grid.Col(0), (Lines{"", "00", "01", "", "02"}));
}

TEST(InsertGridRow, AtTheEndAppendsAnEmptyRowOverAHiddenOne) {
  StringGrid grid = Numbered(2, 3);
  grid.SetRowCount(2);
  InsertGridRow(grid, 2);
  EXPECT_EQ(grid.Col(1), (Lines{"10", "11", ""}));
}

TEST(InsertGridRow, PushesTheOldLastRowOverAHiddenRow) {
  StringGrid grid = Numbered(2, 4);
  grid.SetRowCount(3);
  InsertGridRow(grid, 1);
  EXPECT_EQ(grid.Col(1), (Lines{"10", "", "11", "12"}));
  grid.SetRowCount(5);
  EXPECT_EQ(grid.Cell(1, 4), "");
}

TEST(InsertGridColumn, MovesColumnsRightAndEmptiesTheWholeNewColumn) {
  StringGrid grid = Numbered(3, 2);
  InsertGridColumn(grid, 1);
  EXPECT_EQ(grid.ColCount(), 4);
  EXPECT_EQ(grid.Row(0), (Lines{"00", "", "10", "20"}));
  EXPECT_EQ(grid.Row(1), (Lines{"01", "", "11", "21"}));
  InsertGridColumn(grid, 4);
  EXPECT_EQ(grid.Row(0), (Lines{"00", "", "10", "20", ""}));
}

TEST(InsertGridColumn, CellsBelowTheRowCountStayInPlace) {
  StringGrid grid = Numbered(3, 3);
  grid.SetRowCount(2);
  InsertGridColumn(grid, 0);
  grid.SetRowCount(3);
  EXPECT_EQ(grid.Row(0), (Lines{"", "00", "10", "20"}));
  EXPECT_EQ(grid.Row(2), (Lines{"02", "12", "22", ""}));
}

TEST(DeleteGridRow, TheFormerLastRowStaysStoredBeyondTheSize) {
  StringGrid grid = Numbered(2, 5);
  DeleteGridRow(grid, 1);
  EXPECT_EQ(grid.RowCount(), 4);
  EXPECT_EQ(grid.Col(1), (Lines{"10", "12", "13", "14"}));
  grid.SetRowCount(5);
  EXPECT_EQ(grid.Row(4), (Lines{"04", "14"}));
}

TEST(DeleteGridRow, AnIndexAtOrPastTheLastRowRemovesTheLastRow) {
  StringGrid grid = Numbered(2, 3);
  DeleteGridRow(grid, 7);
  EXPECT_EQ(grid.Col(0), (Lines{"00", "01"}));
  DeleteGridRow(grid, 1);
  DeleteGridRow(grid, 0);
  DeleteGridRow(grid, 0);  // nothing left to remove
  EXPECT_EQ(grid.RowCount(), 0);
}

TEST(DeleteGridColumn, MovesColumnsLeftAndLeavesNothingOfTheLastColumn) {
  StringGrid grid = Numbered(4, 2);
  DeleteGridColumn(grid, 1);
  EXPECT_EQ(grid.ColCount(), 3);
  EXPECT_EQ(grid.Row(1), (Lines{"01", "21", "31"}));
  grid.SetColCount(4);
  EXPECT_EQ(grid.Col(3), (Lines{"", ""}));
}

TEST(DeleteGridColumn, AnIndexAtOrPastTheLastColumnRemovesTheLastColumn) {
  StringGrid grid = Numbered(3, 2);
  DeleteGridColumn(grid, 9);
  EXPECT_EQ(grid.Row(0), (Lines{"00", "10"}));
  grid.SetColCount(3);
  EXPECT_EQ(grid.Col(2), (Lines{"", ""}));
}

TEST(DeleteGridColumn, CellsBelowTheRowCountStayInPlace) {
  StringGrid grid = Numbered(3, 3);
  grid.SetRowCount(2);
  DeleteGridColumn(grid, 0);
  grid.SetRowCount(3);
  grid.SetColCount(3);
  EXPECT_EQ(grid.Row(0), (Lines{"10", "20", ""}));
  EXPECT_EQ(grid.Row(2), (Lines{"02", "12", "22"}));
}

TEST(DeleteGridColumn, ManyColumnsAreRemovedCheaply) {
  // Columns move as a whole: copying the cells instead would take some 10^8 string copies
  // here and stand out in the test run.
  StringGrid grid(600, 500, 1, 1);
  for (int c = 0; c < 600; ++c) grid.SetCell(c, 499, std::to_string(c));
  for (int i = 0; i < 590; ++i) DeleteGridColumn(grid, 1);
  EXPECT_EQ(grid.Row(499),
            (Lines{"0", "591", "592", "593", "594", "595", "596", "597", "598", "599"}));
}

}  // namespace
}  // namespace trivo

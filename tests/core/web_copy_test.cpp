#include "html/web_copy.h"

#include <gtest/gtest.h>

#include "common/error.h"

namespace trivo {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// An editor grid as the timetable editor holds it: the heading "Stationen" in column 1,
// row 1, the station names below it.
StringGrid EditorGrid(const std::vector<std::string>& stations) {
  StringGrid grid(4, 2 + static_cast<int>(stations.size()), 2, 2);
  grid.SetCell(1, 1, "Stationen");
  for (std::size_t i = 0; i < stations.size(); ++i) {
    grid.SetCell(1, 2 + static_cast<int>(i), stations[i]);
  }
  return grid;
}

Rows Visible(const StringGrid& grid) {
  Rows rows;
  for (int row = 0; row < grid.RowCount(); ++row) rows.push_back(grid.Row(row));
  return rows;
}

std::string Table(const std::string& cells) {
  return "<table><tr>" + cells + "</tr></table>";
}

// A work grid holding the given rows, current cell (col, row).
void Fill(WebCopy& copy, const Rows& rows, int col, int row) {
  copy.sgWorkGrid.SetRowCount(static_cast<int>(rows.size()));
  copy.sgWorkGrid.SetColCount(static_cast<int>(rows.front().size()));
  for (std::size_t r = 0; r < rows.size(); ++r)
    copy.sgWorkGrid.SetRow(static_cast<int>(r), rows[r]);
  copy.SetCurrentCell(col, row);
}

TEST(CollectTables, EachTableThroughItsFirstClosingTag) {
  const std::string html =
      "<p><TABLE id=a><tr></table> x <table>1<table>2</table>3</table><table>open";
  const std::vector<std::string_view> tables = CollectTables(html);
  EXPECT_EQ(tables, (std::vector<std::string_view>{"<TABLE id=a><tr></table>",
                                                   "<table>1<table>2</table>"}));
  EXPECT_TRUE(CollectTables("no tables").empty());
}

TEST(ScoreTable, RowsOfTheStationColumnFoundInTheTable) {
  const StringGrid editor = EditorGrid({"Rathaus", "Markt", "", "Markt", "Zoo"});
  EXPECT_EQ(ScoreTable("Rathaus Markt", editor), 3);  // Markt stands in two rows
  EXPECT_EQ(ScoreTable("Stationen Zoo", editor), 2);  // the heading counts
  EXPECT_EQ(ScoreTable("rathaus MARKT", editor), 0);  // letter case counts
  EXPECT_EQ(ScoreTable("", editor), 0);               // empty cells never count
  EXPECT_EQ(ScoreTable("Stationen", EditorGrid({})), 1);
}

TEST(BestTable, HighestScoreFirstAmongEqualsNeverZero) {
  const StringGrid editor = EditorGrid({"Rathaus", "Markt"});
  const std::string nav = Table("<td>Start</td><td>Markt</td>");
  const std::string timetable = Table("<td>Rathaus</td><td>Markt</td>");
  EXPECT_EQ(BestTable(nav + timetable, editor), timetable);  // taken though it comes second
  EXPECT_EQ(BestTable(timetable + Table("<td>Markt Rathaus</td>"), editor), timetable);
  EXPECT_EQ(BestTable(Table("<td>Bahnhof</td>"), editor), std::nullopt);
  EXPECT_EQ(BestTable("Rathaus Markt", editor), std::nullopt);
}

TEST(WebCopy, StartsWithAnEmptyFiveByFiveGrid) {
  const WebCopy copy;
  EXPECT_EQ(copy.sgWorkGrid.ColCount(), 5);
  EXPECT_EQ(copy.sgWorkGrid.RowCount(), 5);
  EXPECT_EQ(copy.sgWorkGrid.FixedCols(), 0);
  EXPECT_EQ(copy.sgWorkGrid.FixedRows(), 0);
  EXPECT_EQ(Visible(copy.sgWorkGrid), Rows(5, std::vector<std::string>(5)));
  EXPECT_EQ(copy.ColWidths(), std::vector<int>(5, 32));
  EXPECT_EQ(copy.Selection(), (GridRect{0, 0, 0, 0}));
  EXPECT_EQ(WebCopy::ActionAreaItems()[copy.ActionAreaIndex], "Zeile");
  EXPECT_EQ(WebCopy::ActionItems()[copy.ActionIndex], "einfügen");
}

TEST(WebCopy, PasteTakesTheBestTableIntoTheWorkGrid) {
  WebCopy copy;
  copy.SetTextWidth([](std::string_view text) { return 10 * static_cast<int>(text.size()); });
  copy.SetCurrentCell(3, 4);
  const std::string page = Table("<td>Start</td>") +
                           "<table><tr><td>Rathaus</td><td>08:15</td></tr>"
                           "<tr><td>Markt</td><td>08:20</td><td>x</td></tr></table>";
  EXPECT_TRUE(copy.btPasteClick(page, EditorGrid({"Rathaus", "Markt"})));
  EXPECT_EQ(Visible(copy.sgWorkGrid), (Rows{{"Rathaus", "08:15", ""}, {"Markt", "08:20", "x"}}));
  EXPECT_EQ(copy.ColWidths(), (std::vector<int>{70, 50, 32}));
  EXPECT_EQ(copy.Selection(), (GridRect{0, 0, 0, 0}));
  EXPECT_EQ(copy.Col(), 0);

  // Without a winner the work grid stays as it was.
  copy.SetCurrentCell(1, 1);
  EXPECT_FALSE(copy.btPasteClick(Table("<td>Zoo</td>"), EditorGrid({"Rathaus"})));
  EXPECT_FALSE(copy.btPasteClick("", EditorGrid({"Rathaus"})));
  EXPECT_EQ(copy.sgWorkGrid.Cell(0, 1), "Markt");
  EXPECT_EQ(copy.Selection(), (GridRect{1, 1, 1, 1}));
}

TEST(WebCopy, PasteOfATooLargeTableFailsAndKeepsTheWorkGrid) {
  WebCopy copy;
  copy.sgWorkGrid.SetCell(1, 1, "kept");
  std::string html = "<table><tr>Stationen";
  for (int i = 0; i < 1001; ++i) html += "<td></td>";
  for (int i = 0; i < 1000; ++i) html += "<tr>";
  html += "</table>";
  EXPECT_THROW(copy.btPasteClick(html, EditorGrid({})), Error);
  EXPECT_EQ(copy.sgWorkGrid.ColCount(), 5);
  EXPECT_EQ(copy.sgWorkGrid.Cell(1, 1), "kept");
}

struct ActionCase {
  int area;    // index into ActionAreaItems, -1 none
  int action;  // index into ActionItems, -1 none
  Rows expected;
};

TEST(WebCopy, ActionsAtTheCurrentCell) {
  const Rows start = {{"A", "B", "C"}, {"D", "E", "F"}};
  const std::vector<ActionCase> cases = {
      {0, 0, {{"A", "B", "C"}, {"", "", ""}, {"D", "E", "F"}}},
      {0, 1, {{"A", "B", "C"}, {"D", "E", "F"}, {"D", "E", "F"}}},
      {0, 2, {{"A", "B", "C"}}},
      {1, 0, {{"A", "", "B", "C"}, {"D", "", "E", "F"}}},
      {1, 1, {{"A", "B", "B", "C"}, {"D", "E", "E", "F"}}},
      {1, 2, {{"A", "C"}, {"D", "F"}}},
      {-1, 2, {{"A", "C"}, {"D", "F"}}},  // anything but "Zeile" counts as "Spalte"
      {0, -1, start},                     // no action selected: nothing happens
  };
  for (const ActionCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.area) + "/" + std::to_string(c.action));
    WebCopy copy;
    Fill(copy, start, 1, 1);
    copy.ActionAreaIndex = c.area;
    copy.ActionIndex = c.action;
    copy.btActionClick();
    EXPECT_EQ(Visible(copy.sgWorkGrid), c.expected);
    if (c.action >= 0) {
      EXPECT_EQ(copy.ColWidths().size(), c.expected.front().size());
    }
  }
}

TEST(WebCopy, ColumnWidthsMoveWithTheirColumns) {
  WebCopy copy;
  copy.SetTextWidth([](std::string_view text) { return 40 * static_cast<int>(text.size()); });
  copy.btPasteClick("<table><tr><td>Stationen</td><td>A</td><td>BB</td></tr></table>",
                    EditorGrid({}));
  ASSERT_EQ(copy.ColWidths(), (std::vector<int>{360, 40, 80}));
  copy.SetCurrentCell(1, 0);
  copy.ActionAreaIndex = 1;
  copy.ActionIndex = 1;  // duplizieren
  copy.btActionClick();
  EXPECT_EQ(copy.ColWidths(), (std::vector<int>{360, 40, 40, 80}));
  copy.ActionIndex = 0;  // einfügen
  copy.btActionClick();
  EXPECT_EQ(copy.ColWidths(), (std::vector<int>{360, 32, 40, 40, 80}));
  copy.SetCurrentCell(4, 0);
  copy.ActionIndex = 2;  // löschen
  copy.btActionClick();
  EXPECT_EQ(copy.ColWidths(), (std::vector<int>{360, 32, 40, 40}));
}

TEST(WebCopy, DeletingTheLastRowLeavesAnEmptyGridThatCanGrowAgain) {
  WebCopy copy;
  Fill(copy, {{"A", "B"}}, 0, 0);
  copy.ActionIndex = 2;  // löschen
  copy.btActionClick();
  EXPECT_EQ(copy.sgWorkGrid.RowCount(), 0);
  EXPECT_EQ(copy.Selection(), std::nullopt);
  EXPECT_EQ(copy.SelectionAsText(), "");
  copy.btActionClick();  // nothing left to delete
  EXPECT_EQ(copy.sgWorkGrid.RowCount(), 0);
  // Duplicating in an empty grid inserts an empty row; the deleted texts stay gone.
  copy.ActionIndex = 1;
  copy.btActionClick();
  EXPECT_EQ(Visible(copy.sgWorkGrid), (Rows{{"", ""}}));
  EXPECT_EQ(copy.Selection(), (GridRect{0, 0, 0, 0}));
}

TEST(WebCopy, CurrentCellAndSelectionStayInsideTheGrid) {
  WebCopy copy;
  EXPECT_THROW(copy.SetCurrentCell(5, 0), Error);
  EXPECT_THROW(copy.SetCurrentCell(0, -1), Error);
  EXPECT_THROW(copy.Select(GridRect{0, 0, 5, 1}), Error);
  copy.SetCurrentCell(4, 4);
  copy.Select(GridRect{4, 4, 2, 1});
  EXPECT_EQ(copy.Selection(), (GridRect{2, 1, 4, 4}));
  EXPECT_EQ(copy.Col(), 4);
  copy.ActionAreaIndex = 1;
  copy.ActionIndex = 2;  // löschen: the last column goes, the selection shrinks with it
  copy.btActionClick();
  EXPECT_EQ(copy.Selection(), (GridRect{2, 1, 3, 4}));
  EXPECT_EQ(copy.Col(), 3);
}

TEST(WebCopy, SelectionAsTabSeparatedLines) {
  WebCopy copy;
  Fill(copy, {{"A", "B", "C"}, {"x\ty", "say \"hi\"", "\n 08:15\n"}}, 0, 0);
  copy.Select(GridRect{1, 0, 2, 1});
  EXPECT_EQ(copy.SelectionAsText(), "B\tC\n\"say \"\"hi\"\"\"\t\"\n 08:15\n\"\n");
  copy.SetCurrentCell(0, 1);
  EXPECT_EQ(copy.SelectionAsText(), "\"x\ty\"\n");
}

}  // namespace
}  // namespace trivo

#include "html/html_table.h"

#include <gtest/gtest.h>

#include "common/error.h"

namespace trivo {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The visible cells of a grid, row by row.
Rows Visible(const StringGrid& grid) {
  Rows rows;
  for (int row = 0; row < grid.RowCount(); ++row) rows.push_back(grid.Row(row));
  return rows;
}

Rows TableGrid(const std::string& html) {
  StringGrid grid(5, 5, 0, 0);
  HtmlTableToGrid(html, grid, nullptr);
  return Visible(grid);
}

std::string Repeat(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(HtmlTableToGrid, CellsOfTheTable) {
  const std::vector<std::pair<std::string, Rows>> cases = {
      {"<table><tr><td>A</td><td>08:15</td></tr><tr><td>B</td><td>08:20</td></tr></table>",
       {{"A", "08:15"}, {"B", "08:20"}}},
      {"<TR><TD class=x>A</TD></TR>", {{"A"}}},
      {"<tr><td><b>A</b> &amp; B</td></tr>", {{"A &amp; B"}}},
      {"<tr><td>\n  A\t</td></tr>", {{"\n  A\t"}}},
      {"<tr><td>A<td>B</td></tr>", {{"B"}}},            // a second opening moves the start
      {"<tr><th>A</td><td>B</th></tr>", {{"A", "B"}}},  // td and th close each other
      {"<!-- <tr><td>X</td></tr> --><tr><td>A</td></tr>", {{"A"}}},
      // "<!--<tr>" is one tag, so no row is open when X comes.
      {"<!--<tr><td>X</td></tr>--><tr><td>A</td></tr>", {{"A"}}},
      {"<tr><td>\"A\"</td><td>B</td></tr>", {{"\"A\"", "B"}}},
      // A lone double quote hides the tags up to the next one in ordinary text.
      {"<tr><td>5\" Bildschirm</td><td>B</td></tr><tr><td>\"C</td></tr>", {{"5\" BildschirmB\"C"}}},
      {"<tr><td\nclass=x>A</td></tr>", {{""}}},  // not a cell: the row stays empty
      {"<tr><td>A</td><td>B</td></tr><tr><td>C</td><td>D</td><td>E</td></tr>",
       {{"A", "B", ""}, {"C", "D", "E"}}},
      {"<td>X</td><tr></td><td>A</td>", {{"A"}}},  // outside a row, closing without cell
      {"<tr></tr><tr><td>A</td></tr><tr>", {{""}, {"A"}, {""}}},
      {"<tr><td>A</tr><td>B</td>", {{"AB"}}},  // "/tr" does not close the cell
      // A nested table adds its rows to the same grid.
      {"<table><tr><td>A<table><tr><td>B</td></tr></table></td><td>C</td></tr></table>",
       {{""}, {"B"}}},
      {"<tr><=><td>A</td></tr>", {{"A"}}},  // a tag without a name is passed over
  };
  for (const auto& [html, expected] : cases) {
    SCOPED_TRACE(html);
    Rows got = TableGrid(html);
    // Rows are compared as wide as the grid.
    Rows want = expected;
    for (auto& row : want) row.resize(got.empty() ? 0 : got.front().size());
    EXPECT_EQ(got, want);
  }
}

TEST(HtmlTableToGrid, WithoutRowsOnlyTheFirstCellRemainsAndKeepsItsText) {
  StringGrid grid(5, 5, 0, 0);
  grid.SetCell(0, 0, "keep");
  grid.SetCell(1, 0, "hidden");
  HtmlTableToGrid("<table><td>A</td></table>", grid, nullptr);
  EXPECT_EQ(Visible(grid), (Rows{{"keep"}}));
}

TEST(HtmlTableToGrid, EarlierTextsAreGoneFromTheVisibleCells) {
  StringGrid grid(5, 5, 0, 0);
  for (int col = 0; col < 5; ++col) {
    for (int row = 0; row < 5; ++row) grid.SetCell(col, row, "old");
  }
  HtmlTableToGrid("<tr><td>A</td></tr><tr><td>B</td><td>C</td></tr>", grid, nullptr);
  EXPECT_EQ(Visible(grid), (Rows{{"A", ""}, {"B", "C"}}));
  // Cells beyond the new size keep their texts, as the grid does when it shrinks.
  EXPECT_EQ(grid.Cell(4, 4), "old");
}

TEST(HtmlTableToGrid, AutoWidthWidensColumnsToTheirTexts) {
  std::vector<int> widths{200, 50, 50, 50};
  const AutoWidth autoWidth{
      widths, 32, [](std::string_view text) { return 10 * static_cast<int>(text.size()); }};
  StringGrid grid(4, 1, 0, 0);
  HtmlTableToGrid("<tr><td>A</td><td>12345</td><td>ab</td></tr>", grid, &autoWidth);
  // The first column keeps its width, the others start at the default again.
  EXPECT_EQ(widths, (std::vector<int>{200, 50, 32}));

  const AutoWidth measureless{widths, 32, {}};
  HtmlTableToGrid("<tr><td>A</td><td>12345</td></tr>", grid, &measureless);
  EXPECT_EQ(widths, (std::vector<int>{200, 32}));
}

TEST(HtmlTableToGrid, TableTooLargeForTheGridLeavesItAsItWas) {
  // One wide row and many empty rows: few bytes, but rows times columns beyond the limit.
  const std::string html = "<tr>" + Repeat("<td></td>", 2000) + Repeat("<tr>", 600);
  StringGrid grid(5, 5, 0, 0);
  grid.SetCell(2, 2, "kept");
  std::vector<int> widths(5, 40);
  const AutoWidth autoWidth{widths, 32, {}};
  EXPECT_THROW(HtmlTableToGrid(html, grid, &autoWidth), Error);
  EXPECT_EQ(grid.ColCount(), 5);
  EXPECT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.Cell(2, 2), "kept");
  EXPECT_EQ(widths, std::vector<int>(5, 40));
}

TEST(HtmlTableToGrid, SurvivesHostileText) {
  using namespace std::string_literals;
  const std::vector<std::string> texts = {
      "<tr><td>A</td></tr><",
      "<tr><td>A</td></tr><td " + std::string(1 << 18, 'x'),
      "<tr><td>" + std::string(1 << 18, '"') + "</td></tr>",
      "<tr><td>\0A\0</td></tr>\0<"s,
      Repeat("<table><tr><td>", 2000) + Repeat("</td></tr></table>", 2000),
      "<!--" + Repeat("<tr><td>x</td>", 1000),
      std::string(1 << 16, '<') + std::string(1 << 16, '>'),
  };
  for (const std::string& html : texts) {
    StringGrid grid(5, 5, 0, 0);
    HtmlTableToGrid(html, grid, nullptr);
    EXPECT_GE(grid.ColCount(), 1);
    EXPECT_GE(grid.RowCount(), 1);
  }
  StringGrid grid(5, 5, 0, 0);
  HtmlTableToGrid(texts[3], grid, nullptr);
  EXPECT_EQ(grid.Cell(0, 0), "\0A\0"s);
  HtmlTableToGrid(texts[4], grid, nullptr);
  EXPECT_EQ(grid.RowCount(), 2000);
}

}  // namespace
}  // namespace trivo

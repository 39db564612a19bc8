#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/grid_rect.h"
#include "common/string_grid.h"
#include "html/html_table.h"

namespace trivo {

// The tables of HTML text, in order: from each "<table" tag through the first "</table>"
// after it. A table nested in another ends the outer one and is not listed on its own.
std::vector<std::string_view> CollectTables(std::string_view html);

// How many rows of the editor grid's station column (column 1, from row 1 with the
// heading "Stationen" to the last row) hold a text that occurs in the table's text,
// letter case included. Empty cells never count; a name standing in two rows counts twice.
int ScoreTable(std::string_view table, const StringGrid& editorGrid);

// The table with the highest score, the earlier one between equal scores; none when no
// table scores above 0.
std::optional<std::string_view> BestTable(std::string_view html, const StringGrid& editorGrid);

// The web copy window "Fahrplan Kopier-Bereich" without its browser: the work grid
// sgWorkGrid that "HTML einfügen" fills with the table of a page that best matches the
// timetable being edited, its shaping by "Aktion ausführen", its current cell and its
// selected rectangle, which the timetable editor pastes.
class WebCopy {
 public:
  static constexpr int kDefaultColWidth = 32;
  static constexpr int kDefaultRowHeight = 18;

  // The entries of the drop-down lists cbActionArea ("Zeile", "Spalte") and cbAction
  // ("einfügen", "duplizieren", "löschen"), Windows-1252.
  static const std::vector<std::string>& ActionAreaItems();
  static const std::vector<std::string>& ActionItems();

  // A work grid of 5 columns and 5 rows of empty cells, no fixed cells; the current cell
  // is the first one.
  WebCopy();

  // "HTML einfügen" with the clipboard's text: the best table for the editor grid's
  // stations replaces the work grid's content (columns widened to their texts), and the
  // first cell becomes current. Without a winner nothing changes. Returns whether a
  // table won. A table too large for the work grid fails with a German message
  // (trivo::Error) and the work grid stays as it was.
  bool btPasteClick(std::string_view html, const StringGrid& editorGrid);

  // "Aktion ausführen": inserts, duplicates or deletes the row or the column of the
  // current cell, by the entries selected in cbActionArea and cbAction. Any area other
  // than "Zeile" counts as "Spalte"; with no action selected nothing happens.
  void btActionClick();

  // The entries selected in cbActionArea and cbAction, as indexes into their items;
  // -1 selects none. Initially "Zeile" and "einfügen".
  int ActionAreaIndex = 0;
  int ActionIndex = 0;

  // Moves the current cell and selects just that cell, as a click does. Fails with
  // "Gitterindex außerhalb des zulässigen Bereichs" outside the work grid.
  void SetCurrentCell(int col, int row);
  int Col() const { return col_; }
  int Row() const { return row_; }

  // Selects a rectangle of the work grid (corners in any order); the current cell stays.
  // Fails like SetCurrentCell when a corner lies outside the work grid.
  void Select(const GridRect& rect);
  // The selected rectangle; none while the work grid has no row or no column.
  std::optional<GridRect> Selection() const;
  // "Selektieren Bereich in Zwischenablage kopieren": the selected block as tab-separated
  // lines, each ended by a line feed; a cell holding a tab, a line break or a double
  // quote is written in double quotes with its double quotes doubled. Empty without a
  // selection.
  std::string SelectionAsText() const;

  // How texts are measured for widening columns; without it columns keep their widths.
  void SetTextWidth(TextWidth textWidth) { textWidth_ = std::move(textWidth); }
  // The width of each column of the work grid, in pixels, by position.
  const std::vector<int>& ColWidths() const { return colWidths_; }

  StringGrid sgWorkGrid;

 private:
  // Keeps the current cell and the selection inside the work grid after it changed shape.
  void KeepSelectionInGrid();
  void CheckCell(int col, int row) const;

  int col_ = 0;
  int row_ = 0;
  GridRect selection_;
  std::vector<int> colWidths_;
  TextWidth textWidth_;
};

}  // namespace trivo

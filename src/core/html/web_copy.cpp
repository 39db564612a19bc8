#include "html/web_copy.h"

#include <algorithm>
#include <utility>

#include "common/error.h"
#include "common/messages.h"
#include "common/strings.h"
#include "html/sy_html.h"

namespace trivo {

namespace {

enum class Action { Insert, Duplicate, Delete };  // the entries of cbAction, in order

constexpr int kStationCol = 1;
constexpr int kStationFirstRow = 1;  // the heading "Stationen"

// The distinct non-empty texts of the station column with the number of rows holding each.
std::vector<std::pair<std::string, int>> StationNames(const StringGrid& editorGrid) {
  std::vector<std::pair<std::string, int>> names;
  for (int row = kStationFirstRow; row < editorGrid.RowCount(); ++row) {
    const std::string& name = editorGrid.Cell(kStationCol, row);
    if (name.empty()) continue;
    const auto known = std::find_if(names.begin(), names.end(),
                                    [&name](const auto& entry) { return entry.first == name; });
    if (known != names.end()) {
      ++known->second;
    } else {
      names.emplace_back(name, 1);
    }
  }
  return names;
}

int Score(std::string_view table, const std::vector<std::pair<std::string, int>>& names) {
  int score = 0;
  for (const auto& [name, rows] : names) {
    if (table.find(name) != std::string_view::npos) score += rows;
  }
  return score;
}

int Clamp(int value, int count) {
  return std::clamp(value, 0, std::max(count - 1, 0));
}

// A cell for tab-separated lines: in double quotes when it holds a separator or a quote.
std::string SeparatedCell(const std::string& text) {
  if (text.find_first_of("\t\r\n\"") == std::string::npos) return text;
  return DoubleQuoted(text);
}

}  // namespace

std::vector<std::string_view> CollectTables(std::string_view html) {
  std::vector<std::string_view> tables;
  std::size_t pos = 1;
  std::size_t afterEnd = 0;
  for (std::size_t start; (start = FindElement(html, pos, "table", afterEnd)) > 0;) {
    tables.push_back(html.substr(start - 1, afterEnd - start));
    pos = afterEnd;
  }
  return tables;
}

int ScoreTable(std::string_view table, const StringGrid& editorGrid) {
  return Score(table, StationNames(editorGrid));
}

std::optional<std::string_view> BestTable(std::string_view html, const StringGrid& editorGrid) {
  const auto names = StationNames(editorGrid);
  std::optional<std::string_view> best;
  int bestScore = 0;
  for (const std::string_view table : CollectTables(html)) {
    const int score = Score(table, names);
    if (score > bestScore) {
      best = table;
      bestScore = score;
    }
  }
  return best;
}

const std::vector<std::string>& WebCopy::ActionAreaItems() {
  static const std::vector<std::string> items{"Zeile", "Spalte"};
  return items;
}

const std::vector<std::string>& WebCopy::ActionItems() {
  static const std::vector<std::string> items{"einfügen", "duplizieren", "löschen"};
  return items;
}

WebCopy::WebCopy() : sgWorkGrid(5, 5, 0, 0), colWidths_(5, kDefaultColWidth) {}

bool WebCopy::btPasteClick(std::string_view html, const StringGrid& editorGrid) {
  const std::optional<std::string_view> table = BestTable(html, editorGrid);
  if (!table) return false;
  const AutoWidth autoWidth{colWidths_, kDefaultColWidth, textWidth_};
  HtmlTableToGrid(*table, sgWorkGrid, &autoWidth);
  SetCurrentCell(0, 0);
  return true;
}

void WebCopy::btActionClick() {
  if (ActionIndex < 0 || ActionIndex >= static_cast<int>(ActionItems().size())) return;
  const auto action = static_cast<Action>(ActionIndex);
  const bool onRow = ActionAreaIndex == 0;
  colWidths_.resize(sgWorkGrid.ColCount(), kDefaultColWidth);
  if (action == Action::Delete) {
    if (onRow) {
      DeleteGridRow(sgWorkGrid, row_);
    } else {
      DeleteGridColumn(sgWorkGrid, col_);
      if (col_ < static_cast<int>(colWidths_.size())) colWidths_.erase(colWidths_.begin() + col_);
    }
    KeepSelectionInGrid();
    return;
  }
  // A duplicate copies the row or column that the insertion moved on by one; in an empty
  // grid there is none, and the texts still stored beyond its size must not come back.
  if (onRow) {
    InsertGridRow(sgWorkGrid, row_);
    if (action == Action::Duplicate && row_ + 1 < sgWorkGrid.RowCount()) {
      sgWorkGrid.SetRow(row_, sgWorkGrid.Row(row_ + 1));
    }
  } else {
    InsertGridColumn(sgWorkGrid, col_);
    const bool copies = action == Action::Duplicate && col_ + 1 < sgWorkGrid.ColCount();
    if (copies) sgWorkGrid.SetCol(col_, sgWorkGrid.Col(col_ + 1));
    const auto at = colWidths_.begin() + col_;
    colWidths_.insert(at, copies ? *at : kDefaultColWidth);
  }
  KeepSelectionInGrid();
}

void WebCopy::CheckCell(int col, int row) const {
  if (col < 0 || row < 0 || col >= sgWorkGrid.ColCount() || row >= sgWorkGrid.RowCount()) {
    throw Error(msg::GridIndexOutOfRange());
  }
}

void WebCopy::SetCurrentCell(int col, int row) {
  CheckCell(col, row);
  col_ = col;
  row_ = row;
  selection_ = GridRect{col, row, col, row};
}

void WebCopy::Select(const GridRect& rect) {
  CheckCell(rect.Left, rect.Top);
  CheckCell(rect.Right, rect.Bottom);
  selection_ = GridRect{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
                        std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
}

std::optional<GridRect> WebCopy::Selection() const {
  if (sgWorkGrid.ColCount() == 0 || sgWorkGrid.RowCount() == 0) return std::nullopt;
  return selection_;
}

std::string WebCopy::SelectionAsText() const {
  const std::optional<GridRect> rect = Selection();
  if (!rect) return {};
  std::string text;
  for (int row = rect->Top; row <= rect->Bottom; ++row) {
    for (int col = rect->Left; col <= rect->Right; ++col) {
      if (col > rect->Left) text += '\t';
      text += SeparatedCell(sgWorkGrid.Cell(col, row));
    }
    text += '\n';
  }
  return text;
}

void WebCopy::KeepSelectionInGrid() {
  const int cols = sgWorkGrid.ColCount();
  const int rows = sgWorkGrid.RowCount();
  col_ = Clamp(col_, cols);
  row_ = Clamp(row_, rows);
  selection_ = GridRect{Clamp(selection_.Left, cols), Clamp(selection_.Top, rows),
                        Clamp(selection_.Right, cols), Clamp(selection_.Bottom, rows)};
}

}  // namespace trivo

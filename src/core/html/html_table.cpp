#include "html/html_table.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

#include "common/error.h"
#include "html/sy_html.h"

namespace trivo {

namespace {

// The rows of a table as the tags give them, each with its cells from column 0 on.
using TableRows = std::vector<std::vector<std::string>>;

[[noreturn]] void FailTooLarge() {
  throw Error("Die Tabelle ist zu groß für das Arbeitsgitter (mehr als " +
              std::to_string(kMaxTableGridCells) + " Zellen).");
}

// The value of a parsed tag's first entry ("tagname=td" gives "td"), empty for a tag
// without a name.
std::string_view TagNameOf(const std::vector<std::string>& list) {
  if (list.empty()) return {};
  const std::string_view entry = list.front();
  const std::size_t equals = entry.find('=');
  return equals == std::string_view::npos ? std::string_view() : entry.substr(equals + 1);
}

// Walks the tags and collects the cells; the grid is untouched until the whole table
// is known to fit. Returns the rows and the widest row's cell count (at least 1).
std::pair<TableRows, std::size_t> ReadTable(std::string_view html) {
  TableRows rows;
  std::size_t colCount = 1;
  const auto checkSize = [&rows, &colCount] {
    if (static_cast<long long>(rows.size()) * static_cast<long long>(colCount) >
        kMaxTableGridCells) {
      FailTooLarge();
    }
  };
  bool inRow = false;
  bool inCell = false;
  std::size_t contentStart = 0;
  std::vector<std::string> list;
  std::size_t next = 1;
  for (;;) {
    const std::size_t tagStart = NextTag(html, next, list, next);
    if (tagStart == 0) break;
    const std::string_view n = TagNameOf(list);
    if (n.empty()) continue;
    if (n == "tr") {
      inRow = true;
      rows.emplace_back();
      checkSize();
    } else if (n == "/tr") {
      inRow = false;
    } else if ((n == "td" || n == "th") && inRow) {
      inCell = true;
      contentStart = next;
    } else if ((n == "/td" || n == "/th") && inCell) {
      inCell = false;
      auto& cells = rows.back();
      cells.push_back(StripTags(html.substr(contentStart - 1, tagStart - contentStart)));
      if (cells.size() > colCount) {
        colCount = cells.size();
        checkSize();
      }
    }
  }
  return {std::move(rows), colCount};
}

}  // namespace

void HtmlTableToGrid(std::string_view html, StringGrid& grid, const AutoWidth* autoWidth) {
  auto [rows, colCount] = ReadTable(html);
  // The grid shrinks to its first cell and grows again row by row and column by column,
  // each new row and column emptied: every visible cell ends up holding its table cell or
  // nothing, and a table without rows leaves the first cell as it was.
  const int cols = rows.empty() ? 1 : static_cast<int>(colCount);
  const int rowCount = rows.empty() ? 1 : static_cast<int>(rows.size());
  grid.SetColCount(cols);
  grid.SetRowCount(rowCount);
  if (autoWidth != nullptr) {
    autoWidth->widths.resize(1, autoWidth->defaultWidth);  // the first column keeps its width
    autoWidth->widths.resize(cols, autoWidth->defaultWidth);
  }
  for (std::size_t row = 0; row < rows.size(); ++row) {
    auto& cells = rows[row];
    for (int col = 0; col < cols; ++col) {
      if (static_cast<std::size_t>(col) >= cells.size()) {
        grid.SetCell(col, static_cast<int>(row), {});
        continue;
      }
      std::string& text = cells[col];
      if (autoWidth != nullptr && autoWidth->textWidth) {
        int& width = autoWidth->widths[col];
        width = std::max(width, autoWidth->textWidth(text));
      }
      grid.SetCell(col, static_cast<int>(row), std::move(text));
    }
  }
}

}  // namespace trivo

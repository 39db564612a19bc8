// The HTML scanner, HtmlTableToGrid and the web copy window. Input: the station names of
// the editor grid (one a line), the HTML text, and the work-grid actions, one byte each:
// the byte's value picks the area and action of "Aktion ausfuehren", the current cell and
// the selected rectangle.
//
// Properties: the tokenizer finds tags in ascending order, each from a "<" to a ">";
// StripTags leaves no "<" with a ">" after it and changes nothing on a second pass; the
// tables collected lie one after the other, each from its table tag to a ">"; the grid
// a table fills holds what StripTags leaves, its columns are as wide as their texts, and
// a table too large for it leaves it as it was; the web copy window's current cell and
// selection stay inside the work grid.

#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "fuzz_support.h"
#include "html/html_table.h"
#include "html/sy_html.h"
#include "html/web_copy.h"

namespace trivo {
namespace {

void CheckStripped(std::string_view text) {
  const std::size_t open = text.find('<');
  FUZZ_CHECK(open == std::string_view::npos || text.find('>', open) == std::string_view::npos);
}

void CheckTags(std::string_view html) {
  std::vector<std::string> list;
  std::size_t next = 1;
  std::size_t previous = 0;
  for (;;) {
    const std::size_t start = next;
    const std::size_t at = NextTag(html, start, list, next);
    if (at == 0) break;
    FUZZ_CHECK(at >= start && at > previous && next > at && next - 1 <= html.size());
    FUZZ_CHECK(html[at - 1] == '<' && html[next - 2] == '>');
    // A tag without a name ("<=>") gives an empty list.
    FUZZ_CHECK(list.empty() || list.front().starts_with("tagname="));
    const std::optional<FoundTag> tag = ScanForTag(html, start);
    FUZZ_CHECK(tag && tag->tagStart == at && tag->tagEnd == next - 1);
    previous = at;
  }
  const std::string stripped = StripTags(html);
  CheckStripped(stripped);
  FUZZ_CHECK(StripTags(stripped) == stripped);
}

void CheckTables(std::string_view html) {
  std::size_t end = 0;
  for (const std::string_view table : CollectTables(html)) {
    const std::size_t at = static_cast<std::size_t>(table.data() - html.data());
    FUZZ_CHECK(at >= end && at + table.size() <= html.size());
    // Blanks, quotes and further "<" may stand between the "<" and the tag's name.
    const std::size_t name = table.find_first_not_of(" \"'<", 1);
    FUZZ_CHECK(table.front() == '<' && name != std::string_view::npos);
    FUZZ_CHECK(SameText(table.substr(name, 5), "table") && table.back() == '>');
    end = at + table.size();
  }
}

void CheckGrid(std::string_view html) {
  StringGrid grid;
  grid.SetCell(0, 0, "kept");
  std::vector<int> widths(grid.ColCount(), 7);
  const AutoWidth autoWidth{widths, 5,
                            [](std::string_view text) { return static_cast<int>(text.size()); }};
  try {
    HtmlTableToGrid(html, grid, &autoWidth);
  } catch (const Error&) {
    FUZZ_CHECK(grid.ColCount() == 5 && grid.RowCount() == 5 && grid.Cell(0, 0) == "kept");
    FUZZ_CHECK(widths == std::vector<int>(5, 7));
    return;
  }
  FUZZ_CHECK(static_cast<long long>(grid.ColCount()) * grid.RowCount() <= kMaxTableGridCells);
  FUZZ_CHECK(widths.size() == static_cast<std::size_t>(grid.ColCount()));
  for (int col = 0; col < grid.ColCount(); ++col) {
    for (int row = 0; row < grid.RowCount(); ++row) {
      const std::string& text = grid.Cell(col, row);
      if (col > 0 || row > 0) CheckStripped(text);
      FUZZ_CHECK(widths[col] >= static_cast<int>(text.size()));
    }
  }
}

void CheckWebCopy(std::string_view stations, std::string_view html, std::string_view actions) {
  StringGrid editorGrid(512, 3, 2, 2);
  editorGrid.SetCell(1, 1, "Stationen");
  const std::vector<std::string> names = SplitTextLines(stations);
  editorGrid.SetRowCount(2 + static_cast<int>(names.size()));
  for (std::size_t i = 0; i < names.size(); ++i) {
    editorGrid.SetCell(1, 2 + static_cast<int>(i), names[i]);
  }

  WebCopy copy;
  copy.SetTextWidth([](std::string_view text) { return static_cast<int>(text.size()); });
  try {
    copy.btPasteClick(html, editorGrid);
  } catch (const Error&) {
    // Too large for the work grid: shown to the user, the work grid is kept.
  }
  const StringGrid& work = copy.sgWorkGrid;
  for (const char byte : actions) {
    const auto b = static_cast<unsigned char>(byte);
    copy.ActionAreaIndex = b % 2;
    copy.ActionIndex = static_cast<int>(b / 2 % 4) - 1;  // -1 selects no action
    try {
      if (work.ColCount() > 0 && work.RowCount() > 0) {
        copy.SetCurrentCell(b / 8 % work.ColCount(), b / 16 % work.RowCount());
        copy.Select({0, 0, b / 32 % work.ColCount(), b / 64 % work.RowCount()});
      }
      copy.btActionClick();
    } catch (const Error&) {
    }
    FUZZ_CHECK(copy.ColWidths().size() == static_cast<std::size_t>(work.ColCount()));
    if (const std::optional<GridRect> rect = copy.Selection()) {
      FUZZ_CHECK(0 <= rect->Left && rect->Left <= rect->Right && rect->Right < work.ColCount());
      FUZZ_CHECK(0 <= rect->Top && rect->Top <= rect->Bottom && rect->Bottom < work.RowCount());
      FUZZ_CHECK(copy.Col() < work.ColCount() && copy.Row() < work.RowCount());
    }
    copy.SelectionAsText();
  }
}

}  // namespace
}  // namespace trivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  const auto parts = fuzz::SplitParts(fuzz::AsText(data, size), 3);
  const std::string_view html = parts[1];
  CheckTags(html);
  CheckTables(html);
  CheckGrid(html);
  CheckWebCopy(parts[0], html, parts[2]);
  return 0;
}

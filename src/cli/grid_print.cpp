#include "grid_print.h"

#include "cli_user_interface.h"

namespace trivo::cli {

std::string EscapeCell(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

void PrintGridRows(std::ostream& out, const StringGrid& grid, int lastCol) {
  for (int row = 0; row < grid.RowCount(); ++row) {
    std::string line;
    for (int col = 0; col <= lastCol; ++col) {
      if (col > 0) line += '\t';
      line += EscapeCell(grid.Cell(col, row));
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
  out.flush();
}

void PrintLines(std::ostream& out, std::string_view heading,
                const std::vector<std::string>& lines) {
  out << heading << '\n';
  for (const std::string& line : lines) out << OneLine(line) << '\n';
}

}  // namespace trivo::cli

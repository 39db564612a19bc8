#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/string_grid.h"

namespace trivo::cli {

// A grid cell as the command line prints it: backslash as "\\", tab as "\t", line feed
// as "\n", carriage return as "\r"; every other byte unchanged.
std::string EscapeCell(std::string_view text);

// Rows 0 .. RowCount-1 of the grid, one line each ending in LF: the escaped cells of
// columns 0 .. lastCol joined by TAB.
void PrintGridRows(std::ostream& out, const StringGrid& grid, int lastCol);

// The heading line, then every line as one line (see OneLine), each ending in LF.
void PrintLines(std::ostream& out, std::string_view heading, const std::vector<std::string>& lines);

}  // namespace trivo::cli

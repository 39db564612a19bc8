#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli_user_interface.h"
#include "commands.h"
#include "common/messages.h"
#include "common/string_grid.h"
#include "common/text_file.h"
#include "exit_status.h"
#include "grid_print.h"
#include "html/web_copy.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kHtmlImportHelp =
    R"(Usage: trivo html-import FILE.html [--station NAME]...

Does what "HTML einfügen" of the web copy window "Fahrplan Kopier-Bereich" does,
with the text of FILE.html in place of the clipboard: of the page's tables, the one
that mentions most stations of the timetable being edited is copied into the work
grid. The edited timetable's station column holds the heading "Stationen" and the
names given with --station, in order; a table scores one point for each of these
rows whose text occurs in it (letter case included, byte for byte), the heading
too. The first table with the highest score wins; a score of 0 never wins.

Options:
  --station NAME   a station of the edited timetable (may be repeated; also
                   written --station=NAME)
  -h, --help       show this text

Output (standard output): the work grid afterwards, one grid row a line ending in
LF, its cells joined by TAB, each cell with backslash written \\, tab \t, line feed
\n and carriage return \r. Without a winning table it is the untouched grid of 5 x 5
empty cells.

Exit status: 0 success, 1 the winning table is too large for the work grid (the
message on standard error, the untouched grid on standard output), 2 a usage error
or a file that cannot be read (explained on standard error, nothing on standard
output).
)";

constexpr std::string_view kStationOption = "--station";

int UsageError(const std::string& text) {
  std::cerr << "trivo html-import: " << OneLine(text) << " (see 'trivo html-import --help')\n";
  return kExitUsage;
}

struct Arguments {
  std::string file;
  std::vector<std::string> stations;
};

}  // namespace
}  // namespace trivo::cli

int RunHtmlImport(int argc, char** argv) {
  using namespace trivo::cli;
  Arguments arguments;
  bool haveFile = false;
  const std::string stationWithValue = std::string(kStationOption) + "=";
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::cout << kHtmlImportHelp << std::flush;
      return kExitOk;
    }
    if (arg == kStationOption) {
      if (i + 1 >= argc) return UsageError("--station needs a name, for example --station Rathaus");
      arguments.stations.emplace_back(argv[++i]);
    } else if (arg.starts_with(stationWithValue)) {
      arguments.stations.emplace_back(arg.substr(stationWithValue.size()));
    } else if (arg.starts_with("-") && arg != "-") {
      return UsageError("unknown option '" + std::string(arg) + "'");
    } else if (haveFile) {
      return UsageError("more than one HTML file given");
    } else {
      arguments.file = std::string(arg);
      haveFile = true;
    }
  }
  if (!haveFile) return UsageError("no HTML file given");

  std::string html;
  try {
    html = trivo::ReadFileBytes(arguments.file);
  } catch (const std::exception& error) {
    std::cerr << "trivo html-import: " << OneLine(trivo::msg::ErrorText(error)) << '\n';
    return kExitUsage;
  }

  // The editor grid's layout: trip numbers in row 0, the heading in row 1, the stations
  // below it, all in column 1.
  trivo::StringGrid editorGrid(2, 2 + static_cast<int>(arguments.stations.size()), 2, 2);
  editorGrid.SetCell(1, 1, "Stationen");
  for (std::size_t i = 0; i < arguments.stations.size(); ++i) {
    editorGrid.SetCell(1, 2 + static_cast<int>(i), arguments.stations[i]);
  }

  trivo::WebCopy fmWebCopy;
  int status = kExitOk;
  try {
    fmWebCopy.btPasteClick(html, editorGrid);
  } catch (const std::exception& error) {
    std::cerr << "trivo html-import: " << OneLine(trivo::msg::ErrorText(error)) << '\n';
    status = kExitFailed;
  }
  const trivo::StringGrid& grid = fmWebCopy.sgWorkGrid;
  PrintGridRows(std::cout, grid, grid.ColCount() - 1);
  return status;
}

#include <iostream>
#include <ostream>
#include <string>
#include <string_view>

#include "analysis/query_model.h"
#include "commands.h"
#include "exit_status.h"
#include "grid_print.h"
#include "positional_command.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kNetworkHelp =
    R"(Usage: trivo network PROJECT.tvp

Loads the project file PROJECT.tvp and does what showing the connection-query window
"Verbindugns-Abfrage" does: reads stations.csv, line_stations.csv and
station_lines.csv, builds the matrix of shortest travel times between all stations
from distances.csv, and the maps of transfer stations (stations with more than one
line in station_lines.csv, and the "newcross" stations of distances.csv). Nothing is
written.

Options:
  -h, --help    show this text

Output (standard output, texts in Windows-1252 as the system holds them):
  [Meldung] <text>        a message box, for example "Distance-Fehler" when
                          distances.csv holds negative minutes (they are left out)
  [Fehler] <text>         an error that ended the loading
  [StringGrid1]           followed by the matrix grid, one row a line, cells joined
                          by TAB: row 0 and column 0 hold the station names, the
                          cell in row r, column c the minutes from station r to
                          station c (9999: no connection)
  [TransferStationLines]  followed by <station>=<line>,<line>,... lines
  [LineTransferStations]  followed by <line>=<station>,<station>,... lines

Exit status: 0 when the loading ended normally, 1 when an error ended it, 2 for a
usage error or a project file that does not exist (explained on standard error,
nothing on standard output).
)";

constexpr ProjectCommandSpec kNetwork{"network", "", "", kNetworkHelp};

void PrintGrid(const trivo::DistanceGrid& grid, std::ostream& out) {
  std::string line;
  for (int row = 0; row < grid.RowCount(); ++row) {
    line.clear();
    for (int col = 0; col < grid.ColCount(); ++col) {
      if (col > 0) line += '\t';
      line += EscapeCell(grid.Cell(col, row));
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

}  // namespace
}  // namespace trivo::cli

int RunNetwork(int argc, char** argv) {
  using namespace trivo::cli;
  const ParsedPositionalCommand parsed = ParsePositionalCommand(kNetwork, 1, 1, argc, argv);
  if (!parsed.arguments) return parsed.exitStatus;
  const std::string& projectFile = parsed.arguments->front();
  if (!ProjectFileExists(kNetwork, projectFile)) return kExitUsage;

  ProjectSession session;
  if (!session.Load(projectFile)) return kExitFailed;
  trivo::QueryModel fmQuery;
  const bool shown = session.RunReportingErrors([&] { fmQuery.FormShow(session.ctx); });
  std::cout << "[StringGrid1]\n";
  PrintGrid(fmQuery.StringGrid1(), std::cout);
  PrintLines(std::cout, "[TransferStationLines]", fmQuery.network().TransferStationLines.Lines());
  PrintLines(std::cout, "[LineTransferStations]", fmQuery.network().LineTransferStations.Lines());
  std::cout << std::flush;
  return shown ? kExitOk : kExitFailed;
}

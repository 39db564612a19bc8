#include <iostream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/query_model.h"
#include "commands.h"
#include "convert/timetable_notation.h"
#include "exit_status.h"
#include "grid_print.h"
#include "positional_command.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kQueryHelp =
    R"(Usage: trivo query PROJECT.tvp FROM TO [HH:MM]

Loads the project file PROJECT.tvp, shows the connection-query window
"Verbindugns-Abfrage" as 'trivo network' does (without printing it), enters FROM as
start station, TO as destination and HH:MM as start time (default 14:58), and
presses "Abfrage starten" once: the route search from both ends over the transfer
stations, and for every route found its trips from the Monday-to-Friday timetables
("MO-FR" sections) within 180 minutes after the start time, ranked by arrival.
Station names match without regard to letter case; give them in UTF-8 or in
Windows-1252. Put "--" before a name that begins with "-". Nothing is written.

Options:
  -h, --help    show this text

Output (standard output, texts in Windows-1252 as the system holds them):
  [Meldung] <text>    a message box, for example "Station nicht gefunden: <name>"
  [Fehler] <text>     an error that ended a step
  [Memo1]             followed by the connections found: <n>: <route>[<estimate>]
  [mSearchDistances]  followed by the trace of the candidate lists
  [mZeiten]           followed by the trace of the evaluation and the top lists:
                      Min: <minutes> Weg: <legs with departure and arrival>

Exit status: 0 when the query ran and no step ended with an error, 1 when an error
ended a step or a station was not found, 2 for a usage error or a project file that
does not exist (explained on standard error, nothing on standard output).
)";

constexpr ProjectCommandSpec kQuery{"query", "", "", kQueryHelp};

}  // namespace
}  // namespace trivo::cli

int RunQuery(int argc, char** argv) {
  using namespace trivo::cli;
  const ParsedPositionalCommand parsed = ParsePositionalCommand(kQuery, 3, 4, argc, argv);
  if (!parsed.arguments) return parsed.exitStatus;
  const std::vector<std::string>& arguments = *parsed.arguments;
  std::int32_t startMinutes = trivo::QueryModel::kInitialStartMinutes;
  if (arguments.size() == 4) {
    startMinutes = trivo::TimeStringToMinutes(arguments[3]);
    if (startMinutes < 0) {
      return UsageError(
          kQuery, "invalid start time '" + arguments[3] + "': expected HH:MM, for example 07:30");
    }
  }
  if (!ProjectFileExists(kQuery, arguments[0])) return kExitUsage;

  ProjectSession session;
  if (!session.Load(arguments[0])) return kExitFailed;
  trivo::QueryModel fmQuery;
  bool succeeded = session.RunReportingErrors([&] { fmQuery.FormShow(session.ctx); });
  fmQuery.cbStartStation.Text = ArgumentText(arguments[1]);
  fmQuery.cbZielStation.Text = ArgumentText(arguments[2]);
  fmQuery.dtpStartTime = startMinutes;
  bool ran = false;
  succeeded &= session.RunReportingErrors([&] { ran = fmQuery.btStartQueryClick(session.ctx); });
  PrintLines(std::cout, "[Memo1]", fmQuery.Memo1());
  PrintLines(std::cout, "[mSearchDistances]", fmQuery.mSearchDistances());
  PrintLines(std::cout, "[mZeiten]", fmQuery.mZeiten());
  std::cout << std::flush;
  return succeeded && ran ? kExitOk : kExitFailed;
}

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "check/project_check.h"
#include "commands.h"
#include "common/messages.h"
#include "exit_status.h"
#include "project/project_commands.h"
#include "project_command.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kCheckHelp =
    R"(Usage: trivo check PROJECT.tvp [--json]

The project check, "Extras" -> "Projekt prüfen..." of the main window: one pass over
the whole project that lists every problem the conversions, the timetable editor and
the connection query would meet, without stopping at the first: missing or
unreadable files, day groups without days, stations of line_stations.csv missing
from stations.csv, duplicate station or line names, lines without a timetable file
or without an entry in line_stations.csv, names that cannot be file names, section
rows that do not follow the line's course, invalid cells, times going back along a
trip further than past midnight, drive times over max_drive_minutes, interval
columns without a trip on both sides, trips of a single time, distances.csv entries
for unknown stations; as warnings lines without trips and stations no line serves.
Nothing is written.

Output (standard output, texts in Windows-1252): one line a problem, sorted by file,
in the form editors and compilers use, so that a terminal or an IDE can jump to it:
  <file>:<section>:<row>:<column>: Fehler: <text>
  <file>:<section>:<row>:<column>: Warnung: <text>
The parts that do not apply are left out. In a timetable file the section is
<direction>_<day group>, the row the row's key and the column the trip; in the other
files the row is the line of the file. Last a count line: "<n> Fehler, <m> Warnungen".

Options:
  --json        the problems as a JSON array of objects (UTF-8) with the members
                file, section, row, column (where they apply), severity ("error" or
                "warning"), text, and for timetable problems line, dayGroup and
                direction; no count line
  -h, --help    show this text

Exit status: 0 no errors (warnings allowed), 1 errors found, 2 for a usage error or a
project file that does not exist (explained on standard error).
)";

constexpr ProjectCommandSpec kCheck{"check", "", "", kCheckHelp};

}  // namespace
}  // namespace trivo::cli

int RunCheck(int argc, char** argv) {
  using namespace trivo::cli;
  std::vector<char*> arguments(argv, argv + argc);
  const auto json = std::find_if(arguments.begin(), arguments.end(),
                                 [](const char* arg) { return std::string_view(arg) == "--json"; });
  const bool asJson = json != arguments.end();
  if (asJson) arguments.erase(json);
  const ParsedProjectCommand parsed =
      ParseProjectCommand(kCheck, static_cast<int>(arguments.size()), arguments.data());
  if (!parsed.arguments) return parsed.exitStatus;
  if (!ProjectFileExists(kCheck, parsed.arguments->projectFile)) return kExitUsage;

  ProjectSession session;
  trivo::CheckReport report;
  const bool ran = session.RunReportingErrors([&] {
    try {
      trivo::LoadProject(session.ctx, parsed.arguments->projectFile);
    } catch (const std::exception& error) {
      // A project file that cannot be loaded is the one problem there is to report.
      const std::string file =
          std::filesystem::path(parsed.arguments->projectFile).filename().string();
      report.Error(file, trivo::msg::ErrorText(error));
      return;
    }
    report = trivo::CheckProject(session.ctx);
  });
  if (!ran) return kExitFailed;
  if (asJson) {
    std::cout << trivo::ProblemsJson(report) << std::flush;
  } else {
    for (const trivo::CheckProblem& problem : report.Problems()) {
      session.ui.PrintLine(trivo::ProblemLine(problem));
    }
    session.ui.PrintLine(trivo::CountLine(report));
    session.ui.Flush();
  }
  return report.Errors() > 0 ? kExitFailed : kExitOk;
}

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "convert/conversion_buttons.h"
#include "convert/conversion_record.h"
#include "convert/conversion_scope.h"
#include "exit_status.h"
#include "project_command.h"
#include "step_list.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kConvertHelp =
    R"(Usage: trivo convert PROJECT.tvp [--steps LIST]

Loads the project file PROJECT.tvp and runs the conversion steps, as pressing the
numbered buttons of the main window does:
  1  daygroups.ptf      the project's day groups
  2  stations.ptf       the station list (stations.csv)
  3  lines.ptf          the line list (lines.csv)
  4  line_stations.ptf  the station sequence of every line (line_stations.csv)
  5  the timetables     tt_*.ptf, ttc_*.ptf, line_connections.ptf,
                        tt_connections.ptf, intervals.ptf (line_*.ttd)
The inputs are read from the project file's folder and the PTF files are written
there too.

Options:
  --steps LIST  comma-separated step numbers 1 to 5, run in the order given
                (default: 1,2,3,4,5). Step 5 uses what steps 1, 3 and 4 produced
                in the same run.
  -h, --help    show this text

Output (standard output, one line each, texts in Windows-1252 as the system writes
them):
  <text>               a line of the main window's log
  [Meldung] <text>     a message box
  [Frage] <text>       a question; the command line always answers Yes
  [Fehler] <text>      an error that ended a step; the next step still runs

A line feed or carriage return inside a text is written as \n or \r, so every
report is one line.

While it runs, the command holds a lock on the project folder: a second conversion of
the same folder (another trivo convert, or the desktop program) ends at once with an
error saying that a conversion is running there. Temporary files that a killed
conversion left behind are removed. A file that would replace an input of the run
(for example a project file named lines.ptf) is not written; a message says so.

A PTF file that would get the bytes it holds is left alone (its time stays). A run that
ended well is recorded in .trivo-conversion in the folder; a conversion of the same steps
over a folder in which no file changed since (none edited, touched, added or removed)
reports what that run reported and reads and writes nothing.

Exit status:
  0  every step ran to its end and every file it should write was written
  1  a step ended with an error ([Fehler]), or a file was not written ("Fehler beim
     Erstellen von ..." and the like, or an input that would have been replaced)
  2  a usage error or a project file that does not exist (explained on standard
     error, nothing on standard output)
)";

constexpr ProjectCommandSpec kConvert{"convert",
                                      "--steps",
                                      "--steps needs a list of steps, for example --steps 1,2,3",
                                      kConvertHelp,
                                      {}};

}  // namespace
}  // namespace trivo::cli

int RunConvert(int argc, char** argv) {
  using namespace trivo::cli;
  const ParsedProjectCommand parsed = ParseProjectCommand(kConvert, argc, argv);
  if (!parsed.arguments) return parsed.exitStatus;
  std::vector<int> steps = AllSteps();
  if (const auto& stepText = parsed.arguments->optionValue) {
    std::optional<std::vector<int>> chosen = StepsOption(kConvert, *stepText);
    if (!chosen) return kExitUsage;
    steps = std::move(*chosen);
  }
  if (!ProjectFileExists(kConvert, parsed.arguments->projectFile)) return kExitUsage;

  ProjectSession session;
  if (!session.Load(parsed.arguments->projectFile)) return kExitFailed;
  // All steps run under one lock of the project folder.
  std::optional<trivo::ConversionScope> scope;
  if (!session.RunReportingErrors([&] { scope.emplace(session.ctx); })) return kExitFailed;
  // A folder that stands as after the last conversion of the same steps gets that
  // conversion's report; nothing is read again or written.
  std::string what = "trivo " TRIVO_VERSION " convert";
  for (const int step : steps) what += " " + std::to_string(step);
  const std::filesystem::path folder(session.ctx.ProjectDir);
  const bool recordable = session.ctx.WorkingDir == session.ctx.ProjectDir;
  if (recordable) {
    if (const std::optional<std::string> report = trivo::RecordedReport(folder, what)) {
      std::cout << *report << std::flush;
      return kExitOk;
    }
  }
  session.ui.StartTranscript();
  for (const int step : steps) {
    session.RunReportingErrors([&] { trivo::PressConversionButton(session.ctx, step); });
  }
  const int status = session.ExitStatus();
  if (recordable && status == kExitOk) {
    trivo::RecordConversion(folder, what, session.ui.Transcript());
  }
  return status;
}

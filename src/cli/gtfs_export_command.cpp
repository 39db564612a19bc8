#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "exit_status.h"
#include "gtfs/gtfs_export.h"
#include "project_command.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kGtfsExportHelp =
    R"(Usage: trivo gtfs-export PROJECT.tvp OUT.zip [--expand-intervals]

Loads the project file PROJECT.tvp and writes its timetables as a static GTFS feed,
the ZIP archive OUT.zip (agency.txt, stops.txt, routes.txt, trips.txt,
stop_times.txt, calendar.txt, calendar_dates.txt, frequencies.txt, feed_info.txt),
as "Extras" -> "GTFS exportieren..." of the main window does. It reads the section
[gtfs] of the project file (agency, service period, holidays, route types),
stations.csv, lines.csv, line_stations.csv, station_positions.csv and every line's
.ttd file. Stations and lines keep their feed IDs from one export to the next
through gtfs_ids.csv, which is written back when new IDs were given.

The project is checked first. Errors (a station without a position, a name the
master data lack, an error cell, times going back, a trip with fewer than two stops,
an interval without trips on both sides, a missing or inverted service period, a
route type GTFS does not know, ...) keep the feed from being written; warnings (a
line without trips, a day group without trips) are listed and the feed is written.
The archive is written to a temporary file renamed over OUT.zip, so a failed export
leaves no partial archive, and an input of the export is never replaced.

Options:
  --expand-intervals  write the trips an interval cell ("10 Min") stands for as
                      trips of their own instead of frequencies.txt rows, for
                      consumers that ignore frequencies
  -h, --help          show this text

Output (standard output, one line each, texts in Windows-1252):
  [Fehler] <text>      an error of the check, or one that ended the export
  [Warnung] <text>     a warning of the check
  <n> Haltestellen, <n> Linien, <n> Fahrten, <n> Halte
                       the feed's size (after the check, also when it found errors)

Exit status:
  0  the feed was written
  1  the check found errors, or a file could not be read or written
  2  a usage error or a project file that does not exist (explained on standard
     error, nothing on standard output)
)";

constexpr std::string_view kExpandIntervals = "--expand-intervals";

constexpr ProjectCommandSpec kGtfsExport{"gtfs-export", "", "", kGtfsExportHelp, "OUT.zip"};

}  // namespace
}  // namespace trivo::cli

int RunGtfsExport(int argc, char** argv) {
  using namespace trivo::cli;
  trivo::gtfs::ExportOptions options;
  std::vector<char*> arguments;
  for (int i = 0; i < argc; ++i) {
    if (std::string_view(argv[i]) == kExpandIntervals) {
      options.expandIntervals = true;
    } else {
      arguments.push_back(argv[i]);
    }
  }
  const ParsedProjectCommand parsed =
      ParseProjectCommand(kGtfsExport, static_cast<int>(arguments.size()), arguments.data());
  if (!parsed.arguments) return parsed.exitStatus;
  if (!ProjectFileExists(kGtfsExport, parsed.arguments->projectFile)) return kExitUsage;

  ProjectSession session;
  if (!session.Load(parsed.arguments->projectFile)) return kExitFailed;
  trivo::gtfs::ExportResult result;
  const bool ended = session.RunReportingErrors(
      [&] { result = trivo::gtfs::ExportGtfs(session.ctx, parsed.arguments->extra, options); });
  if (!ended) return kExitFailed;
  for (const trivo::gtfs::ExportFinding& finding : result.findings) {
    if (finding.error) {
      session.ui.ReportError(finding.text);
    } else {
      session.ui.PrintLine("[Warnung] " + finding.text);
    }
  }
  session.ui.PrintLine(trivo::gtfs::CountsText(result.counts));
  session.ui.Flush();
  return result.written ? session.ExitStatus() : kExitFailed;
}

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "common/comma_list.h"
#include "common/text_file.h"
#include "exit_status.h"
#include "gtfs/gtfs_import.h"
#include "gtfs/service_days.h"
#include "project_command.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kGtfsImportHelp =
    R"(Usage: trivo gtfs-import FEED.zip FOLDER [--week YYYY-MM-DD] [--routes ID,ID...]

Makes a new project in FOLDER from the GTFS feed FEED.zip, as "Extras" -> "GTFS
importieren..." of the main window does: the project file <folder name>.tvp with the
day groups and a [gtfs] section, stations.csv, lines.csv, line_stations.csv,
station_lines.csv, one line_<name>.ttd per line, distances.csv,
station_positions.csv, gtfs_ids.csv and the report gtfs-import.txt, which lists
what the feed held that the project does not take, and why.

FOLDER is created; one that holds a project file (*.tvp) or a file of these names is
refused, so no project is ever replaced. Everything is written into a temporary
folder beside FOLDER first, so a failed import leaves nothing behind.

Stops with a parent_station become one station named as the parent; every route
becomes a line (and further lines <name>-2, ... for stop patterns that fit no one
station order); the weekdays on which each trip runs in the reference week give its
day group ("Mo-Fr", "Sa", "So", ...).

Options:
  --week YYYY-MM-DD   the Monday of the reference week (default: the first full
                      week of the feed's service period)
  --routes ID,ID...   take only these route_ids
  -h, --help          show this text

Output (standard output, Windows-1252): the report's summary (stations, lines, day
groups, trips taken and left out by reason), then the project file, or
  [Fehler] <text>     why the feed or the folder could not be used

Exit status: 0 the project was made, 1 the feed is unreadable, the folder refused,
or no trip could be taken (then nothing is written), 2 a usage error or a feed
file that does not exist (explained on standard error, nothing on standard
output).
)";

constexpr ProjectCommandSpec kGtfsImport{"gtfs-import", "", "", kGtfsImportHelp};

// "--name VALUE" or "--name=VALUE" at argv[i]; advances i past the value.
std::optional<std::string> OptionValue(std::string_view name, int& i, int argc, char** argv,
                                       bool& missing) {
  const std::string_view arg = argv[i];
  const std::string withValue = std::string(name) + "=";
  if (arg == name) {
    if (i + 1 >= argc) {
      missing = true;
      return std::nullopt;
    }
    return std::string(argv[++i]);
  }
  if (arg.starts_with(withValue)) return std::string(arg.substr(withValue.size()));
  return std::nullopt;
}

}  // namespace
}  // namespace trivo::cli

int RunGtfsImport(int argc, char** argv) {
  using namespace trivo::cli;
  std::vector<std::string> positional;
  trivo::gtfs::ImportOptions options;
  bool afterDashes = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (afterDashes || arg == "-" || !arg.starts_with("-")) {
      positional.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      afterDashes = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      std::cout << kGtfsImportHelp << std::flush;
      return kExitOk;
    }
    bool missing = false;
    if (const auto week = OptionValue("--week", i, argc, argv, missing)) {
      options.week = trivo::gtfs::ParseIsoDate(*week);
      if (!options.week || trivo::gtfs::WeekdayOf(*options.week) != 0) {
        return UsageError(kGtfsImport,
                          "--week needs the date of a Monday as YYYY-MM-DD, not '" + *week + "'");
      }
      continue;
    }
    if (const auto routes = OptionValue("--routes", i, argc, argv, missing)) {
      for (std::string& route : trivo::SplitCommaList(*routes)) {
        if (!route.empty()) options.routes.push_back(std::move(route));
      }
      if (options.routes.empty()) {
        return UsageError(kGtfsImport, "--routes needs route_ids, for example --routes 1,2");
      }
      continue;
    }
    if (missing) return UsageError(kGtfsImport, std::string(arg) + " needs a value");
    return UsageError(kGtfsImport, "unknown option '" + std::string(arg) + "'");
  }
  if (positional.size() != 2) {
    return UsageError(kGtfsImport, positional.size() < 2 ? "FEED.zip and FOLDER are needed"
                                                         : "more than FEED.zip and FOLDER given");
  }
  std::error_code error;
  if (!std::filesystem::exists(positional[0], error)) {
    return UsageError(kGtfsImport, "feed '" + positional[0] + "' does not exist");
  }

  ProjectSession session;
  trivo::gtfs::ImportResult result;
  const bool ran = session.RunReportingErrors([&] {
    result = trivo::gtfs::ImportGtfs(session.ctx, positional[0], positional[1], options);
  });
  if (!ran) return kExitFailed;
  for (const std::string& line : result.report.summary) session.ui.Log(line);
  if (result.projectFile.empty()) return kExitFailed;
  session.ui.Log("Projekt: " + result.projectFile.string());
  return session.ExitStatus();
}

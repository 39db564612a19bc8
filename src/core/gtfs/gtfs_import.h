#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "gtfs/import_report.h"
#include "gtfs/service_days.h"

namespace trivo {
class Context;
}

namespace trivo::gtfs {

struct ImportOptions {
  // The Monday of the reference week whose weekdays give the day groups; nothing: the
  // first full week of the feed's service period.
  std::optional<Day> week;
  // The route_ids to take; empty: every route.
  std::vector<std::string> routes;
  // Flush every file to the disk before the project goes into place, so that a power
  // loss leaves a whole project or none. Off only for throwaway projects (tests).
  bool flush = true;
};

struct ImportResult {
  ImportReport report;
  // The project file made; empty when nothing usable was found and nothing was written.
  std::filesystem::path projectFile;
  std::size_t stations = 0;
  std::size_t lines = 0;
  std::size_t dayGroups = 0;
  std::size_t trips = 0;  // trips taken (a run of a frequency counts once per trip)
};

// The name of the import's report in the new project.
inline constexpr const char* kImportReportFile = "gtfs-import.txt";

// Makes a new project in folder from the GTFS feed (a ZIP archive): the project file
// <folder name>.tvp with the day groups and [gtfs], the master data, one line_<name>.ttd
// per line, distances.csv, station_positions.csv, gtfs_ids.csv and the report
// gtfs-import.txt. Everything is written into a temporary folder beside folder and moved
// into place at the end, so a failed import leaves nothing behind. The folder is created;
// a folder holding a project file, or a file of the names the import writes, is refused.
//
// Fails (trivo::Error, German) for a feed that cannot be read (no ZIP archive, a required
// file or column missing, a file that is no CSV) and for a folder that cannot take the
// project. Rows and trips that cannot be taken are left out and counted in the report.
// When no trip can be taken, nothing is written and projectFile stays empty.
ImportResult ImportGtfs(Context& ctx, const std::filesystem::path& feed,
                        const std::filesystem::path& folder, const ImportOptions& options = {});

}  // namespace trivo::gtfs

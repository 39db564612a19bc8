#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "gtfs/feed.h"
#include "project/context.h"
#include "project/gtfs_settings.h"

namespace trivo::gtfs {

struct ExportOptions {
  // Write the trips an interval cell stands for as trips of their own instead of
  // frequencies.txt rows over the trip before them, for consumers that ignore frequencies.
  bool expandIntervals = false;
};

// One line of the export's report, German, naming file, section, row and cell where they
// apply. An error keeps the feed from being written; a warning does not.
struct ExportFinding {
  bool error = true;
  std::string text;
};

struct ExportCounts {
  std::size_t stops = 0;
  std::size_t routes = 0;
  std::size_t trips = 0;
  std::size_t stopTimes = 0;
};

// "<n> Haltestellen, <n> Linien, <n> Fahrten, <n> Halte".
std::string CountsText(const ExportCounts& counts);

struct FeedBuild {
  Feed feed;
  std::vector<ExportFinding> findings;
  // gtfs_ids.csv with the IDs given to stations and lines that had none.
  GtfsIds ids;
  bool idsAdded = false;
  // The stations that lines use and station_positions.csv gives no position, in the order
  // of stations.csv.
  std::vector<std::string> stationsWithoutPosition;

  bool HasErrors() const;
  ExportCounts Counts() const;
};

// Builds the feed of the project loaded into ctx: the [gtfs] section of its project file,
// stations.csv, lines.csv, line_stations.csv, station_positions.csv, gtfs_ids.csv and the
// sections of every line's .ttd file for every day group and direction, each file read
// once as an input of the job. Files that cannot be read fail with trivo::Error; what the
// files say that a feed cannot carry is reported in the findings.
FeedBuild BuildFeed(Context& ctx, const ExportOptions& options = {});

struct ExportResult {
  std::vector<ExportFinding> findings;
  ExportCounts counts;
  bool written = false;  // the ZIP archive (and gtfs_ids.csv when IDs were added)
};

// BuildFeed, then, when no finding is an error, the ZIP archive at target (a temporary file
// renamed over it; never an input of the job) and gtfs_ids.csv when IDs were added. A
// write that fails throws trivo::Error and leaves no partial archive.
ExportResult ExportGtfs(Context& ctx, const std::filesystem::path& target,
                        const ExportOptions& options = {});

// What the export window edits: the [gtfs] settings, the lines of lines.csv (for their
// route types) and the stations that still lack a position.
struct ExportSetup {
  GtfsSettings settings;
  std::vector<std::string> lines;
  std::vector<std::string> stationsWithoutPosition;
};

ExportSetup ReadExportSetup(Context& ctx);

// Writes the settings into the project file's section [gtfs] and the positions into
// station_positions.csv (kept lines as they are, a known station's line replaced, others
// appended), each file atomically; station_positions.csv only when positions are given.
void SaveExportSetup(Context& ctx, const GtfsSettings& settings,
                     const std::vector<std::pair<std::string, Position>>& positions);

// Whether a number is a route type of GTFS: the basic types 0 to 7, 11 and 12, and the
// extended types of the hierarchical list (100 to 1702).
bool IsGtfsRouteType(int type);

}  // namespace trivo::gtfs

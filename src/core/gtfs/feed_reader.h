#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gtfs/import_report.h"
#include "gtfs/service_days.h"
#include "project/gtfs_settings.h"
#include "project/prj_params.h"

namespace trivo::gtfs {

class ZipReader;

// The feed as the import reads it (the export has a feed model of its own, made from a
// project).
namespace reading {

inline constexpr std::uint32_t kNoIndex = 0xFFFFFFFFu;

// The parts of a feed that the import uses. Texts are as in the feed (UTF-8), except
// where a field says otherwise.
struct FeedStop {
  std::string id;
  std::string name;  // UTF-8
  std::string code;
  int locationType = 0;
  std::uint32_t parent = kNoIndex;  // the stop of parent_station
  std::optional<Position> position;
  std::size_t line = 0;  // its row in stops.txt
};

struct FeedRoute {
  std::string id;
  std::string shortName;  // UTF-8
  std::string longName;   // UTF-8
  int type = 3;
  std::optional<int> sortOrder;
};

struct FeedService {
  std::string id;
  Weekdays days;  // calendar.txt
  std::optional<Day> start;
  std::optional<Day> end;
  std::vector<Day> added;    // calendar_dates.txt exception_type 1
  std::vector<Day> removed;  // exception_type 2
  bool RunsOn(Day day) const;
};

struct FeedTrip {
  std::string id;
  std::uint32_t route = 0;
  std::uint32_t service = kNoIndex;  // kNoIndex: a service_id without calendar entries
  int direction = -1;                // direction_id 0 or 1; -1 when not given
};

struct FeedStopTime {
  std::uint32_t trip = 0;
  std::int32_t sequence = 0;
  std::uint32_t stop = 0;
  std::int32_t arrival = -1;    // seconds; -1 when not given
  std::int32_t departure = -1;  // seconds; -1 when not given
  std::uint8_t pickup = 0;
  std::uint8_t dropOff = 0;
};

struct FeedFrequency {
  std::uint32_t trip = 0;
  std::int32_t start = 0;  // seconds
  std::int32_t end = 0;
  std::int32_t headway = 0;
};

struct FeedAgency {
  std::string name;  // UTF-8
  std::string url;
  std::string timezone;
  std::string lang;
};

struct Feed {
  FeedAgency agency;
  std::optional<Day> feedStart;  // feed_info.txt
  std::optional<Day> feedEnd;
  std::vector<FeedStop> stops;
  std::vector<FeedRoute> routes;
  std::vector<FeedService> services;
  std::vector<FeedTrip> trips;
  // Sorted by trip, then stop_sequence; no two of one trip with the same sequence.
  std::vector<FeedStopTime> stopTimes;
  std::vector<FeedFrequency> frequencies;  // sorted by trip, then start
  std::vector<std::string> unknownRoutes;  // asked for but not in routes.txt

  // The first and last day any service runs on, from calendar.txt and the added dates.
  std::optional<std::pair<Day, Day>> ServicePeriod() const;
};

// Reads the feed's files by their names: agency.txt, stops.txt, routes.txt, trips.txt,
// stop_times.txt, calendar.txt and calendar_dates.txt (one of the two at least),
// frequencies.txt and feed_info.txt, each streamed. A missing required file or column,
// and a file that is no CSV (a quote never closed), end the import (trivo::Error, with
// file and row). A row that cannot be taken (too few fields, an unknown or missing ID, a
// time like 7:5, a doubled stop_sequence) is skipped and counted in the report with its
// file and row. routes: the route_ids to take; empty for all.
Feed ReadFeed(const ZipReader& zip, ImportReport& report, const std::vector<std::string>& routes);

// The kinds of problems the reader reports.
namespace kind {
inline constexpr std::string_view kShortRow = "Zeile mit zu wenig Feldern";
inline constexpr std::string_view kMissingId = "Zeile ohne ID";
inline constexpr std::string_view kDuplicateId = "doppelte ID";
inline constexpr std::string_view kUnknownStop = "unbekannte Haltestelle (stop_id)";
inline constexpr std::string_view kUnknownTrip = "unbekannte Fahrt (trip_id)";
inline constexpr std::string_view kUnknownRoute = "unbekannte Linie (route_id)";
inline constexpr std::string_view kBadTime = "ungültige Zeit";
inline constexpr std::string_view kBadSequence = "ungültige oder doppelte stop_sequence";
inline constexpr std::string_view kBadValue = "ungültige Angabe";
inline constexpr std::string_view kNotUtf8 = "Text ist kein UTF-8 (durch ? ersetzt)";
}  // namespace kind

}  // namespace reading
}  // namespace trivo::gtfs

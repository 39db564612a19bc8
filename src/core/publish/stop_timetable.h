#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/minutes.h"
#include "project/context.h"

namespace trivo {

// The departure posters of the stops ("Aushangfahrplan"): for one station, line and
// direction the departures in every day group, hour by hour.

// One departure: minutes of the service day (past 1440 after midnight) and the footnote
// it carries (an index into StopPoster::footnotes, or -1).
struct PosterDeparture {
  Minutes time;
  int footnote = -1;
};

// One day group's column: its display text and its departures in time order. A day
// group without any departure at the station keeps its (empty) column.
struct PosterColumn {
  std::string heading;
  std::vector<PosterDeparture> departures;
};

// "a" with "faehrt nur bis Rathaus".
struct PosterFootnote {
  std::string letter;
  std::string text;
};

// A station after this one and the usual minutes to get there (the most frequent travel
// time over all trips).
struct PosterNextStop {
  std::string station;
  std::int32_t minutes = 0;
};

struct StopPoster {
  std::string station;
  std::int32_t stationId = 0;  // its line in stations.csv, from 1
  std::string line;
  std::int32_t lineId = 0;  // its line in lines.csv, from 1
  int direction = 1;
  std::string towards;   // the line's last station in this direction
  std::string validity;  // "Gueltig vom ... bis ..." (Windows-1252); empty without a service period
  std::string projectName;
  std::string madeOn;  // the date of making, dd.mm.yyyy
  std::vector<PosterColumn> columns;
  std::vector<PosterNextStop> following;
  std::vector<PosterFootnote> footnotes;

  // The hours of the service day with at least one departure, ascending (24, 25, ...
  // after midnight).
  std::vector<std::int32_t> Hours() const;
};

// "05", the minute of a departure within its hour, with the footnote letter ("05a").
std::string DepartureText(const StopPoster& poster, const PosterDeparture& departure);
// The hour as printed: 0 to 23 (the hours after midnight as 0, 1, ...).
std::int32_t PrintedHour(std::int32_t serviceHour);

struct StopTimetableOptions {
  // Only these stations and lines (names as in stations.csv and lines.csv; letter case
  // counts only where it tells two names apart). Empty: all of them.
  std::vector<std::string> stations;
  std::vector<std::string> lines;
  // The date printed at the foot; empty: today.
  std::string madeOn;
};

// The service period of the project file's [gtfs] section (start_date, end_date as
// YYYYMMDD, YYYY-MM-DD or DD.MM.YYYY), as printed on the poster; empty when not set.
std::string ServicePeriodText(const Context& ctx);

// The posters of a project. Loading reads stations.csv, lines.csv, line_stations.csv,
// the project file's [gtfs] section and the timetable files of the chosen lines once,
// into a compact table of their trips; the posters are then made one at a time, so a
// book of thousands of pages never holds more than one of them.
class StopTimetableBook {
 public:
  // Fails with a German message for an input that cannot be read or a station or line
  // name that the project does not know. The files read are recorded as inputs of the
  // running job (ctx.files), so that no output replaces one of them.
  StopTimetableBook(Context& ctx, const StopTimetableOptions& options);
  ~StopTimetableBook();
  StopTimetableBook(StopTimetableBook&&) noexcept;
  StopTimetableBook& operator=(StopTimetableBook&&) noexcept;

  // What the timetables hold that no poster shows (error cells and the like), one text
  // each, in German.
  const std::vector<std::string>& Warnings() const;

  // The stations and lines that posters are made for, in the book's order.
  std::vector<std::string> StationNames() const;
  std::vector<std::string> LineNames() const;

  // Hands every poster to visit in the book's order: by station (collation order), then
  // line (collation order), then direction. Returns how many there were.
  std::size_t ForEachPoster(const std::function<void(const StopPoster&)>& visit) const;
  // The same for the given stations and lines only (empty: all).
  std::size_t ForEachPoster(const std::vector<std::string>& stations,
                            const std::vector<std::string>& lines,
                            const std::function<void(const StopPoster&)>& visit) const;
  // The first of these posters in the book's order, made without the others (the
  // window's preview); none when they have no departure.
  std::optional<StopPoster> FirstPoster(const std::vector<std::string>& stations,
                                        const std::vector<std::string>& lines) const;

 private:
  struct Data;
  std::unique_ptr<Data> data_;
};

}  // namespace trivo

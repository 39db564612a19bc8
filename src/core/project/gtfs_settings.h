#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/name_value_list.h"
#include "project/prj_params.h"

namespace trivo {
class IniFile;
class JobFiles;
}  // namespace trivo

namespace trivo::gtfs {

// The project file's section [gtfs]: what a feed says about itself beyond the timetables.
// Texts are Windows-1252, as everywhere in a project.
struct GtfsSettings {
  static constexpr std::string_view kSection = "gtfs";
  static constexpr int kDefaultRouteType = 3;  // bus

  std::string agencyName;
  std::string agencyUrl;
  std::string agencyTimezone = "Europe/Berlin";
  std::string agencyLang = "de";
  std::string startDate;  // YYYYMMDD, the service period; empty when not set
  std::string endDate;
  std::vector<std::string> holidays;  // YYYYMMDD
  std::string holidayDayGroup;        // empty: the default (see HolidayDayGroup)
  // route_type_<line>, in file order; looked up without regard to letter case.
  std::vector<std::pair<std::string, int>> routeTypes;

  // The route type of a line: its route_type_<line>, else kDefaultRouteType.
  int RouteType(std::string_view line) const;
  void SetRouteType(std::string_view line, int type);
  // holiday_daygroup when set, else the first day group whose days are Sunday only, else
  // empty.
  std::string HolidayDayGroup(const TPrjParams& params) const;
};

// Reads [gtfs]: missing keys keep their defaults; the holidays are the comma list items
// of "holidays"; a route type that is no integer text is left out.
GtfsSettings ReadGtfsSettings(const IniFile& projectFile);
// The keys of [gtfs] in the order written: agency_name, agency_url, agency_timezone,
// agency_lang, start_date, end_date, holidays, holiday_daygroup (when set), then
// route_type_<line> per line.
std::vector<std::pair<std::string, std::string>> GtfsSettingsKeys(const GtfsSettings& settings);
// Replaces the section [gtfs] of the project file by the settings, leaving every other
// section as it is.
void WriteGtfsSettings(IniFile& projectFile, const GtfsSettings& settings);

// Whether a text is a date YYYYMMDD that exists in the calendar.
bool IsGtfsDate(std::string_view text);

// WGS 84, decimal degrees.
struct Position {
  double latitude = 0;
  double longitude = 0;
  friend bool operator==(const Position&, const Position&) = default;
};

// station_positions.csv: one line "<station>=<latitude>,<longitude>" per station, read by
// the name=value rule (the first line of a name counts, letter case ignored) with the
// value split by the comma-list rule; the numbers are decimal with a point.
class StationPositions {
 public:
  static constexpr std::string_view kFileName = "station_positions.csv";

  // A missing file reads as empty; lines whose value is not two numbers within the
  // ranges of latitude and longitude are recorded in BadLines (from 1) and give no
  // position.
  static StationPositions Read(const std::filesystem::path& path, JobFiles* job = nullptr);
  static StationPositions Parse(std::string_view text);

  std::optional<Position> Find(std::string_view station) const;
  void Set(std::string_view station, Position position);
  const std::vector<std::size_t>& BadLines() const { return badLines_; }
  const std::vector<std::string>& Lines() const { return list_.Lines(); }
  // The file's text: the lines, each ended by CR LF.
  std::string Text() const;

 private:
  static StationPositions FromLines(std::vector<std::string> lines);
  NameValueList list_;
  std::vector<std::size_t> badLines_;
};

// "<latitude>,<longitude>" with up to seven decimals, no trailing zeros.
std::string PositionText(Position position);
// One coordinate as PositionText writes it.
std::string DecimalDegrees(double value);

// gtfs_ids.csv: the feed IDs of stations ("stop:<station>=<id>") and lines
// ("route:<line>=<id>"), read by the name=value rule, so that a feed exported again keeps
// them. Other lines stay as they are.
class GtfsIds {
 public:
  static constexpr std::string_view kFileName = "gtfs_ids.csv";

  static GtfsIds Read(const std::filesystem::path& path, JobFiles* job = nullptr);
  static GtfsIds Parse(std::string_view text);

  std::optional<std::string> Stop(std::string_view station) const;
  std::optional<std::string> Route(std::string_view line) const;
  void SetStop(std::string_view station, std::string_view id);
  void SetRoute(std::string_view line, std::string_view id);
  const std::vector<std::string>& Lines() const { return list_.Lines(); }
  std::string Text() const;

 private:
  std::optional<std::string> Find(std::string_view name) const;
  NameValueList list_;
};

}  // namespace trivo::gtfs

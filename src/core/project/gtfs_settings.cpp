#include "project/gtfs_settings.h"

#include <cerrno>
#include <cmath>
#include <cstdio>

#include "common/comma_list.h"
#include "common/error.h"
#include "common/ini_file.h"
#include "common/messages.h"
#include "common/name_value.h"
#include "common/strings.h"
#include "common/text_file.h"

namespace trivo::gtfs {

namespace {

constexpr std::string_view kRouteTypePrefix = "route_type_";
constexpr std::string_view kStopPrefix = "stop:";
constexpr std::string_view kRoutePrefix = "route:";

// The lines of a master-data file; a missing file has none.
std::vector<std::string> ReadOptionalLines(const std::filesystem::path& path, JobFiles* job) {
  FileRead file = TryReadFileBytes(path, job);
  if (file.read) return SplitTextLines(file.bytes);
  if (file.error == ENOENT) return {};
  const std::string name = path.filename().string();
  if (file.TooLarge()) throw Error(msg::FileTooLarge(name, file.size, kInputSizeLimit));
  throw Error(msg::CannotOpenFile(name, file.reason));
}

std::optional<double> Coordinate(const std::string& text, double limit) {
  if (!IsDecimalNumber(text)) return std::nullopt;
  const double value = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(value) || std::fabs(value) > limit) return std::nullopt;
  return value;
}

std::string Decimal(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.7f", value);
  std::string text = buffer;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

}  // namespace

int GtfsSettings::RouteType(std::string_view line) const {
  for (const auto& [name, type] : routeTypes) {
    if (SameText(name, line)) return type;
  }
  return kDefaultRouteType;
}

void GtfsSettings::SetRouteType(std::string_view line, int type) {
  for (auto& [name, known] : routeTypes) {
    if (SameText(name, line)) {
      known = type;
      return;
    }
  }
  routeTypes.emplace_back(std::string(line), type);
}

std::string GtfsSettings::HolidayDayGroup(const TPrjParams& params) const {
  if (!holidayDayGroup.empty()) return holidayDayGroup;
  for (const TDayGroupItem& group : params.DayGroups) {
    if (group.Days == Weekdays(1u << 6)) return group.Name;
  }
  return {};
}

GtfsSettings ReadGtfsSettings(const IniFile& file) {
  GtfsSettings settings;
  const std::string_view section = GtfsSettings::kSection;
  const auto read = [&](std::string_view key, std::string& value) {
    value = file.ReadString(section, key, value);
  };
  read("agency_name", settings.agencyName);
  read("agency_url", settings.agencyUrl);
  read("agency_timezone", settings.agencyTimezone);
  read("agency_lang", settings.agencyLang);
  read("start_date", settings.startDate);
  read("end_date", settings.endDate);
  read("holiday_daygroup", settings.holidayDayGroup);
  ForEachCommaItem(file.ReadString(section, "holidays", ""), [&](std::string&& item) {
    if (!item.empty()) settings.holidays.push_back(std::move(item));
  });
  for (const std::string& key : file.ReadSection(section)) {
    if (key.size() <= kRouteTypePrefix.size() ||
        !SameText(std::string_view(key).substr(0, kRouteTypePrefix.size()), kRouteTypePrefix)) {
      continue;
    }
    const std::string line = key.substr(kRouteTypePrefix.size());
    if (const auto type = TryStrToInt(file.ReadString(section, key, ""))) {
      // The first key of a line counts, as for every key of a profile file.
      bool known = false;
      for (const auto& entry : settings.routeTypes) known = known || SameText(entry.first, line);
      if (!known) settings.routeTypes.emplace_back(line, *type);
    }
  }
  return settings;
}

std::vector<std::pair<std::string, std::string>> GtfsSettingsKeys(const GtfsSettings& settings) {
  std::string holidays;
  for (const std::string& day : settings.holidays) {
    if (!holidays.empty()) holidays += ',';
    holidays += day;
  }
  std::vector<std::pair<std::string, std::string>> keys = {
      {"agency_name", settings.agencyName},
      {"agency_url", settings.agencyUrl},
      {"agency_timezone", settings.agencyTimezone},
      {"agency_lang", settings.agencyLang},
      {"start_date", settings.startDate},
      {"end_date", settings.endDate},
      {"holidays", holidays}};
  if (!settings.holidayDayGroup.empty()) {
    keys.emplace_back("holiday_daygroup", settings.holidayDayGroup);
  }
  for (const auto& [line, type] : settings.routeTypes) {
    keys.emplace_back(std::string(kRouteTypePrefix) + line, std::to_string(type));
  }
  return keys;
}

void WriteGtfsSettings(IniFile& projectFile, const GtfsSettings& settings) {
  projectFile.ReplaceSection(GtfsSettings::kSection, GtfsSettingsKeys(settings));
}

bool IsGtfsDate(std::string_view text) {
  if (text.size() != 8) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  const auto number = [&](std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const int year = number(0, 4);
  const int month = number(4, 2);
  const int day = number(6, 2);
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::string PositionText(Position position) {
  return Decimal(position.latitude) + "," + Decimal(position.longitude);
}

std::string DecimalDegrees(double value) {
  return Decimal(value);
}

StationPositions StationPositions::FromLines(std::vector<std::string> lines) {
  StationPositions positions;
  positions.list_ = NameValueList(std::move(lines));
  const std::vector<std::string>& kept = positions.list_.Lines();
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (kept[i].empty()) continue;
    if (kept[i].find('=') == std::string::npos || !positions.Find(NameOf(kept[i]))) {
      positions.badLines_.push_back(i + 1);
    }
  }
  return positions;
}

StationPositions StationPositions::Read(const std::filesystem::path& path, JobFiles* job) {
  return FromLines(ReadOptionalLines(path, job));
}

StationPositions StationPositions::Parse(std::string_view text) {
  return FromLines(SplitTextLines(text));
}

std::optional<Position> StationPositions::Find(std::string_view station) const {
  if (!list_.Contains(station)) return std::nullopt;
  const std::vector<std::string> items = SplitCommaList(list_.Value(station));
  if (items.size() != 2) return std::nullopt;
  const std::optional<double> latitude = Coordinate(items[0], 90);
  const std::optional<double> longitude = Coordinate(items[1], 180);
  if (!latitude || !longitude) return std::nullopt;
  return Position{*latitude, *longitude};
}

void StationPositions::Set(std::string_view station, Position position) {
  list_.SetValue(station, PositionText(position));
}

std::string StationPositions::Text() const {
  return JoinLinesCrLf(list_.Lines());
}

GtfsIds GtfsIds::Read(const std::filesystem::path& path, JobFiles* job) {
  GtfsIds ids;
  ids.list_ = NameValueList(ReadOptionalLines(path, job));
  return ids;
}

GtfsIds GtfsIds::Parse(std::string_view text) {
  GtfsIds ids;
  ids.list_ = NameValueList(SplitTextLines(text));
  return ids;
}

std::optional<std::string> GtfsIds::Find(std::string_view name) const {
  if (!list_.Contains(name)) return std::nullopt;
  const std::string id = Trim(list_.Value(name));
  if (id.empty()) return std::nullopt;
  return id;
}

std::optional<std::string> GtfsIds::Stop(std::string_view station) const {
  return Find(std::string(kStopPrefix) + std::string(station));
}

std::optional<std::string> GtfsIds::Route(std::string_view line) const {
  return Find(std::string(kRoutePrefix) + std::string(line));
}

void GtfsIds::SetStop(std::string_view station, std::string_view id) {
  list_.SetValue(std::string(kStopPrefix) + std::string(station), id);
}

void GtfsIds::SetRoute(std::string_view line, std::string_view id) {
  list_.SetValue(std::string(kRoutePrefix) + std::string(line), id);
}

std::string GtfsIds::Text() const {
  return JoinLinesCrLf(list_.Lines());
}

}  // namespace trivo::gtfs

#include "routing/travel_day.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "common/strings.h"
#include "project/gtfs_settings.h"

namespace trivo {

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::chrono::year_month_day> DateOf(std::string_view year, std::string_view month,
                                                  std::string_view day) {
  if (!AllDigits(year) || !AllDigits(month) || !AllDigits(day)) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(StrToInt(year)),
                                         std::chrono::month(static_cast<unsigned>(StrToInt(month))),
                                         std::chrono::day(static_cast<unsigned>(StrToInt(day)))};
  if (!date.ok()) return std::nullopt;
  return date;
}

// 0 for Monday ... 6 for Sunday, the bits of Weekdays.
std::size_t WeekdayBit(std::chrono::year_month_day date) {
  return (std::chrono::weekday(std::chrono::sys_days(date)).c_encoding() + 6) % 7;
}

std::chrono::year_month_day AddDays(std::chrono::year_month_day date, int days) {
  return std::chrono::year_month_day(std::chrono::sys_days(date) + std::chrono::days(days));
}

std::vector<bool> GroupsOfWeekday(const TPrjParams& params, std::size_t bit) {
  std::vector<bool> groups(params.DayGroups.size(), false);
  for (std::size_t g = 0; g < groups.size(); ++g) groups[g] = params.DayGroups[g].Days.test(bit);
  return groups;
}

std::optional<std::size_t> FindDayGroup(const TPrjParams& params, std::string_view name) {
  for (std::size_t g = 0; g < params.DayGroups.size(); ++g) {
    if (params.DayGroups[g].Name == name) return g;
  }
  for (std::size_t g = 0; g < params.DayGroups.size(); ++g) {
    if (SameText(params.DayGroups[g].Name, name)) return g;
  }
  return std::nullopt;
}

std::optional<std::size_t> HolidayGroup(const TPrjParams& params, const RoutingSettings& settings) {
  gtfs::GtfsSettings gtfs;
  gtfs.holidayDayGroup = settings.holidayDayGroup;
  const std::string name = gtfs.HolidayDayGroup(params);
  if (name.empty()) return std::nullopt;
  return FindDayGroup(params, name);
}

std::vector<bool> GroupsOfDate(const TPrjParams& params, const RoutingSettings& settings,
                               std::chrono::year_month_day date) {
  const bool holiday = std::find(settings.holidays.begin(), settings.holidays.end(), date) !=
                       settings.holidays.end();
  if (holiday) {
    if (const auto group = HolidayGroup(params, settings)) {
      std::vector<bool> groups(params.DayGroups.size(), false);
      groups[*group] = true;
      return groups;
    }
  }
  return GroupsOfWeekday(params, WeekdayBit(date));
}

}  // namespace

std::optional<std::chrono::year_month_day> ParseIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  return DateOf(text.substr(0, 4), text.substr(5, 2), text.substr(8, 2));
}

std::optional<std::chrono::year_month_day> ParseCompactDate(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  return DateOf(text.substr(0, 4), text.substr(4, 2), text.substr(6, 2));
}

std::string IsoDateText(std::chrono::year_month_day date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

std::chrono::year_month_day LocalToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::chrono::year_month_day{std::chrono::year(local.tm_year + 1900),
                                     std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
                                     std::chrono::day(static_cast<unsigned>(local.tm_mday))};
}

std::optional<Minutes> ParseClockTime(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view hours = text.substr(0, colon);
  const std::string_view minutes = text.substr(colon + 1);
  if (!AllDigits(hours) || hours.size() > 2 || !AllDigits(minutes) || minutes.size() != 2) {
    return std::nullopt;
  }
  const int h = StrToInt(hours);
  const int m = StrToInt(minutes);
  if (h > 23 || m > 59) return std::nullopt;
  return Minutes(h * 60 + m);
}

RoutingSettings ReadRoutingSettings(const IniFile& projectFile) {
  RoutingSettings settings;
  const std::int32_t transfer = projectFile.ReadInteger(kRoutingSection, kMinTransferKey, 2);
  if (transfer >= 0 && transfer <= 1440) settings.minTransfer = Minutes(transfer);
  const gtfs::GtfsSettings gtfs = gtfs::ReadGtfsSettings(projectFile);
  for (const std::string& item : gtfs.holidays) {
    if (const auto date = ParseCompactDate(item)) settings.holidays.push_back(*date);
  }
  settings.holidayDayGroup = gtfs.holidayDayGroup;
  return settings;
}

DaySelection SelectDate(const TPrjParams& params, const RoutingSettings& settings,
                        std::chrono::year_month_day date) {
  return DaySelection{.today = GroupsOfDate(params, settings, date),
                      .yesterday = GroupsOfDate(params, settings, AddDays(date, -1)),
                      .tomorrow = GroupsOfDate(params, settings, AddDays(date, 1))};
}

std::optional<DaySelection> SelectDayGroup(const TPrjParams& params, std::string_view name) {
  const auto group = FindDayGroup(params, name);
  if (!group) return std::nullopt;
  DaySelection day;
  day.today.assign(params.DayGroups.size(), false);
  day.today[*group] = true;
  day.yesterday = day.tomorrow = day.today;
  const Weekdays days = params.DayGroups[*group].Days;
  for (std::size_t bit = 0; bit < 7; ++bit) {
    if (!days.test(bit)) continue;
    day.yesterday = GroupsOfWeekday(params, (bit + 6) % 7);
    day.tomorrow = GroupsOfWeekday(params, (bit + 1) % 7);
    break;
  }
  return day;
}

}  // namespace trivo

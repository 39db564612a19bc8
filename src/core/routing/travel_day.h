#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ini_file.h"
#include "common/minutes.h"
#include "project/prj_params.h"
#include "routing/routing_timetable.h"

namespace trivo {

// "2026-03-17"; nullopt for anything else, a day that does not exist included.
std::optional<std::chrono::year_month_day> ParseIsoDate(std::string_view text);
// "20260317", the form of the project file's holiday list.
std::optional<std::chrono::year_month_day> ParseCompactDate(std::string_view text);
std::string IsoDateText(std::chrono::year_month_day date);
std::chrono::year_month_day LocalToday();

// "7:05" or "07:05", hours 0 to 23 and minutes 0 to 59; nullopt otherwise.
std::optional<Minutes> ParseClockTime(std::string_view text);

// The passenger search's settings of a project file: [routing] min_transfer_minutes and,
// shared with the GTFS export, [gtfs] holidays and holiday_daygroup.
struct RoutingSettings {
  Minutes minTransfer{2};
  std::vector<std::chrono::year_month_day> holidays;
  std::string holidayDayGroup;  // empty: the day group whose only day is Sunday
};

inline constexpr std::string_view kRoutingSection = "routing";
inline constexpr std::string_view kMinTransferKey = "min_transfer_minutes";

RoutingSettings ReadRoutingSettings(const IniFile& projectFile);

// The day groups that run on a date: those of its weekday, or on a holiday the holiday
// group alone; and the same for the days before and after it.
DaySelection SelectDate(const TPrjParams& params, const RoutingSettings& settings,
                        std::chrono::year_month_day date);

// One day group as the day of travel (its name exact, else ignoring letter case); the
// days either side are those around the group's first weekday. nullopt for an unknown name.
std::optional<DaySelection> SelectDayGroup(const TPrjParams& params, std::string_view name);

}  // namespace trivo

#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace trivo {

inline constexpr std::int32_t kDefaultMaxDriveMinutes = 720;

// Weekdays of a day group: bit 0 = Monday ... bit 6 = Sunday.
using Weekdays = std::bitset<7>;

// Names of the weekdays in the project file, index i naming bit i.
inline constexpr std::array<std::string_view, 7> DayNames = {
    "monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};

struct TDayGroupItem {
  std::string Name;
  std::string Text;
  Weekdays Days;
};

struct TPrjParams {
  std::string LastSave;
  std::vector<TDayGroupItem> DayGroups;
  std::int32_t MaxDriveMinutes = kDefaultMaxDriveMinutes;
};

// The "lastsave" form of a local time: day.month.year hours:minutes:seconds with
// two-digit fields and a four-digit year; at exactly midnight the date only.
std::string FormatLastSave(const std::tm& localTime);
std::string CurrentLastSave();

// "1" or "0" for each weekday from Monday to Sunday (Monday to Friday: "1111100").
std::string DaysAsDigits(Weekdays days);

}  // namespace trivo

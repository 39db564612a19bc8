#include "gtfs/service_days.h"

#include <array>
#include <chrono>
#include <vector>

#include "common/strings.h"

namespace trivo::gtfs {

namespace {

constexpr std::array<std::string_view, 7> kShort = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
constexpr std::array<std::string_view, 7> kLong = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                                   "Freitag", "Samstag",  "Sonntag"};

std::optional<int> Digits(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<Day> FromParts(std::string_view year, std::string_view month, std::string_view day) {
  const auto y = Digits(year);
  const auto m = Digits(month);
  const auto d = Digits(day);
  if (!y || !m || !d) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(*y),
                                         std::chrono::month(static_cast<unsigned>(*m)),
                                         std::chrono::day(static_cast<unsigned>(*d))};
  if (!date.ok()) return std::nullopt;
  return static_cast<Day>(std::chrono::sys_days(date).time_since_epoch().count());
}

std::chrono::year_month_day DateOf(Day day) {
  return std::chrono::year_month_day(std::chrono::sys_days(std::chrono::days(day)));
}

std::string TwoDigits(unsigned value) {
  std::string text = std::to_string(value);
  return value < 10 ? "0" + text : text;
}

// Runs of consecutive days, Monday first: pairs (first day, last day).
std::vector<std::pair<int, int>> Runs(Weekdays days) {
  std::vector<std::pair<int, int>> runs;
  for (int day = 0; day < 7; ++day) {
    if (!days.test(static_cast<std::size_t>(day))) continue;
    if (!runs.empty() && runs.back().second == day - 1) {
      runs.back().second = day;
    } else {
      runs.emplace_back(day, day);
    }
  }
  return runs;
}

}  // namespace

std::optional<Day> ParseGtfsDate(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  return FromParts(text.substr(0, 4), text.substr(4, 2), text.substr(6, 2));
}

std::optional<Day> ParseIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  return FromParts(text.substr(0, 4), text.substr(5, 2), text.substr(8, 2));
}

std::string GtfsDateText(Day day) {
  const auto date = DateOf(day);
  return std::to_string(static_cast<int>(date.year())) +
         TwoDigits(static_cast<unsigned>(date.month())) +
         TwoDigits(static_cast<unsigned>(date.day()));
}

std::string IsoDateText(Day day) {
  const std::string text = GtfsDateText(day);
  return text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2);
}

int WeekdayOf(Day day) {
  // 1970-01-01 was a Thursday.
  return static_cast<int>(((static_cast<std::int64_t>(day) % 7 + 7 + 3) % 7));
}

std::optional<std::int32_t> ParseGtfsTime(std::string_view text) {
  const std::string trimmed = Trim(text);
  const std::size_t first = trimmed.find(':');
  if (first == std::string::npos || first == 0 || first > 3) return std::nullopt;
  if (trimmed.size() != first + 6 || trimmed[first + 3] != ':') return std::nullopt;
  const auto hours = Digits(std::string_view(trimmed).substr(0, first));
  const auto minutes = Digits(std::string_view(trimmed).substr(first + 1, 2));
  const auto seconds = Digits(std::string_view(trimmed).substr(first + 4, 2));
  if (!hours || !minutes || !seconds || *minutes > 59 || *seconds > 59) return std::nullopt;
  return *hours * 3600 + *minutes * 60 + *seconds;
}

Weekdays ShiftWeekdays(Weekdays days, int byDays) {
  const int shift = ((byDays % 7) + 7) % 7;
  Weekdays shifted;
  for (int day = 0; day < 7; ++day) {
    if (days.test(static_cast<std::size_t>(day))) {
      shifted.set(static_cast<std::size_t>((day + shift) % 7));
    }
  }
  return shifted;
}

std::string DayGroupName(Weekdays days) {
  std::string name;
  for (const auto& [first, last] : Runs(days)) {
    const auto add = [&](int day) {
      if (!name.empty()) name += '+';
      name += kShort[static_cast<std::size_t>(day)];
    };
    if (last - first >= 2) {
      add(first);
      name += '-';
      name += kShort[static_cast<std::size_t>(last)];
    } else {
      for (int day = first; day <= last; ++day) add(day);
    }
  }
  return name;
}

std::string DayGroupText(Weekdays days) {
  if (days.all()) return "täglich";
  std::vector<std::string> parts;
  for (const auto& [first, last] : Runs(days)) {
    if (last - first >= 2) {
      parts.push_back(std::string(kLong[static_cast<std::size_t>(first)]) + " bis " +
                      std::string(kLong[static_cast<std::size_t>(last)]));
    } else {
      for (int day = first; day <= last; ++day) {
        parts.emplace_back(kLong[static_cast<std::size_t>(day)]);
      }
    }
  }
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += i + 1 == parts.size() ? " und " : ", ";
    text += parts[i];
  }
  return text;
}

}  // namespace trivo::gtfs

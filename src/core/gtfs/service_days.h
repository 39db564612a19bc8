#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "project/prj_params.h"

namespace trivo::gtfs {

// A calendar day as days since 1970-01-01.
using Day = std::int32_t;

// A date YYYYMMDD (GTFS) or YYYY-MM-DD (the command line) that exists; nothing else.
std::optional<Day> ParseGtfsDate(std::string_view text);
std::optional<Day> ParseIsoDate(std::string_view text);
std::string GtfsDateText(Day day);  // YYYYMMDD
std::string IsoDateText(Day day);   // YYYY-MM-DD
// 0 = Monday ... 6 = Sunday, as the bits of a day group's days.
int WeekdayOf(Day day);

// A GTFS time H:MM:SS (hours of one digit or more, minutes and seconds of two digits,
// blanks around allowed) in seconds after the service day's midnight; nothing for "7:5",
// "99:99:99" or an empty text.
std::optional<std::int32_t> ParseGtfsTime(std::string_view text);

// The days moved forward by whole days: a Monday-to-Friday service shifted by one runs
// Tuesday to Saturday, and Sunday goes to Monday.
Weekdays ShiftWeekdays(Weekdays days, int byDays);

// The name a German timetable gives a set of weekdays: runs of three or more days as
// "Mo-Fr", shorter ones day by day, joined by "+": "Mo-Fr", "Sa", "So", "Mo-Do", "Sa+So",
// "Mo+Mi+Fr", "Mo-Sa"; every day is "Mo-So". No blank, comma or underscore.
std::string DayGroupName(Weekdays days);
// The same in full German words: "Montag bis Freitag", "Samstag", "Samstag und Sonntag",
// "Montag, Mittwoch und Freitag", every day "täglich".
std::string DayGroupText(Weekdays days);

}  // namespace trivo::gtfs

#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "routing/raptor.h"
#include "routing/routing_timetable.h"

namespace trivo {

// A journey's leg as a passenger reads it: the line, its direction and where it goes.
struct LegDescription {
  std::string line;
  int direction = 1;
  std::string headsign;  // the trip's last stop
  std::string from;
  std::string to;
  Minutes departure;
  Minutes arrival;
};

LegDescription DescribeLeg(const DayTimetable& timetable, const JourneyLeg& leg);

// "33 Min, 1 Umstieg" and the like.
std::string TransfersText(int transfers);

// A journey as a block of text lines (Windows-1252):
//   Verbindung 1: ab 07:12 Weidenhof, an 07:45 Südfriedhof, 33 Min, 1 Umstieg
//     07:12 Weidenhof  ->  T2 Richtung Ostpark  ->  07:20 Marktplatz
//     Umstieg 5 Min
//     ...
std::vector<std::string> JourneyTextLines(const DayTimetable& timetable, const Journey& journey,
                                          int number);

// The UTF-8 form of a Windows-1252 text.
std::string Utf8FromCp1252(std::string_view text);
// A JSON string literal (quotes included) of a Windows-1252 text.
std::string JsonString(std::string_view cp1252Text);

// {"from":..,"to":..,"date":..,"journeys":[{"departure","arrival","transfers","legs":[..]}]}
// in UTF-8, on one line.
std::string JourneysJson(const DayTimetable& timetable, std::string_view from, std::string_view to,
                         std::string_view date, const std::vector<Journey>& journeys);

}  // namespace trivo

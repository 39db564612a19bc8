#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "routing/routing_timetable.h"

namespace trivo {

// A station named by a passenger: the station of that exact name; else the one station
// whose name matches ignoring letter case and accents; else none (candidates empty: not
// found; several candidates: not unique).
struct StationMatch {
  StationId station;
  std::vector<std::string> candidates;
};

StationMatch MatchStation(const ProjectTrips& trips, std::string_view cp1252Name);

// Whether two Windows-1252 texts are equal when letter case and accents are ignored.
bool SameIgnoringCaseAndAccents(std::string_view a, std::string_view b);

// The station names that begin with the prefix, letter case and accents ignored, in
// collation order: the completion list of the search window.
std::vector<std::string> StationsStartingWith(const ProjectTrips& trips, std::string_view prefix);

}  // namespace trivo

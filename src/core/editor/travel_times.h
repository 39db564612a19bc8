#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/no_distance.h"

namespace trivo {

// The shortest time over all trips that run from one row to a later, not neighbouring
// row with no time in between (grid rows).
struct SkipEntry {
  int fromRow = 0;
  int toRow = 0;
  int minutes = 0;
};

// What saving measures from the trips of a timetable, for its entry in distances.csv.
struct TravelTimes {
  // Entry i: the shortest time from data row i to data row i + 1 (counted from 0), or
  // NoDistance.
  std::vector<int> ConsecutiveMinutes;
  // In order of first finding.
  std::vector<SkipEntry> SkipMinutes;
  // Stations where trips begin, stop before the end of the line or skip stops, in order
  // of first finding, each once (letter case ignored).
  std::vector<std::string> NewCrossStations;

  // Adds the minutes to the stretch from one row to another, keeping the smaller value.
  void AddSkip(int fromRow, int toRow, int minutes);
  void AddNewCross(const std::string& station);
};

// The keys of a timetable's section in distances.csv, in the order written: distance1
// always, distance2 when there are skips, newcross when there are such stations.
// stations holds the station name of every data row, top to bottom.
std::vector<std::pair<std::string, std::string>> DistanceKeys(
    const TravelTimes& times, const std::vector<std::string>& stations, int firstDataRow);

// "<line>_<direction>_<day group>", the section of a timetable in distances.csv.
std::string DistanceSectionName(const std::string& lineName, int direction,
                                const std::string& dayGroupName);

}  // namespace trivo

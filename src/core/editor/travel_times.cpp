#include "editor/travel_times.h"

#include <algorithm>

#include "common/strings.h"

namespace trivo {

void TravelTimes::AddSkip(int fromRow, int toRow, int minutes) {
  for (SkipEntry& entry : SkipMinutes) {
    if (entry.fromRow == fromRow && entry.toRow == toRow) {
      entry.minutes = std::min(entry.minutes, minutes);
      return;
    }
  }
  SkipMinutes.push_back({fromRow, toRow, minutes});
}

void TravelTimes::AddNewCross(const std::string& station) {
  for (const std::string& known : NewCrossStations) {
    if (SameText(known, station)) return;
  }
  NewCrossStations.push_back(station);
}

// A station name in distances.csv is a comma list item in double quotes.
std::vector<std::pair<std::string, std::string>> DistanceKeys(
    const TravelTimes& times, const std::vector<std::string>& stations, int firstDataRow) {
  const auto station = [&](int row) {
    return DoubleQuoted(stations[static_cast<std::size_t>(row - firstDataRow)]);
  };
  std::vector<std::pair<std::string, std::string>> keys;
  std::string chain = stations.empty() ? std::string() : DoubleQuoted(stations.front());
  for (std::size_t i = 0; i + 1 < stations.size(); ++i) {
    chain += ',';
    chain += std::to_string(times.ConsecutiveMinutes[i]);
    chain += ',';
    chain += DoubleQuoted(stations[i + 1]);
  }
  keys.emplace_back("distance1", std::move(chain));

  if (!times.SkipMinutes.empty()) {
    std::string skips;
    for (const SkipEntry& entry : times.SkipMinutes) {
      if (!skips.empty()) skips += ',';
      skips += station(entry.fromRow);
      skips += ',';
      skips += station(entry.toRow);
      skips += ',';
      skips += std::to_string(entry.minutes);
    }
    keys.emplace_back("distance2", std::move(skips));
  }
  if (!times.NewCrossStations.empty()) {
    std::string names;
    for (const std::string& name : times.NewCrossStations) {
      if (!names.empty()) names += ',';
      names += DoubleQuoted(name);
    }
    keys.emplace_back("newcross", std::move(names));
  }
  return keys;
}

std::string DistanceSectionName(const std::string& lineName, int direction,
                                const std::string& dayGroupName) {
  return lineName + "_" + std::to_string(direction) + "_" + dayGroupName;
}

}  // namespace trivo

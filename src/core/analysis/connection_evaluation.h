#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "analysis/connection_search.h"
#include "analysis/network.h"
#include "common/ini_file.h"
#include "common/minutes.h"
#include "project/context.h"

namespace trivo {

// A row of a timetable section split at commas, with the line put in front: item 0 the
// line, item 1 the station, then one cell per trip.
using TimetableRow = std::vector<std::string>;

// One trip of a leg, in whole minutes after the start day's midnight.
struct TripTimes {
  Minutes departure;
  Minutes arrival;

  friend bool operator==(const TripTimes&, const TripTimes&) = default;
};

// One leg of a route with its usable trips in timetable order.
struct P2PContainer {
  std::string line;
  std::string from;
  std::string to;
  std::vector<TripTimes> trips;
};

// One entry of the top list.
struct DetailConnectionItem {
  std::string pathText;  // the legs with their times, as printed
  Minutes departureMinute;
  Minutes totalMinutes;  // from the start time to the arrival at the destination
};

// The time window after the start time in which trips are collected.
inline constexpr Minutes SearchWindowMinutes{180};

// "07:05:00" for 425 minutes; taken modulo 24 hours.
std::string ClockText(Minutes time);

// Collects the trips of every pair of rows (boarding row, leaving row) that fit the
// window of SearchWindowMinutes after startMinutes, expanding interval cells into single
// trips. The first trip of a leg moves the window's start to its arrival, for the rest of
// that leg and for the following legs; the window's end stays. Traces to mZeiten.
std::vector<P2PContainer> CollectTrips(const std::vector<TimetableRow>& rowPairs,
                                       Minutes startMinutes, std::vector<std::string>& mZeiten);

// Ranks every combination of one trip per leg whose transfers leave at least
// minTransferMinutes (minutes of the day) after the arrival before, by the minutes from
// startMinutes to the final arrival: a new entry goes after the entries with the same
// total, and the list keeps the capacity best. Combinations are taken in odometer order
// (the last leg turning fastest); those that cannot enter the list are passed over.
void RankCombinations(const std::vector<P2PContainer>& legs, Minutes startMinutes,
                      Minutes minTransferMinutes, std::size_t capacity,
                      std::vector<DetailConnectionItem>& TopConnections);

// Turns the connections of one query into trips from the timetables ("MO-FR" sections)
// and ranks them into the query's top list.
class ConnectionEvaluator {
 public:
  struct Settings {
    Minutes startMinutes;
    std::size_t MaxTopConnections;
    Minutes MinTransferMinutes;
  };

  ConnectionEvaluator(const Context& ctx, const Network& network, Settings settings,
                      std::vector<std::string>& mZeiten,
                      std::vector<DetailConnectionItem>& TopConnections);

  // Traces the route, reads its legs' rows, collects and ranks the trips and prints the
  // top list. Stops after the leg headers when a leg has no timetable section, and
  // before ranking when a leg has no trip.
  void EvaluateConnection(const ConnectionCandidate& connection);

 private:
  bool ReadRowPairs(const std::vector<const TreeNode*>& route, std::vector<TimetableRow>& rowPairs);
  // The leg's timetable file, read once per query; null for a line without one.
  const IniFile* TimetableFile(const std::string& line);

  const Context& ctx_;
  const Network& network_;
  Settings settings_;
  std::vector<std::string>& mZeiten_;
  std::vector<DetailConnectionItem>& top_;
  std::map<std::string, IniFile> files_;
};

}  // namespace trivo

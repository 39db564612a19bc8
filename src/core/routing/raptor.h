#pragma once

#include <cstdint>
#include <vector>

#include "common/minutes.h"
#include "routing/routing_timetable.h"

namespace trivo {

// The most trips a journey may use.
inline constexpr int kMaxTrips = 8;

struct JourneyLeg {
  TripId trip;
  std::uint32_t boardPosition = 0;  // stop positions on the trip's route
  std::uint32_t alightPosition = 0;
  StationId from;
  StationId to;
  Minutes departure;
  Minutes arrival;
};

struct Journey {
  Minutes departure;
  Minutes arrival;
  std::vector<JourneyLeg> legs;

  int Transfers() const { return static_cast<int>(legs.size()) - 1; }
};

struct SearchOptions {
  Minutes transfer{2};  // the least time between arriving and leaving again at a station
};

// The round-based search (round k finds the earliest arrival at every station with at
// most k trips). One object serves many queries on the same day timetable.
class RaptorSearch {
 public:
  explicit RaptorSearch(const DayTimetable& timetable);

  // The Pareto set over (arrival, transfers) for leaving `from` at `at` or later: for each
  // number of trips the earliest arrival, when it is earlier than with fewer trips. Sorted
  // by transfers. Each journey leaves as the search found it, not necessarily as late as
  // possible.
  std::vector<Journey> EarliestArrival(StationId from, StationId to, Minutes at,
                                       const SearchOptions& options);

  // The list of next connections: every journey leaving within [begin, end] that no
  // journey leaving at begin or later beats on departure (later), arrival (earlier) and
  // transfers (fewer). Sorted by departure.
  std::vector<Journey> Range(StationId from, StationId to, Minutes begin, Minutes end,
                             const SearchOptions& options);

  // The journeys of EarliestArrival, each leaving as late as still reaches its arrival
  // with its number of trips, together with the range journeys leaving within window:
  // what a planner shows for a question "from A at that time". Sorted by departure.
  std::vector<Journey> Connections(StationId from, StationId to, Minutes at, Minutes window,
                                   const SearchOptions& options);

 private:
  struct Parent {
    TripId trip;
    std::uint32_t boardPosition = 0;
    std::uint32_t alightPosition = 0;
  };
  void Reset();
  // One run from `from` at `departure`, keeping the labels of earlier runs (which left
  // later). Returns the rounds whose arrival at `to` improved.
  std::vector<int> Run(StationId from, StationId to, Minutes departure,
                       const SearchOptions& options);
  Journey Rebuild(StationId from, StationId to, int round) const;
  Minutes& Label(int round, StationId station) {
    return labels_[static_cast<std::size_t>(round) * stations_ + station.Slot()];
  }
  Minutes Label(int round, StationId station) const {
    return labels_[static_cast<std::size_t>(round) * stations_ + station.Slot()];
  }
  Parent& ParentOf(int round, StationId station) {
    return parents_[static_cast<std::size_t>(round) * stations_ + station.Slot()];
  }

  const DayTimetable& timetable_;
  std::size_t stations_;
  std::vector<Minutes> labels_;  // (kMaxTrips + 1) rounds of arrivals by trip
  std::vector<Parent> parents_;
  std::vector<StationId> marked_;
  std::vector<StationId> nextMarked_;
  std::vector<std::uint8_t> isMarked_;
  std::vector<std::uint32_t> routeStart_;  // per route: first stop to scan, or none
  std::vector<RouteId> routesToScan_;
};

// Keeps the journeys no other journey beats on departure (later), arrival (earlier) and
// transfers (fewer), one of each equal kind; sorted by departure, then arrival.
std::vector<Journey> ParetoJourneys(std::vector<Journey> journeys);

}  // namespace trivo

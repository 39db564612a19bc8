#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/minutes.h"
#include "common/strong_index.h"
#include "project/context.h"

namespace trivo {

// The passenger search's view of a project: every trip of every line, direction and day
// group, read once from the .ttd files and kept per stop pattern.

using StationId = StrongIndex<struct RoutingStationTag>;
using RouteId = StrongIndex<struct RoutingRouteTag>;
using TripId = StrongIndex<struct RoutingTripTag>;
using StopEventId = StrongIndex<struct RoutingStopEventTag>;

struct StopEvent {
  Minutes arrival;
  Minutes departure;
};

// The trips of one line, direction and day group that stop at the same stations in the
// same order. Times are in minutes of the service day, rolled past 1440 after midnight.
struct ServicePattern {
  std::string line;
  int direction = 1;
  std::size_t dayGroup = 0;  // into the project's day groups
  std::vector<StationId> stations;
  // stations.size() events per trip, trip after trip, in the order read.
  std::vector<StopEvent> events;

  std::size_t TripCount() const { return stations.empty() ? 0 : events.size() / stations.size(); }
  const StopEvent* Trip(std::size_t trip) const { return events.data() + trip * stations.size(); }
};

struct ProjectTrips {
  IndexedVector<StationId, std::string> stationNames;  // stations.csv first, then the rest
  std::vector<std::string> dayGroupNames;
  std::vector<ServicePattern> patterns;
  // Trip columns left out for an error cell, an inexact time or a time going back.
  std::size_t leftOutTrips = 0;
  std::vector<std::string> warnings;  // one text per trip column left out
  std::unordered_map<std::string, StationId> stationIds;

  StationId FindStation(std::string_view exactName) const;
};

// Reads the project's lines (lines.csv), their .ttd files and every section of the day
// groups in ctx.PrjParams, interval columns expanded.
ProjectTrips ReadProjectTrips(const Context& ctx);

// Which day groups' trips run on the day of travel, and on the days either side of it:
// the day before's trips that run past midnight serve the morning, and the next day's
// trips serve a late search, both shifted by a day.
struct DaySelection {
  std::vector<bool> today;
  std::vector<bool> yesterday;
  std::vector<bool> tomorrow;
  friend bool operator==(const DaySelection&, const DaySelection&) = default;
};

// The compact timetable of one day of travel, as the round-based search reads it. A route
// is a stop pattern whose trips never overtake one another: its trips sorted by departure
// are sorted at every stop.
class DayTimetable {
 public:
  struct Route {
    std::uint32_t pattern = 0;  // into ProjectTrips::patterns
    std::uint32_t firstStop = 0;
    std::uint32_t stopCount = 0;
    TripId firstTrip;
    std::uint32_t tripCount = 0;
  };
  struct Trip {
    RouteId route;
    StopEventId firstEvent;
  };
  struct StationRoute {
    RouteId route;
    std::uint32_t position = 0;
  };

  DayTimetable(const ProjectTrips& trips, const DaySelection& day);

  const ProjectTrips& Project() const { return *project_; }
  std::size_t StationCount() const { return project_->stationNames.size(); }
  const IndexedVector<RouteId, Route>& Routes() const { return routes_; }
  const Trip& TripAt(TripId trip) const { return trips_[trip]; }
  StationId StopAt(const Route& route, std::uint32_t position) const {
    return routeStops_[route.firstStop + position];
  }
  const StopEvent& Event(TripId trip, std::uint32_t position) const {
    return events_[StopEventId(trips_[trip].firstEvent.Get() + position)];
  }
  // The routes that stop at a station, each with the position of the stop.
  std::span<const StationRoute> RoutesAt(StationId station) const;
  // Every departure from the station, ascending, duplicates removed.
  std::vector<Minutes> DeparturesAt(StationId station, Minutes from, Minutes to) const;

  std::size_t TripCount() const { return trips_.size(); }
  std::size_t EventCount() const { return events_.size(); }
  std::size_t MemoryBytes() const;

 private:
  const ProjectTrips* project_;
  IndexedVector<RouteId, Route> routes_;
  std::vector<StationId> routeStops_;
  IndexedVector<TripId, Trip> trips_;
  IndexedVector<StopEventId, StopEvent> events_;
  std::vector<std::uint32_t> stationRouteStart_;  // StationCount() + 1 offsets
  std::vector<StationRoute> stationRoutes_;
};

}  // namespace trivo

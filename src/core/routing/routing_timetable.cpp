#include "routing/routing_timetable.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "common/ini_file.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "convert/timetable_trips.h"
#include "convert/ttd_file.h"

namespace trivo {

namespace {

std::vector<std::string> NamesOfFile(const Context& ctx, std::string_view file) {
  std::vector<std::string> names;
  const FileRead read = TryReadFileBytes(ctx.ProjectFile(file));
  for (const std::string& line : SplitTextLines(read.bytes)) {
    std::string name = Trim(line);
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

bool LeavesTripOut(TripProblemKind kind) {
  return kind == TripProblemKind::ErrorCell || kind == TripProblemKind::InexactTime ||
         kind == TripProblemKind::TimeGoesBack;
}

class ProjectReader {
 public:
  explicit ProjectReader(ProjectTrips& trips) : trips_(trips) {}

  StationId Station(std::string_view name) {
    const auto found = ids_.find(std::string(name));
    if (found != ids_.end()) return found->second;
    const StationId id = trips_.stationNames.push_back(std::string(name));
    ids_.emplace(std::string(name), id);
    return id;
  }

  void ReadSection(const IniFile& file, const std::string& line, int direction,
                   std::size_t dayGroup, const std::string& sectionName) {
    const TimetableSection section = ReadTimetableSection(file, sectionName);
    if (section.rows.empty()) return;
    const SectionTrips read = ReadSectionTrips(section, {.expandIntervals = true});
    std::set<int> leftOut;
    for (const TripProblem& problem : read.problems) {
      if (LeavesTripOut(problem.kind)) leftOut.insert(problem.column);
    }
    for (const int column : leftOut) {
      trips_.warnings.push_back(file.Path().filename().string() + " [" + sectionName + "]: Fahrt " +
                                std::to_string(column) + " ausgelassen (ungültige Zelle)");
    }
    trips_.leftOutTrips += leftOut.size();
    for (const SectionTrip& trip : read.trips) {
      if (leftOut.contains(trip.column) || trip.stops.size() < 2) continue;
      std::vector<StationId> stations;
      stations.reserve(trip.stops.size());
      for (const StopTime& stop : trip.stops)
        stations.push_back(Station(read.stops[stop.stop].station));
      auto key = std::make_tuple(line, direction, dayGroup, stations);
      auto [at, added] = patternIndex_.try_emplace(std::move(key), trips_.patterns.size());
      if (added) {
        trips_.patterns.push_back(ServicePattern{.line = line,
                                                 .direction = direction,
                                                 .dayGroup = dayGroup,
                                                 .stations = std::move(stations),
                                                 .events = {}});
      }
      ServicePattern& pattern = trips_.patterns[at->second];
      for (const StopTime& stop : trip.stops) {
        pattern.events.push_back(StopEvent{stop.arrival, stop.departure});
      }
    }
  }

  std::unordered_map<std::string, StationId>&& TakeIds() { return std::move(ids_); }

 private:
  ProjectTrips& trips_;
  std::unordered_map<std::string, StationId> ids_;
  std::map<std::tuple<std::string, int, std::size_t, std::vector<StationId>>, std::size_t>
      patternIndex_;
};

// One trip of a pattern as it runs on the day of travel.
struct DayTrip {
  const StopEvent* events;
  Minutes shift;
  Minutes At(std::size_t stop, bool departure) const {
    return (departure ? events[stop].departure : events[stop].arrival) + shift;
  }
};

bool NeverAhead(const DayTrip& earlier, const DayTrip& later, std::size_t stops) {
  for (std::size_t stop = 0; stop < stops; ++stop) {
    if (earlier.At(stop, false) > later.At(stop, false)) return false;
    if (earlier.At(stop, true) > later.At(stop, true)) return false;
  }
  return true;
}

}  // namespace

StationId ProjectTrips::FindStation(std::string_view exactName) const {
  const auto found = stationIds.find(std::string(exactName));
  return found == stationIds.end() ? StationId::Invalid() : found->second;
}

ProjectTrips ReadProjectTrips(const Context& ctx) {
  ProjectTrips trips;
  ProjectReader reader(trips);
  for (const std::string& station : NamesOfFile(ctx, "stations.csv")) reader.Station(station);
  for (const TDayGroupItem& group : ctx.PrjParams.DayGroups)
    trips.dayGroupNames.push_back(group.Name);
  std::set<std::string> seen;
  for (const std::string& line : NamesOfFile(ctx, "lines.csv")) {
    if (!seen.insert(line).second) continue;
    const auto path = TimetableFilePath(ctx, line);
    if (!path || !FileExists(*path)) continue;
    const IniFile file(*path);
    for (std::size_t group = 0; group < trips.dayGroupNames.size(); ++group) {
      for (int direction = 1; direction <= 2; ++direction) {
        reader.ReadSection(file, line, direction, group,
                           TimetableSectionName(direction, trips.dayGroupNames[group]));
      }
    }
  }
  trips.stationIds = reader.TakeIds();
  return trips;
}

DayTimetable::DayTimetable(const ProjectTrips& trips, const DaySelection& day) : project_(&trips) {
  const auto runs = [](const std::vector<bool>& groups, std::size_t group) {
    return group < groups.size() && groups[group];
  };
  std::vector<DayTrip> dayTrips;
  std::vector<std::vector<DayTrip>> chains;
  for (std::uint32_t p = 0; p < trips.patterns.size(); ++p) {
    const ServicePattern& pattern = trips.patterns[p];
    const std::size_t stops = pattern.stations.size();
    dayTrips.clear();
    for (std::size_t t = 0; t < pattern.TripCount(); ++t) {
      const StopEvent* events = pattern.Trip(t);
      if (runs(day.today, pattern.dayGroup)) dayTrips.push_back({events, Minutes(0)});
      if (runs(day.yesterday, pattern.dayGroup) && events[stops - 1].arrival >= kOneDay) {
        dayTrips.push_back({events, Minutes(0) - kOneDay});
      }
      if (runs(day.tomorrow, pattern.dayGroup)) dayTrips.push_back({events, kOneDay});
    }
    if (dayTrips.empty()) continue;
    std::sort(dayTrips.begin(), dayTrips.end(), [stops](const DayTrip& a, const DayTrip& b) {
      for (std::size_t stop = 0; stop < stops; ++stop) {
        if (a.At(stop, true) != b.At(stop, true)) return a.At(stop, true) < b.At(stop, true);
        if (a.At(stop, false) != b.At(stop, false)) return a.At(stop, false) < b.At(stop, false);
      }
      return false;
    });
    // Trips that overtake one another go to routes of their own.
    chains.clear();
    for (const DayTrip& trip : dayTrips) {
      auto chain = std::find_if(chains.begin(), chains.end(), [&](const std::vector<DayTrip>& c) {
        return NeverAhead(c.back(), trip, stops);
      });
      if (chain == chains.end()) {
        chains.emplace_back();
        chain = chains.end() - 1;
      }
      chain->push_back(trip);
    }
    for (const std::vector<DayTrip>& chain : chains) {
      Route route;
      route.pattern = p;
      route.firstStop = static_cast<std::uint32_t>(routeStops_.size());
      route.stopCount = static_cast<std::uint32_t>(stops);
      route.firstTrip = TripId(trips_.size());
      route.tripCount = static_cast<std::uint32_t>(chain.size());
      const RouteId routeId = routes_.push_back(route);
      routeStops_.insert(routeStops_.end(), pattern.stations.begin(), pattern.stations.end());
      for (const DayTrip& trip : chain) {
        trips_.push_back(Trip{routeId, StopEventId(events_.size())});
        for (std::size_t stop = 0; stop < stops; ++stop) {
          events_.push_back(StopEvent{trip.At(stop, false), trip.At(stop, true)});
        }
      }
    }
  }
  // The routes at each station.
  const std::size_t stations = StationCount();
  stationRouteStart_.assign(stations + 1, 0);
  for (const StationId station : routeStops_) ++stationRouteStart_[station.Slot() + 1];
  for (std::size_t s = 0; s < stations; ++s) stationRouteStart_[s + 1] += stationRouteStart_[s];
  stationRoutes_.resize(routeStops_.size());
  std::vector<std::uint32_t> next(stationRouteStart_.begin(), stationRouteStart_.end() - 1);
  for (RouteId r(0); r.Slot() < routes_.size(); ++r) {
    const Route& route = routes_[r];
    for (std::uint32_t position = 0; position < route.stopCount; ++position) {
      stationRoutes_[next[StopAt(route, position).Slot()]++] = StationRoute{r, position};
    }
  }
}

std::span<const DayTimetable::StationRoute> DayTimetable::RoutesAt(StationId station) const {
  return {stationRoutes_.data() + stationRouteStart_[station.Slot()],
          stationRoutes_.data() + stationRouteStart_[station.Slot() + 1]};
}

std::vector<Minutes> DayTimetable::DeparturesAt(StationId station, Minutes from, Minutes to) const {
  std::vector<Minutes> departures;
  for (const StationRoute& at : RoutesAt(station)) {
    const Route& route = routes_[at.route];
    if (at.position + 1 >= route.stopCount) continue;
    for (std::uint32_t t = 0; t < route.tripCount; ++t) {
      const Minutes departure = Event(TripId(route.firstTrip.Get() + t), at.position).departure;
      if (departure >= from && departure <= to) departures.push_back(departure);
    }
  }
  std::sort(departures.begin(), departures.end());
  departures.erase(std::unique(departures.begin(), departures.end()), departures.end());
  return departures;
}

std::size_t DayTimetable::MemoryBytes() const {
  return sizeof(*this) + routes_.Items().capacity() * sizeof(Route) +
         routeStops_.capacity() * sizeof(StationId) + trips_.Items().capacity() * sizeof(Trip) +
         events_.Items().capacity() * sizeof(StopEvent) +
         stationRouteStart_.capacity() * sizeof(std::uint32_t) +
         stationRoutes_.capacity() * sizeof(StationRoute);
}

}  // namespace trivo

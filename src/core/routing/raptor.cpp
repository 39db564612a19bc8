#include "routing/raptor.h"

#include <algorithm>
#include <limits>

namespace trivo {

namespace {

constexpr Minutes kNever{std::numeric_limits<std::int32_t>::max() / 2};
constexpr std::uint32_t kNoStart = std::numeric_limits<std::uint32_t>::max();

}  // namespace

RaptorSearch::RaptorSearch(const DayTimetable& timetable)
    : timetable_(timetable),
      stations_(timetable.StationCount()),
      labels_((kMaxTrips + 1) * stations_, kNever),
      parents_((kMaxTrips + 1) * stations_),
      isMarked_(stations_, 0),
      routeStart_(timetable.Routes().size(), kNoStart) {}

void RaptorSearch::Reset() {
  std::fill(labels_.begin(), labels_.end(), kNever);
}

std::vector<int> RaptorSearch::Run(StationId from, StationId to, Minutes departure,
                                   const SearchOptions& options) {
  std::vector<Minutes> before(kMaxTrips + 1, kNever);
  for (int round = 1; round <= kMaxTrips; ++round) before[round] = Label(round, to);

  // When a trip can be boarded at a station after round-1 trips.
  const auto ready = [&](int round, StationId station) {
    if (station == from) return departure;
    if (round == 0) return kNever;
    const Minutes arrival = Label(round, station);
    return arrival == kNever ? kNever : arrival + options.transfer;
  };
  const auto mark = [&](StationId station) {
    if (isMarked_[station.Slot()]) return;
    isMarked_[station.Slot()] = 1;
    nextMarked_.push_back(station);
  };

  marked_.assign(1, from);
  for (int round = 1; round <= kMaxTrips && !marked_.empty(); ++round) {
    nextMarked_.clear();
    // A station reached with fewer trips is reached with more as well.
    if (round >= 2) {
      for (const StationId station : marked_) {
        if (Label(round - 1, station) < Label(round, station)) {
          Label(round, station) = Label(round - 1, station);
          ParentOf(round, station) = ParentOf(round - 1, station);
          mark(station);
        }
      }
    }
    routesToScan_.clear();
    for (const StationId station : marked_) {
      for (const DayTimetable::StationRoute& at : timetable_.RoutesAt(station)) {
        std::uint32_t& start = routeStart_[at.route.Slot()];
        if (start == kNoStart) routesToScan_.push_back(at.route);
        start = std::min(start, at.position);
      }
    }
    for (const RouteId routeId : routesToScan_) {
      const DayTimetable::Route& route = timetable_.Routes()[routeId];
      const std::uint32_t start = routeStart_[routeId.Slot()];
      routeStart_[routeId.Slot()] = kNoStart;
      TripId current = TripId::Invalid();
      std::uint32_t board = 0;
      for (std::uint32_t position = start; position < route.stopCount; ++position) {
        const StationId station = timetable_.StopAt(route, position);
        if (current.Valid()) {
          const Minutes arrival = timetable_.Event(current, position).arrival;
          if (arrival < Label(round, station) && arrival < Label(round, to)) {
            Label(round, station) = arrival;
            ParentOf(round, station) = Parent{current, board, position};
            mark(station);
          }
        }
        if (position + 1 == route.stopCount) break;
        const Minutes readyAt = ready(round - 1, station);
        if (readyAt == kNever) continue;
        if (current.Valid() && timetable_.Event(current, position).departure < readyAt) continue;
        // The earliest trip of the route that leaves here at readyAt or later.
        std::uint32_t low = 0;
        std::uint32_t high =
            current.Valid() ? current.Get() - route.firstTrip.Get() : route.tripCount;
        while (low < high) {
          const std::uint32_t middle = low + (high - low) / 2;
          const TripId trip(route.firstTrip.Get() + middle);
          if (timetable_.Event(trip, position).departure < readyAt) {
            low = middle + 1;
          } else {
            high = middle;
          }
        }
        const std::uint32_t limit =
            current.Valid() ? current.Get() - route.firstTrip.Get() : route.tripCount;
        if (low < limit) {
          current = TripId(route.firstTrip.Get() + low);
          board = position;
        }
      }
    }
    for (const StationId station : nextMarked_) isMarked_[station.Slot()] = 0;
    std::swap(marked_, nextMarked_);
  }

  std::vector<int> improved;
  for (int round = 1; round <= kMaxTrips; ++round) {
    const Minutes arrival = Label(round, to);
    const Minutes fewer = round == 1 ? kNever : Label(round - 1, to);
    if (arrival < before[round] && arrival < fewer) improved.push_back(round);
  }
  return improved;
}

Journey RaptorSearch::Rebuild(StationId from, StationId to, int round) const {
  Journey journey;
  journey.arrival = Label(round, to);
  StationId station = to;
  for (; round >= 1; --round) {
    const Parent& parent = parents_[static_cast<std::size_t>(round) * stations_ + station.Slot()];
    const DayTimetable::Route& route = timetable_.Routes()[timetable_.TripAt(parent.trip).route];
    JourneyLeg leg;
    leg.trip = parent.trip;
    leg.boardPosition = parent.boardPosition;
    leg.alightPosition = parent.alightPosition;
    leg.from = timetable_.StopAt(route, parent.boardPosition);
    leg.to = timetable_.StopAt(route, parent.alightPosition);
    leg.departure = timetable_.Event(parent.trip, parent.boardPosition).departure;
    leg.arrival = timetable_.Event(parent.trip, parent.alightPosition).arrival;
    journey.legs.push_back(leg);
    station = leg.from;
    if (station == from) break;
  }
  std::reverse(journey.legs.begin(), journey.legs.end());
  journey.departure = journey.legs.front().departure;
  return journey;
}

std::vector<Journey> RaptorSearch::EarliestArrival(StationId from, StationId to, Minutes at,
                                                   const SearchOptions& options) {
  std::vector<Journey> journeys;
  if (from == to || !from.Valid() || !to.Valid()) return journeys;
  Reset();
  for (const int round : Run(from, to, at, options)) journeys.push_back(Rebuild(from, to, round));
  return journeys;
}

std::vector<Journey> RaptorSearch::Range(StationId from, StationId to, Minutes begin, Minutes end,
                                         const SearchOptions& options) {
  std::vector<Journey> journeys;
  if (from == to || !from.Valid() || !to.Valid()) return journeys;
  Reset();
  // The journeys that leave after the window come first: a journey within the window that
  // one of them beats (same arrival or later, leaving later) is no next connection. After
  // them, each run improves only on journeys that leave exactly at its departure.
  Run(from, to, end + Minutes(1), options);
  const std::vector<Minutes> departures = timetable_.DeparturesAt(from, begin, end);
  for (auto departure = departures.rbegin(); departure != departures.rend(); ++departure) {
    for (const int round : Run(from, to, *departure, options)) {
      journeys.push_back(Rebuild(from, to, round));
    }
  }
  return ParetoJourneys(std::move(journeys));
}

std::vector<Journey> RaptorSearch::Connections(StationId from, StationId to, Minutes at,
                                               Minutes window, const SearchOptions& options) {
  const std::vector<Journey> earliest = EarliestArrival(from, to, at, options);
  if (earliest.empty()) return {};
  Minutes last = at + window;
  for (const Journey& journey : earliest) last = std::max(last, journey.arrival);
  const std::vector<Journey> profile = Range(from, to, at, last, options);
  std::vector<Journey> chosen;
  for (const Journey& journey : profile) {
    if (journey.departure <= at + window) chosen.push_back(journey);
  }
  for (const Journey& journey : earliest) {
    const Journey* latest = &journey;
    for (const Journey& candidate : profile) {
      if (candidate.arrival == journey.arrival && candidate.legs.size() == journey.legs.size() &&
          candidate.departure > latest->departure) {
        latest = &candidate;
      }
    }
    chosen.push_back(*latest);
  }
  return ParetoJourneys(std::move(chosen));
}

std::vector<Journey> ParetoJourneys(std::vector<Journey> journeys) {
  std::sort(journeys.begin(), journeys.end(), [](const Journey& a, const Journey& b) {
    if (a.departure != b.departure) return a.departure > b.departure;
    if (a.arrival != b.arrival) return a.arrival < b.arrival;
    return a.legs.size() < b.legs.size();
  });
  std::vector<Journey> kept;
  for (Journey& journey : journeys) {
    const bool beaten = std::any_of(kept.begin(), kept.end(), [&](const Journey& other) {
      return other.departure >= journey.departure && other.arrival <= journey.arrival &&
             other.legs.size() <= journey.legs.size();
    });
    if (!beaten) kept.push_back(std::move(journey));
  }
  std::sort(kept.begin(), kept.end(), [](const Journey& a, const Journey& b) {
    if (a.departure != b.departure) return a.departure < b.departure;
    return a.arrival < b.arrival;
  });
  return kept;
}

}  // namespace trivo

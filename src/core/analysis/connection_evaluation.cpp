#include "analysis/connection_evaluation.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "common/comma_list.h"
#include "common/strings.h"
#include "common/sy_standard.h"
#include "convert/timetable_notation.h"
#include "convert/timetable_trips.h"
#include "convert/ttd_file.h"

namespace trivo {

namespace {

// A tenth of a day: added to a trip time, it ends an interval block's loop.
constexpr Minutes kTenthOfDay{144};
constexpr std::string_view kDayGroup = "MO-FR";

// Position of the first station equal to name without regard to letter case, or -1.
int PositionOf(const std::vector<std::string>& stations, const std::string& name) {
  for (std::size_t i = 0; i < stations.size(); ++i) {
    if (SameText(stations[i], name)) return static_cast<int>(i);
  }
  return -1;
}

// The nodes from the start root down to the start node, then from the destination node
// up to its root: station, line, station, ..., station.
std::vector<const TreeNode*> RouteNodes(const ConnectionCandidate& connection) {
  std::vector<const TreeNode*> route;
  for (const TreeNode* node = connection.startNode; node != nullptr; node = node->Parent()) {
    route.push_back(node);
  }
  std::reverse(route.begin(), route.end());
  for (const TreeNode* node = connection.destinationNode; node != nullptr; node = node->Parent()) {
    route.push_back(node);
  }
  return route;
}

std::string TraceRouteText(const ConnectionCandidate& connection) {
  std::string text;
  for (const TreeNode* node = connection.startNode; node != nullptr; node = node->Parent()) {
    text = node->Text() + " ==> " + text;
  }
  text += " ||| ";
  for (const TreeNode* node = connection.destinationNode; node != nullptr; node = node->Parent()) {
    text += " ==> " + node->Text();
  }
  return text;
}

// The trips of one leg: the pair's rows walked column by column.
class TripCollector {
 public:
  TripCollector(Minutes startMinutes, std::vector<std::string>& mZeiten)
      : windowStart_(startMinutes), mZeiten_(mZeiten) {}

  void CollectLeg(const TimetableRow& boardingRow, const TimetableRow& leavingRow,
                  std::size_t legIndex, P2PContainer& leg) {
    leg_ = &leg;
    firstTrip_ = false;
    std::int64_t boardingInterval = 0;
    std::int64_t leavingInterval = 0;
    for (std::size_t c = 2; c < boardingRow.size() && c < leavingRow.size(); ++c) {
      const std::string& boardingText = boardingRow[c];
      const std::string& leavingText = leavingRow[c];
      const TimetableCell boarding = ClassifyCell(boardingText);
      if (boarding.IsInterval()) {
        boardingInterval = boarding.interval;
        leavingInterval = StringToInterval(leavingText);
        continue;
      }
      if (!boarding.IsTime()) continue;

      const TimetableCell leaving = ClassifyCell(leavingText);
      const Minutes departure = boarding.time;
      const bool inBlock = boardingInterval != 0 && leavingInterval != 0;
      if (!inBlock && departure < windowStart_) {
        lastDeparture_ = departure;
        if (leaving.IsTime()) lastArrival_ = leaving.time;
        mZeiten_.push_back("intervalzeit: " + ClockText(departure));
        continue;
      }
      if (!inBlock && departure > WindowEnd()) break;
      if (leaving.IsTime()) {
        const Minutes arrival = leaving.time;
        if (boardingInterval > 0 && leavingInterval > 0) {
          // The columns before were an interval block that ends at this trip.
          const std::int64_t step = LeastCommonMultiple(boardingInterval, leavingInterval);
          boardingInterval = step;
          ExpandBlock(departure, Minutes(static_cast<std::int32_t>(step)));
        } else if (windowStart_ <= arrival && arrival < WindowEnd()) {
          mZeiten_.push_back(std::to_string(legIndex) + " " + leg.line + ": " + leg.from + "->" +
                             leg.to + " = " + boardingText + " -> " + leavingText);
          Record(departure, arrival);
        }
        leavingInterval = 0;
        lastArrival_ = arrival;
      }
      boardingInterval = 0;
      lastDeparture_ = departure;
    }
  }

 private:
  Minutes WindowEnd() const { return windowStart_ + windowMinutes_; }

  // Trips every step minutes after the last explicit one, up to the trip at departure.
  void ExpandBlock(Minutes departure, Minutes step) {
    lastDeparture_ += step;
    lastArrival_ += step;
    while (lastDeparture_ <= departure) {
      if (lastDeparture_ >= windowStart_ && lastDeparture_ <= WindowEnd() &&
          windowStart_ <= lastArrival_ && lastArrival_ < WindowEnd())
        Record(lastDeparture_, lastArrival_);
      if (lastDeparture_ >= windowStart_ && lastDeparture_ > WindowEnd())
        lastDeparture_ = departure + kTenthOfDay;
      lastDeparture_ += step;
      lastArrival_ += step;
    }
  }

  void Record(Minutes departure, Minutes arrival) {
    leg_->trips.push_back({departure, arrival});
    if (firstTrip_) return;
    windowMinutes_ -= arrival - windowStart_;
    windowStart_ = arrival;
    firstTrip_ = true;
  }

  // Carried from leg to leg.
  Minutes windowStart_;
  Minutes windowMinutes_ = SearchWindowMinutes;
  Minutes lastDeparture_{0};
  Minutes lastArrival_{0};
  std::vector<std::string>& mZeiten_;
  // Per leg.
  P2PContainer* leg_ = nullptr;
  bool firstTrip_ = false;
};

// Walks the combinations in odometer order, skipping every branch that cannot reach the
// top list: one whose transfers cannot all be made, or whose best total cannot beat the
// last entry of a full list. What enters the list, and in which order, is what visiting
// every combination would give.
class CombinationRanker {
 public:
  CombinationRanker(const std::vector<P2PContainer>& legs, Minutes startMinutes,
                    Minutes minTransferMinutes, std::size_t capacity,
                    std::vector<DetailConnectionItem>& top)
      : legs_(legs),
        start_(startMinutes),
        minTransfer_(minTransferMinutes),
        capacity_(capacity),
        top_(top),
        choice_(legs.size(), 0) {
    ComputeBestTotals();
  }

  void Run() {
    if (!legs_.empty()) Visit(0);
  }

 private:
  static constexpr Minutes kUnreachable{std::numeric_limits<std::int32_t>::max()};

  const TripTimes& Trip(std::size_t leg, std::size_t trip) const { return legs_[leg].trips[trip]; }
  bool Full() const { return !top_.empty() && top_.size() >= capacity_; }
  bool Feasible(const TripTimes& before, const TripTimes& after) const {
    return after.departure.OfDay() - before.arrival.OfDay() >= minTransfer_;
  }

  // best_[leg][trip]: the lowest total of any feasible way on from that trip.
  void ComputeBestTotals() {
    const std::size_t n = legs_.size();
    best_.resize(n);
    for (std::size_t leg = n; leg-- > 0;) {
      best_[leg].assign(legs_[leg].trips.size(), kUnreachable);
      for (std::size_t t = 0; t < legs_[leg].trips.size(); ++t) {
        if (leg + 1 == n) {
          best_[leg][t] = Trip(leg, t).arrival - start_;
          continue;
        }
        for (std::size_t next = 0; next < legs_[leg + 1].trips.size(); ++next) {
          if (Feasible(Trip(leg, t), Trip(leg + 1, next))) {
            best_[leg][t] = std::min(best_[leg][t], best_[leg + 1][next]);
          }
        }
      }
    }
  }

  void Visit(std::size_t leg) {
    for (std::size_t t = 0; t < legs_[leg].trips.size(); ++t) {
      if (leg > 0 && !Feasible(Trip(leg - 1, choice_[leg - 1]), Trip(leg, t))) continue;
      const Minutes best = best_[leg][t];
      if (best == kUnreachable) continue;
      if (Full() && best >= top_.back().totalMinutes) continue;
      choice_[leg] = t;
      if (leg + 1 < legs_.size()) {
        Visit(leg + 1);
      } else {
        Insert(best);
      }
    }
  }

  void Insert(Minutes total) {
    std::string path;
    for (std::size_t leg = 0; leg < legs_.size(); ++leg) {
      const P2PContainer& p = legs_[leg];
      const TripTimes& trip = Trip(leg, choice_[leg]);
      if (leg > 0) path += " | ";
      path += p.line + ": " + p.from + " nach " + p.to + ", Ab: " + ClockText(trip.departure) +
              " An: " + ClockText(trip.arrival);
    }
    const auto at = std::upper_bound(
        top_.begin(), top_.end(), total,
        [](Minutes value, const DetailConnectionItem& item) { return value < item.totalMinutes; });
    const Minutes departure = Trip(0, choice_[0]).departure.OfDay();
    top_.insert(at, {std::move(path), departure, total});
    if (top_.size() > capacity_) top_.pop_back();
  }

  const std::vector<P2PContainer>& legs_;
  Minutes start_;
  Minutes minTransfer_;
  std::size_t capacity_;
  std::vector<DetailConnectionItem>& top_;
  std::vector<std::size_t> choice_;
  std::vector<std::vector<Minutes>> best_;
};

}  // namespace

std::string ClockText(Minutes time) {
  return HourMinuteText(time.OfDay()) + ":00";
}

std::vector<P2PContainer> CollectTrips(const std::vector<TimetableRow>& rowPairs,
                                       Minutes startMinutes, std::vector<std::string>& mZeiten) {
  std::vector<P2PContainer> legs;
  TripCollector collector(startMinutes, mZeiten);
  for (std::size_t p = 0; p + 1 < rowPairs.size(); p += 2) {
    const TimetableRow& B = rowPairs[p];
    const TimetableRow& L = rowPairs[p + 1];
    legs.push_back({B[0], B[1], L[1], {}});
    collector.CollectLeg(B, L, legs.size() - 1, legs.back());
  }
  return legs;
}

void RankCombinations(const std::vector<P2PContainer>& legs, Minutes startMinutes,
                      Minutes minTransferMinutes, std::size_t capacity,
                      std::vector<DetailConnectionItem>& TopConnections) {
  CombinationRanker(legs, startMinutes, minTransferMinutes, capacity, TopConnections).Run();
}

ConnectionEvaluator::ConnectionEvaluator(const Context& ctx, const Network& network,
                                         Settings settings, std::vector<std::string>& mZeiten,
                                         std::vector<DetailConnectionItem>& TopConnections)
    : ctx_(ctx), network_(network), settings_(settings), mZeiten_(mZeiten), top_(TopConnections) {}

void ConnectionEvaluator::EvaluateConnection(const ConnectionCandidate& connection) {
  mZeiten_.push_back("*** Verbindung: ***");
  mZeiten_.push_back(TraceRouteText(connection));
  std::vector<TimetableRow> rowPairs;
  if (!ReadRowPairs(RouteNodes(connection), rowPairs)) return;

  // Without a completed row pair there are no legs and nothing to rank, but the top list
  // of the query so far is printed all the same.
  const std::vector<P2PContainer> legs = CollectTrips(rowPairs, settings_.startMinutes, mZeiten_);
  for (const P2PContainer& leg : legs) {
    if (leg.trips.empty()) return;
  }
  RankCombinations(legs, settings_.startMinutes, settings_.MinTransferMinutes,
                   settings_.MaxTopConnections, top_);

  mZeiten_.push_back("*** TOP-VERBINDUNGEN ***");
  for (const DetailConnectionItem& item : top_) {
    mZeiten_.push_back("Min: " + std::to_string(item.totalMinutes.Count()) +
                       " Weg: " + item.pathText);
  }
}

bool ConnectionEvaluator::ReadRowPairs(const std::vector<const TreeNode*>& route,
                                       std::vector<TimetableRow>& rowPairs) {
  for (std::size_t k = 1; 2 * k < route.size(); ++k) {
    const std::string& boarding = route[2 * k - 2]->Text();
    const std::string& line = route[2 * k - 1]->Text();
    const std::string& leaving = route[2 * k]->Text();
    mZeiten_.push_back(std::to_string(k) + ": " + boarding + " >>> " + line + " >>> " + leaving);

    const IniFile* file = TimetableFile(line);
    if (file == nullptr || !network_.LineStationsList.Contains(line)) return false;
    const std::vector<std::string> stations = SplitCommaList(network_.LineStationsList.Value(line));
    const int direction = PositionOf(stations, boarding) < PositionOf(stations, leaving) ? 1 : 2;
    const std::string section = TimetableSectionName(direction, kDayGroup);
    if (!file->SectionExists(section)) return false;

    for (const std::string& value : ReadTimetableRows(*file, section)) {
      TimetableRow row{line};
      SplitString(value, row, ',');
      if (row.size() < 2) continue;
      const bool waiting = rowPairs.size() % 2 == 1;  // a boarding row waits for its partner
      if (row[1] == boarding) {
        if (waiting) {
          rowPairs.back() = std::move(row);
        } else {
          rowPairs.push_back(std::move(row));
        }
      } else if (waiting && row[1] == leaving) {
        rowPairs.push_back(std::move(row));
        break;
      }
    }
  }
  return true;
}

const IniFile* ConnectionEvaluator::TimetableFile(const std::string& line) {
  const auto path = TimetableFilePath(ctx_, line);
  if (!path) return nullptr;
  auto it = files_.find(line);
  if (it == files_.end()) it = files_.emplace(line, IniFile(*path)).first;
  return &it->second;
}

}  // namespace trivo

#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "project/context.h"
#include "routing/routing_timetable.h"

namespace trivo {

// The routing timetable of one project, kept in memory between searches: read again
// when the project file, lines.csv, stations.csv or a line's .ttd file has changed
// (another modification time or size), and one day timetable per day of travel asked for.
class RoutingCache {
 public:
  // The project's trips, read again when one of its files changed.
  const ProjectTrips& Trips(const Context& ctx);
  // The day timetable of a day of travel, over the trips Trips() gave last.
  const DayTimetable& Day(const Context& ctx, const DaySelection& day);
  // How often the trips were read: 1 after the first search, more after changes.
  int ReadCount() const { return reads_; }

 private:
  struct Stamp {
    std::string path;
    std::int64_t modified = 0;
    std::uintmax_t size = 0;
    friend bool operator==(const Stamp&, const Stamp&) = default;
  };
  static std::vector<Stamp> StampsOf(const Context& ctx);

  std::vector<Stamp> stamps_;
  std::unique_ptr<ProjectTrips> trips_;
  std::vector<std::pair<DaySelection, std::unique_ptr<DayTimetable>>> days_;
  int reads_ = 0;
};

}  // namespace trivo

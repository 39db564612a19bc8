// The passenger search on a whole project: building the routing timetable, earliest-arrival
// and range queries between random stations, and for comparison the connection query of
// the query window on the first of the same pairs.
//
//   routing_bench PROJECT.tvp [--queries N] [--day NAME] [--compare N] [--seed N]

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/query_model.h"
#include "project/context.h"
#include "project/project_commands.h"
#include "quiet_user_interface.h"
#include "routing/raptor.h"
#include "routing/routing_timetable.h"
#include "routing/travel_day.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(at, values.size() - 1)];
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

constexpr std::string_view kUsage =
    "usage: routing_bench PROJECT.tvp [--queries N] [--day NAME] [--compare N] [--seed N]\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  std::string projectFile = argv[1];
  int queries = 1000;
  int compare = 20;
  unsigned seed = 21;
  std::string dayName;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    if (option == "--queries") {
      queries = std::atoi(argv[i + 1]);
    } else if (option == "--compare") {
      compare = std::atoi(argv[i + 1]);
    } else if (option == "--seed") {
      seed = static_cast<unsigned>(std::atoi(argv[i + 1]));
    } else if (option == "--day") {
      dayName = argv[i + 1];
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }

  QuietUserInterface ui;
  trivo::Context ctx(ui);
  try {
    trivo::LoadProject(ctx, projectFile);
  } catch (const std::exception& error) {
    std::cerr << "routing_bench: " << error.what() << "\n";
    return 1;
  }
  if (ctx.PrjParams.DayGroups.empty()) {
    std::cerr << "routing_bench: the project has no day groups\n";
    return 1;
  }
  if (dayName.empty()) dayName = ctx.PrjParams.DayGroups.front().Name;
  const auto day = trivo::SelectDayGroup(ctx.PrjParams, dayName);
  if (!day) {
    std::cerr << "routing_bench: no day group " << dayName << "\n";
    return 1;
  }

  const long rssBefore = PeakRssKb();
  auto start = Clock::now();
  const trivo::ProjectTrips trips = trivo::ReadProjectTrips(ctx);
  const double readMs = MsSince(start);
  start = Clock::now();
  const trivo::DayTimetable timetable(trips, *day);
  const double dayMs = MsSince(start);
  std::size_t patternBytes = 0;
  for (const auto& pattern : trips.patterns) {
    patternBytes += pattern.events.capacity() * sizeof(trivo::StopEvent) +
                    pattern.stations.capacity() * sizeof(trivo::StationId) + sizeof(pattern);
  }
  std::printf("project: %s, day group %s\n", projectFile.c_str(), dayName.c_str());
  std::printf(
      "  %zu stations, %zu stop patterns, %zu routes, %zu trips, %zu stop events, %zu trips left "
      "out\n",
      trips.stationNames.size(), trips.patterns.size(), timetable.Routes().size(),
      timetable.TripCount(), timetable.EventCount(), trips.leftOutTrips);
  std::printf("build: reading the .ttd files %.1f ms, the day timetable %.1f ms\n", readMs, dayMs);
  std::printf("memory: day timetable %.2f MB, project trips %.2f MB, peak RSS grew by %.1f MB\n",
              static_cast<double>(timetable.MemoryBytes()) / 1e6,
              static_cast<double>(patternBytes) / 1e6,
              static_cast<double>(PeakRssKb() - rssBefore) / 1024.0);

  // Stations with at least one route.
  std::vector<trivo::StationId> served;
  for (trivo::StationId s(0); s.Slot() < timetable.StationCount(); ++s) {
    if (!timetable.RoutesAt(s).empty()) served.push_back(s);
  }
  if (served.size() < 2) {
    std::cerr << "routing_bench: fewer than two stations with trips\n";
    return 1;
  }
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::size_t> anyStation(0, served.size() - 1);
  std::uniform_int_distribution<int> anyTime(5 * 60, 22 * 60);
  struct Query {
    trivo::StationId from, to;
    trivo::Minutes at;
  };
  std::vector<Query> pairs;
  while (static_cast<int>(pairs.size()) < queries) {
    const auto from = served[anyStation(random)];
    const auto to = served[anyStation(random)];
    if (from != to) pairs.push_back({from, to, trivo::Minutes(anyTime(random))});
  }

  trivo::RaptorSearch search(timetable);
  const trivo::SearchOptions options{.transfer = trivo::Minutes(2)};
  std::vector<double> earliest, range, connections;
  std::size_t found = 0;
  for (const Query& query : pairs) {
    start = Clock::now();
    const auto journeys = search.EarliestArrival(query.from, query.to, query.at, options);
    earliest.push_back(MsSince(start));
    found += journeys.empty() ? 0 : 1;
  }
  const std::size_t rangeCount = std::min<std::size_t>(pairs.size(), 200);
  std::size_t rangeJourneys = 0;
  for (std::size_t i = 0; i < rangeCount; ++i) {
    start = Clock::now();
    rangeJourneys += search
                         .Range(pairs[i].from, pairs[i].to, pairs[i].at,
                                pairs[i].at + trivo::Minutes(120), options)
                         .size();
    range.push_back(MsSince(start));
    start = Clock::now();
    search.Connections(pairs[i].from, pairs[i].to, pairs[i].at, trivo::Minutes(120), options);
    connections.push_back(MsSince(start));
  }
  std::printf(
      "earliest arrival, %zu random pairs and times 05:00-22:00: median %.3f ms, p99 %.3f ms, max "
      "%.3f ms (%zu with a journey)\n",
      pairs.size(), Percentile(earliest, 0.5), Percentile(earliest, 0.99),
      Percentile(earliest, 1.0), found);
  std::printf("range, 2 hours, %zu pairs: median %.3f ms, p99 %.3f ms (%.1f journeys each)\n",
              rangeCount, Percentile(range, 0.5), Percentile(range, 0.99),
              static_cast<double>(rangeJourneys) / static_cast<double>(rangeCount));
  std::printf(
      "connections as trivo route gives them (earliest arrivals leaving as late as possible and "
      "the 2-hour range): median %.3f ms, p99 %.3f ms\n",
      Percentile(connections, 0.5), Percentile(connections, 0.99));

  // The connection query of the query window on the first pairs.
  if (compare > 0) {
    trivo::QueryModel model;
    start = Clock::now();
    model.FormShow(ctx);
    const double showMs = MsSince(start);
    std::vector<double> queryMs;
    std::size_t answered = 0;
    for (int i = 0; i < compare && i < static_cast<int>(pairs.size()); ++i) {
      model.cbStartStation.Text = trips.stationNames[pairs[i].from];
      model.cbZielStation.Text = trips.stationNames[pairs[i].to];
      model.dtpStartTime = pairs[i].at.Count();
      start = Clock::now();
      bool ran = false;
      try {
        ran = model.btStartQueryClick(ctx);
      } catch (const std::exception&) {
        ran = false;
      }
      queryMs.push_back(MsSince(start));
      answered += ran && !model.FoundConnections().empty() ? 1 : 0;
    }
    std::printf(
        "connection query of the query window, first %zu pairs: loading %.1f ms, median %.1f ms, "
        "max %.1f ms (%zu with connections)\n",
        queryMs.size(), showMs, Percentile(queryMs, 0.5), Percentile(queryMs, 1.0), answered);
  }
  return 0;
}

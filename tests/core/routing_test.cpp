#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/error.h"
#include "project/context.h"
#include "project/project_commands.h"
#include "routing/journey_format.h"
#include "routing/raptor.h"
#include "routing/route_query.h"
#include "routing/routing_cache.h"
#include "routing/station_match.h"
#include "routing/travel_day.h"
#include "test_support.h"

namespace trivo {
namespace {

// ---------------------------------------------------------------------------------------
// Small projects written to disk.

struct LineText {
  std::string name;
  std::vector<std::string> stations;
  std::string ttd;  // the whole .ttd file
};

std::string ProjectFileText(std::string_view extra = "") {
  return "[daygroups]\r\ndaygroupnames=Mo-Fr,Sa,So\r\n"
         "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday\r\n"
         "Sa_days=saturday\r\nSo_days=sunday\r\n" +
         std::string(extra);
}

void WriteProject(const test::TempDir& dir, const std::vector<LineText>& lines,
                  std::string_view extra = "") {
  std::set<std::string> stations;
  std::string linesCsv, lineStations, stationsCsv;
  for (const LineText& line : lines) {
    linesCsv += line.name + "\r\n";
    lineStations += line.name + "=";
    for (std::size_t i = 0; i < line.stations.size(); ++i) {
      lineStations += (i ? "," : "") + line.stations[i];
      stations.insert(line.stations[i]);
    }
    lineStations += "\r\n";
    dir.Write("line_" + line.name + ".ttd", line.ttd);
  }
  for (const std::string& station : stations) stationsCsv += station + "\r\n";
  dir.Write("p.tvp", ProjectFileText(extra));
  dir.Write("lines.csv", linesCsv);
  dir.Write("line_stations.csv", lineStations);
  dir.Write("stations.csv", stationsCsv);
  dir.Write("station_lines.csv", "");
}

RouteRequest Request(std::string from, std::string to, Minutes at) {
  RouteRequest request;
  request.from = std::move(from);
  request.to = std::move(to);
  request.at = at;
  return request;
}

class Project {
 public:
  explicit Project(const std::vector<LineText>& lines, std::string_view extra = "") {
    WriteProject(dir_, lines, extra);
    LoadProject(ctx_, (dir_ / "p.tvp").string());
    settings_ = ReadRoutingSettings(IniFile(dir_ / "p.tvp"));
  }
  // "07:12-07:45/1 07:20-07:50/0": each journey as departure-arrival/transfers.
  std::string Ask(std::string from, std::string to, std::string at, std::string day = "Mo-Fr",
                  int transfer = 2) {
    RouteRequest request;
    request.from = std::move(from);
    request.to = std::move(to);
    request.at = *ParseClockTime(at);
    request.dayGroup = std::move(day);
    request.transfer = Minutes(transfer);
    const RouteAnswer answer = AnswerRoute(ctx_, cache_, settings_, request);
    std::string text;
    for (const Journey& journey : answer.journeys) {
      text += (text.empty() ? "" : " ") + HourMinuteText(journey.departure) + "-" +
              HourMinuteText(journey.arrival) + "/" + std::to_string(journey.Transfers());
    }
    return text.empty() ? "none" : text;
  }
  RouteAnswer Answer(const RouteRequest& request) {
    return AnswerRoute(ctx_, cache_, settings_, request);
  }
  const test::TempDir& Dir() const { return dir_; }
  Context& Ctx() { return ctx_; }
  RoutingCache& Cache() { return cache_; }
  const RoutingSettings& Settings() const { return settings_; }

 private:
  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
  RoutingSettings settings_;
  RoutingCache cache_;
};

// ---------------------------------------------------------------------------------------
// The reference: a plain search over every trip of the day, round by round, written for
// clarity. A trip is boarded at the first of its stops where the passenger is ready in
// time and left at any later stop.

struct PlainStop {
  int station;
  int arrival;
  int departure;
};
using PlainTrip = std::vector<PlainStop>;
using Label = std::tuple<int, int, int>;  // departure, arrival, transfers

constexpr int kNone = 1 << 29;

std::map<int, int> ReferenceArrivals(const std::vector<PlainTrip>& trips, int stations, int from,
                                     int to, int at, int transfer) {
  std::vector<int> ready(stations, kNone);
  ready[from] = at;
  std::map<int, int> arrivalByTrips;  // trips used -> arrival, Pareto only
  int best = kNone;
  for (int round = 1; round <= kMaxTrips; ++round) {
    std::vector<int> arrival(stations, kNone);
    for (const PlainTrip& trip : trips) {
      bool aboard = false;
      for (const PlainStop& stop : trip) {
        if (aboard) arrival[stop.station] = std::min(arrival[stop.station], stop.arrival);
        if (!aboard && stop.departure >= ready[stop.station]) aboard = true;
      }
    }
    if (arrival[to] < best) {
      best = arrival[to];
      arrivalByTrips[round] = best;
    }
    for (int s = 0; s < stations; ++s) {
      if (s != from && arrival[s] != kNone) ready[s] = std::min(ready[s], arrival[s] + transfer);
    }
  }
  return arrivalByTrips;
}

std::set<Label> ParetoOf(const std::vector<Label>& labels) {
  std::set<Label> kept;
  for (const Label& a : labels) {
    const bool beaten = std::any_of(labels.begin(), labels.end(), [&](const Label& b) {
      return b != a && std::get<0>(b) >= std::get<0>(a) && std::get<1>(b) <= std::get<1>(a) &&
             std::get<2>(b) <= std::get<2>(a);
    });
    if (!beaten) kept.insert(a);
  }
  return kept;
}

// A random project: its files and, for each day group, its trips as the reference sees them.
struct RandomProject {
  std::vector<LineText> lines;
  int stations = 0;
  std::vector<std::vector<PlainTrip>> tripsByGroup{3};
};

RandomProject MakeRandomProject(std::mt19937& random) {
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  RandomProject project;
  project.stations = pick(3, 8);
  const char* groups[] = {"Mo-Fr", "Sa", "So"};
  const int lineCount = pick(1, 4);
  for (int l = 0; l < lineCount; ++l) {
    std::vector<int> order(project.stations);
    for (int s = 0; s < project.stations; ++s) order[s] = s;
    std::shuffle(order.begin(), order.end(), random);
    order.resize(pick(2, std::min(6, project.stations)));
    LineText line{"L" + std::to_string(l), {}, ""};
    for (const int s : order) line.stations.push_back("S" + std::to_string(s));
    for (int g = 0; g < 3; ++g) {
      for (int direction = 1; direction <= 2; ++direction) {
        std::vector<int> stops = order;
        if (direction == 2) std::reverse(stops.begin(), stops.end());
        std::vector<bool> pair(stops.size());
        for (std::size_t i = 0; i < stops.size(); ++i) pair[i] = pick(0, 3) == 0;
        const int tripCount = pick(0, 5);
        std::vector<std::vector<std::string>> rows(stops.size());
        std::vector<std::vector<std::string>> departureRows(stops.size());
        for (int t = 0; t < tripCount; ++t) {
          int time = pick(0, 1439);
          PlainTrip trip;
          for (std::size_t i = 0; i < stops.size(); ++i) {
            const bool halts = pick(0, 4) != 0;
            const int arrival = time;
            const int departure = pair[i] ? arrival + pick(0, 3) : arrival;
            const auto cell = [](int minutes) { return HourMinuteText(Minutes(minutes).OfDay()); };
            rows[i].push_back(halts ? cell(arrival) : "");
            departureRows[i].push_back(halts ? cell(departure) : "");
            if (halts) trip.push_back({stops[i], arrival, departure});
            time = departure + pick(1, 20);
          }
          // A trip whose first time is after midnight belongs to that day, as written.
          if (!trip.empty() && trip.front().arrival >= 1440) {
            for (PlainStop& stop : trip) stop.arrival -= 1440, stop.departure -= 1440;
          }
          if (trip.size() >= 2) project.tripsByGroup[g].push_back(trip);
        }
        line.ttd += "[" + std::to_string(direction) + "_" + groups[g] + "]\r\n";
        int key = 1;
        for (std::size_t i = 0; i < stops.size(); ++i) {
          const auto writeRow = [&](const std::vector<std::string>& cells) {
            std::string row = "S" + std::to_string(stops[i]);
            for (const std::string& cell : cells) row += "," + cell;
            if (cells.empty()) row += ",";
            line.ttd += std::to_string(key++) + "=" + row + "\r\n";
          };
          writeRow(rows[i]);
          if (pair[i]) writeRow(departureRows[i]);
        }
      }
    }
    project.lines.push_back(line);
  }
  return project;
}

TEST(RoutingReference, RoundBasedSearchFindsTheSameParetoSetsAsThePlainSearchOnRandomProjects) {
  std::mt19937 random(2111);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  int compared = 0, withJourney = 0;
  for (int round = 0; round < 1500; ++round) {
    const RandomProject random_project = MakeRandomProject(random);
    test::TempDir dir;
    WriteProject(dir, random_project.lines);
    test::RecordingUserInterface ui;
    Context ctx(ui);
    LoadProject(ctx, (dir / "p.tvp").string());
    const ProjectTrips trips = ReadProjectTrips(ctx);
    ASSERT_EQ(trips.leftOutTrips, 0u);
    DaySelection day;
    for (int g = 0; g < 3; ++g) {
      day.today.push_back(pick(0, 1));
      day.yesterday.push_back(pick(0, 1));
      day.tomorrow.push_back(pick(0, 1));
    }
    std::vector<PlainTrip> plain;
    for (int g = 0; g < 3; ++g) {
      for (const auto& [runs, shift] :
           {std::pair{day.today[g], 0}, std::pair{day.yesterday[g], -1440},
            std::pair{day.tomorrow[g], 1440}}) {
        if (!runs) continue;
        for (PlainTrip trip : random_project.tripsByGroup[g]) {
          for (PlainStop& stop : trip) stop.arrival += shift, stop.departure += shift;
          plain.push_back(trip);
        }
      }
    }
    const DayTimetable timetable(trips, day);
    RaptorSearch search(timetable);
    const auto stationOf = [&](int s) { return trips.FindStation("S" + std::to_string(s)); };
    for (int query = 0; query < 4; ++query) {
      const int from = pick(0, random_project.stations - 1);
      const int to = pick(0, random_project.stations - 1);
      if (from == to || !stationOf(from).Valid() || !stationOf(to).Valid()) continue;
      const int at = pick(0, 1800);
      const int transfer = pick(0, 4);
      const SearchOptions options{.transfer = Minutes(transfer)};

      // Earliest arrival per number of trips.
      std::map<int, int> found;
      for (const Journey& journey :
           search.EarliestArrival(stationOf(from), stationOf(to), Minutes(at), options)) {
        found[static_cast<int>(journey.legs.size())] = journey.arrival.Count();
        // A journey that can be ridden: each leg starts where the one before ended, late
        // enough for the transfer.
        ASSERT_GE(journey.departure.Count(), at);
        ASSERT_EQ(journey.legs.front().from, stationOf(from));
        ASSERT_EQ(journey.legs.back().to, stationOf(to));
        for (std::size_t i = 1; i < journey.legs.size(); ++i) {
          ASSERT_EQ(journey.legs[i].from, journey.legs[i - 1].to);
          ASSERT_GE(journey.legs[i].departure, journey.legs[i - 1].arrival + Minutes(transfer));
        }
      }
      const std::map<int, int> expected =
          ReferenceArrivals(plain, random_project.stations, from, to, at, transfer);
      ASSERT_EQ(found, expected) << "round " << round << " from S" << from << " to S" << to
                                 << " at " << at << " transfer " << transfer;

      // The next connections within a window.
      const int window = pick(0, 240);
      std::vector<Label> reference;
      std::set<int> departures;
      for (const PlainTrip& trip : plain) {
        for (std::size_t i = 0; i + 1 < trip.size(); ++i) {
          if (trip[i].station == from && trip[i].departure >= at) {
            departures.insert(trip[i].departure);
          }
        }
      }
      // Journeys leaving after the last arrival within the window cannot beat those.
      int lastArrival = at + window;
      for (const int departure : departures) {
        if (departure > at + window && departure > lastArrival) break;
        for (const auto& [tripsUsed, arrival] :
             ReferenceArrivals(plain, random_project.stations, from, to, departure, transfer)) {
          reference.emplace_back(departure, arrival, tripsUsed - 1);
          if (departure <= at + window) lastArrival = std::max(lastArrival, arrival);
        }
      }
      std::set<Label> range;
      for (const Journey& journey : search.Range(stationOf(from), stationOf(to), Minutes(at),
                                                 Minutes(at + window), options)) {
        range.emplace(journey.departure.Count(), journey.arrival.Count(), journey.Transfers());
      }
      std::set<Label> inWindow;
      for (const Label& label : ParetoOf(reference)) {
        if (std::get<0>(label) <= at + window) inWindow.insert(label);
      }
      ASSERT_EQ(range, inWindow) << "round " << round;

      // Each earliest arrival leaves as late as still reaches it.
      for (const Journey& journey :
           search.Connections(stationOf(from), stationOf(to), Minutes(at), Minutes(0), options)) {
        const int trips_used = static_cast<int>(journey.legs.size());
        // Leaving a minute later reaches no destination earlier than leaving later still.
        for (const int later : {journey.departure.Count() + 1}) {
          const auto arrivals =
              ReferenceArrivals(plain, random_project.stations, from, to, later, transfer);
          const bool reaches = std::any_of(arrivals.begin(), arrivals.end(), [&](const auto& a) {
            return a.first <= trips_used && a.second <= journey.arrival.Count();
          });
          ASSERT_FALSE(reaches) << "round " << round << " leaves later at " << later;
        }
      }
      ++compared;
      withJourney += expected.empty() ? 0 : 1;
    }
  }
  EXPECT_GT(compared, 2000);
  EXPECT_GT(withJourney, compared / 4);
}

// ---------------------------------------------------------------------------------------
// Table-driven cases.

// Two lines crossing at M: A-M-B on line X, M-C on line Y.
std::vector<LineText> CrossingLines(std::string_view xRows, std::string_view yRows) {
  return {LineText{"X", {"A", "M", "B"}, "[1_Mo-Fr]\r\n" + std::string(xRows)},
          LineText{"Y", {"M", "C"}, "[1_Mo-Fr]\r\n" + std::string(yRows)}};
}

struct RouteCase {
  const char* what;
  std::vector<LineText> lines;
  const char* from;
  const char* to;
  const char* at;
  const char* day;
  int transfer;
  const char* expected;
};

TEST(RouteCases, AnswerAsAPassengerExpects) {
  const std::vector<RouteCase> cases = {
      {"a transfer needs the minimum transfer time",
       CrossingLines("1=A,7:00\r\n2=M,7:10\r\n", "1=M,7:11,7:12,7:20\r\n2=C,7:21,7:22,7:30\r\n"),
       "A", "C", "6:50", "Mo-Fr", 2, "07:00-07:22/1"},
      {"a zero transfer time allows the next minute",
       CrossingLines("1=A,7:00\r\n2=M,7:10\r\n", "1=M,7:10,7:12\r\n2=C,7:21,7:22\r\n"), "A", "C",
       "6:50", "Mo-Fr", 0, "07:00-07:21/1"},
      {"staying on a trip needs no transfer time",
       {LineText{"X", {"A", "M", "B"}, "[1_Mo-Fr]\r\n1=A,7:00\r\n2=M,7:10\r\n3=B,7:20\r\n"}},
       "A",
       "B",
       "7:00",
       "Mo-Fr",
       30,
       "07:00-07:20/0"},
      {"a pair row gives arrival and departure: the transfer counts from the arrival",
       {LineText{"X", {"A", "M"}, "[1_Mo-Fr]\r\n1=A,7:00\r\n2=M,7:10\r\n"},
        LineText{"Y", {"M", "C"}, "[1_Mo-Fr]\r\n1=M,7:05\r\n2=M,7:13\r\n3=C,7:20\r\n"}},
       "A",
       "C",
       "7:00",
       "Mo-Fr",
       2,
       "07:00-07:20/1"},
      {"a pair row's departure is when the trip leaves",
       {LineText{"Y", {"M", "C"}, "[1_Mo-Fr]\r\n1=M,7:05\r\n2=M,7:13\r\n3=C,7:20\r\n"}},
       "M",
       "C",
       "7:10",
       "Mo-Fr",
       2,
       "07:13-07:20/0"},
      {"interval trips are searched as every trip they stand for",
       {LineText{"X", {"A", "B"}, "[1_Mo-Fr]\r\n1=A,7:00,10 Min,8:00\r\n2=B,7:15,10 Min,8:15\r\n"}},
       "A",
       "B",
       "7:31",
       "Mo-Fr",
       2,
       "07:40-07:55/0 07:50-08:05/0 08:00-08:15/0"},
      {"a trip past midnight arrives after 24:00",
       {LineText{"X", {"A", "B"}, "[1_Mo-Fr]\r\n1=A,23:50\r\n2=B,0:20\r\n"}},
       "A",
       "B",
       "23:00",
       "Mo-Fr",
       2,
       "23:50-24:20/0"},
      {"the day before's late trip serves the morning",
       {LineText{"X", {"A", "M", "B"}, "[1_Sa]\r\n1=A,23:50\r\n2=M,0:10\r\n3=B,0:20\r\n"}},
       "M",
       "B",
       "0:00",
       "So",
       2,
       "00:10-00:20/0"},
      {"the day before's late trip left before midnight from its first stop",
       {LineText{"X", {"A", "M", "B"}, "[1_Sa]\r\n1=A,23:50\r\n2=M,0:10\r\n3=B,0:20\r\n"}},
       "A",
       "B",
       "0:00",
       "So",
       2,
       "none"},
      {"a trip that passes a station without stopping cannot be left there",
       {LineText{"X", {"A", "M", "B"}, "[1_Mo-Fr]\r\n1=A,7:00\r\n2=M,\r\n3=B,7:20\r\n"}},
       "A",
       "M",
       "6:00",
       "Mo-Fr",
       2,
       "none"},
      {"of equal arrivals the one with fewer transfers is kept",
       {LineText{"X", {"A", "M", "B"}, "[1_Mo-Fr]\r\n1=A,7:00\r\n2=M,7:10\r\n3=B,7:30\r\n"},
        LineText{"Y", {"M", "B"}, "[1_Mo-Fr]\r\n1=M,7:12\r\n2=B,7:30\r\n"}},
       "A",
       "B",
       "6:00",
       "Mo-Fr",
       2,
       "07:00-07:30/0"},
      {"a faster journey with a transfer is offered beside the direct one",
       {LineText{"X", {"A", "M", "B"}, "[1_Mo-Fr]\r\n1=A,7:00\r\n2=M,7:10\r\n3=B,7:40\r\n"},
        LineText{"Y", {"M", "B"}, "[1_Mo-Fr]\r\n1=M,7:12\r\n2=B,7:20\r\n"}},
       "A",
       "B",
       "6:00",
       "Mo-Fr",
       2,
       "07:00-07:20/1 07:00-07:40/0"},
      {"no connection in the direction against the line",
       {LineText{"X", {"A", "B"}, "[1_Mo-Fr]\r\n1=A,7:00\r\n2=B,7:20\r\n"}},
       "B",
       "A",
       "6:00",
       "Mo-Fr",
       2,
       "none"},
      {"a day group without trips has no connection",
       {LineText{"X", {"A", "B"}, "[1_Mo-Fr]\r\n1=A,7:00\r\n2=B,7:20\r\n"}},
       "A",
       "B",
       "6:00",
       "Sa",
       2,
       "none"},
      {"the latest departure that still reaches the earliest arrival is shown",
       {LineText{"X", {"A", "M"}, "[1_Mo-Fr]\r\n1=A,7:00,7:05\r\n2=M,7:10,7:12\r\n"},
        LineText{"Y", {"M", "B"}, "[1_Mo-Fr]\r\n1=M,7:30\r\n2=B,7:40\r\n"}},
       "A",
       "B",
       "6:00",
       "Mo-Fr",
       2,
       "07:05-07:40/1"},
  };
  for (const RouteCase& c : cases) {
    Project project(c.lines);
    EXPECT_EQ(project.Ask(c.from, c.to, c.at, c.day, c.transfer), c.expected) << c.what;
  }
}

TEST(RouteCases, TheDayBeforesLateTripsServeTheNextMorningByDate) {
  Project project(
      {LineText{"X", {"A", "M", "B"}, "[1_Sa]\r\n1=A,23:50\r\n2=M,0:10\r\n3=B,0:20\r\n"}});
  RouteRequest request = Request("M", "B", Minutes(0));
  request.date = ParseIsoDate("2026-03-15");  // a Sunday
  const RouteAnswer sunday = project.Answer(request);
  ASSERT_EQ(sunday.journeys.size(), 1u);
  EXPECT_EQ(HourMinuteText(sunday.journeys[0].departure), "00:10");
  EXPECT_EQ(HourMinuteText(sunday.journeys[0].arrival), "00:20");
  EXPECT_EQ(sunday.date, "2026-03-15");
  request.date = ParseIsoDate("2026-03-16");  // a Monday follows no Saturday
  EXPECT_TRUE(project.Answer(request).journeys.empty());
}

TEST(RouteCases, AHolidayRunsTheHolidayGroup) {
  Project project({LineText{"X",
                            {"A", "B"},
                            "[1_Mo-Fr]\r\n1=A,7:00\r\n2=B,7:20\r\n"
                            "[1_So]\r\n1=A,9:00\r\n2=B,9:20\r\n"}},
                  "[gtfs]\r\nholidays=20260406\r\n");
  RouteRequest request = Request("A", "B", Minutes(0));
  request.date = ParseIsoDate("2026-04-06");  // Easter Monday
  EXPECT_EQ(HourMinuteText(project.Answer(request).journeys.at(0).departure), "09:00");
  request.date = ParseIsoDate("2026-04-07");
  EXPECT_EQ(HourMinuteText(project.Answer(request).journeys.at(0).departure), "07:00");
}

TEST(RouteCases, TheProjectsMinimumTransferTimeIsTheDefault) {
  Project project(CrossingLines("1=A,7:00\r\n2=M,7:10\r\n", "1=M,7:12,7:20\r\n2=C,7:22,7:30\r\n"),
                  "[routing]\r\nmin_transfer_minutes=5\r\n");
  RouteRequest request = Request("A", "C", Minutes(6 * 60));
  request.dayGroup = "Mo-Fr";
  const RouteAnswer answer = project.Answer(request);
  ASSERT_EQ(answer.journeys.size(), 1u);
  EXPECT_EQ(HourMinuteText(answer.journeys[0].arrival), "07:30");
}

TEST(RouteCases, TripsWithErrorCellsAreLeftOutAndTheSearchGoesOn) {
  Project project({LineText{"X", {"A", "B"}, "[1_Mo-Fr]\r\n1=A,7:00,7:30\r\n2=B,7:2x,7:50\r\n"}});
  EXPECT_EQ(project.Ask("A", "B", "6:00"), "07:30-07:50/0");
  const ProjectTrips& trips = project.Cache().Trips(project.Ctx());
  EXPECT_EQ(trips.leftOutTrips, 1u);
  ASSERT_EQ(trips.warnings.size(), 1u);
  EXPECT_NE(trips.warnings[0].find("Fahrt 1"), std::string::npos);
}

TEST(RouteCases, StationsMatchExactlyThenIgnoringCaseAndAccents) {
  Project project(
      {LineText{"X",
                {"Südfriedhof", "Bahnhof", "bahnhof", "Bähnhof"},
                "[1_Mo-Fr]\r\n1=Südfriedhof,7:00\r\n2=Bahnhof,7:10\r\n3=bahnhof,7:20\r\n"
                "4=Bähnhof,7:30\r\n"}});
  EXPECT_EQ(project.Ask("sudfriedhof", "bahnhof", "6:00"), "07:00-07:20/0");
  EXPECT_EQ(project.Ask("SÜDFRIEDHOF", "Bähnhof", "6:00"), "07:00-07:30/0");
  try {
    project.Ask("Südfriedhof", "BAHNHOF", "6:00");
    FAIL() << "an ambiguous name was taken";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "Station nicht eindeutig: BAHNHOF (Bahnhof, Bähnhof, bahnhof)");
  }
  try {
    project.Ask("Nirgendwo\x81\xff", "Bahnhof", "6:00");
    FAIL() << "an unknown name was taken";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Station nicht gefunden: Nirgendwo\x81\xff");
  }
  EXPECT_EQ(StationsStartingWith(project.Cache().Trips(project.Ctx()), "su"),
            std::vector<std::string>{"Südfriedhof"});
}

TEST(RouteCases, AnUnknownDayGroupIsRefused) {
  Project project({LineText{"X", {"A", "B"}, "[1_Mo-Fr]\r\n1=A,7:00\r\n2=B,7:20\r\n"}});
  EXPECT_THROW(project.Ask("A", "B", "6:00", "Feiertag"), Error);
}

TEST(TravelDay, TimesAndDatesAreCheckedStrictly) {
  EXPECT_EQ(ParseClockTime("7:05"), Minutes(425));
  EXPECT_EQ(ParseClockTime("23:59"), Minutes(1439));
  for (const char* bad : {"25:99", "24:00", "7:5", "7.05", "", ":05", "07:05 ", "-1:00"}) {
    EXPECT_FALSE(ParseClockTime(bad)) << bad;
  }
  EXPECT_TRUE(ParseIsoDate("2028-02-29"));
  for (const char* bad : {"2026-02-30", "2026-13-01", "2026-2-03", "20260203", "2026-02-3x"}) {
    EXPECT_FALSE(ParseIsoDate(bad)) << bad;
  }
}

TEST(RoutingCache, ReadsTheProjectAgainOnlyWhenAFileChanged) {
  Project project({LineText{"X", {"A", "B"}, "[1_Mo-Fr]\r\n1=A,7:00\r\n2=B,7:20\r\n"}});
  EXPECT_EQ(project.Ask("A", "B", "6:00"), "07:00-07:20/0");
  EXPECT_EQ(project.Ask("A", "B", "6:30"), "07:00-07:20/0");
  EXPECT_EQ(project.Cache().ReadCount(), 1);
  project.Dir().Write("line_X.ttd", "[1_Mo-Fr]\r\n1=A,7:00,7:10\r\n2=B,7:20,7:25\r\n");
  EXPECT_EQ(project.Ask("A", "B", "6:00"), "07:00-07:20/0 07:10-07:25/0");
  EXPECT_EQ(project.Cache().ReadCount(), 2);
}

TEST(JourneyFormat, TextAndJsonNameLinesDirectionsAndTimes) {
  Project project(
      CrossingLines("1=A,7:00\r\n2=M,7:10\r\n3=B,7:15\r\n", "1=M,23:50\r\n2=C\xfc,0:05\r\n"));
  RouteRequest request = Request("A", "C\xfc", Minutes(6 * 60));
  request.dayGroup = "Mo-Fr";
  const RouteAnswer answer = project.Answer(request);
  ASSERT_EQ(answer.journeys.size(), 1u);
  EXPECT_EQ(
      JourneyTextLines(*answer.timetable, answer.journeys[0], 1),
      (std::vector<std::string>{"Verbindung 1: ab 07:00 A, an 24:05 C\xfc, 1025 Min, 1 Umstieg",
                                "  07:00 A  ->  X Richtung B  ->  07:10 M", "  Umstieg 1000 Min",
                                "  23:50 M  ->  Y Richtung C\xfc  ->  24:05 C\xfc"}));
  EXPECT_EQ(
      JourneysJson(*answer.timetable, answer.from, answer.to, "Mo-Fr", answer.journeys),
      "{\"from\":\"A\",\"to\":\"C\xc3\xbc\",\"date\":\"Mo-Fr\",\"journeys\":[{\"departure\":"
      "\"07:00\",\"arrival\":\"24:05\",\"transfers\":1,\"legs\":[{\"line\":\"X\",\"direction\":"
      "1,\"headsign\":\"B\",\"from\":\"A\",\"departure\":\"07:00\",\"to\":\"M\",\"arrival\":"
      "\"07:10\"},{\"line\":\"Y\",\"direction\":1,\"headsign\":\"C\xc3\xbc\",\"from\":\"M\","
      "\"departure\":\"23:50\",\"to\":\"C\xc3\xbc\",\"arrival\":\"24:05\"}]}]}");
  EXPECT_EQ(JsonString("a\"b\\c\x01"), "\"a\\\"b\\\\c\\u0001\"");
}

}  // namespace
}  // namespace trivo

#pragma once

// Small GTFS feeds for tests: written file by file, or generated at random so that the
// import represents them fully (the round trip through the import and the export).

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "gtfs/csv.h"
#include "gtfs/zip_archive.h"

namespace trivo::test {

class TestFeed {
 public:
  // A feed of the named files, each given as CSV lines (header first), joined by LF.
  TestFeed& Set(const std::string& name, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    files[name] = text;
    return *this;
  }
  TestFeed& Remove(const std::string& name) {
    files.erase(name);
    return *this;
  }
  std::string Zip() const {
    gtfs::ZipWriter writer;
    for (const auto& [name, text] : files) writer.Add(name, text);
    return writer.Bytes();
  }
  std::filesystem::path WriteTo(const std::filesystem::path& folder,
                                const std::string& name = "feed.zip") const {
    const std::filesystem::path path = folder / name;
    std::ofstream out(path, std::ios::binary);
    out << Zip();
    if (!out) throw std::runtime_error("cannot write " + path.string());
    return path;
  }

  // One agency, a calendar running Monday to Friday 2025 and one weekend service; the
  // stops, routes, trips and stop times are the test's.
  static TestFeed Basic() {
    TestFeed feed;
    feed.Set("agency.txt", {"agency_id,agency_name,agency_url,agency_timezone,agency_lang",
                            "A,Stadtwerke Test,https://example.org,Europe/Berlin,de"});
    feed.Set("calendar.txt",
             {"service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,"
              "end_date",
              "WD,1,1,1,1,1,0,0,20250106,20251231", "SA,0,0,0,0,0,1,0,20250106,20251231",
              "SU,0,0,0,0,0,0,1,20250106,20251231", "ALL,1,1,1,1,1,1,1,20250106,20251231"});
    return feed;
  }

  std::map<std::string, std::string> files;
};

// A trip of a generated feed, as the feed has it.
struct GeneratedTrip {
  std::string id;
  std::string route;
  int direction = 0;
  unsigned days = 0;  // bit 0 Monday ... bit 6 Sunday, in the reference week
  std::vector<std::string> stops;
  std::vector<std::int32_t> arrivals;  // seconds after the service day's midnight
  std::vector<std::int32_t> departures;
};

struct GeneratedFeed {
  TestFeed feed;
  std::vector<GeneratedTrip> trips;
  std::string week = "2025-01-06";  // the reference week's Monday
};

// A random feed that the import represents fully: stops without parents and with
// distinct names, routes with distinct short names, every trip's stops a subsequence of
// its route's station order (direction 1 reversed), times rising along a trip, some trips
// starting after midnight and some after 24:00, no frequencies.
inline GeneratedFeed RandomFeed(std::uint32_t seed) {
  std::mt19937 random(seed);
  const auto pick = [&](int from, int to) {
    return std::uniform_int_distribution<int>(from, to)(random);
  };
  GeneratedFeed generated;
  TestFeed& feed = generated.feed;
  feed = TestFeed::Basic();
  const int stopCount = pick(3, 12);
  std::vector<std::string> stops = {"stop_id,stop_name,stop_lat,stop_lon"};
  for (int s = 0; s < stopCount; ++s) {
    stops.push_back("S" + std::to_string(s) + ",Halt " + std::to_string(s) + "," +
                    std::to_string(50 + s * 0.01) + "," + std::to_string(8 + s * 0.01));
  }
  feed.Set("stops.txt", stops);
  std::vector<std::string> routes = {"route_id,route_short_name,route_type"};
  std::vector<std::string> trips = {"route_id,service_id,trip_id,direction_id"};
  std::vector<std::string> times = {"trip_id,arrival_time,departure_time,stop_id,stop_sequence"};
  const std::vector<std::pair<std::string, unsigned>> services = {
      {"WD", 0x1F}, {"SA", 0x20}, {"SU", 0x40}, {"ALL", 0x7F}};
  const auto clock = [](std::int32_t seconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return std::string(text);
  };
  const int routeCount = pick(1, 3);
  int tripNumber = 0;
  for (int r = 0; r < routeCount; ++r) {
    const std::string route = "R" + std::to_string(r);
    routes.push_back(route + "," + std::to_string(10 + r) + ",3");
    std::vector<int> course(static_cast<std::size_t>(stopCount));
    for (int s = 0; s < stopCount; ++s) course[static_cast<std::size_t>(s)] = s;
    std::shuffle(course.begin(), course.end(), random);
    course.resize(static_cast<std::size_t>(pick(2, stopCount)));
    const int tripCount = pick(1, 8);
    for (int t = 0; t < tripCount; ++t) {
      GeneratedTrip trip;
      trip.id = "T" + std::to_string(tripNumber++);
      trip.route = route;
      trip.direction = pick(0, 1);
      const auto& service = services[static_cast<std::size_t>(pick(0, 3))];
      std::vector<int> served;
      for (const int s : course) {
        if (pick(0, 3) > 0) served.push_back(s);
      }
      if (served.size() < 2) served = {course.front(), course.back()};
      if (trip.direction == 1) std::reverse(served.begin(), served.end());
      std::int32_t clockSeconds =
          pick(0, 9) == 0 ? pick(24 * 3600, 26 * 3600) : pick(4 * 3600, 24 * 3600 - 1);
      const bool waits = pick(0, 2) == 0;
      for (const int s : served) {
        trip.stops.push_back("S" + std::to_string(s));
        trip.arrivals.push_back(clockSeconds);
        if (waits && pick(0, 1) == 0) clockSeconds += 60 * pick(1, 3);
        trip.departures.push_back(clockSeconds);
        clockSeconds += 60 * pick(1, 9) + pick(0, 59);
      }
      // A trip carries no time of arrival at its first stop nor of departure at its last
      // in a timetable: there both are the same.
      trip.arrivals.front() = trip.departures.front();
      trip.departures.back() = trip.arrivals.back();
      trip.days = service.second;
      trips.push_back(route + "," + service.first + "," + trip.id + "," +
                      std::to_string(trip.direction));
      for (std::size_t i = 0; i < trip.stops.size(); ++i) {
        times.push_back(trip.id + "," + clock(trip.arrivals[i]) + "," + clock(trip.departures[i]) +
                        "," + trip.stops[i] + "," + std::to_string(i + 1));
      }
      generated.trips.push_back(std::move(trip));
    }
  }
  feed.Set("routes.txt", routes);
  feed.Set("trips.txt", trips);
  feed.Set("stop_times.txt", times);
  return generated;
}

}  // namespace trivo::test

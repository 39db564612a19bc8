#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/minutes.h"
#include "project/prj_params.h"

namespace trivo::gtfs {

// A static GTFS feed as the export builds it. Texts are Windows-1252, as everywhere in the
// core; the writer turns them into UTF-8. Stop times refer to their stop by index, so
// that a large feed keeps one copy of every ID.
struct FeedAgency {
  std::string id;
  std::string name;
  std::string url;
  std::string timezone;
  std::string lang;
};

struct FeedStop {
  std::string id;
  std::string name;
  double latitude = 0;
  double longitude = 0;
};

struct FeedRoute {
  std::string id;
  std::string shortName;
  std::string longName;
  int type = 3;
};

// One service: the days of a day group over the service period.
struct FeedService {
  std::string id;
  Weekdays days;
  std::string startDate;  // YYYYMMDD
  std::string endDate;
};

struct FeedServiceDate {
  std::string serviceId;
  std::string date;   // YYYYMMDD
  bool added = true;  // exception_type 1 (added) or 2 (removed)
};

struct FeedStopTime {
  std::uint32_t stop = 0;  // index into Feed::stops
  Minutes arrival;
  Minutes departure;
};

struct FeedTrip {
  std::string id;
  std::uint32_t route = 0;  // index into Feed::routes
  std::string serviceId;
  int directionId = 0;
  std::string headsign;
  std::vector<FeedStopTime> stopTimes;  // in stop_sequence order, from 1
};

// Trips every headway minutes from start (inclusive) to end (exclusive) over the stop
// times of a trip, each trip at exactly its time.
struct FeedFrequency {
  std::size_t trip = 0;  // index into Feed::trips
  Minutes start;
  Minutes end;
  Minutes headway;
};

struct FeedInfo {
  std::string publisherName;
  std::string publisherUrl;
  std::string lang;
  std::string startDate;
  std::string endDate;
  std::string version;
};

struct Feed {
  FeedAgency agency;
  std::vector<FeedStop> stops;
  std::vector<FeedRoute> routes;
  std::vector<FeedService> services;
  std::vector<FeedServiceDate> serviceDates;
  std::vector<FeedTrip> trips;
  std::vector<FeedFrequency> frequencies;
  FeedInfo info;

  std::size_t StopTimeCount() const;
};

// "HH:MM:SS" of a time of the service day; past 24 hours after midnight ("24:05:00").
std::string GtfsTime(Minutes time);

// The feed's files in the order a feed lists them (agency.txt, stops.txt, routes.txt,
// trips.txt, stop_times.txt, calendar.txt, calendar_dates.txt when there are service
// dates, frequencies.txt when there are frequencies, feed_info.txt), each an RFC 4180 text
// in UTF-8 with a header row.
std::vector<std::pair<std::string, std::string>> FeedFiles(const Feed& feed);

}  // namespace trivo::gtfs

#include "gtfs/feed.h"

#include <charconv>
#include <cstdio>

#include "gtfs/csv.h"
#include "gtfs/encoding.h"
#include "project/gtfs_settings.h"

namespace trivo::gtfs {

namespace {

std::string Utf8(std::string_view text) {
  return Cp1252ToUtf8(text);
}

std::string AgencyFile(const Feed& feed) {
  std::string out;
  CsvWriter csv(out);
  csv.Write({"agency_id", "agency_name", "agency_url", "agency_timezone", "agency_lang"});
  const FeedAgency& a = feed.agency;
  csv.Write(std::vector<std::string>{Utf8(a.id), Utf8(a.name), Utf8(a.url), Utf8(a.timezone),
                                     Utf8(a.lang)});
  return out;
}

std::string StopsFile(const Feed& feed) {
  std::string out;
  CsvWriter csv(out);
  csv.Write({"stop_id", "stop_name", "stop_lat", "stop_lon", "location_type"});
  for (const FeedStop& stop : feed.stops) {
    csv.Write(std::vector<std::string>{Utf8(stop.id), Utf8(stop.name),
                                       DecimalDegrees(stop.latitude),
                                       DecimalDegrees(stop.longitude), "0"});
  }
  return out;
}

std::string RoutesFile(const Feed& feed) {
  std::string out;
  CsvWriter csv(out);
  csv.Write({"route_id", "agency_id", "route_short_name", "route_long_name", "route_type"});
  const std::string agency = Utf8(feed.agency.id);
  for (const FeedRoute& route : feed.routes) {
    csv.Write(std::vector<std::string>{Utf8(route.id), agency, Utf8(route.shortName),
                                       Utf8(route.longName), std::to_string(route.type)});
  }
  return out;
}

std::string TripsFile(const Feed& feed, const std::vector<std::string>& routeIds) {
  std::string out;
  CsvWriter csv(out);
  csv.Write({"route_id", "service_id", "trip_id", "trip_headsign", "direction_id"});
  for (const FeedTrip& trip : feed.trips) {
    csv.Write(std::vector<std::string>{routeIds[trip.route], Utf8(trip.serviceId), Utf8(trip.id),
                                       Utf8(trip.headsign), std::to_string(trip.directionId)});
  }
  return out;
}

// "HH:MM:SS" appended, hours past 23 after midnight.
void AppendGtfsTime(std::string& out, Minutes time) {
  const std::int32_t count = time.Count();
  if (count < 0) {
    out += GtfsTime(time);
    return;
  }
  char buffer[16];
  if (count / 60 < 10) out += '0';
  out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, count / 60).ptr);
  const std::int32_t minutes = count % 60;
  out += ':';
  out += static_cast<char>('0' + minutes / 10);
  out += static_cast<char>('0' + minutes % 10);
  out += ":00";
}

// The largest file of a feed, one row per stop time: written from fields escaped once
// per trip and stop.
std::string StopTimesFile(const Feed& feed) {
  std::vector<std::string> stopIds;
  stopIds.reserve(feed.stops.size());
  for (const FeedStop& stop : feed.stops) stopIds.push_back(CsvField(Utf8(stop.id)));
  std::string out;
  out.reserve(feed.StopTimeCount() * 48 + 64);
  CsvWriter(out).Write({"trip_id", "arrival_time", "departure_time", "stop_id", "stop_sequence"});
  char number[16];
  for (const FeedTrip& trip : feed.trips) {
    const std::string tripId = CsvField(Utf8(trip.id));
    std::uint32_t sequence = 0;
    for (const FeedStopTime& time : trip.stopTimes) {
      out += tripId;
      out += ',';
      AppendGtfsTime(out, time.arrival);
      out += ',';
      AppendGtfsTime(out, time.departure);
      out += ',';
      out += stopIds[time.stop];
      out += ',';
      out.append(number, std::to_chars(number, number + sizeof number, ++sequence).ptr);
      out += "\r\n";
    }
  }
  return out;
}

std::string CalendarFile(const Feed& feed) {
  std::string out;
  CsvWriter csv(out);
  csv.Write({"service_id", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday",
             "sunday", "start_date", "end_date"});
  for (const FeedService& service : feed.services) {
    std::vector<std::string> row{Utf8(service.id)};
    for (std::size_t day = 0; day < 7; ++day) row.push_back(service.days[day] ? "1" : "0");
    row.push_back(service.startDate);
    row.push_back(service.endDate);
    csv.Write(row);
  }
  return out;
}

std::string CalendarDatesFile(const Feed& feed) {
  std::string out;
  CsvWriter csv(out);
  csv.Write({"service_id", "date", "exception_type"});
  for (const FeedServiceDate& date : feed.serviceDates) {
    csv.Write(std::vector<std::string>{Utf8(date.serviceId), date.date, date.added ? "1" : "2"});
  }
  return out;
}

std::string FrequenciesFile(const Feed& feed) {
  std::string out;
  CsvWriter csv(out);
  csv.Write({"trip_id", "start_time", "end_time", "headway_secs", "exact_times"});
  for (const FeedFrequency& frequency : feed.frequencies) {
    csv.Write(std::vector<std::string>{Utf8(feed.trips[frequency.trip].id),
                                       GtfsTime(frequency.start), GtfsTime(frequency.end),
                                       std::to_string(frequency.headway.Count() * 60), "1"});
  }
  return out;
}

std::string FeedInfoFile(const Feed& feed) {
  std::string out;
  CsvWriter csv(out);
  csv.Write({"feed_publisher_name", "feed_publisher_url", "feed_lang", "feed_start_date",
             "feed_end_date", "feed_version"});
  const FeedInfo& i = feed.info;
  csv.Write(std::vector<std::string>{Utf8(i.publisherName), Utf8(i.publisherUrl), Utf8(i.lang),
                                     i.startDate, i.endDate, Utf8(i.version)});
  return out;
}

}  // namespace

std::size_t Feed::StopTimeCount() const {
  std::size_t count = 0;
  for (const FeedTrip& trip : trips) count += trip.stopTimes.size();
  return count;
}

std::string GtfsTime(Minutes time) {
  return HourMinuteText(time) + ":00";
}

std::vector<std::pair<std::string, std::string>> FeedFiles(const Feed& feed) {
  std::vector<std::string> routeIds;
  routeIds.reserve(feed.routes.size());
  for (const FeedRoute& route : feed.routes) routeIds.push_back(Utf8(route.id));
  std::vector<std::pair<std::string, std::string>> files;
  files.emplace_back("agency.txt", AgencyFile(feed));
  files.emplace_back("stops.txt", StopsFile(feed));
  files.emplace_back("routes.txt", RoutesFile(feed));
  files.emplace_back("trips.txt", TripsFile(feed, routeIds));
  files.emplace_back("stop_times.txt", StopTimesFile(feed));
  files.emplace_back("calendar.txt", CalendarFile(feed));
  if (!feed.serviceDates.empty()) files.emplace_back("calendar_dates.txt", CalendarDatesFile(feed));
  if (!feed.frequencies.empty()) files.emplace_back("frequencies.txt", FrequenciesFile(feed));
  files.emplace_back("feed_info.txt", FeedInfoFile(feed));
  return files;
}

}  // namespace trivo::gtfs

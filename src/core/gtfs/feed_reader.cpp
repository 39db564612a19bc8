#include "gtfs/feed_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <unordered_set>

#include "common/error.h"
#include "common/strings.h"
#include "gtfs/csv.h"
#include "gtfs/encoding.h"
#include "gtfs/zip_archive.h"

namespace trivo::gtfs::reading {

namespace {

using Section = ImportReport::Section;

struct StringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept {
    return std::hash<std::string_view>{}(text);
  }
};
using IdIndex = std::unordered_map<std::string, std::uint32_t, StringHash, std::equal_to<>>;

std::optional<std::uint32_t> Find(const IdIndex& index, std::string_view id) {
  const auto it = index.find(id);
  if (it == index.end()) return std::nullopt;
  return it->second;
}

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::optional<long long> Integer(std::string_view text) {
  text = TrimView(text);
  if (text.empty()) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> Decimal(std::string_view text) {
  const std::string trimmed(TrimView(text));
  if (!IsDecimalNumber(trimmed)) return std::nullopt;
  const double value = std::strtod(trimmed.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text.substr(0, 80)) + "\"";
}

// The records of one file of the feed, each complete: a record with too few fields is
// skipped and reported.
class FileRows {
 public:
  FileRows(const ZipReader& zip, std::string_view name, ImportReport& report)
      : source_(zip.Open(name)), table_(*source_, std::string(name)), report_(report) {}

  bool Next() {
    while (table_.Next(record_)) {
      if (table_.Complete(record_)) return true;
      report_.Add(Section::SkippedRows, kind::kShortRow, table_.IncompleteReason(record_));
    }
    return false;
  }

  std::optional<std::size_t> Column(std::string_view name) const { return table_.Column(name); }
  std::size_t Require(std::string_view name) const { return table_.RequireColumn(name); }
  std::string_view Raw(std::optional<std::size_t> column) const { return FieldOf(record_, column); }
  std::string_view Id(std::optional<std::size_t> column) const { return TrimView(Raw(column)); }
  // A text field, as UTF-8: bytes that are none become '?', reported.
  std::string Text(std::optional<std::size_t> column) {
    const std::string_view text = TrimView(Raw(column));
    if (IsUtf8(text)) return std::string(text);
    Changed(kind::kNotUtf8, std::string(FileName()));
    return RepairedUtf8(text);
  }

  // Skips the row: counted under the kind, with file and row.
  void Skip(std::string_view kind, const std::string& what) {
    report_.Add(Section::SkippedRows, kind, At() + what);
  }
  // Whether the row's ID can be taken: a row without one, or with one taken before, is
  // skipped.
  bool NewId(std::string_view id, std::string_view field, bool taken) {
    if (id.empty()) {
      Skip(kind::kMissingId, std::string(field) + " leer");
      return false;
    }
    if (taken) {
      Skip(kind::kDuplicateId, std::string(field) + " " + Quoted(id) + " schon vergeben");
      return false;
    }
    return true;
  }
  void Changed(std::string_view kind, const std::string& what) {
    report_.Add(Section::Changes, kind, At() + what);
  }
  std::string At() const { return AtLine(table_.FileName(), record_.line); }
  std::size_t Line() const { return record_.line; }
  const std::string& FileName() const { return table_.FileName(); }

 private:
  std::unique_ptr<ByteSource> source_;
  CsvTable table_;
  ImportReport& report_;
  CsvRecord record_;
};

void RequireFile(const ZipReader& zip, std::string_view name) {
  if (!zip.Has(name)) {
    throw Error("ZIP-Archiv " + zip.DisplayName() + ": " + std::string(name) +
                " fehlt (ein GTFS-Feed braucht diese Datei)");
  }
}

class Reader {
 public:
  Reader(const ZipReader& zip, ImportReport& report, const std::vector<std::string>& routes)
      : zip_(zip), report_(report), wanted_(routes.begin(), routes.end()) {}

  Feed Read() {
    for (const std::string_view name : {"stops.txt", "routes.txt", "trips.txt", "stop_times.txt"}) {
      RequireFile(zip_, name);
    }
    if (!zip_.Has("calendar.txt") && !zip_.Has("calendar_dates.txt")) {
      throw Error("ZIP-Archiv " + zip_.DisplayName() +
                  ": calendar.txt und calendar_dates.txt fehlen (ein GTFS-Feed braucht eine "
                  "der beiden Dateien)");
    }
    if (zip_.Has("agency.txt")) ReadAgency();
    if (zip_.Has("feed_info.txt")) ReadFeedInfo();
    ReadStops();
    ReadRoutes();
    if (zip_.Has("calendar.txt")) ReadCalendar();
    if (zip_.Has("calendar_dates.txt")) ReadCalendarDates();
    ReadTrips();
    ReadStopTimes();
    if (zip_.Has("frequencies.txt")) ReadFrequencies();
    return std::move(feed_);
  }

 private:
  void ReadAgency() {
    FileRows rows(zip_, "agency.txt", report_);
    const auto name = rows.Column("agency_name");
    const auto url = rows.Column("agency_url");
    const auto timezone = rows.Column("agency_timezone");
    const auto lang = rows.Column("agency_lang");
    if (!rows.Next()) return;
    feed_.agency = {rows.Text(name), rows.Text(url), rows.Text(timezone), rows.Text(lang)};
  }

  void ReadFeedInfo() {
    FileRows rows(zip_, "feed_info.txt", report_);
    const auto start = rows.Column("feed_start_date");
    const auto end = rows.Column("feed_end_date");
    const auto lang = rows.Column("feed_lang");
    if (!rows.Next()) return;
    feed_.feedStart = ParseGtfsDate(rows.Id(start));
    feed_.feedEnd = ParseGtfsDate(rows.Id(end));
    if (feed_.agency.lang.empty()) feed_.agency.lang = rows.Text(lang);
  }

  void ReadStops() {
    FileRows rows(zip_, "stops.txt", report_);
    const std::size_t idColumn = rows.Require("stop_id");
    const auto name = rows.Column("stop_name");
    const auto code = rows.Column("stop_code");
    const auto type = rows.Column("location_type");
    const auto parent = rows.Column("parent_station");
    const auto lat = rows.Column("stop_lat");
    const auto lon = rows.Column("stop_lon");
    std::vector<std::string> parents;
    while (rows.Next()) {
      const std::string_view id = rows.Id(idColumn);
      if (!rows.NewId(id, "stop_id", stopIndex_.count(id) != 0)) continue;
      FeedStop stop;
      stop.id = std::string(id);
      stop.name = rows.Text(name);
      stop.code = rows.Text(code);
      const std::string_view typeText = rows.Id(type);
      if (!typeText.empty()) {
        const auto value = Integer(typeText);
        if (!value || *value < 0 || *value > 4) {
          rows.Skip(kind::kBadValue, "location_type " + Quoted(typeText));
          continue;
        }
        stop.locationType = static_cast<int>(*value);
      }
      const auto latitude = Decimal(rows.Raw(lat));
      const auto longitude = Decimal(rows.Raw(lon));
      if (latitude && longitude && std::fabs(*latitude) <= 90 && std::fabs(*longitude) <= 180) {
        stop.position = Position{*latitude, *longitude};
      }
      stop.line = rows.Line();
      stopIndex_.emplace(stop.id, static_cast<std::uint32_t>(feed_.stops.size()));
      parents.emplace_back(rows.Id(parent));
      feed_.stops.push_back(std::move(stop));
    }
    for (std::size_t i = 0; i < feed_.stops.size(); ++i) {
      if (parents[i].empty()) continue;
      const auto index = Find(stopIndex_, parents[i]);
      if (!index || *index == i) {
        report_.Add(
            Section::Changes, "unbekannte parent_station (Haltestelle als Station)",
            AtLine("stops.txt", feed_.stops[i].line) + "parent_station " + Quoted(parents[i]));
        continue;
      }
      feed_.stops[i].parent = *index;
    }
  }

  void ReadRoutes() {
    FileRows rows(zip_, "routes.txt", report_);
    const std::size_t idColumn = rows.Require("route_id");
    const auto shortName = rows.Column("route_short_name");
    const auto longName = rows.Column("route_long_name");
    const auto type = rows.Column("route_type");
    const auto sortOrder = rows.Column("route_sort_order");
    std::unordered_set<std::string> found;
    while (rows.Next()) {
      const std::string_view id = rows.Id(idColumn);
      if (!rows.NewId(id, "route_id", found.count(std::string(id)) != 0)) continue;
      found.emplace(id);
      if (!wanted_.empty() && wanted_.count(std::string(id)) == 0) continue;
      FeedRoute route;
      route.id = std::string(id);
      route.shortName = rows.Text(shortName);
      route.longName = rows.Text(longName);
      if (const auto value = Integer(rows.Raw(type)); value && *value >= 0 && *value < 10000) {
        route.type = static_cast<int>(*value);
      } else if (!rows.Id(type).empty()) {
        rows.Changed(kind::kBadValue, "route_type " + Quoted(rows.Id(type)) + ", 3 (Bus) genommen");
      }
      if (const auto value = Integer(rows.Raw(sortOrder));
          value && *value >= 0 && *value <= 0x7FFFFFFF) {
        route.sortOrder = static_cast<int>(*value);
      }
      routeIndex_.emplace(route.id, static_cast<std::uint32_t>(feed_.routes.size()));
      feed_.routes.push_back(std::move(route));
    }
    for (const std::string& id : wanted_) {
      if (found.count(id) == 0) feed_.unknownRoutes.push_back(id);
    }
    std::sort(feed_.unknownRoutes.begin(), feed_.unknownRoutes.end());
  }

  std::uint32_t Service(std::string_view id) {
    if (const auto index = Find(serviceIndex_, id)) return *index;
    const auto index = static_cast<std::uint32_t>(feed_.services.size());
    feed_.services.push_back({std::string(id), {}, {}, {}, {}, {}});
    serviceIndex_.emplace(std::string(id), index);
    return index;
  }

  void ReadCalendar() {
    FileRows rows(zip_, "calendar.txt", report_);
    const std::size_t idColumn = rows.Require("service_id");
    static constexpr std::string_view kDays[] = {"monday", "tuesday",  "wednesday", "thursday",
                                                 "friday", "saturday", "sunday"};
    std::size_t dayColumns[7];
    for (std::size_t day = 0; day < 7; ++day) dayColumns[day] = rows.Require(kDays[day]);
    const std::size_t startColumn = rows.Require("start_date");
    const std::size_t endColumn = rows.Require("end_date");
    while (rows.Next()) {
      const std::string_view id = rows.Id(idColumn);
      if (id.empty()) {
        rows.Skip(kind::kMissingId, "service_id leer");
        continue;
      }
      const auto start = ParseGtfsDate(rows.Id(startColumn));
      const auto end = ParseGtfsDate(rows.Id(endColumn));
      if (!start || !end) {
        rows.Skip(kind::kBadValue,
                  "Datum " + Quoted(start ? rows.Id(endColumn) : rows.Id(startColumn)));
        continue;
      }
      Weekdays days;
      bool valid = true;
      for (std::size_t day = 0; day < 7; ++day) {
        const std::string_view flag = rows.Id(dayColumns[day]);
        valid = valid && (flag == "0" || flag == "1");
        days.set(day, flag == "1");
      }
      if (!valid) {
        rows.Skip(kind::kBadValue, "Wochentage müssen 0 oder 1 sein");
        continue;
      }
      if (Find(serviceIndex_, id) && calendarSeen_.count(std::string(id)) != 0) {
        rows.Skip(kind::kDuplicateId, "service_id " + Quoted(id) + " schon vergeben");
        continue;
      }
      calendarSeen_.emplace(id);
      FeedService& service = feed_.services[Service(id)];
      service.days = days;
      service.start = start;
      service.end = end;
    }
  }

  void ReadCalendarDates() {
    FileRows rows(zip_, "calendar_dates.txt", report_);
    const std::size_t idColumn = rows.Require("service_id");
    const std::size_t dateColumn = rows.Require("date");
    const std::size_t typeColumn = rows.Require("exception_type");
    while (rows.Next()) {
      const std::string_view id = rows.Id(idColumn);
      if (id.empty()) {
        rows.Skip(kind::kMissingId, "service_id leer");
        continue;
      }
      const auto date = ParseGtfsDate(rows.Id(dateColumn));
      const std::string_view type = rows.Id(typeColumn);
      if (!date || (type != "1" && type != "2")) {
        rows.Skip(kind::kBadValue,
                  date ? "exception_type " + Quoted(type) : "Datum " + Quoted(rows.Id(dateColumn)));
        continue;
      }
      FeedService& service = feed_.services[Service(id)];
      (type == "1" ? service.added : service.removed).push_back(*date);
    }
    for (FeedService& service : feed_.services) {
      std::sort(service.added.begin(), service.added.end());
      std::sort(service.removed.begin(), service.removed.end());
    }
  }

  void ReadTrips() {
    FileRows rows(zip_, "trips.txt", report_);
    const std::size_t idColumn = rows.Require("trip_id");
    const std::size_t routeColumn = rows.Require("route_id");
    const std::size_t serviceColumn = rows.Require("service_id");
    const auto direction = rows.Column("direction_id");
    while (rows.Next()) {
      const std::string_view id = rows.Id(idColumn);
      const std::string_view routeId = rows.Id(routeColumn);
      if (!rows.NewId(id, "trip_id", tripIndex_.count(id) != 0 || ignoredTrips_.count(id) != 0)) {
        continue;
      }
      const auto route = Find(routeIndex_, routeId);
      if (!route) {
        if (!wanted_.empty()) {
          ignoredTrips_.emplace(id);  // a route not asked for, or one skipped
        } else {
          rows.Skip(kind::kUnknownRoute, "route_id " + Quoted(routeId));
          ignoredTrips_.emplace(id);
        }
        continue;
      }
      FeedTrip trip;
      trip.id = std::string(id);
      trip.route = *route;
      const auto service = Find(serviceIndex_, rows.Id(serviceColumn));
      trip.service = service.value_or(kNoIndex);
      const std::string_view directionText = rows.Id(direction);
      if (directionText == "0" || directionText == "1") {
        trip.direction = directionText == "1" ? 1 : 0;
      } else if (!directionText.empty()) {
        rows.Changed(kind::kBadValue, "direction_id " + Quoted(directionText) + " nicht beachtet");
      }
      tripIndex_.emplace(trip.id, static_cast<std::uint32_t>(feed_.trips.size()));
      feed_.trips.push_back(std::move(trip));
    }
  }

  std::optional<std::int32_t> Time(FileRows& rows, std::optional<std::size_t> column, bool& bad) {
    const std::string_view text = rows.Id(column);
    if (text.empty()) return std::nullopt;
    const auto seconds = ParseGtfsTime(text);
    if (!seconds) bad = true;
    return seconds;
  }

  void ReadStopTimes() {
    FileRows rows(zip_, "stop_times.txt", report_);
    const std::size_t tripColumn = rows.Require("trip_id");
    const std::size_t stopColumn = rows.Require("stop_id");
    const std::size_t sequenceColumn = rows.Require("stop_sequence");
    const auto arrival = rows.Column("arrival_time");
    const auto departure = rows.Column("departure_time");
    if (!arrival && !departure) rows.Require("arrival_time");
    const auto pickup = rows.Column("pickup_type");
    const auto dropOff = rows.Column("drop_off_type");
    while (rows.Next()) {
      const std::string_view tripId = rows.Id(tripColumn);
      const auto trip = Find(tripIndex_, tripId);
      if (!trip) {
        if (ignoredTrips_.count(tripId) == 0) {
          rows.Skip(kind::kUnknownTrip, "trip_id " + Quoted(tripId));
        }
        continue;
      }
      const std::string_view stopId = rows.Id(stopColumn);
      const auto stop = Find(stopIndex_, stopId);
      if (!stop) {
        rows.Skip(kind::kUnknownStop, "stop_id " + Quoted(stopId));
        continue;
      }
      const auto sequence = Integer(rows.Raw(sequenceColumn));
      if (!sequence || *sequence < 0 || *sequence > 0x7FFFFFFF) {
        rows.Skip(kind::kBadSequence, "stop_sequence " + Quoted(rows.Id(sequenceColumn)));
        continue;
      }
      bool bad = false;
      const auto arrives = Time(rows, arrival, bad);
      const auto departs = Time(rows, departure, bad);
      if (bad) {
        rows.Skip(kind::kBadTime, "Zeit " + Quoted(rows.Id(arrival)) + "/" +
                                      Quoted(rows.Id(departure)) + " (erwartet H:MM:SS)");
        continue;
      }
      FeedStopTime time;
      time.trip = *trip;
      time.stop = *stop;
      time.sequence = static_cast<std::int32_t>(*sequence);
      time.arrival = arrives.value_or(departs.value_or(-1));
      time.departure = departs.value_or(arrives.value_or(-1));
      time.pickup = Flag(rows.Id(pickup));
      time.dropOff = Flag(rows.Id(dropOff));
      feed_.stopTimes.push_back(time);
      lines_.push_back(static_cast<std::uint32_t>(rows.Line()));
    }
    SortStopTimes();
  }

  static std::uint8_t Flag(std::string_view text) {
    return text.size() == 1 && text[0] >= '0' && text[0] <= '3'
               ? static_cast<std::uint8_t>(text[0] - '0')
               : 0;
  }

  void SortStopTimes() {
    std::vector<FeedStopTime>& times = feed_.stopTimes;
    std::vector<std::uint32_t> order(times.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      if (times[a].trip != times[b].trip) return times[a].trip < times[b].trip;
      return times[a].sequence < times[b].sequence;
    });
    std::vector<FeedStopTime> sorted;
    sorted.reserve(times.size());
    for (const std::uint32_t i : order) {
      if (!sorted.empty() && sorted.back().trip == times[i].trip &&
          sorted.back().sequence == times[i].sequence) {
        report_.Add(Section::SkippedRows, kind::kBadSequence,
                    AtLine("stop_times.txt", lines_[i]) + "stop_sequence " +
                        std::to_string(times[i].sequence) + " doppelt in Fahrt " +
                        Quoted(feed_.trips[times[i].trip].id));
        continue;
      }
      sorted.push_back(times[i]);
    }
    times = std::move(sorted);
    lines_.clear();
    lines_.shrink_to_fit();
  }

  void ReadFrequencies() {
    FileRows rows(zip_, "frequencies.txt", report_);
    const std::size_t tripColumn = rows.Require("trip_id");
    const std::size_t startColumn = rows.Require("start_time");
    const std::size_t endColumn = rows.Require("end_time");
    const std::size_t headwayColumn = rows.Require("headway_secs");
    while (rows.Next()) {
      const std::string_view tripId = rows.Id(tripColumn);
      const auto trip = Find(tripIndex_, tripId);
      if (!trip) {
        if (ignoredTrips_.count(tripId) == 0) {
          rows.Skip(kind::kUnknownTrip, "trip_id " + Quoted(tripId));
        }
        continue;
      }
      const auto start = ParseGtfsTime(rows.Id(startColumn));
      const auto end = ParseGtfsTime(rows.Id(endColumn));
      if (!start || !end) {
        rows.Skip(kind::kBadTime, "Zeit " + Quoted(rows.Id(start ? endColumn : startColumn)) +
                                      " (erwartet H:MM:SS)");
        continue;
      }
      const auto headway = Integer(rows.Raw(headwayColumn));
      if (!headway || *headway <= 0 || *headway > 86400 || *end <= *start) {
        rows.Skip(kind::kBadValue,
                  "headway_secs " + Quoted(rows.Id(headwayColumn)) + " oder Zeitraum");
        continue;
      }
      feed_.frequencies.push_back({*trip, *start, *end, static_cast<std::int32_t>(*headway)});
    }
    std::stable_sort(feed_.frequencies.begin(), feed_.frequencies.end(),
                     [](const FeedFrequency& a, const FeedFrequency& b) {
                       return a.trip != b.trip ? a.trip < b.trip : a.start < b.start;
                     });
  }

  const ZipReader& zip_;
  ImportReport& report_;
  std::unordered_set<std::string> wanted_;
  Feed feed_;
  IdIndex stopIndex_;
  IdIndex routeIndex_;
  IdIndex serviceIndex_;
  IdIndex tripIndex_;
  std::unordered_set<std::string, StringHash, std::equal_to<>> ignoredTrips_;
  std::unordered_set<std::string> calendarSeen_;
  std::vector<std::uint32_t> lines_;  // the row of each stop time, until sorted
};

}  // namespace

bool FeedService::RunsOn(Day day) const {
  if (std::binary_search(removed.begin(), removed.end(), day)) return false;
  if (std::binary_search(added.begin(), added.end(), day)) return true;
  return start && end && *start <= day && day <= *end &&
         days.test(static_cast<std::size_t>(WeekdayOf(day)));
}

std::optional<std::pair<Day, Day>> Feed::ServicePeriod() const {
  std::optional<std::pair<Day, Day>> period;
  const auto widen = [&](Day first, Day last) {
    if (!period) {
      period.emplace(first, last);
    } else {
      period->first = std::min(period->first, first);
      period->second = std::max(period->second, last);
    }
  };
  for (const FeedService& service : services) {
    if (service.start && service.end && service.days.any() && *service.start <= *service.end) {
      widen(*service.start, *service.end);
    }
    if (!service.added.empty()) widen(service.added.front(), service.added.back());
  }
  return period;
}

Feed ReadFeed(const ZipReader& zip, ImportReport& report, const std::vector<std::string>& routes) {
  return Reader(zip, report, routes).Read();
}

}  // namespace trivo::gtfs::reading

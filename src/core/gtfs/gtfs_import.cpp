#include "gtfs/gtfs_import.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <numeric>
#include <set>
#include <system_error>
#include <unordered_set>

#include "common/error.h"
#include "common/ini_file.h"
#include "common/messages.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "convert/ttd_file.h"
#include "editor/travel_times.h"
#include "gtfs/course_merge.h"
#include "gtfs/encoding.h"
#include "gtfs/feed_reader.h"
#include "gtfs/zip_archive.h"
#include "project/context.h"
#include "project/gtfs_settings.h"
#include "project/prj_save.h"

namespace trivo::gtfs {

namespace {

namespace fs = std::filesystem;
using Section = ImportReport::Section;
using reading::Feed;
using reading::FeedFrequency;
using reading::FeedRoute;
using reading::FeedService;
using reading::FeedStop;
using reading::FeedStopTime;
using reading::FeedTrip;
using reading::kNoIndex;

constexpr std::size_t kLinesPerRoute = 10;
constexpr std::size_t kNameLimit = 64;  // the working tables keep 64 characters of a name
constexpr std::int32_t kDay = 24 * 60;

// Why a trip was left out.
constexpr std::string_view kNotInWeek = "fährt nicht in der Bezugswoche";
constexpr std::string_view kNoService =
    "ohne Verkehrstage (service_id weder in calendar.txt noch in calendar_dates.txt)";
constexpr std::string_view kNoStops = "ohne verwendbare Halte in stop_times.txt";
constexpr std::string_view kTooFewStops = "mit weniger als zwei Halten";
constexpr std::string_view kNoEndTime = "ohne Zeit am ersten oder letzten Halt";
constexpr std::string_view kBackwards = "Zeiten laufen rückwärts";
constexpr std::string_view kLongGap = "mehr als 24 Stunden zwischen zwei Halten";
constexpr std::string_view kNoCourse = "Haltefolge passt in keinen Linienverlauf";
constexpr std::string_view kRowTooLong = "Fahrplanzeile wäre länger als 4095 Zeichen";
// What was taken changed.
constexpr std::string_view kStationName = "Haltestellenname geändert";
constexpr std::string_view kLineName = "Linienname geändert";
constexpr std::string_view kOneSided =
    "Halt nur zum Ein- oder nur zum Aussteigen, als Halt übernommen";
constexpr std::string_view kNoBoarding = "Halt ohne Ein- und Ausstieg, ausgelassen";
constexpr std::string_view kInterpolated =
    "Halt ohne Zeit, Zeit zwischen den Nachbarhalten verteilt";
constexpr std::string_view kExpanded = "Takt aus frequencies.txt als einzelne Fahrten";
constexpr std::string_view kFurtherLines = "Linie mit weiteren Linienverläufen (-2, -3, ...)";
constexpr std::string_view kNoPosition = "Haltestelle ohne Position";

// One stop of a run, in minutes after the midnight of the run's service day.
struct RunStop {
  std::uint32_t station = 0;  // the stop (in the feed) that stands for the station
  std::int32_t arrival = 0;
  std::int32_t departure = 0;
};

// A trip as it goes into a timetable: once, or a block of trips every headway minutes.
struct TripRun {
  std::uint32_t trip = 0;
  Weekdays days;
  std::vector<RunStop> stops;
  std::int32_t instances = 1;
  std::int32_t headway = 0;
  std::uint32_t pattern = 0;
  // Where it went.
  int line = -1;
  int direction = 1;
  std::vector<std::uint32_t> rows;  // per stop, its station's place in the direction's order
  std::int32_t First(std::int32_t instance) const {
    return stops.front().departure + instance * headway;
  }
};

struct LineData {
  std::string name;
  std::uint32_t route = 0;
  bool main = true;
  StationRun course;  // feed stops standing for stations
};

// A row of a direction of a line: a station's place, and which time of a pair it holds.
struct LayoutRow {
  std::uint32_t place = 0;
  enum class Kind { Single, Arrival, Departure } kind = Kind::Single;
};

// One column of a timetable section.
struct Column {
  const TripRun* run = nullptr;
  std::int32_t instance = 0;
  bool interval = false;
  std::int32_t first = 0;
};

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string Cp1252(std::string_view utf8) {
  return Utf8ToCp1252(utf8).text;
}

// A name as the project can hold it: Windows-1252, control characters as blanks, no
// character of forbidden (each replaced by replacement), trimmed, at most 64 characters.
// changes collects what was done, in German.
std::string CleanName(std::string_view utf8, std::string_view forbidden, char replacement,
                      std::vector<std::string>& changes) {
  const Cp1252Text converted = Utf8ToCp1252(utf8);
  if (converted.replaced > 0) changes.emplace_back("Zeichen ohne Windows-1252 ersetzt");
  std::string name = converted.text;
  bool control = false;
  bool replaced = false;
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < ' ' || c == 0x7F) {
      c = ' ';
      control = true;
    } else if (forbidden.find(c) != std::string_view::npos) {
      c = replacement;
      replaced = true;
    }
  }
  if (control) changes.emplace_back("Steuerzeichen entfernt");
  if (replaced) changes.emplace_back("Zeichen " + std::string(forbidden) + " ersetzt");
  name = Trim(name);
  if (name.size() > kNameLimit) {
    name = Trim(std::string_view(name).substr(0, kNameLimit));
    changes.emplace_back("auf 64 Zeichen gekürzt");
  }
  return name;
}

// A station name: a comma, which a timetable row cannot hold, becomes ";", and "=", which
// ends the name of a name=value line, becomes "-".
std::string StationName(std::string_view utf8, std::vector<std::string>& changes) {
  std::string name = CleanName(utf8, ",", ';', changes);
  if (name.find('=') != std::string::npos) {
    std::replace(name.begin(), name.end(), '=', '-');
    changes.emplace_back("Zeichen = ersetzt");
  }
  return name;
}

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += separator;
    text += parts[i];
  }
  return text;
}

// Names unique without regard to letter case.
class NameSet {
 public:
  bool Take(const std::string& name) { return taken_.insert(LowerCaseCp1252(name)).second; }
  bool Has(const std::string& name) const { return taken_.count(LowerCaseCp1252(name)) != 0; }

 private:
  std::unordered_set<std::string> taken_;
};

std::string WithSuffix(const std::string& name, const std::string& suffix) {
  std::string base = name;
  if (base.size() + suffix.size() > kNameLimit) {
    base = TrimRight(
        std::string_view(base).substr(0, kNameLimit - std::min(kNameLimit, suffix.size())));
  }
  return base + suffix;
}

std::string TimeText(std::int32_t minutes) {
  const std::int32_t ofDay = ((minutes % kDay) + kDay) % kDay;
  const std::int32_t m = ofDay % 60;
  return std::to_string(ofDay / 60) + (m < 10 ? ":0" : ":") + std::to_string(m);
}

std::int32_t FloorMinutes(std::int32_t seconds) {
  return seconds >= 0 ? seconds / 60 : -((-seconds + 59) / 60);
}

void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::int32_t Median(std::vector<int>& values) {
  std::sort(values.begin(), values.end());
  return values[(values.size() - 1) / 2];
}

class Importer {
 public:
  Importer(Context& ctx, const fs::path& feedPath, const fs::path& folder,
           const ImportOptions& options)
      : ctx_(ctx), feedPath_(feedPath), folder_(folder), options_(options) {}

  ImportResult Run() {
    CheckTarget();
    const ZipReader zip(feedPath_, feedPath_.filename().string(), &ctx_.files);
    feed_ = reading::ReadFeed(zip, report(), options_.routes);
    ChooseWeek();
    ResolveStations();
    BuildRuns();
    BuildLines();
    BuildDayGroups();
    BuildSections();
    Summarize();
    if (result_.trips > 0) Write();
    return std::move(result_);
  }

 private:
  ImportReport& report() { return result_.report; }

  void LeaveOut(std::uint32_t trip, std::string_view why) {
    report().Add(Section::SkippedTrips, why, "trip_id " + Quoted(Cp1252(feed_.trips[trip].id)));
    leftOut_.insert(trip);
  }

  // --- the target folder ---------------------------------------------------------------

  const std::vector<std::string>& FixedOutputs() {
    static const std::vector<std::string> names = {"stations.csv",
                                                   "lines.csv",
                                                   "line_stations.csv",
                                                   "station_lines.csv",
                                                   "distances.csv",
                                                   std::string(StationPositions::kFileName),
                                                   std::string(GtfsIds::kFileName),
                                                   kImportReportFile};
    return names;
  }

  void CheckTarget() {
    folder_ = folder_.lexically_normal();
    if (folder_.filename().empty()) folder_ = folder_.parent_path();
    if (folder_.empty() || folder_.filename() == "." || folder_.filename() == "..") {
      folder_ = fs::absolute(folder_).lexically_normal();
      if (folder_.filename().empty()) folder_ = folder_.parent_path();
    }
    const std::string shown = folder_.string();
    std::error_code error;
    const fs::file_status status = fs::symlink_status(folder_, error);
    if (fs::exists(status) && !fs::is_directory(fs::status(folder_, error))) {
      throw Error(shown + " ist kein Ordner; der Import braucht einen leeren Ordner");
    }
    if (!fs::exists(status)) return;
    // A link to a folder: the project goes into the folder, the link stays.
    if (fs::is_symlink(status)) folder_ = fs::canonical(folder_, error);
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
      names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      if (SameText(fs::path(name).extension().string(), ".tvp")) {
        throw Error("Im Ordner " + shown + " liegt schon ein Projekt (" + name +
                    "); der Import ersetzt kein Projekt");
      }
    }
    for (const std::string& name : names) {
      const bool ours =
          std::find(FixedOutputs().begin(), FixedOutputs().end(), name) != FixedOutputs().end() ||
          (name.starts_with("line_") && name.ends_with(".ttd"));
      if (ours) {
        throw Error("Im Ordner " + shown + " liegt schon " + name +
                    "; der Import ersetzt keine Datei");
      }
    }
    if (error) throw Error(msg::CannotOpenFile(shown, msg::SystemReason(error.value())));
  }

  // --- the reference week --------------------------------------------------------------

  void ChooseWeek() {
    const auto period = feed_.ServicePeriod();
    if (period) {
      period_ = period;
      if (feed_.feedStart && feed_.feedEnd && *feed_.feedStart <= *feed_.feedEnd) {
        period_ = {*feed_.feedStart, *feed_.feedEnd};
      }
    }
    if (options_.week) {
      week_ = options_.week;
    } else if (period) {
      // The first Monday whose week lies within the period, else the week of its start.
      const Day start = period->first;
      Day monday = start + (7 - WeekdayOf(start)) % 7;
      if (monday + 6 > period->second) monday = start - WeekdayOf(start);
      week_ = monday;
    }
    report().header.push_back("GTFS-Import aus " + feedPath_.filename().string());
    if (week_) {
      report().header.push_back("Bezugswoche: " + IsoDateText(*week_) + " bis " +
                                IsoDateText(*week_ + 6) +
                                (options_.week ? "" : " (die erste volle Woche des Feeds)"));
    } else {
      report().header.push_back("Bezugswoche: keine (der Feed nennt keinen Verkehrstag)");
    }
    if (period_) {
      report().header.push_back("Betriebszeitraum: " + IsoDateText(period_->first) + " bis " +
                                IsoDateText(period_->second));
    }
    for (const std::string& route : feed_.unknownRoutes) {
      report().header.push_back("route_id " + Quoted(Cp1252(route)) + " gibt es im Feed nicht");
    }
  }

  Weekdays DaysInWeek(const FeedService& service) const {
    Weekdays days;
    if (!week_) return days;
    for (int day = 0; day < 7; ++day)
      days.set(static_cast<std::size_t>(day), service.RunsOn(*week_ + day));
    return days;
  }

  // --- stations ------------------------------------------------------------------------

  void ResolveStations() {
    stationOf_.resize(feed_.stops.size());
    for (std::uint32_t i = 0; i < feed_.stops.size(); ++i) {
      std::uint32_t root = i;
      // Boarding area, platform, station: three steps at most; a cycle ends there.
      for (int step = 0; step < 3 && feed_.stops[root].parent != kNoIndex; ++step) {
        root = feed_.stops[root].parent;
      }
      stationOf_[i] = root;
    }
  }

  // --- runs ----------------------------------------------------------------------------

  void BuildRuns() {
    std::vector<bool> seen(feed_.trips.size(), false);
    const auto& times = feed_.stopTimes;
    for (std::size_t begin = 0; begin < times.size();) {
      std::size_t end = begin;
      while (end < times.size() && times[end].trip == times[begin].trip) ++end;
      seen[times[begin].trip] = true;
      BuildRun(times[begin].trip, begin, end);
      begin = end;
    }
    for (std::uint32_t trip = 0; trip < feed_.trips.size(); ++trip) {
      if (!seen[trip]) LeaveOut(trip, kNoStops);
    }
  }

  void BuildRun(std::uint32_t trip, std::size_t begin, std::size_t end) {
    const FeedTrip& feedTrip = feed_.trips[trip];
    if (feedTrip.service == kNoIndex) return LeaveOut(trip, kNoService);
    const Weekdays days = DaysInWeek(feed_.services[feedTrip.service]);
    if (days.none()) return LeaveOut(trip, kNotInWeek);

    struct Stop {
      std::uint32_t station;
      std::int32_t arrival;
      std::int32_t departure;
    };
    std::vector<Stop> stops;
    for (std::size_t i = begin; i < end; ++i) {
      const FeedStopTime& time = feed_.stopTimes[i];
      if (time.pickup == 1 && time.dropOff == 1) {
        report().Add(Section::Changes, kNoBoarding);
        continue;
      }
      if (time.pickup == 1 || time.dropOff == 1) report().Add(Section::Changes, kOneSided);
      stops.push_back({stationOf_[time.stop], time.arrival, time.departure});
    }
    if (stops.empty()) return LeaveOut(trip, kNoStops);
    if (stops.front().departure < 0 || stops.back().arrival < 0) return LeaveOut(trip, kNoEndTime);
    // Stops without a time share the time between the neighbours that have one.
    for (std::size_t i = 1, known = 0; i < stops.size(); ++i) {
      if (stops[i].arrival < 0) continue;
      if (i > known + 1) {
        const std::int32_t from = stops[known].departure;
        const std::int32_t span = stops[i].arrival - from;
        for (std::size_t k = known + 1; k < i; ++k) {
          const auto share = static_cast<std::int32_t>(static_cast<std::int64_t>(span) *
                                                       static_cast<std::int64_t>(k - known) /
                                                       static_cast<std::int64_t>(i - known));
          stops[k].arrival = stops[k].departure = from + share;
          report().Add(Section::Changes, kInterpolated);
        }
      }
      known = i;
    }
    // Two stops in a row at one station (its platforms) are one stop.
    std::vector<Stop> merged;
    for (const Stop& stop : stops) {
      if (!merged.empty() && merged.back().station == stop.station) {
        merged.back().departure = stop.departure;
      } else {
        merged.push_back(stop);
      }
    }
    if (merged.size() < 2) return LeaveOut(trip, kTooFewStops);
    for (std::size_t i = 0; i < merged.size(); ++i) {
      if (merged[i].departure < merged[i].arrival ||
          (i > 0 && merged[i].arrival < merged[i - 1].departure)) {
        return LeaveOut(trip, kBackwards);
      }
      if (i > 0 && merged[i].arrival - merged[i - 1].departure >= 24 * 3600) {
        return LeaveOut(trip, kLongGap);
      }
    }

    const auto add = [&](std::int32_t startSeconds, std::int32_t instances, std::int32_t headway) {
      // A run that starts at 24:00 or later runs on the following days.
      const std::int32_t shift = startSeconds / (24 * 3600);
      const std::int32_t offset = startSeconds - merged.front().departure - shift * 24 * 3600;
      TripRun run;
      run.trip = trip;
      run.days = ShiftWeekdays(days, shift);
      run.instances = instances;
      run.headway = headway / 60;
      for (const Stop& stop : merged) {
        run.stops.push_back({stop.station, FloorMinutes(stop.arrival + offset),
                             FloorMinutes(stop.departure + offset)});
      }
      runs_.push_back(std::move(run));
    };

    const auto frequencies = std::equal_range(
        feed_.frequencies.begin(), feed_.frequencies.end(), FeedFrequency{trip, 0, 0, 0},
        [](const FeedFrequency& a, const FeedFrequency& b) { return a.trip < b.trip; });
    if (frequencies.first == frequencies.second) {
      add(merged.front().departure, 1, 0);
      return;
    }
    for (auto it = frequencies.first; it != frequencies.second; ++it) {
      // Departures start, start + headway, ... before end; a block per service day.
      std::int32_t start = it->start;
      while (start < it->end) {
        const std::int32_t dayEnd = (start / (24 * 3600) + 1) * 24 * 3600;
        const std::int32_t last = std::min(it->end, dayEnd);
        const std::int32_t count = (last - start + it->headway - 1) / it->headway;
        if (it->headway % 60 == 0 && count >= 3) {
          add(start, count, it->headway);
        } else {
          if (count >= 3)
            report().Add(Section::Changes, kExpanded,
                         "trip_id " + Quoted(Cp1252(feed_.trips[trip].id)));
          for (std::int32_t k = 0; k < count; ++k) add(start + k * it->headway, 1, 0);
        }
        start += count * it->headway;
      }
    }
  }

  // --- lines and courses ---------------------------------------------------------------

  std::vector<std::uint32_t> RouteOrder() const {
    std::vector<std::uint32_t> order(feed_.routes.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      const auto& ra = feed_.routes[a].sortOrder;
      const auto& rb = feed_.routes[b].sortOrder;
      if (ra.has_value() != rb.has_value()) return ra.has_value();
      return ra && rb && *ra < *rb;
    });
    return order;
  }

  // Line names are file names (line_<name>.ttd), keys ("route_type_<name>"), list items
  // and the first part of a distances.csv section: no blank, comma, quote, "=", "/", "\"
  // or "_".
  std::string LineName(const FeedRoute& route, NameSet& names, const std::string& wanted) {
    std::string name = wanted;
    if (name.empty() || !names.Take(name)) {
      std::vector<std::string> ignored;
      const std::string id = CleanName(route.id, " ,\"'=/\\_;[]", '-', ignored);
      name = WithSuffix(wanted.empty() ? id : wanted, wanted.empty() ? "" : "-" + id);
      for (int n = 2; name.empty() || !names.Take(name); ++n) {
        name = WithSuffix(wanted.empty() ? id : wanted, "-" + std::to_string(n));
      }
    }
    return name;
  }

  void BuildLines() {
    // Patterns per route: the stations of each run in travel order with its direction.
    std::map<std::tuple<std::uint32_t, int, StationRun>, std::uint32_t> patternIndex;
    std::vector<std::vector<std::uint32_t>> patternsOfRoute(feed_.routes.size());
    for (TripRun& run : runs_) {
      const FeedTrip& trip = feed_.trips[run.trip];
      StationRun stations;
      for (const RunStop& stop : run.stops) stations.push_back(stop.station);
      const auto key = std::make_tuple(trip.route, trip.direction, std::move(stations));
      auto [it, added] =
          patternIndex.try_emplace(key, static_cast<std::uint32_t>(patterns_.size()));
      if (added) {
        Pattern pattern;
        pattern.stations = std::get<2>(key);
        pattern.direction = trip.direction == 0   ? Pattern::Direction::Forward
                            : trip.direction == 1 ? Pattern::Direction::Backward
                                                  : Pattern::Direction::Unknown;
        patterns_.push_back(std::move(pattern));
        patternRoute_.push_back(trip.route);
        patternsOfRoute[trip.route].push_back(it->second);
      }
      patterns_[it->second].trips += static_cast<std::size_t>(run.instances);
      run.pattern = it->second;
    }

    std::vector<Placement> placements(patterns_.size());
    std::vector<int> lineOfCourse;
    std::vector<std::vector<int>> linesOfRoute(feed_.routes.size());
    NameSet names;
    for (const std::uint32_t route : RouteOrder()) {
      const auto& indexes = patternsOfRoute[route];
      if (indexes.empty()) continue;
      std::vector<Pattern> patterns;
      for (const std::uint32_t index : indexes) patterns.push_back(patterns_[index]);
      CourseMerge merge = MergeCourses(patterns, kLinesPerRoute);
      const FeedRoute& feedRoute = feed_.routes[route];
      std::vector<std::string> changes;
      const std::string& source = !feedRoute.shortName.empty()  ? feedRoute.shortName
                                  : !feedRoute.longName.empty() ? feedRoute.longName
                                                                : feedRoute.id;
      const std::string wanted = CleanName(source, " ,\"'=/\\_;[]", '-', changes);
      for (std::size_t c = 0; c < merge.courses.size(); ++c) {
        LineData line;
        line.route = route;
        line.main = c == 0;
        line.course = std::move(merge.courses[c]);
        line.name = c == 0
                        ? LineName(feedRoute, names, wanted)
                        : LineName(feedRoute, names,
                                   lines_[static_cast<std::size_t>(linesOfRoute[route][0])].name +
                                       "-" + std::to_string(c + 1));
        if (c == 0 && (line.name != Cp1252(source) || !changes.empty())) {
          if (line.name != wanted) changes.emplace_back("schon vergeben");
          report().Add(Section::Changes, kLineName,
                       "route_id " + Quoted(Cp1252(feedRoute.id)) + ": " + Quoted(Cp1252(source)) +
                           " wird " + Quoted(line.name) +
                           (changes.empty() ? "" : " (" + Join(changes, ", ") + ")"));
        }
        linesOfRoute[route].push_back(static_cast<int>(lines_.size()));
        lines_.push_back(std::move(line));
      }
      if (merge.courses.size() > 1) {
        report().Add(Section::Changes, kFurtherLines,
                     Quoted(lines_[static_cast<std::size_t>(linesOfRoute[route][0])].name) + ": " +
                         std::to_string(merge.courses.size()) + " Linienverläufe");
      }
      for (std::size_t i = 0; i < indexes.size(); ++i) placements[indexes[i]] = merge.placements[i];
    }

    for (TripRun& run : runs_) {
      const Placement& placement = placements[run.pattern];
      if (placement.course < 0) {
        if (!leftOut_.count(run.trip)) LeaveOut(run.trip, kNoCourse);
        continue;
      }
      run.line =
          linesOfRoute[patternRoute_[run.pattern]][static_cast<std::size_t>(placement.course)];
      run.direction = placement.reversed ? 2 : 1;
      const StationRun& course = lines_[static_cast<std::size_t>(run.line)].course;
      StationRun oriented;
      for (const RunStop& stop : run.stops) oriented.push_back(stop.station);
      if (placement.reversed) std::reverse(oriented.begin(), oriented.end());
      const std::vector<std::size_t> positions = SubsequencePositions(course, oriented);
      const std::size_t n = run.stops.size();
      run.rows.resize(n);
      for (std::size_t i = 0; i < n; ++i) {
        run.rows[i] = placement.reversed
                          ? static_cast<std::uint32_t>(course.size() - 1 - positions[n - 1 - i])
                          : static_cast<std::uint32_t>(positions[i]);
      }
    }
  }

  // --- day groups ----------------------------------------------------------------------

  void BuildDayGroups() {
    std::set<std::tuple<int, int, unsigned long>> sets;
    for (const TripRun& run : runs_) {
      if (run.line < 0) continue;
      int first = 0;
      while (!run.days.test(static_cast<std::size_t>(first))) ++first;
      sets.emplace(first, -static_cast<int>(run.days.count()), run.days.to_ulong());
    }
    for (const auto& entry : sets) {
      const Weekdays days(std::get<2>(entry));
      groupOf_[days.to_ulong()] = params_.DayGroups.size();
      params_.DayGroups.push_back({DayGroupName(days), DayGroupText(days), days});
    }
  }

  // --- sections ------------------------------------------------------------------------

  struct SectionData {
    int line = 0;
    int direction = 1;
    std::size_t group = 0;
    std::vector<std::string> rows;      // the rows as written
    std::vector<std::string> stations;  // the station of each row
    TravelTimes times;
  };

  std::vector<LayoutRow> Layout(int line, int direction) const {
    const std::size_t places = lines_[static_cast<std::size_t>(line)].course.size();
    std::vector<bool> waits(places, false);
    for (const TripRun& run : runs_) {
      if (run.line != line || run.direction != direction) continue;
      for (std::size_t i = 1; i + 1 < run.stops.size(); ++i) {
        if (run.stops[i].arrival != run.stops[i].departure) waits[run.rows[i]] = true;
      }
    }
    std::vector<LayoutRow> layout;
    for (std::uint32_t place = 0; place < places; ++place) {
      if (waits[place]) {
        layout.push_back({place, LayoutRow::Kind::Arrival});
        layout.push_back({place, LayoutRow::Kind::Departure});
      } else {
        layout.push_back({place, LayoutRow::Kind::Single});
      }
    }
    return layout;
  }

  // The columns of a section in order of their first departure. A block of a frequency
  // is its first trip, an interval column and its last trip; where other trips leave
  // between its first and last, it is written trip by trip instead.
  std::vector<Column> Columns(const std::vector<const TripRun*>& section) {
    std::vector<const TripRun*> blocks;
    std::vector<Column> singles;
    for (const TripRun* run : section) {
      if (run->instances == 1) {
        singles.push_back({run, 0, false, run->First(0)});
      } else {
        blocks.push_back(run);
      }
    }
    std::vector<bool> expanded(blocks.size(), false);
    for (bool changed = true; changed;) {
      changed = false;
      for (std::size_t b = 0; b < blocks.size(); ++b) {
        if (expanded[b]) continue;
        const std::int32_t from = blocks[b]->First(0);
        const std::int32_t to = blocks[b]->First(blocks[b]->instances - 1);
        bool overlaps = std::any_of(singles.begin(), singles.end(), [&](const Column& column) {
          return column.first >= from && column.first <= to;
        });
        for (std::size_t o = 0; o < blocks.size() && !overlaps; ++o) {
          if (o == b || expanded[o]) continue;
          overlaps =
              blocks[o]->First(0) <= to && blocks[o]->First(blocks[o]->instances - 1) >= from;
        }
        if (!overlaps) continue;
        expanded[b] = true;
        changed = true;
        report().Add(Section::Changes, kExpanded,
                     "trip_id " + Quoted(Cp1252(feed_.trips[blocks[b]->trip].id)));
        for (std::int32_t k = 0; k < blocks[b]->instances; ++k) {
          singles.push_back({blocks[b], k, false, blocks[b]->First(k)});
        }
      }
    }
    // Blocks as units, ordered with the single trips by their first departure.
    std::vector<std::vector<Column>> units;
    for (const Column& column : singles) units.push_back({column});
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      if (expanded[b]) continue;
      const TripRun* run = blocks[b];
      units.push_back({{run, 0, false, run->First(0)},
                       {run, 0, true, run->First(0)},
                       {run, run->instances - 1, false, run->First(run->instances - 1)}});
    }
    std::stable_sort(units.begin(), units.end(), [](const auto& a, const auto& b) {
      if (a.front().first != b.front().first) return a.front().first < b.front().first;
      return a.front().run->trip < b.front().run->trip;
    });
    std::vector<Column> columns;
    for (const auto& unit : units) columns.insert(columns.end(), unit.begin(), unit.end());
    return columns;
  }

  // The cell of a column in a row: the minutes (or -1), or the interval.
  static std::int32_t CellMinutes(const Column& column, const LayoutRow& row) {
    const TripRun& run = *column.run;
    const auto found = std::find(run.rows.begin(), run.rows.end(), row.place);
    if (found == run.rows.end()) return -1;
    const std::size_t i = static_cast<std::size_t>(found - run.rows.begin());
    const RunStop& stop = run.stops[i];
    const bool first = i == 0;
    const bool last = i + 1 == run.stops.size();
    std::int32_t minutes = 0;
    switch (row.kind) {
      case LayoutRow::Kind::Single:
        minutes = last ? stop.arrival : stop.departure;
        break;
      case LayoutRow::Kind::Arrival:
        if (first) return -1;
        minutes = stop.arrival;
        break;
      case LayoutRow::Kind::Departure:
        if (last) return -1;
        minutes = stop.departure;
        break;
    }
    return minutes + column.instance * run.headway;
  }

  void BuildSections() {
    std::map<std::tuple<int, int, std::size_t>, std::vector<const TripRun*>> bySection;
    for (const TripRun& run : runs_) {
      if (run.line < 0) continue;
      bySection[{run.line, run.direction, groupOf_.at(run.days.to_ulong())}].push_back(&run);
    }
    std::map<std::pair<int, int>, std::vector<LayoutRow>> layouts;
    for (const auto& [key, section] : bySection) {
      const auto [line, direction, group] = key;
      auto layout = layouts.find({line, direction});
      if (layout == layouts.end()) {
        layout = layouts.emplace(std::make_pair(line, direction), Layout(line, direction)).first;
      }
      BuildSection(line, direction, group, layout->second, Columns(section));
    }
  }

  std::string StationOfPlace(int line, int direction, std::uint32_t place) const {
    const StationRun& course = lines_[static_cast<std::size_t>(line)].course;
    const std::uint32_t stop = direction == 1 ? course[place] : course[course.size() - 1 - place];
    return stationNames_.at(stop);
  }

  void BuildSection(int line, int direction, std::size_t group,
                    const std::vector<LayoutRow>& layout, std::vector<Column> columns) {
    NameStations();
    // cells[row][column]: minutes, -1 for none, -2 for an interval.
    std::vector<std::vector<std::int32_t>> cells(layout.size());
    for (std::size_t r = 0; r < layout.size(); ++r) {
      for (std::size_t c = 0; c < columns.size(); ++c) {
        std::int32_t cell = -1;
        if (columns[c].interval) {
          cell = CellMinutes(columns[c - 1], layout[r]) >= 0 ? -2 : -1;
        } else {
          cell = CellMinutes(columns[c], layout[r]);
        }
        cells[r].push_back(cell);
      }
    }
    const auto cellText = [&](const Column& column, std::int32_t cell) {
      if (cell == -2) return std::to_string(column.run->headway) + " Min";
      return cell < 0 ? std::string() : TimeText(cell);
    };
    SectionData data;
    data.line = line;
    data.direction = direction;
    data.group = group;
    for (const LayoutRow& row : layout)
      data.stations.push_back(StationOfPlace(line, direction, row.place));

    // A row longer than the reader takes loses the trips that do not fit.
    std::size_t fit = columns.size();
    for (std::size_t r = 0; r < layout.size(); ++r) {
      std::size_t length = data.stations[r].size();
      for (std::size_t c = 0; c < fit; ++c) {
        length += 1 + cellText(columns[c], cells[r][c]).size();
        if (length > IniFile::kTimetableRowLimit) {
          fit = c;
          break;
        }
      }
    }
    while (fit > 0 && fit < columns.size() &&
           (columns[fit].interval || (fit >= 1 && columns[fit - 1].interval))) {
      --fit;
    }
    for (std::size_t c = fit; c < columns.size(); ++c) {
      if (!columns[c].interval) {
        report().Add(Section::SkippedTrips, kRowTooLong,
                     "trip_id " + Quoted(Cp1252(feed_.trips[columns[c].run->trip].id)));
        cutTrips_.insert(columns[c].run->trip);
      }
    }
    columns.resize(fit);
    for (const Column& column : columns) takenTrips_.insert(column.run->trip);

    for (std::size_t r = 0; r < layout.size(); ++r) {
      std::string row = data.stations[r];
      std::size_t cut = row.size();
      for (std::size_t c = 0; c < fit; ++c) {
        row += ',';
        row += cellText(columns[c], cells[r][c]);
        if (cells[r][c] != -1) cut = row.size();
      }
      row.resize(cut);
      data.rows.push_back(TimetableRowValue(std::move(row)));
    }
    data.times = ScanTravelTimes(data.stations, cells, fit);
    for (const Column& column : columns) {
      const TripRun& run = *column.run;
      for (std::size_t i = 1; i < run.stops.size(); ++i) {
        longestDrive_ = std::max(longestDrive_, run.stops[i].arrival - run.stops[i - 1].departure);
      }
    }
    sections_.push_back(std::move(data));
  }

  // The measurement of the editor's save over the section's trips, with the median in
  // place of the shortest time of each stretch.
  static TravelTimes ScanTravelTimes(const std::vector<std::string>& stations,
                                     const std::vector<std::vector<std::int32_t>>& cells,
                                     std::size_t columns) {
    TravelTimes times;
    const std::size_t rows = stations.size();
    std::vector<std::vector<int>> consecutive(rows > 0 ? rows - 1 : 0);
    std::vector<std::vector<int>> skips;
    const auto elapsed = [](std::int32_t from, std::int32_t to) {
      const std::int32_t a = ((from % kDay) + kDay) % kDay;
      const std::int32_t b = ((to % kDay) + kDay) % kDay;
      return a > b ? b - a + kDay : b - a;
    };
    for (std::size_t c = 0; c < columns; ++c) {
      int k = -1;
      std::int32_t lastT = 0;
      int prev = 0;  // 0 none, 1 time, 2 interval, 3 empty
      for (std::size_t b = 0; b < rows; ++b) {
        const std::int32_t cell = cells[b][c];
        const int state = cell >= 0 ? 1 : cell == -2 ? 2 : 3;
        if (state == 1) {
          if (prev == 1) {
            consecutive[b - 1].push_back(elapsed(lastT, cell));
          } else if (k < 0) {
            times.AddNewCross(stations[b]);
          } else {
            const auto ki = static_cast<std::size_t>(k);
            const int a = ki + 1 < rows && stations[ki] == stations[ki + 1] ? k + 1 : k;
            const int z = b > 0 && stations[b] == stations[b - 1] ? static_cast<int>(b) - 1
                                                                  : static_cast<int>(b);
            if (z - a > 1) {
              times.AddNewCross(stations[static_cast<std::size_t>(a)]);
              times.AddNewCross(stations[static_cast<std::size_t>(z)]);
              std::size_t index = 0;
              while (index < times.SkipMinutes.size() && (times.SkipMinutes[index].fromRow != a ||
                                                          times.SkipMinutes[index].toRow != z)) {
                ++index;
              }
              if (index == times.SkipMinutes.size()) {
                times.SkipMinutes.push_back({a, z, 0});
                skips.emplace_back();
              }
              skips[index].push_back(elapsed(lastT, cell));
            }
          }
          lastT = cell;
          k = static_cast<int>(b);
        } else if (state == 3 && k >= 0 && prev == 1) {
          times.AddNewCross(stations[static_cast<std::size_t>(k)]);
        }
        prev = state;
      }
    }
    for (auto& values : consecutive) {
      times.ConsecutiveMinutes.push_back(values.empty() ? NoDistance : Median(values));
    }
    for (std::size_t i = 0; i < skips.size(); ++i) times.SkipMinutes[i].minutes = Median(skips[i]);
    return times;
  }

  // Station names, made once every course is known: Windows-1252, without the characters
  // a project's files cannot hold in a name, unique without regard to letter case.
  void NameStations() {
    if (named_) return;
    named_ = true;
    std::set<std::uint32_t> used;
    for (const LineData& line : lines_) used.insert(line.course.begin(), line.course.end());
    // Positions: the station's, else that of one of its stops.
    std::map<std::uint32_t, Position> childPositions;
    for (std::uint32_t stop = 0; stop < feed_.stops.size(); ++stop) {
      if (feed_.stops[stop].position && used.count(stationOf_[stop])) {
        childPositions.try_emplace(stationOf_[stop], *feed_.stops[stop].position);
      }
    }
    NameSet names;
    std::vector<std::uint32_t> later;
    std::map<std::uint32_t, std::string> wanted;
    for (const std::uint32_t stop : used) {
      const FeedStop& feedStop = feed_.stops[stop];
      std::vector<std::string> changes;
      std::string name = StationName(feedStop.name, changes);
      if (name.empty()) {
        name = StationName(feedStop.id, changes);
        changes.emplace_back("ohne Namen, stop_id genommen");
      }
      if (!changes.empty()) {
        report().Add(Section::Changes, kStationName,
                     "stop_id " + Quoted(Cp1252(feedStop.id)) + ": " +
                         Quoted(Cp1252(feedStop.name)) + " wird " + Quoted(name) + " (" +
                         Join(changes, ", ") + ")");
      }
      wanted[stop] = name;
      if (names.Take(name)) {
        stationNames_[stop] = name;
      } else {
        later.push_back(stop);
      }
    }
    for (const std::uint32_t stop : later) {
      const FeedStop& feedStop = feed_.stops[stop];
      std::vector<std::string> ignored;
      const std::string tag =
          CleanName(feedStop.code.empty() ? feedStop.id : feedStop.code, ",=()", ';', ignored);
      std::string name = WithSuffix(wanted[stop], " (" + tag + ")");
      for (int n = 2; !names.Take(name); ++n) {
        name = WithSuffix(wanted[stop], " (" + tag + "-" + std::to_string(n) + ")");
      }
      report().Add(Section::Changes, kStationName,
                   "stop_id " + Quoted(Cp1252(feedStop.id)) + ": " + Quoted(wanted[stop]) +
                       " wird " + Quoted(name) + " (Name schon vergeben)");
      stationNames_[stop] = name;
    }
    for (const std::uint32_t stop : used) {
      const auto& own = feed_.stops[stop].position;
      if (own) {
        positions_.Set(stationNames_[stop], *own);
      } else if (const auto child = childPositions.find(stop); child != childPositions.end()) {
        positions_.Set(stationNames_[stop], child->second);
      } else {
        report().Add(Section::Changes, kNoPosition, Quoted(stationNames_[stop]));
      }
      ids_.SetStop(stationNames_[stop], Cp1252(feed_.stops[stop].id));
    }
  }

  // --- the summary ---------------------------------------------------------------------

  void Summarize() {
    NameStations();
    std::set<std::uint32_t> placed;
    for (const std::uint32_t trip : takenTrips_) placed.insert(trip);
    result_.trips = placed.size();
    std::set<int> linesWithTrips;
    for (const SectionData& section : sections_) linesWithTrips.insert(section.line);
    result_.lines = lines_.size();
    result_.stations = stationNames_.size();
    result_.dayGroups = params_.DayGroups.size();
    std::size_t leftOut = 0;
    for (const auto& kind : report().Kinds()) {
      if (kind.section == Section::SkippedTrips) leftOut += kind.count;
    }
    auto& summary = report().summary;
    summary.push_back(std::to_string(result_.stations) + " Haltestellen, " +
                      std::to_string(result_.lines) + " Linien, " +
                      std::to_string(result_.dayGroups) + " Tagesgruppen");
    summary.push_back(std::to_string(result_.trips) + " Fahrten übernommen, " +
                      std::to_string(leftOut) + " ausgelassen");
    for (const auto& kind : report().Kinds()) {
      if (kind.section == Section::SkippedTrips) {
        summary.push_back("  " + std::to_string(kind.count) + " ausgelassen: " + kind.name);
      }
    }
    const std::size_t rows = report().Total(Section::SkippedRows);
    if (rows > 0) summary.push_back(std::to_string(rows) + " Zeilen des Feeds ausgelassen");
    if (result_.trips == 0)
      summary.push_back("Nichts Verwendbares gefunden: kein Projekt angelegt");
  }

  // --- writing -------------------------------------------------------------------------

  GtfsSettings Settings() const {
    GtfsSettings settings;
    settings.agencyName = Cp1252(feed_.agency.name);
    settings.agencyUrl = Cp1252(feed_.agency.url);
    if (!feed_.agency.timezone.empty()) settings.agencyTimezone = Cp1252(feed_.agency.timezone);
    if (!feed_.agency.lang.empty()) settings.agencyLang = Cp1252(feed_.agency.lang);
    if (period_) {
      settings.startDate = GtfsDateText(period_->first);
      settings.endDate = GtfsDateText(period_->second);
    }
    // A holiday as the feed shows it: a day other than Sunday on which a Sunday service
    // is added.
    std::set<Day> holidays;
    for (const FeedService& service : feed_.services) {
      if (!service.days.test(6)) continue;
      for (const Day day : service.added) {
        if (WeekdayOf(day) != 6 && !service.days.test(static_cast<std::size_t>(WeekdayOf(day)))) {
          holidays.insert(day);
        }
      }
    }
    for (const Day day : holidays) settings.holidays.push_back(GtfsDateText(day));
    for (const LineData& line : lines_) {
      settings.routeTypes.emplace_back(line.name, feed_.routes[line.route].type);
    }
    return settings;
  }

  std::string TimetableText(std::size_t line) const {
    std::string text;
    for (const SectionData& section : sections_) {
      if (static_cast<std::size_t>(section.line) != line) continue;
      text += "[" + TimetableSectionName(section.direction, params_.DayGroups[section.group].Name) +
              "]\r\n";
      for (std::size_t r = 0; r < section.rows.size(); ++r) {
        text += std::to_string(r + 1) + "=" + section.rows[r] + "\r\n";
      }
    }
    return text;
  }

  std::string DistancesText() const {
    std::string text;
    for (const SectionData& section : sections_) {
      text += "[" +
              DistanceSectionName(lines_[static_cast<std::size_t>(section.line)].name,
                                  section.direction, params_.DayGroups[section.group].Name) +
              "]\r\n";
      for (const auto& [key, value] : DistanceKeys(section.times, section.stations, 0)) {
        text += key + "=" + value + "\r\n";
      }
    }
    return text;
  }

  void Write() {
    const fs::path parent = folder_.has_parent_path() ? folder_.parent_path() : fs::path(".");
    std::error_code error;
    fs::create_directories(parent, error);
    std::string pattern = (parent / ("." + folder_.filename().string() + ".XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw Error(msg::CannotWrite(parent.string()) + ". " + msg::SystemReason(errno));
    }
    temp_ = pattern;
    // mkdtemp makes the folder for its owner only; the project folder gets the rights any
    // new folder gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(temp_.c_str(), 0777 & ~mask);
    try {
      WriteFiles();
      if (options_.flush) FlushFiles();
      MoveIntoPlace();
    } catch (...) {
      fs::remove_all(temp_, error);
      throw;
    }
  }

  void WriteFile(const std::string& name, std::string_view bytes) {
    WriteFileAtomically(temp_ / name, bytes, name, {&ctx_.files, true, false});
    written_.push_back(name);
  }

  void WriteFiles() {
    std::vector<std::string> stations;
    for (const auto& [stop, name] : stationNames_) stations.push_back(name);
    std::sort(stations.begin(), stations.end(), [](const std::string& a, const std::string& b) {
      const std::string la = LowerCaseCp1252(a);
      const std::string lb = LowerCaseCp1252(b);
      return la != lb ? la < lb : a < b;
    });
    WriteFile("stations.csv", JoinLinesCrLf(stations));
    std::vector<std::string> lineNames;
    std::vector<std::string> lineStations;
    std::map<std::string, std::vector<std::string>> linesAt;
    for (const LineData& line : lines_) {
      lineNames.push_back(line.name);
      std::string entry = line.name + "=";
      for (std::size_t i = 0; i < line.course.size(); ++i) {
        const std::string& station = stationNames_.at(line.course[i]);
        if (i > 0) entry += ',';
        entry += DoubleQuoted(station);
        auto& at = linesAt[station];
        if (std::find(at.begin(), at.end(), line.name) == at.end()) at.push_back(line.name);
      }
      lineStations.push_back(std::move(entry));
    }
    WriteFile("lines.csv", JoinLinesCrLf(lineNames));
    WriteFile("line_stations.csv", JoinLinesCrLf(lineStations));
    std::vector<std::string> stationLines;
    for (const std::string& station : stations) {
      stationLines.push_back(station + "=" + Join(linesAt[station], ","));
    }
    WriteFile("station_lines.csv", JoinLinesCrLf(stationLines));
    for (std::size_t line = 0; line < lines_.size(); ++line) {
      WriteFile("line_" + lines_[line].name + ".ttd", TimetableText(line));
      if (lines_[line].main)
        ids_.SetRoute(lines_[line].name, Cp1252(feed_.routes[lines_[line].route].id));
    }
    WriteFile("distances.csv", DistancesText());
    WriteFile(std::string(StationPositions::kFileName), positions_.Text());
    WriteFile(std::string(GtfsIds::kFileName), ids_.Text());
    WriteFile(kImportReportFile, JoinLinesCrLf(report().Lines()));

    params_.MaxDriveMinutes = std::max(kDefaultMaxDriveMinutes, longestDrive_ + 1);
    const std::string projectName = folder_.filename().string() + ".tvp";
    IniFile project = IniFile::InMemory();
    WriteProjectSettings(ctx_.app, params_, project);
    WriteGtfsSettings(project, Settings());
    WriteFile(projectName, project.Bytes());
    result_.projectFile = folder_ / projectName;
  }

  // The temporary folder becomes the folder; into a folder that exists already (and holds
  // none of these files) the files move one by one, never replacing a file, and go back
  // when one cannot.
  // Every file on the disk, then the folder that names them, before the folder goes into
  // place: once each, where a flushed write would flush the folder after every file.
  void FlushFiles() {
    for (const std::string& name : written_) {
      const int fd = ::open((temp_ / name).c_str(), O_RDONLY | O_CLOEXEC);
      const int failure = fd < 0 || ::fsync(fd) != 0 ? errno : 0;
      if (fd >= 0) ::close(fd);
      if (failure != 0) throw Error(msg::CannotWrite(name) + ". " + msg::SystemReason(failure));
    }
    SyncFolder(temp_);
  }

  void MoveIntoPlace() {
    std::error_code error;
    if (!fs::exists(folder_, error) || fs::is_empty(folder_, error)) {
      if (::rename(temp_.c_str(), folder_.c_str()) == 0) {
        if (options_.flush) SyncFolder(folder_.has_parent_path() ? folder_.parent_path() : ".");
        return;
      }
      if (errno != ENOTEMPTY && errno != EEXIST) {
        throw Error(msg::CannotWrite(folder_.string()) + ". " + msg::SystemReason(errno));
      }
    }
    std::vector<std::string> moved;
    for (const std::string& name : written_) {
      const fs::path from = temp_ / name;
      const fs::path to = folder_ / name;
      if (::link(from.c_str(), to.c_str()) != 0) {
        const int failure = errno;
        for (const std::string& back : moved) ::unlink((folder_ / back).c_str());
        throw Error(msg::CannotWrite(to.string()) + ". " + msg::SystemReason(failure));
      }
      moved.push_back(name);
    }
    if (options_.flush) SyncFolder(folder_);
    fs::remove_all(temp_, error);
  }

  Context& ctx_;
  fs::path feedPath_;
  fs::path folder_;
  ImportOptions options_;
  ImportResult result_;
  Feed feed_;
  std::optional<Day> week_;
  std::optional<std::pair<Day, Day>> period_;
  std::vector<std::uint32_t> stationOf_;
  std::vector<TripRun> runs_;
  std::vector<Pattern> patterns_;
  std::vector<std::uint32_t> patternRoute_;
  std::vector<LineData> lines_;
  TPrjParams params_;
  std::map<unsigned long, std::size_t> groupOf_;
  std::vector<SectionData> sections_;
  std::unordered_set<std::uint32_t> leftOut_;
  std::unordered_set<std::uint32_t> cutTrips_;
  std::unordered_set<std::uint32_t> takenTrips_;
  bool named_ = false;
  std::map<std::uint32_t, std::string> stationNames_;
  StationPositions positions_;
  GtfsIds ids_;
  std::int32_t longestDrive_ = 0;
  fs::path temp_;
  std::vector<std::string> written_;
};

}  // namespace

ImportResult ImportGtfs(Context& ctx, const std::filesystem::path& feed,
                        const std::filesystem::path& folder, const ImportOptions& options) {
  return Importer(ctx, feed, folder, options).Run();
}

}  // namespace trivo::gtfs

#include "gtfs/gtfs_export.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "common/error.h"
#include "common/ini_file.h"
#include "common/messages.h"
#include "common/name_value.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "convert/timetable_run.h"
#include "convert/timetable_trips.h"
#include "convert/ttd_file.h"
#include "gtfs/service_days.h"
#include "gtfs/zip_archive.h"

namespace trivo::gtfs {

namespace {

constexpr std::string_view kAgencyId = "1";

std::string Quoted(std::string_view name) {
  return "„" + std::string(name) + "“";
}

// A name a feed cannot carry: one holding a NUL or another control character.
bool HasControlCharacter(std::string_view name) {
  return std::any_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

// Fresh IDs "<prefix><n>" above every number an ID of that kind ever had in gtfs_ids.csv.
class IdSource {
 public:
  IdSource(char letter, std::string_view kind) : letter_(letter), kind_(kind) {}

  void Known(std::string_view id) {
    used_.insert(std::string(id));
    if (id.size() < 2 || id[0] != letter_) return;
    unsigned long long number = 0;
    for (const char c : id.substr(1)) {
      if (c < '0' || c > '9' || number > 100000000000ull) return;
      number = number * 10 + static_cast<unsigned>(c - '0');
    }
    highest_ = std::max(highest_, number);
  }
  std::string Fresh() {
    std::string id;
    do {
      id = std::string(1, letter_) + std::to_string(++highest_);
    } while (used_.count(id) != 0);
    used_.insert(id);
    return id;
  }
  std::string_view Kind() const { return kind_; }

 private:
  char letter_;
  std::string_view kind_;
  unsigned long long highest_ = 0;
  std::set<std::string> used_;
};

class FeedBuilder {
 public:
  FeedBuilder(Context& ctx, const ExportOptions& options) : ctx_(ctx), options_(options) {}

  FeedBuild Build() {
    ReadInputs();
    CheckSettings();
    ReadStations();
    ReadLines();
    ReadTimetables();
    CheckUsedStations();
    BuildStops();
    BuildRoutesAndTrips();
    BuildServices();
    BuildAgency();
    return std::move(result_);
  }

 private:
  struct StationEntry {
    std::string name;
    std::size_t line = 0;  // in stations.csv, from 1
    std::optional<Position> position;
    std::vector<std::string> usedBy;  // the lines that stop there
    std::uint32_t stop = 0;           // index in the feed, when exported
    bool exported = false;
  };
  struct LineEntry {
    std::string name;
    std::size_t line = 0;
    std::vector<std::string> course;
    std::vector<FeedTrip> trips;
    // Per trip, the interval block it is the template of: (step, copies).
    std::vector<std::pair<std::size_t, IntervalBlock>> frequencies;
  };

  void Error(std::string text) { result_.findings.push_back({true, std::move(text)}); }
  void Warning(std::string text) { result_.findings.push_back({false, std::move(text)}); }

  // The lines of a master-data file; a missing one is an error of the report.
  std::optional<std::vector<std::string>> MasterData(std::string_view name) {
    FileRead file = TryReadFileBytes(ctx_.ProjectFile(name), &ctx_.files);
    if (file.read) return SplitTextLines(file.bytes);
    if (file.error == ENOENT) {
      Error(std::string(name) + ": Datei fehlt");
      return std::nullopt;
    }
    if (file.TooLarge())
      throw trivo::Error(msg::FileTooLarge(std::string(name), file.size, kInputSizeLimit));
    throw trivo::Error(msg::CannotOpenFile(std::string(name), file.reason));
  }

  void ReadInputs() {
    const IniFile projectFile(ctx_.ProjectFileName, &ctx_.files);
    settings_ = ReadGtfsSettings(projectFile);
    positions_ = StationPositions::Read(ctx_.ProjectFile(StationPositions::kFileName), &ctx_.files);
    for (const std::size_t line : positions_.BadLines()) {
      Error(std::string(StationPositions::kFileName) + ", Zeile " + std::to_string(line) +
            ": keine Position <Breite>,<Länge> in Dezimalgrad");
    }
    result_.ids = GtfsIds::Read(ctx_.ProjectFile(GtfsIds::kFileName), &ctx_.files);
  }

  void CheckSettings() {
    const std::string section = "[gtfs] ";
    for (const auto& [key, value] :
         {std::pair<std::string_view, const std::string*>{"agency_name", &settings_.agencyName},
          {"agency_url", &settings_.agencyUrl},
          {"agency_timezone", &settings_.agencyTimezone}}) {
      if (value->empty()) Error(section + std::string(key) + " fehlt");
    }
    if (!settings_.agencyUrl.empty() && !settings_.agencyUrl.starts_with("http://") &&
        !settings_.agencyUrl.starts_with("https://")) {
      Error(section + "agency_url " + Quoted(settings_.agencyUrl) +
            " ist keine Adresse mit http:// oder https://");
    }
    for (const std::string* text : {&settings_.agencyName, &settings_.agencyUrl,
                                    &settings_.agencyTimezone, &settings_.agencyLang}) {
      if (HasControlCharacter(*text)) Error(section + "Steuerzeichen in " + Quoted(*text));
    }
    bool periodValid = true;
    for (const auto& [key, value] :
         {std::pair<std::string_view, const std::string*>{"start_date", &settings_.startDate},
          {"end_date", &settings_.endDate}}) {
      if (value->empty()) {
        Error(section + std::string(key) + " fehlt: der Zeitraum des Fahrplans (JJJJMMTT)");
        periodValid = false;
      } else if (!IsGtfsDate(*value)) {
        Error(section + std::string(key) + "=" + *value + " ist kein Datum JJJJMMTT");
        periodValid = false;
      }
    }
    if (periodValid && settings_.startDate > settings_.endDate) {
      Error(section + "Zeitraum verkehrt: start_date " + settings_.startDate +
            " liegt nach end_date " + settings_.endDate);
      periodValid = false;
    }
    for (const std::string& day : settings_.holidays) {
      if (!IsGtfsDate(day)) {
        Error(section + "holidays: " + Quoted(day) + " ist kein Datum JJJJMMTT");
      } else if (periodValid && (day < settings_.startDate || day > settings_.endDate)) {
        Warning(section + "holidays: " + day + " liegt außerhalb des Zeitraums; nicht exportiert");
      } else if (std::find(holidays_.begin(), holidays_.end(), day) == holidays_.end()) {
        holidays_.push_back(day);
      }
    }
    holidayGroup_ = settings_.HolidayDayGroup(ctx_.PrjParams);
    if (!holidays_.empty() && holidayGroup_.empty()) {
      Error(section + "holiday_daygroup fehlt: keine Tag-Gruppe fährt nur sonntags");
    } else if (!holidayGroup_.empty() &&
               std::none_of(ctx_.PrjParams.DayGroups.begin(), ctx_.PrjParams.DayGroups.end(),
                            [&](const TDayGroupItem& g) { return g.Name == holidayGroup_; })) {
      Error(section + "holiday_daygroup: Tag-Gruppe " + Quoted(holidayGroup_) + " fehlt");
    }
    for (const TDayGroupItem& group : ctx_.PrjParams.DayGroups) {
      if (HasControlCharacter(group.Name)) {
        Error("Projektdatei: Steuerzeichen im Namen der Tag-Gruppe " + Quoted(group.Name));
      }
    }
  }

  // The names of a master-data list, one a line, handed to visit with their line number
  // (from 1): empty lines are skipped; a name holding a control character, or one named
  // before, is an error and skipped.
  template <typename Visit>
  void ForEachName(std::string_view fileName, const std::vector<std::string>& lines,
                   std::string_view kind, std::string_view nameWord, Visit visit) {
    std::unordered_map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& name = lines[i];
      if (name.empty()) continue;
      const std::string where = std::string(fileName) + ", Zeile " + std::to_string(i + 1) + ": ";
      if (HasControlCharacter(name)) {
        Error(where + "Steuerzeichen im " + std::string(nameWord) + " " + Quoted(name));
      } else if (const auto [known, added] = seen.emplace(name, i + 1); !added) {
        Error(where + std::string(kind) + " " + Quoted(name) + " steht schon in Zeile " +
              std::to_string(known->second));
      } else {
        visit(name, i + 1);
      }
    }
  }

  void ReadStations() {
    const auto lines = MasterData("stations.csv");
    if (!lines) return;
    ForEachName("stations.csv", *lines, "Station", "Stationsnamen",
                [&](const std::string& name, std::size_t line) {
                  stationIndex_.emplace(name, stations_.size());
                  stations_.push_back({name, line, positions_.Find(name), {}, 0, false});
                });
  }

  void ReadLines() {
    const auto lines = MasterData("lines.csv");
    const auto courses = MasterData("line_stations.csv");
    if (!lines) return;
    ForEachName("lines.csv", *lines, "Linie", "Liniennamen",
                [&](const std::string& name, std::size_t lineNumber) {
                  AddLine(name, lineNumber, courses ? &*courses : nullptr);
                });
  }

  void AddLine(const std::string& name, std::size_t lineNumber,
               const std::vector<std::string>* courses) {
    LineEntry line{name, lineNumber, {}, {}, {}};
    if (courses) {
      if (auto course = LineStationList(*courses, name)) line.course = std::move(*course);
    }
    for (const std::string& station : line.course) {
      if (!stationIndex_.count(station)) {
        Error("line_stations.csv, Linie " + Quoted(name) + ": Station " + Quoted(station) +
              " fehlt in stations.csv");
      } else {
        UseStation(station, name);
      }
    }
    const int type = settings_.RouteType(name);
    if (!IsGtfsRouteType(type)) {
      Error("[gtfs] route_type_" + name + "=" + std::to_string(type) +
            ": kein Routentyp von GTFS (0 bis 7, 11, 12 oder 100 bis 1702)");
    }
    lines_.push_back(std::move(line));
  }

  void UseStation(const std::string& station, const std::string& line) {
    const auto found = stationIndex_.find(station);
    if (found == stationIndex_.end()) return;
    std::vector<std::string>& usedBy = stations_[found->second].usedBy;
    if (std::find(usedBy.begin(), usedBy.end(), line) == usedBy.end()) usedBy.push_back(line);
  }

  static std::string ProblemText(TripProblemKind kind) {
    switch (kind) {
      case TripProblemKind::ErrorCell:
        return "Zelle ist weder Uhrzeit noch Takt";
      case TripProblemKind::InexactTime:
        return "Leerzeichen nach den Minuten der Uhrzeit";
      case TripProblemKind::TimeGoesBack:
        return "Uhrzeit früher als der Halt davor";
      case TripProblemKind::IntervalWithoutTrips:
        return "Takt ohne Fahrt auf beiden Seiten";
      case TripProblemKind::MixedColumn:
        return "Takt-Spalte enthält auch Uhrzeiten";
    }
    return {};
  }

  void ReadTimetables() {
    std::set<std::string> lineNames;
    for (LineEntry& line : lines_) {
      lineNames.insert(line.name);
      const std::optional<std::filesystem::path> path = TimetableFilePath(ctx_, line.name);
      if (!path || !FileExists(*path)) continue;
      const IniFile file(*path, &ctx_.files);
      const std::string fileName = path->filename().string();
      for (const TDayGroupItem& group : ctx_.PrjParams.DayGroups) {
        for (int direction = 1; direction <= 2; ++direction) {
          ReadSection(line, file, fileName, group, direction);
        }
      }
    }
    std::error_code error;
    for (std::filesystem::directory_iterator it(ctx_.ProjectDir, error), end; !error && it != end;
         it.increment(error)) {
      const std::string name = it->path().filename().string();
      if (name.size() <= 9 || !name.starts_with("line_") || !name.ends_with(".ttd")) continue;
      const std::string line = name.substr(5, name.size() - 9);
      if (!lineNames.count(line)) Error(name + ": Linie " + Quoted(line) + " fehlt in lines.csv");
    }
  }

  void ReadSection(LineEntry& line, const IniFile& file, const std::string& fileName,
                   const TDayGroupItem& group, int direction) {
    const std::string sectionName = TimetableSectionName(direction, group.Name);
    const TimetableSection section = ReadTimetableSection(file, sectionName);
    if (section.rows.empty()) return;
    const std::string where = fileName + ", Abschnitt " + sectionName;
    const auto at = [&](std::size_t row, int column) {
      std::string text = where + ", Zeile " + std::to_string(row + 1);
      if (column > 0) text += ", Fahrt " + std::to_string(column);
      return text + ": ";
    };
    for (std::size_t r = 0; r < section.rows.size(); ++r) {
      const std::string& station = section.rows[r].station;
      if (HasControlCharacter(station)) {
        Error(at(r, 0) + "Steuerzeichen im Stationsnamen " + Quoted(station));
      } else if (!stationIndex_.count(station)) {
        Error(at(r, 0) + "Station " + Quoted(station) + " fehlt in stations.csv");
      } else {
        UseStation(station, line.name);
      }
    }
    TripReadOptions readOptions;
    readOptions.expandIntervals = options_.expandIntervals;
    const SectionTrips read = ReadSectionTrips(section, readOptions);
    for (const TripProblem& problem : read.problems) {
      const SectionRow& row = section.rows[problem.row];
      const std::size_t cell = static_cast<std::size_t>(problem.column - 1);
      std::string text = at(problem.row, problem.column) + ProblemText(problem.kind);
      if (cell < row.texts.size()) text += " (" + Quoted(row.texts[cell]) + ")";
      Error(text);
    }
    usedGroups_.insert(group.Name);
    if (group.Days.none() && !read.trips.empty()) {
      Error(where + ": Tag-Gruppe " + Quoted(group.Name) + " hat keine Wochentage");
    }
    // The station of every stop of the section, looked up once.
    std::vector<std::optional<std::uint32_t>> stationOfStop;
    stationOfStop.reserve(read.stops.size());
    for (const SectionStop& stop : read.stops) {
      const auto found = stationIndex_.find(std::string(stop.station));
      stationOfStop.push_back(found == stationIndex_.end()
                                  ? std::nullopt
                                  : std::optional(static_cast<std::uint32_t>(found->second)));
    }
    std::unordered_map<int, std::size_t> tripOfColumn;
    for (const SectionTrip& trip : read.trips) {
      if (trip.stops.size() < 2) {
        if (trip.intervalColumn == 0) {
          const std::size_t row = read.stops[trip.stops.front().stop].arrivalRow;
          Error(at(row, trip.column) + "Fahrt mit weniger als zwei Halten");
        }
        continue;
      }
      FeedTrip feedTrip;
      feedTrip.id =
          std::to_string(direction) + "_" + group.Name + "_" + std::to_string(trip.column);
      if (trip.intervalColumn != 0) feedTrip.id += "+" + std::to_string(trip.shift.Count());
      feedTrip.serviceId = group.Name;
      feedTrip.directionId = direction - 1;
      feedTrip.headsign = std::string(read.stops[trip.stops.back().stop].station);
      feedTrip.stopTimes.reserve(trip.stops.size());
      for (const StopTime& time : trip.stops) {
        if (const auto station = stationOfStop[time.stop]) {
          feedTrip.stopTimes.push_back({*station, time.arrival, time.departure});
        }
      }
      if (trip.intervalColumn == 0) tripOfColumn[trip.column] = line.trips.size();
      line.trips.push_back(std::move(feedTrip));
    }
    if (options_.expandIntervals) return;
    for (const IntervalBlock& block : read.intervals) {
      if (block.copies <= 0 || block.beforeColumn == 0) continue;
      const auto found = tripOfColumn.find(block.beforeColumn);
      if (found != tripOfColumn.end()) line.frequencies.emplace_back(found->second, block);
    }
  }

  void CheckUsedStations() {
    for (const StationEntry& station : stations_) {
      if (station.usedBy.empty() || station.position) continue;
      result_.stationsWithoutPosition.push_back(station.name);
      std::string lines;
      for (const std::string& line : station.usedBy) lines += (lines.empty() ? "" : ", ") + line;
      Error(std::string(StationPositions::kFileName) + ": Station " + Quoted(station.name) +
            " (Linie " + lines + ") hat keine Position");
    }
  }

  // The ID recorded for a station or line, or a fresh one that is recorded.
  template <typename Lookup, typename Record>
  std::string IdOf(const std::string& name, IdSource& source, Lookup lookup, Record record,
                   std::unordered_map<std::string, std::string>& owners) {
    std::string id;
    if (std::optional<std::string> known = lookup(name)) {
      id = std::move(*known);
    } else {
      id = source.Fresh();
      record(name, id);
      result_.idsAdded = true;
    }
    if (HasControlCharacter(id)) {
      Error(std::string(GtfsIds::kFileName) + ": Steuerzeichen in der Kennung " + Quoted(id));
    }
    if (const auto [owner, added] = owners.emplace(id, name); !added) {
      Error(std::string(GtfsIds::kFileName) + ": Kennung " + Quoted(id) + " gehört zu " +
            std::string(source.Kind()) + " " + Quoted(owner->second) + " und " + Quoted(name));
    }
    return id;
  }

  void LearnKnownIds(IdSource& stops, IdSource& routes) {
    for (const std::string& line : result_.ids.Lines()) {
      const std::string_view name = NameOf(line);
      if (line.find('=') == std::string::npos) continue;
      const std::string_view id = std::string_view(line).substr(line.find('=') + 1);
      if (name.size() >= 5 && SameText(name.substr(0, 5), "stop:")) stops.Known(id);
      if (name.size() >= 6 && SameText(name.substr(0, 6), "route:")) routes.Known(id);
    }
  }

  void BuildStops() {
    IdSource source('S', "Station");
    IdSource routes('R', "Linie");
    LearnKnownIds(source, routes);
    std::unordered_map<std::string, std::string> owners;
    std::vector<std::uint32_t> feedIndex(stations_.size(), 0);
    for (std::size_t i = 0; i < stations_.size(); ++i) {
      StationEntry& station = stations_[i];
      if (!station.position) {
        if (station.usedBy.empty()) {
          Warning("stations.csv, Zeile " + std::to_string(station.line) + ": Station " +
                  Quoted(station.name) + " ohne Position und ohne Linie; nicht exportiert");
        }
        continue;
      }
      FeedStop stop;
      stop.id = IdOf(
          station.name, source, [&](const std::string& n) { return result_.ids.Stop(n); },
          [&](const std::string& n, const std::string& id) { result_.ids.SetStop(n, id); }, owners);
      stop.name = station.name;
      stop.latitude = station.position->latitude;
      stop.longitude = station.position->longitude;
      station.stop = static_cast<std::uint32_t>(result_.feed.stops.size());
      station.exported = true;
      result_.feed.stops.push_back(std::move(stop));
    }
    routeIds_ = std::move(routes);
  }

  void BuildRoutesAndTrips() {
    Feed& feed = result_.feed;
    std::unordered_map<std::string, std::string> owners;
    for (LineEntry& line : lines_) {
      if (line.trips.empty()) {
        Warning("Linie " + Quoted(line.name) + " hat keine Fahrten; nicht exportiert");
        continue;
      }
      FeedRoute route;
      route.id = IdOf(
          line.name, routeIds_, [&](const std::string& n) { return result_.ids.Route(n); },
          [&](const std::string& n, const std::string& id) { result_.ids.SetRoute(n, id); },
          owners);
      route.shortName = line.name;
      if (!line.course.empty()) route.longName = line.course.front() + " – " + line.course.back();
      route.type = settings_.RouteType(line.name);
      const auto routeIndex = static_cast<std::uint32_t>(feed.routes.size());
      const std::size_t firstTrip = feed.trips.size();
      for (FeedTrip& trip : line.trips) {
        trip.id = route.id + "_" + trip.id;
        // Unique unless IDs in gtfs_ids.csv and day-group names happen to form the same
        // text ("R1_1" + "_1_A" and "R1" + "_1_1_A").
        if (!tripIds_.insert(trip.id).second) {
          Error("Linie " + Quoted(line.name) + ": Fahrt-Kennung " + Quoted(trip.id) +
                " doppelt; eine Kennung in gtfs_ids.csv ändern");
        }
        trip.route = routeIndex;
        for (FeedStopTime& time : trip.stopTimes) time.stop = stations_[time.stop].stop;
        feed.trips.push_back(std::move(trip));
      }
      for (const auto& [trip, block] : line.frequencies) {
        const Minutes start = feed.trips[firstTrip + trip].stopTimes.front().departure;
        feed.frequencies.push_back(
            {firstTrip + trip, start, start + block.step * (block.copies + 1), block.step});
      }
      feed.routes.push_back(std::move(route));
    }
  }

  void BuildServices() {
    Feed& feed = result_.feed;
    for (const TDayGroupItem& group : ctx_.PrjParams.DayGroups) {
      if (!usedGroups_.count(group.Name)) {
        Warning("Tag-Gruppe " + Quoted(group.Name) + " hat keine Fahrten");
      } else if (group.Days.none()) {
        continue;
      }
      if (group.Days.none()) {
        Warning("Tag-Gruppe " + Quoted(group.Name) + " hat keine Wochentage; nicht exportiert");
        continue;
      }
      feed.services.push_back({group.Name, group.Days, settings_.startDate, settings_.endDate});
    }
    for (const std::string& day : holidays_) {
      // Holidays are valid dates (checked above).
      const auto weekday = static_cast<std::size_t>(WeekdayOf(*ParseGtfsDate(day)));
      for (const FeedService& service : feed.services) {
        const bool isHolidayGroup = service.id == holidayGroup_;
        if (isHolidayGroup && !service.days[weekday]) {
          feed.serviceDates.push_back({service.id, day, true});
        } else if (!isHolidayGroup && service.days[weekday]) {
          feed.serviceDates.push_back({service.id, day, false});
        }
      }
    }
  }

  void BuildAgency() {
    Feed& feed = result_.feed;
    feed.agency = {std::string(kAgencyId), settings_.agencyName, settings_.agencyUrl,
                   settings_.agencyTimezone, settings_.agencyLang};
    feed.info = {settings_.agencyName, settings_.agencyUrl, settings_.agencyLang,
                 settings_.startDate,  settings_.endDate,   ctx_.PrjParams.LastSave};
  }

  Context& ctx_;
  const ExportOptions& options_;
  FeedBuild result_;
  GtfsSettings settings_;
  StationPositions positions_;
  std::vector<std::string> holidays_;
  std::string holidayGroup_;
  std::vector<StationEntry> stations_;
  std::unordered_map<std::string, std::size_t> stationIndex_;
  std::vector<LineEntry> lines_;
  std::set<std::string> usedGroups_;
  std::set<std::string> tripIds_;
  IdSource routeIds_{'R', "Linie"};
};

}  // namespace

std::string CountsText(const ExportCounts& counts) {
  return std::to_string(counts.stops) + " Haltestellen, " + std::to_string(counts.routes) +
         " Linien, " + std::to_string(counts.trips) + " Fahrten, " +
         std::to_string(counts.stopTimes) + " Halte";
}

bool FeedBuild::HasErrors() const {
  return std::any_of(findings.begin(), findings.end(),
                     [](const ExportFinding& finding) { return finding.error; });
}

ExportCounts FeedBuild::Counts() const {
  return {feed.stops.size(), feed.routes.size(), feed.trips.size(), feed.StopTimeCount()};
}

FeedBuild BuildFeed(Context& ctx, const ExportOptions& options) {
  return FeedBuilder(ctx, options).Build();
}

ExportResult ExportGtfs(Context& ctx, const std::filesystem::path& target,
                        const ExportOptions& options) {
  FeedBuild build = BuildFeed(ctx, options);
  const bool errors = build.HasErrors();
  ExportResult result{std::move(build.findings), build.Counts(), false};
  if (errors) return result;
  // The IDs first: a feed published with IDs that the next export does not know would
  // lose its stable IDs.
  if (build.idsAdded) {
    WriteFileAtomically(ctx.ProjectFile(GtfsIds::kFileName), build.ids.Text(),
                        std::string(GtfsIds::kFileName), ctx.files.Document());
  }
  ZipWriter zip;
  // The fastest deflate: a feed's CSV text repeats itself so much that the default level
  // spends most of an export searching matches, for an archive barely smaller.
  zip.SetCompressionLevel(1);
  for (auto& [name, text] : FeedFiles(build.feed)) zip.Add(std::move(name), std::move(text));
  build.feed = Feed();
  WriteFileAtomically(target, zip.Bytes(), target.string(), ctx.files.Output());
  result.written = true;
  return result;
}

ExportSetup ReadExportSetup(Context& ctx) {
  ExportSetup setup;
  setup.settings = ReadGtfsSettings(IniFile(ctx.ProjectFileName, &ctx.files));
  FileRead lines = TryReadFileBytes(ctx.ProjectFile("lines.csv"), &ctx.files);
  if (lines.read) {
    for (std::string& line : SplitTextLines(lines.bytes)) {
      if (!line.empty() &&
          std::find(setup.lines.begin(), setup.lines.end(), line) == setup.lines.end()) {
        setup.lines.push_back(std::move(line));
      }
    }
  }
  setup.stationsWithoutPosition = BuildFeed(ctx).stationsWithoutPosition;
  return setup;
}

void SaveExportSetup(Context& ctx, const GtfsSettings& settings,
                     const std::vector<std::pair<std::string, Position>>& positions) {
  IniFile projectFile(ctx.ProjectFileName, &ctx.files);
  WriteGtfsSettings(projectFile, settings);
  if (positions.empty()) return;
  const std::filesystem::path path = ctx.ProjectFile(StationPositions::kFileName);
  StationPositions known = StationPositions::Read(path, &ctx.files);
  for (const auto& [station, position] : positions) known.Set(station, position);
  WriteFileAtomically(path, known.Text(), std::string(StationPositions::kFileName),
                      ctx.files.Document());
}

bool IsGtfsRouteType(int type) {
  if ((type >= 0 && type <= 7) || type == 11 || type == 12) return true;
  static constexpr std::pair<int, int> kExtended[] = {
      {100, 117},   {200, 209},   {400, 405},   {700, 716},   {800, 800},
      {900, 906},   {1000, 1000}, {1100, 1100}, {1200, 1200}, {1300, 1307},
      {1400, 1400}, {1500, 1507}, {1700, 1702}};
  return std::any_of(std::begin(kExtended), std::end(kExtended), [type](const auto& range) {
    return type >= range.first && type <= range.second;
  });
}

}  // namespace trivo::gtfs

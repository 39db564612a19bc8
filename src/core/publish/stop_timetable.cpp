#include "publish/stop_timetable.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>

#include "common/error.h"
#include "common/ini_file.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "convert/timetable_run.h"
#include "convert/timetable_trips.h"
#include "convert/ttd_file.h"
#include "project/gtfs_settings.h"
#include "tables/collation.h"

namespace trivo {

namespace {

// A trip's halt at a position of the line's course.
struct CourseStop {
  std::int32_t position = 0;
  Minutes arrival;
  Minutes departure;
};
using CourseTrip = std::vector<CourseStop>;

// As the trip reader's longest gap over midnight.
constexpr Minutes kLongestMidnightGap = Minutes::Hours(12);

struct LineData {
  std::string name;
  std::int32_t id = 0;
  // Per direction (index 0 for direction 1): the course's stations in the direction of
  // travel, and per day group the trips.
  std::array<std::vector<std::string>, 2> course;
  std::array<std::vector<std::vector<CourseTrip>>, 2> trips;
};

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

// "20240101", "2024-01-01" or "01.01.2024" as "01.01.2024"; empty for anything else.
std::string DateText(std::string_view value) {
  const std::string text = Trim(value);
  int year = 0;
  int month = 0;
  int day = 0;
  const auto digits = [&text](std::size_t from, std::size_t count) {
    std::int32_t number = 0;
    for (std::size_t i = from; i < from + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return -1;
      number = number * 10 + (text[i] - '0');
    }
    return number;
  };
  if (text.size() == 8) {
    year = digits(0, 4), month = digits(4, 2), day = digits(6, 2);
  } else if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
    year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
  } else if (text.size() == 10 && text[2] == '.' && text[5] == '.') {
    day = digits(0, 2), month = digits(3, 2), year = digits(6, 4);
  } else {
    return {};
  }
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31) return {};
  return TwoDigits(day) + "." + TwoDigits(month) + "." + std::to_string(year);
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return TwoDigits(local.tm_mday) + "." + TwoDigits(local.tm_mon + 1) + "." +
         std::to_string(local.tm_year + 1900);
}

std::string LetterOf(std::size_t index) {
  std::string letter(1, static_cast<char>('a' + index % 26));
  if (index >= 26) letter += std::to_string(index / 26);
  return letter;
}

// The name among names that a user meant: the same bytes, else the same letters.
std::optional<std::size_t> FindName(const std::vector<std::string>& names, std::string_view name) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return i;
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (SameText(names[i], name)) return i;
  }
  return std::nullopt;
}

std::vector<std::string> ReadProjectLines(Context& ctx, std::string_view name) {
  const std::filesystem::path path = ctx.ProjectFile(name);
  return ReadTextLines(path, path.filename().string(), &ctx.files);
}

// The course of a line in line_stations.csv order, consecutive repeats dropped as the
// conversion drops them.
std::vector<std::string> CourseOf(std::vector<std::string> items) {
  std::vector<std::string> course;
  for (std::string& item : items) {
    if (!course.empty() && course.back() == item) continue;
    course.push_back(std::move(item));
  }
  return course;
}

std::string ProblemText(const TripProblem& problem, const SectionRow* row) {
  std::string cell;
  if (row != nullptr && problem.column >= 1 &&
      static_cast<std::size_t>(problem.column) <= row->texts.size()) {
    cell = row->texts[static_cast<std::size_t>(problem.column - 1)];
  }
  switch (problem.kind) {
    case TripProblemKind::ErrorCell:
      return "Zelle \"" + cell + "\" ist keine Uhrzeit und fehlt im Aushang";
    case TripProblemKind::InexactTime:
      return "Uhrzeit \"" + cell + "\" mit Leerzeichen nach den Minuten fehlt im Aushang";
    case TripProblemKind::TimeGoesBack:
      return "Uhrzeit \"" + cell + "\" liegt vor der Zeit davor";
    case TripProblemKind::IntervalWithoutTrips:
      return "Takt \"" + cell + "\" ohne Fahrt davor und danach fehlt im Aushang";
    case TripProblemKind::MixedColumn:
      return "Uhrzeit \"" + cell + "\" in einer Takt-Spalte";
  }
  return {};
}

}  // namespace

struct StopTimetableBook::Data {
  std::vector<std::string> stations;  // stations.csv
  std::unordered_map<std::string, std::int32_t> stationIds;
  std::vector<LineData> lines;  // the chosen lines in collation order
  std::vector<std::string> dayGroupTexts;
  std::vector<std::string> warnings;
  std::string validity;
  std::string projectName;
  std::string madeOn;
  // The chosen stations in collation order: (name, ID).
  std::vector<std::pair<std::string, std::int32_t>> order;

  void LoadLine(Context& ctx, LineData& line);
  // The poster of the station at position of the line's course; none when no trip
  // leaves there.
  std::optional<StopPoster> MakePoster(const LineData& line, int direction,
                                       std::int32_t position) const;
  // Makes the posters of the chosen stations and lines (empty: all) in the book's order
  // and hands each to visit until it returns false. Returns how many were made.
  std::size_t VisitPosters(const std::vector<std::string>& chosenStations,
                           const std::vector<std::string>& chosenLines,
                           const std::function<bool(const StopPoster&)>& visit) const;
};

void StopTimetableBook::Data::LoadLine(Context& ctx, LineData& line) {
  const std::optional<std::filesystem::path> path = TimetableFilePath(ctx, line.name);
  const IniFile file = path ? IniFile(*path, &ctx.files) : IniFile(std::filesystem::path());
  const std::string fileName = "line_" + line.name + ".ttd";
  for (int direction = 1; direction <= 2; ++direction) {
    const std::vector<std::string>& course = line.course[direction - 1];
    auto& groups = line.trips[direction - 1];
    groups.resize(dayGroupTexts.size());
    for (std::size_t g = 0; g < ctx.PrjParams.DayGroups.size(); ++g) {
      const std::string sectionName =
          TimetableSectionName(direction, ctx.PrjParams.DayGroups[g].Name);
      if (!path || !file.SectionExists(sectionName)) continue;
      const TimetableSection section = ReadTimetableSection(file, sectionName);
      const SectionTrips read = ReadSectionTrips(section, {.expandIntervals = true});
      const std::string where = fileName + ", Abschnitt " + sectionName;
      for (const TripProblem& problem : read.problems) {
        const SectionRow* row =
            problem.row < section.rows.size() ? &section.rows[problem.row] : nullptr;
        warnings.push_back(where + ", Zeile " + std::to_string(problem.row + 1) + ", Fahrt " +
                           std::to_string(problem.column) + ": " + ProblemText(problem, row));
      }
      // The section's stops along the course: each the next course station of its name.
      std::vector<std::int32_t> positionOfStop(read.stops.size(), -1);
      std::size_t next = 0;
      for (std::size_t s = 0; s < read.stops.size(); ++s) {
        const auto found = std::find(course.begin() + static_cast<std::ptrdiff_t>(next),
                                     course.end(), read.stops[s].station);
        if (found == course.end()) {
          warnings.push_back(where + ", Zeile " + std::to_string(read.stops[s].arrivalRow + 1) +
                             ": Station \"" + std::string(read.stops[s].station) +
                             "\" fehlt im Linienverlauf und im Aushang");
          continue;
        }
        positionOfStop[s] = static_cast<std::int32_t>(found - course.begin());
        next = static_cast<std::size_t>(found - course.begin()) + 1;
      }
      std::vector<CourseTrip>& trips = groups[g];
      trips.reserve(read.trips.size());
      // The trips are written in the order they leave: one that leaves a little after
      // midnight behind the late evening's trips runs in the night after the day group's
      // day, and goes into the hours after 24 with every trip after it.
      Minutes shift{0};
      std::optional<Minutes> previousFirst;
      for (const SectionTrip& trip : read.trips) {
        const Minutes first = trip.FirstDeparture() + shift;
        if (previousFirst && first < *previousFirst &&
            first + kOneDay - *previousFirst <= kLongestMidnightGap) {
          shift += kOneDay;
        }
        previousFirst = trip.FirstDeparture() + shift;
        CourseTrip stops;
        stops.reserve(trip.stops.size());
        for (const StopTime& time : trip.stops) {
          const std::int32_t position = positionOfStop[time.stop];
          if (position >= 0)
            stops.push_back({position, time.arrival + shift, time.departure + shift});
        }
        if (stops.size() >= 2) trips.push_back(std::move(stops));
      }
    }
  }
}

std::optional<StopPoster> StopTimetableBook::Data::MakePoster(const LineData& line, int direction,
                                                              std::int32_t position) const {
  const std::vector<std::string>& course = line.course[direction - 1];
  const std::int32_t last = static_cast<std::int32_t>(course.size()) - 1;
  StopPoster poster;
  poster.station = course[static_cast<std::size_t>(position)];
  const auto id = stationIds.find(poster.station);
  poster.stationId = id == stationIds.end() ? 0 : id->second;
  poster.line = line.name;
  poster.lineId = line.id;
  poster.direction = direction;
  poster.towards = course.back();
  poster.validity = validity;
  poster.projectName = projectName;
  poster.madeOn = madeOn;
  // Footnotes by where a trip starts and ends (-1: at the line's ends).
  std::map<std::pair<std::int32_t, std::int32_t>, int> footnoteOf;
  std::map<std::int32_t, std::map<std::int32_t, int>> travelTimes;  // position -> minutes -> trips
  const auto& groups = line.trips[direction - 1];
  for (std::size_t g = 0; g < dayGroupTexts.size(); ++g) {
    PosterColumn column;
    column.heading = dayGroupTexts[g];
    if (g < groups.size()) {
      for (const CourseTrip& trip : groups[g]) {
        // A departure: the trip halts here and goes on.
        auto here = std::find_if(trip.begin(), trip.end(), [position](const CourseStop& stop) {
          return stop.position == position;
        });
        if (here == trip.end() || here + 1 == trip.end()) continue;
        PosterDeparture departure{here->departure, -1};
        const std::int32_t from = trip.front().position > 0 ? trip.front().position : -1;
        const std::int32_t to = trip.back().position < last ? trip.back().position : -1;
        if (from >= 0 || to >= 0) {
          const auto [note, added] =
              footnoteOf.try_emplace({from, to}, static_cast<int>(poster.footnotes.size()));
          if (added) {
            std::string text;
            if (from >= 0) text = "fährt erst ab " + course[static_cast<std::size_t>(from)];
            if (to >= 0) {
              text += text.empty() ? "fährt nur bis " : ", nur bis ";
              text += course[static_cast<std::size_t>(to)];
            }
            poster.footnotes.push_back({LetterOf(poster.footnotes.size()), std::move(text)});
          }
          departure.footnote = note->second;
        }
        column.departures.push_back(departure);
        for (auto later = here + 1; later != trip.end(); ++later) {
          ++travelTimes[later->position][(later->arrival - here->departure).Count()];
        }
      }
    }
    std::stable_sort(
        column.departures.begin(), column.departures.end(),
        [](const PosterDeparture& a, const PosterDeparture& b) { return a.time < b.time; });
    poster.columns.push_back(std::move(column));
  }
  const bool any =
      std::any_of(poster.columns.begin(), poster.columns.end(),
                  [](const PosterColumn& column) { return !column.departures.empty(); });
  if (!any) return std::nullopt;
  // The letters go in the order the poster shows them: hour by hour, column by column.
  if (poster.footnotes.size() > 1) {
    std::vector<int> rank(poster.footnotes.size(), -1);
    int next = 0;
    for (const std::int32_t hour : poster.Hours()) {
      for (const PosterColumn& column : poster.columns) {
        for (const PosterDeparture& departure : column.departures) {
          if (departure.time.Count() / 60 == hour && departure.footnote >= 0 &&
              rank[static_cast<std::size_t>(departure.footnote)] < 0) {
            rank[static_cast<std::size_t>(departure.footnote)] = next++;
          }
        }
      }
    }
    std::vector<PosterFootnote> ordered(poster.footnotes.size());
    for (std::size_t i = 0; i < rank.size(); ++i) {
      const std::size_t slot = static_cast<std::size_t>(rank[i]);
      ordered[slot] = {LetterOf(slot), std::move(poster.footnotes[i].text)};
    }
    for (PosterColumn& column : poster.columns) {
      for (PosterDeparture& departure : column.departures) {
        if (departure.footnote >= 0)
          departure.footnote = rank[static_cast<std::size_t>(departure.footnote)];
      }
    }
    poster.footnotes = std::move(ordered);
  }
  for (const auto& [later, counts] : travelTimes) {
    // The most frequent travel time; of equally frequent ones the shortest.
    const auto most =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
          return a.second < b.second || (a.second == b.second && a.first > b.first);
        });
    poster.following.push_back({course[static_cast<std::size_t>(later)], most->first});
  }
  return poster;
}

std::vector<std::int32_t> StopPoster::Hours() const {
  std::set<std::int32_t> hours;
  for (const PosterColumn& column : columns) {
    for (const PosterDeparture& departure : column.departures)
      hours.insert(departure.time.Count() / 60);
  }
  return {hours.begin(), hours.end()};
}

std::string DepartureText(const StopPoster& poster, const PosterDeparture& departure) {
  std::string text = TwoDigits(departure.time.Count() % 60);
  if (departure.footnote >= 0 &&
      static_cast<std::size_t>(departure.footnote) < poster.footnotes.size()) {
    text += poster.footnotes[static_cast<std::size_t>(departure.footnote)].letter;
  }
  return text;
}

std::int32_t PrintedHour(std::int32_t serviceHour) {
  return serviceHour % 24;
}

std::string ServicePeriodText(const Context& ctx) {
  if (ctx.ProjectFileName.empty()) return {};
  const gtfs::GtfsSettings settings =
      gtfs::ReadGtfsSettings(IniFile(std::filesystem::path(ctx.ProjectFileName)));
  const std::string start = DateText(settings.startDate);
  const std::string end = DateText(settings.endDate);
  if (!start.empty() && !end.empty()) return "Gültig vom " + start + " bis " + end;
  if (!start.empty()) return "Gültig ab " + start;
  if (!end.empty()) return "Gültig bis " + end;
  return {};
}

StopTimetableBook::StopTimetableBook(Context& ctx, const StopTimetableOptions& options)
    : data_(std::make_unique<Data>()) {
  Data& data = *data_;
  if (!ctx.ProjectFileName.empty()) ctx.files.RecordInput(ctx.ProjectFileName);
  data.stations = ReadProjectLines(ctx, "stations.csv");
  for (std::size_t i = 0; i < data.stations.size(); ++i) {
    data.stationIds.try_emplace(data.stations[i], static_cast<std::int32_t>(i + 1));
  }
  const std::vector<std::string> lineNames = ReadProjectLines(ctx, "lines.csv");
  const std::vector<std::string> lineStations = ReadProjectLines(ctx, "line_stations.csv");
  for (const TDayGroupItem& group : ctx.PrjParams.DayGroups)
    data.dayGroupTexts.push_back(group.Text);
  data.validity = ServicePeriodText(ctx);
  data.projectName = std::filesystem::path(ctx.ProjectFileName).stem().string();
  data.madeOn = options.madeOn.empty() ? Today() : options.madeOn;

  std::set<std::size_t> chosenLines;
  for (const std::string& name : options.lines) {
    const std::optional<std::size_t> index = FindName(lineNames, name);
    if (!index) throw Error("Linie nicht gefunden: " + name);
    chosenLines.insert(*index);
  }
  std::set<std::string> chosenStations;
  for (const std::string& name : options.stations) {
    const std::optional<std::size_t> index = FindName(data.stations, name);
    if (!index) throw Error("Station nicht gefunden: " + name);
    chosenStations.insert(data.stations[*index]);
  }

  std::set<std::string> served;
  for (std::size_t i = 0; i < lineNames.size(); ++i) {
    if (!chosenLines.empty() && chosenLines.count(i) == 0) continue;
    if (lineNames[i].empty()) continue;
    std::optional<std::vector<std::string>> items = LineStationList(lineStations, lineNames[i]);
    if (!items || items->size() < 2) continue;
    LineData line;
    line.name = lineNames[i];
    line.id = static_cast<std::int32_t>(i + 1);
    line.course[0] = CourseOf(std::move(*items));
    line.course[1] = {line.course[0].rbegin(), line.course[0].rend()};
    if (line.course[0].size() < 2) continue;
    for (const std::string& station : line.course[0]) {
      if (data.stationIds.count(station) == 0) {
        data.warnings.push_back("Linie " + line.name + ": Station \"" + station +
                                "\" fehlt in stations.csv und bekommt keinen Aushang");
      } else {
        served.insert(station);
      }
    }
    data.LoadLine(ctx, line);
    data.lines.push_back(std::move(line));
  }
  std::stable_sort(data.lines.begin(), data.lines.end(), [](const LineData& a, const LineData& b) {
    const std::string keyA = CollationKey(a.name);
    const std::string keyB = CollationKey(b.name);
    return keyA != keyB ? keyA < keyB : a.name < b.name;
  });
  for (const std::string& station : served) {
    if (!chosenStations.empty() && chosenStations.count(station) == 0) continue;
    data.order.emplace_back(station, data.stationIds.at(station));
  }
  std::stable_sort(data.order.begin(), data.order.end(), [](const auto& a, const auto& b) {
    const std::string keyA = CollationKey(a.first);
    const std::string keyB = CollationKey(b.first);
    return keyA != keyB ? keyA < keyB : a.first < b.first;
  });
}

StopTimetableBook::~StopTimetableBook() = default;
StopTimetableBook::StopTimetableBook(StopTimetableBook&&) noexcept = default;
StopTimetableBook& StopTimetableBook::operator=(StopTimetableBook&&) noexcept = default;

const std::vector<std::string>& StopTimetableBook::Warnings() const {
  return data_->warnings;
}

std::vector<std::string> StopTimetableBook::StationNames() const {
  std::vector<std::string> names;
  for (const auto& station : data_->order) names.push_back(station.first);
  return names;
}

std::vector<std::string> StopTimetableBook::LineNames() const {
  std::vector<std::string> names;
  for (const LineData& line : data_->lines) names.push_back(line.name);
  return names;
}

std::size_t StopTimetableBook::ForEachPoster(
    const std::function<void(const StopPoster&)>& visit) const {
  return ForEachPoster({}, {}, visit);
}

std::size_t StopTimetableBook::ForEachPoster(
    const std::vector<std::string>& stations, const std::vector<std::string>& lines,
    const std::function<void(const StopPoster&)>& visit) const {
  return data_->VisitPosters(stations, lines, [&visit](const StopPoster& poster) {
    visit(poster);
    return true;
  });
}

std::optional<StopPoster> StopTimetableBook::FirstPoster(
    const std::vector<std::string>& stations, const std::vector<std::string>& lines) const {
  std::optional<StopPoster> first;
  data_->VisitPosters(stations, lines, [&first](const StopPoster& poster) {
    first = poster;
    return false;
  });
  return first;
}

std::size_t StopTimetableBook::Data::VisitPosters(
    const std::vector<std::string>& chosenStations, const std::vector<std::string>& chosenLines,
    const std::function<bool(const StopPoster&)>& visit) const {
  // Where each station lies on each line's course, made once for the whole book.
  std::unordered_map<std::string, std::vector<std::array<std::int32_t, 3>>> stops;
  for (std::size_t l = 0; l < lines.size(); ++l) {
    const LineData& line = lines[l];
    if (!chosenLines.empty() &&
        std::find(chosenLines.begin(), chosenLines.end(), line.name) == chosenLines.end()) {
      continue;
    }
    for (int direction = 1; direction <= 2; ++direction) {
      const std::vector<std::string>& course = line.course[direction - 1];
      for (std::size_t p = 0; p + 1 < course.size(); ++p) {
        stops[course[p]].push_back(
            {static_cast<std::int32_t>(l), direction, static_cast<std::int32_t>(p)});
      }
    }
  }
  std::size_t count = 0;
  for (const auto& [station, id] : order) {
    if (!chosenStations.empty() &&
        std::find(chosenStations.begin(), chosenStations.end(), station) == chosenStations.end()) {
      continue;
    }
    const auto found = stops.find(station);
    if (found == stops.end()) continue;
    for (const auto& [l, direction, position] : found->second) {
      const std::optional<StopPoster> poster =
          MakePoster(lines[static_cast<std::size_t>(l)], direction, position);
      if (!poster) continue;
      ++count;
      if (!visit(*poster)) return count;
    }
  }
  return count;
}

}  // namespace trivo

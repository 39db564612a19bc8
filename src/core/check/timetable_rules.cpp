// The project check's rules for the timetable files: rows along the course, cells, times
// along each trip, drive times, interval columns, and lines without trips.

#include <algorithm>
#include <set>
#include <utility>

#include "check/project_check.h"
#include "common/strings.h"
#include "convert/ttd_file.h"

namespace trivo {

namespace {

// The problems of one section, each also naming its place in the editor.
class SectionCheck {
 public:
  SectionCheck(const CheckedProject& project, const CheckedLine& line,
               const CheckedSection& section, CheckReport& report)
      : project_(project), line_(line), section_(section), report_(report) {}

  void Run() {
    CheckCourse();
    CheckTripProblems();
    CheckSingleEntries();
    CheckDriveTimes();
  }

 private:
  // row from 0, trip column from 1 (0: the row as a whole).
  void Error(std::size_t row, int column, std::string text) {
    CheckProblem problem;
    problem.file = line_.fileName;
    problem.section = section_.section.name;
    problem.row = static_cast<int>(row) + 1;
    problem.column = column;
    problem.text = std::move(text);
    problem.place = TimetablePlace{line_.name, section_.dayGroupName, section_.direction,
                                   column > 0 ? column + 1 : 2, static_cast<int>(row) + 2};
    report_.Add(std::move(problem));
  }

  // The stations of the line's course that the conversion gives columns: the known ones,
  // consecutive repeats once, reversed for direction 2.
  std::vector<std::string> Course() const {
    std::vector<std::string> course;
    const CourseEntry* entry = project_.CourseOf(line_.name);
    if (entry == nullptr) return course;
    for (const std::string& station : entry->stations) {
      const std::string stored = StoredName(station);
      if (!project_.IsStation(stored)) continue;
      if (!course.empty() && course.back() == stored) continue;
      course.push_back(stored);
    }
    if (section_.direction == 2) std::reverse(course.begin(), course.end());
    return course;
  }

  // The conversion gives every station two columns and matches each row against the next
  // column, dropping that column once when it does not match.
  void CheckCourse() {
    if (project_.CourseOf(line_.name) == nullptr || !project_.stations.read) return;
    std::vector<std::string> columns;
    for (const std::string& station : Course()) columns.insert(columns.end(), 2, station);
    std::size_t s = 0;
    for (std::size_t r = 0; r < section_.section.rows.size(); ++r) {
      const std::string& station = section_.section.rows[r].station;
      bool matches = s < columns.size() && station == columns[s];
      if (!matches && s < columns.size()) {
        columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(s));
        matches = s < columns.size() && station == columns[s];
      }
      if (s >= columns.size()) {
        Error(
            r, 0,
            "Die Zeile mit " + Quoted(station) + " geht über das Ende des Linienverlaufs hinaus.");
        return;
      }
      if (!matches) {
        Error(r, 0,
              "Die Station " + Quoted(station) +
                  " folgt nicht dem Linienverlauf (erwartet: " + Quoted(columns[s]) + ").");
      }
      ++s;
    }
  }

  const IntervalBlock* BlockAt(int column) const {
    for (const IntervalBlock& block : section_.trips.intervals) {
      if (block.firstColumn == column) return &block;
    }
    return nullptr;
  }

  std::string CellText(std::size_t row, int column) const {
    const SectionRow& cells = section_.section.rows[row];
    const std::size_t index = static_cast<std::size_t>(column) - 1;
    return index < cells.texts.size() ? cells.texts[index] : std::string();
  }

  void CheckTripProblems() {
    for (const TripProblem& problem : section_.trips.problems) {
      const std::string text = Quoted(CellText(problem.row, problem.column));
      switch (problem.kind) {
        case TripProblemKind::ErrorCell:
          Error(problem.row, problem.column, "Ungültige Zelle " + text + ".");
          break;
        case TripProblemKind::InexactTime:
          Error(problem.row, problem.column,
                "Die Zeit " + text +
                    " hat Leerzeichen nach den Minuten; die Konvertierung "
                    "liest sie nicht (time-error).");
          break;
        case TripProblemKind::TimeGoesBack:
          goesBack_.insert({problem.row, problem.column});
          Error(problem.row, problem.column,
                "Die Zeit " + text +
                    " liegt vor der Zeit davor auf der Fahrt, weiter zurück als über "
                    "Mitternacht.");
          break;
        case TripProblemKind::IntervalWithoutTrips: {
          const IntervalBlock* block = BlockAt(problem.column);
          const bool before = block != nullptr && block->beforeColumn > 0;
          const bool after = block != nullptr && block->afterColumn > 0;
          Error(problem.row, problem.column,
                std::string("Intervall ohne Fahrt ") + (!before && !after ? "davor und danach."
                                                        : !before         ? "davor."
                                                                          : "danach."));
          break;
        }
        case TripProblemKind::MixedColumn:
          Error(problem.row, problem.column,
                "Die Zeit " + text + " steht in einer Spalte mit Intervallen.");
          break;
      }
    }
  }

  // A trip column with exactly one time or interval: saving in the editor marks it as an
  // error.
  void CheckSingleEntries() {
    const std::size_t columns = section_.section.ColumnCount();
    std::vector<int> entries(columns, 0);
    std::vector<std::size_t> rows(columns, 0);
    for (std::size_t r = 0; r < section_.section.rows.size(); ++r) {
      const std::vector<TimetableCell>& cells = section_.section.rows[r].cells;
      for (std::size_t c = 0; c < cells.size(); ++c) {
        if (!cells[c].IsTime() && !cells[c].IsInterval()) continue;
        ++entries[c];
        rows[c] = r;
      }
    }
    for (std::size_t c = 0; c < columns; ++c) {
      if (entries[c] != 1) continue;
      Error(rows[c], static_cast<int>(c) + 1,
            "Die Fahrt hat nur eine Zeit; beim Speichern im Editor gilt sie als Fehler.");
    }
  }

  // The row of a stop's arrival: its arrival row, or the departure row of a pair whose
  // arrival row has no time.
  std::size_t ArrivalRow(const SectionStop& stop, int column) const {
    const std::vector<TimetableCell>& cells = section_.section.rows[stop.arrivalRow].cells;
    const std::size_t index = static_cast<std::size_t>(column) - 1;
    const bool timed = index < cells.size() && cells[index].IsTime() && cells[index].exactTime;
    return stop.IsPair() && !timed ? stop.departureRow : stop.arrivalRow;
  }

  void DriveTime(std::size_t row, int column, Minutes from, Minutes to, std::string_view a,
                 std::string_view b) {
    const Minutes drive = to - from;
    if (drive.Count() <= project_.maxDriveMinutes) return;
    if (goesBack_.count({row, column}) > 0) return;
    Error(row, column,
          "Fahrzeit von " + std::to_string(drive.Count()) + " Minuten von " +
              Quoted(std::string(a)) + " nach " + Quoted(std::string(b)) +
              ", mehr als die höchste Fahrzeit von " + std::to_string(project_.maxDriveMinutes) +
              " Minuten (max_drive_minutes).");
  }

  void CheckDriveTimes() {
    const std::vector<SectionStop>& stops = section_.trips.stops;
    for (const SectionTrip& trip : section_.trips.trips) {
      if (trip.intervalColumn != 0) continue;
      for (std::size_t i = 0; i < trip.stops.size(); ++i) {
        const StopTime& time = trip.stops[i];
        const SectionStop& stop = stops[time.stop];
        if (i > 0) {
          const StopTime& before = trip.stops[i - 1];
          DriveTime(ArrivalRow(stop, trip.column), trip.column, before.departure, time.arrival,
                    stops[before.stop].station, stop.station);
        }
        if (stop.IsPair()) {
          DriveTime(stop.departureRow, trip.column, time.arrival, time.departure, stop.station,
                    stop.station);
        }
      }
    }
  }

  const CheckedProject& project_;
  const CheckedLine& line_;
  const CheckedSection& section_;
  CheckReport& report_;
  std::set<std::pair<std::size_t, int>> goesBack_;  // (row, column) of times going back
};

bool IsProjectSection(const CheckedProject& project, std::string_view name) {
  for (const CheckedDayGroup& group : project.dayGroups) {
    for (const int direction : {1, 2}) {
      if (SameText(name, TimetableSectionName(direction, group.name))) return true;
    }
  }
  return false;
}

}  // namespace

void CheckTimetable(const CheckedProject& project, const CheckedTimetable& timetable,
                    CheckReport& report) {
  const CheckedLine& line = timetable.line;
  std::size_t trips = 0;
  for (const CheckedSection& section : timetable.sections) {
    SectionCheck(project, line, section, report).Run();
    trips += section.trips.trips.size();
  }
  for (const std::string& name : timetable.sectionNames) {
    if (IsProjectSection(project, name)) continue;
    report.Warning(line.fileName, "Der Abschnitt gehört zu keiner Tagesgruppe des Projekts.", name);
  }
  if (trips == 0) {
    report.Warning(line.fileName, "Die Linie " + Quoted(line.name) + " hat keine Fahrten.");
  }
}

}  // namespace trivo

#include "convert/timetable_trips.h"

#include <algorithm>
#include <optional>

#include "common/strings.h"
#include "common/sy_standard.h"
#include "convert/ttd_file.h"

namespace trivo {

namespace {

// The time of one cell, or nothing for no stop; error cells and inexact times are
// listed as problems.
std::optional<Minutes> CellTime(const SectionRow& row, std::size_t rowIndex, std::size_t cellIndex,
                                std::vector<TripProblem>& problems) {
  if (cellIndex >= row.cells.size()) return std::nullopt;
  const TimetableCell& cell = row.cells[cellIndex];
  const int column = static_cast<int>(cellIndex) + 1;
  if (cell.IsError()) problems.push_back({TripProblemKind::ErrorCell, rowIndex, column});
  if (!cell.IsTime()) return std::nullopt;
  if (!cell.exactTime) {
    problems.push_back({TripProblemKind::InexactTime, rowIndex, column});
    return std::nullopt;
  }
  return cell.time;
}

class SectionTripReader {
 public:
  SectionTripReader(const TimetableSection& section, const TripReadOptions& options)
      : section_(section), options_(options) {
    result_.stops = SectionStops(section);
  }

  SectionTrips Read() {
    const std::size_t columns = section_.ColumnCount();
    std::optional<IntervalBlock> block;
    for (std::size_t index = 0; index < columns; ++index) {
      const int column = static_cast<int>(index) + 1;
      if (IsIntervalColumn(index)) {
        if (!block) block = IntervalBlock{column, column, lastTripColumn_, 0, Minutes(0), 0};
        block->lastColumn = column;
        continue;
      }
      std::optional<SectionTrip> trip = WrittenTrip(index);
      if (!trip) continue;
      if (block) {
        block->afterColumn = column;
        CloseBlock(*block, &*trip);
        block.reset();
      }
      lastTripColumn_ = column;
      result_.trips.push_back(std::move(*trip));
    }
    if (block) CloseBlock(*block, nullptr);
    return std::move(result_);
  }

 private:
  bool IsIntervalColumn(std::size_t index) const {
    return std::any_of(section_.rows.begin(), section_.rows.end(), [index](const SectionRow& row) {
      return index < row.cells.size() && row.cells[index].IsInterval();
    });
  }

  std::optional<SectionTrip> WrittenTrip(std::size_t index) {
    SectionTrip trip;
    trip.column = static_cast<int>(index) + 1;
    Minutes previous{0};
    std::int32_t day = 0;
    bool any = false;
    // Rolls a time of day past midnight when it is earlier than the time before it.
    const auto roll = [&](Minutes timeOfDay, std::size_t row) {
      Minutes time = timeOfDay + kOneDay * day;
      if (any && time < previous) {
        if (time + kOneDay - previous > options_.longestMidnightGap) {
          result_.problems.push_back({TripProblemKind::TimeGoesBack, row, trip.column});
        }
        ++day;
        time += kOneDay;
      }
      previous = time;
      any = true;
      return time;
    };
    for (std::size_t s = 0; s < result_.stops.size(); ++s) {
      const SectionStop& stop = result_.stops[s];
      const std::optional<Minutes> arrival =
          CellTime(section_.rows[stop.arrivalRow], stop.arrivalRow, index, result_.problems);
      std::optional<Minutes> departure;
      if (stop.IsPair()) {
        departure =
            CellTime(section_.rows[stop.departureRow], stop.departureRow, index, result_.problems);
      }
      if (!arrival && !departure) continue;
      StopTime time;
      time.stop = s;
      time.arrival =
          roll(arrival ? *arrival : *departure, arrival ? stop.arrivalRow : stop.departureRow);
      time.departure = departure ? roll(*departure, stop.departureRow) : time.arrival;
      trip.stops.push_back(time);
    }
    if (trip.stops.empty()) return std::nullopt;
    return trip;
  }

  // The interval cells of a column above 0, combined into one step.
  Minutes StepOf(std::size_t index) {
    std::int64_t step = 0;
    for (std::size_t r = 0; r < section_.rows.size(); ++r) {
      const SectionRow& row = section_.rows[r];
      if (index >= row.cells.size()) continue;
      const TimetableCell& cell = row.cells[index];
      if (cell.IsTime()) {
        result_.problems.push_back({TripProblemKind::MixedColumn, r, static_cast<int>(index) + 1});
      }
      if (!cell.IsInterval() || cell.interval <= 0) continue;
      step = step == 0 ? cell.interval : LeastCommonMultiple(step, cell.interval);
      step = std::min<std::int64_t>(step, kOneDay.Count());
    }
    return Minutes(static_cast<std::int32_t>(step));
  }

  std::size_t FirstIntervalRow(int column) const {
    const std::size_t index = static_cast<std::size_t>(column - 1);
    for (std::size_t r = 0; r < section_.rows.size(); ++r) {
      if (index < section_.rows[r].cells.size() && section_.rows[r].cells[index].IsInterval()) {
        return r;
      }
    }
    return 0;
  }

  void CloseBlock(IntervalBlock& block, const SectionTrip* after) {
    for (int column = block.firstColumn; column < block.lastColumn; ++column) {
      StepOf(static_cast<std::size_t>(column - 1));  // lists times in the earlier columns
    }
    block.step = StepOf(static_cast<std::size_t>(block.lastColumn - 1));
    if (block.beforeColumn == 0 || after == nullptr) {
      result_.problems.push_back({TripProblemKind::IntervalWithoutTrips,
                                  FirstIntervalRow(block.firstColumn), block.firstColumn});
      result_.intervals.push_back(block);
      return;
    }
    const SectionTrip before = result_.trips.back();
    block.copies = CopyCount(before, *after, block.step);
    result_.intervals.push_back(block);
    if (!options_.expandIntervals) return;
    for (int k = 1; k <= block.copies; ++k) {
      SectionTrip copy = before;
      copy.intervalColumn = block.lastColumn;
      copy.shift = block.step * k;
      for (StopTime& stop : copy.stops) {
        stop.arrival += copy.shift;
        stop.departure += copy.shift;
      }
      result_.trips.push_back(std::move(copy));
    }
  }

  // How many shifted copies of the trip before leave before the trip after does, compared
  // at the first stop both serve (else at their first stops). The columns are in the
  // order of departure, so a trip after that leaves earlier in the day leaves after
  // midnight.
  int CopyCount(const SectionTrip& before, const SectionTrip& after, Minutes step) const {
    if (step <= Minutes(0)) return 0;
    Minutes from = before.FirstDeparture();
    Minutes to = after.FirstDeparture();
    for (const StopTime& stop : before.stops) {
      const auto same =
          std::find_if(after.stops.begin(), after.stops.end(),
                       [&stop](const StopTime& other) { return other.stop == stop.stop; });
      if (same != after.stops.end()) {
        from = stop.departure;
        to = same->departure;
        break;
      }
    }
    // The trip after a block that runs past midnight leaves on the next day.
    if (to <= from && to + kOneDay - from <= options_.longestMidnightGap) to += kOneDay;
    if (to <= from) return 0;
    return (to - from - Minutes(1)).Count() / step.Count();
  }

  const TimetableSection& section_;
  const TripReadOptions& options_;
  SectionTrips result_;
  int lastTripColumn_ = 0;
};

}  // namespace

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The cell written as the editor writes times, "7:05" or "07:05" with nothing around it:
// read in one pass, as the notation would read it. Nothing for any other text.
std::optional<TimetableCell> PlainTime(std::string_view text) {
  const std::size_t length = text.size();
  if ((length != 4 && length != 5) || text[length - 3] != ':') return std::nullopt;
  for (std::size_t i = 0; i < length; ++i) {
    if (i != length - 3 && !IsDigit(text[i])) return std::nullopt;
  }
  const int hours = length == 4 ? text[0] - '0' : (text[0] - '0') * 10 + (text[1] - '0');
  const int minutes = (text[length - 2] - '0') * 10 + (text[length - 1] - '0');
  TimetableCell cell;
  if (hours > 23 || minutes > 59) {
    cell.state = TCellState::csError;
    return cell;
  }
  cell.state = TCellState::csTime;
  cell.time = Minutes(hours * 60 + minutes);
  cell.exactTime = true;
  return cell;
}

}  // namespace

TimetableCell ClassifyCell(std::string_view text) {
  if (std::optional<TimetableCell> plain = PlainTime(text)) return *plain;
  TimetableCell cell;
  cell.state = GetTimeStringState(text);
  if (cell.state == TCellState::csTime) {
    const std::int32_t exact = TimeStringToMinutes(text);
    cell.exactTime = exact != -1;
    if (cell.exactTime) {
      cell.time = Minutes(exact);
    } else {
      const DecodedTime time = DecodeTimeString(Trim(text));
      cell.time = Minutes(time.hours * 60 + time.minutes);
    }
  } else if (cell.state == TCellState::csInterval) {
    cell.interval = StringToInterval(text);
  }
  return cell;
}

std::size_t TimetableSection::ColumnCount() const {
  std::size_t count = 0;
  for (const SectionRow& row : rows) count = std::max(count, row.cells.size());
  return count;
}

TimetableSection ParseTimetableSection(std::string_view name,
                                       const std::vector<std::string>& rows) {
  TimetableSection section;
  section.name = std::string(name);
  section.rows.reserve(rows.size());
  for (const std::string& text : rows) {
    SectionRow row;
    row.station = std::string(ForEachTripCell(text, [&row](int, std::string_view cell) {
      row.texts.emplace_back(cell);
      row.cells.push_back(ClassifyCell(cell));
    }));
    section.rows.push_back(std::move(row));
  }
  return section;
}

TimetableSection ReadTimetableSection(const IniFile& file, std::string_view name) {
  return ParseTimetableSection(name, ReadTimetableRows(file, name));
}

std::vector<SectionStop> SectionStops(const TimetableSection& section) {
  std::vector<SectionStop> stops;
  for (std::size_t r = 0; r < section.rows.size(); ++r) {
    SectionStop stop{section.rows[r].station, r, r};
    if (r + 1 < section.rows.size() && section.rows[r + 1].station == stop.station) {
      stop.departureRow = ++r;
    }
    stops.push_back(stop);
  }
  return stops;
}

SectionTrips ReadSectionTrips(const TimetableSection& section, const TripReadOptions& options) {
  return SectionTripReader(section, options).Read();
}

}  // namespace trivo

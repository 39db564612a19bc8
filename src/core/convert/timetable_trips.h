#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/ini_file.h"
#include "common/minutes.h"
#include "convert/timetable_notation.h"

namespace trivo {

// The one reading of timetable sections into trips, shared by everything that needs the
// trips of a .ttd file: the conversion classifies its cells here, the connection query
// reads its rows here, and the GTFS export, the passenger search, the stop timetables
// and the project check read whole trips.

// One trip cell, classified with the notation.
struct TimetableCell {
  TCellState state = TCellState::csEmpty;
  // csTime: the time of day of the trimmed text (0 to 1439).
  Minutes time{-1};
  // csTime: whether the text as written reads as that time too; the conversion refuses a
  // time with a blank after its minutes ("time-error").
  bool exactTime = false;
  // csInterval: its number of minutes.
  std::int32_t interval = -1;

  bool IsTime() const { return state == TCellState::csTime; }
  bool IsInterval() const { return state == TCellState::csInterval; }
  bool IsEmpty() const { return state == TCellState::csEmpty; }
  bool IsError() const { return state == TCellState::csError || state == TCellState::csDummy; }
};

TimetableCell ClassifyCell(std::string_view text);

// Calls visit(tripIndex, text) for every trip cell of a row as written in a section: the
// cells after the station name, split at every comma; an empty text after a final comma
// is no cell. Returns the station name.
template <typename Visit>
std::string_view ForEachTripCell(std::string_view row, Visit&& visit) {
  const std::size_t firstComma = row.find(',');
  if (firstComma == std::string_view::npos) return row;
  const std::string_view trips = row.substr(firstComma + 1);
  std::size_t begin = 0;
  for (int trip = 0; begin < trips.size(); ++trip) {
    std::size_t end = trips.find(',', begin);
    if (end == std::string_view::npos) end = trips.size();
    visit(trip, trips.substr(begin, end - begin));
    begin = end + 1;
  }
  return row.substr(0, firstComma);
}

// One row of a section: a station and its trip cells (cell i belongs to trip column i+1).
struct SectionRow {
  std::string station;
  std::vector<std::string> texts;  // the cells as written
  std::vector<TimetableCell> cells;
};

// A section's rows, read with the section reading rules (keys 1, 2, ... up to the first
// missing or empty key, rows cut at 4095 characters).
struct TimetableSection {
  std::string name;
  std::vector<SectionRow> rows;

  // The number of trip columns: the cells of the longest row.
  std::size_t ColumnCount() const;
};

TimetableSection ParseTimetableSection(std::string_view name, const std::vector<std::string>& rows);
TimetableSection ReadTimetableSection(const IniFile& file, std::string_view name);

// A station of the section: one row, or two consecutive rows of the same station
// (arrival row, then departure row).
struct SectionStop {
  std::string_view station;
  std::size_t arrivalRow = 0;
  std::size_t departureRow = 0;
  bool IsPair() const { return arrivalRow != departureRow; }
};

std::vector<SectionStop> SectionStops(const TimetableSection& section);

// A trip's halt at one stop, in minutes of the service day: past 1440 once the trip has
// run past midnight (a time earlier than the one before it on the trip belongs to the
// next day). A pair of rows gives arrival and departure; a single row gives both.
struct StopTime {
  std::size_t stop = 0;  // index into the section's stops
  Minutes arrival;
  Minutes departure;
};

// One trip: a written trip column, or one of the trips an interval column stands for.
struct SectionTrip {
  int column = 0;  // trip column, from 1; for an expanded trip the column it copies
  // For a trip an interval column stands for: that column, and the minutes it is shifted
  // by against the column it copies. 0 for a written trip.
  int intervalColumn = 0;
  Minutes shift{0};
  std::vector<StopTime> stops;

  Minutes FirstDeparture() const { return stops.front().departure; }
  Minutes LastArrival() const { return stops.back().arrival; }
};

// A run of interval columns between two written trips: the trips every step minutes after
// the trip before it, up to the trip after it.
struct IntervalBlock {
  int firstColumn = 0;  // the interval columns
  int lastColumn = 0;
  int beforeColumn = 0;  // the written trips on either side (0: none)
  int afterColumn = 0;
  // The least common multiple of the interval cells of the block's last column (0 when
  // none is above 0: no trips).
  Minutes step{0};
  // The trips it stands for: the trip before it shifted by step, 2 step, ... while that
  // leaves its first stop before the trip after it does.
  int copies = 0;
};

enum class TripProblemKind : std::uint8_t {
  ErrorCell,             // a cell that is no time, interval or empty cell
  InexactTime,           // a time with blanks after its minutes
  TimeGoesBack,          // earlier than the time before it, by more than a midnight allows
  IntervalWithoutTrips,  // an interval column without a written trip on both sides
  MixedColumn,           // an interval column that also holds times
};

struct TripProblem {
  TripProblemKind kind;
  std::size_t row = 0;  // from 0
  int column = 0;       // trip column, from 1
};

struct TripReadOptions {
  // Whether the trips interval columns stand for are listed among the trips.
  bool expandIntervals = false;
  // The longest gap between two consecutive times of a trip that still counts as running
  // past midnight when the later time is smaller; a larger one is a time going back.
  Minutes longestMidnightGap = Minutes::Hours(12);
};

struct SectionTrips {
  std::vector<SectionStop> stops;
  // Written trips in column order; with expandIntervals, each interval block's trips
  // follow the trip they copy.
  std::vector<SectionTrip> trips;
  std::vector<IntervalBlock> intervals;
  std::vector<TripProblem> problems;
};

// The trips of a section. Error cells and inexact times count as no stop (and are listed
// as problems); a trip column without any time is no trip. A trip whose times go back is
// still read, with its times rolled over at each step back.
SectionTrips ReadSectionTrips(const TimetableSection& section, const TripReadOptions& options = {});

}  // namespace trivo

#include "convert/timetable_trips.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trivo {
namespace {

// A trip as "column[+shift]: station arrival/departure ...", times as HH:MM past 24 for
// the next day; a single time where arrival and departure agree.
std::string Describe(const SectionTrips& read, const SectionTrip& trip) {
  std::string text = std::to_string(trip.column);
  if (trip.intervalColumn != 0) text += "+" + std::to_string(trip.shift.Count());
  text += ":";
  for (const StopTime& stop : trip.stops) {
    text += " " + std::string(read.stops[stop.stop].station) + " " + HourMinuteText(stop.arrival);
    if (stop.departure != stop.arrival) text += "/" + HourMinuteText(stop.departure);
  }
  return text;
}

std::vector<std::string> Trips(const std::vector<std::string>& rows, bool expand = false) {
  const TimetableSection section = ParseTimetableSection("1_Mo-Fr", rows);
  TripReadOptions options;
  options.expandIntervals = expand;
  const SectionTrips read = ReadSectionTrips(section, options);
  std::vector<std::string> trips;
  for (const SectionTrip& trip : read.trips) trips.push_back(Describe(read, trip));
  return trips;
}

std::vector<TripProblemKind> Problems(const std::vector<std::string>& rows) {
  const SectionTrips read = ReadSectionTrips(ParseTimetableSection("1_Mo-Fr", rows));
  std::vector<TripProblemKind> kinds;
  for (const TripProblem& problem : read.problems) kinds.push_back(problem.kind);
  return kinds;
}

struct TripCase {
  const char* name;
  std::vector<std::string> rows;
  bool expand;
  std::vector<std::string> trips;
};

class TripReading : public testing::TestWithParam<TripCase> {};

TEST_P(TripReading, GivesTheTripsOfTheSection) {
  EXPECT_EQ(Trips(GetParam().rows, GetParam().expand), GetParam().trips);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, TripReading,
    testing::Values(TripCase{"OneTripPerColumn",
                             {"A,7:05,8:05", "B,7:10,8:10"},
                             false,
                             {"1: A 07:05 B 07:10", "2: A 08:05 B 08:10"}},
                    TripCase{"PairRowsGiveArrivalAndDeparture",
                             {"A,7:00", "B,7:10", "B,7:14", "C,7:20"},
                             false,
                             {"1: A 07:00 B 07:10/07:14 C 07:20"}},
                    TripCase{"OneTimeOfAPairServesAsBoth",
                             {"A,7:00", "B,", "B,7:14"},
                             false,
                             {"1: A 07:00 B 07:14"}},
                    TripCase{"EmptyCellsAreSkippedStationsAndEmptyColumnsNoTrips",
                             {"A,7:00,,7:30", "B,,,", "C,7:20,,7:50"},
                             false,
                             {"1: A 07:00 C 07:20", "3: A 07:30 C 07:50"}},
                    TripCase{"TimesAfterMidnightRollPastTheDay",
                             {"A,23:50", "B,", "C,0:05", "D,0:20"},
                             false,
                             {"1: A 23:50 C 24:05 D 24:20"}},
                    TripCase{"AFirstTimeAfterMidnightStaysOnItsDay",
                             {"A,0:10", "B,0:20"},
                             false,
                             {"1: A 00:10 B 00:20"}},
                    TripCase{"ErrorCellsAndInexactTimesAreNoStops",
                             {"A,7:00", "B,7:6x", "C, 7:20 "},
                             false,
                             {"1: A 07:00"}},
                    TripCase{"AnIntervalColumnIsNoWrittenTrip",
                             {"A,7:00,10 Min,7:30", "B,7:12,10 Min,7:42"},
                             false,
                             {"1: A 07:00 B 07:12", "3: A 07:30 B 07:42"}},
                    TripCase{"AnIntervalBlockStandsForTheTripsBetween",
                             {"A,7:00,10 Min,7:30", "B,7:12,10 Min,7:42"},
                             true,
                             {"1: A 07:00 B 07:12", "1+10: A 07:10 B 07:22",
                              "1+20: A 07:20 B 07:32", "3: A 07:30 B 07:42"}},
                    TripCase{"AStepThatMissesTheNextTripStopsBeforeIt",
                             {"A,7:00,10 Min,7:25"},
                             true,
                             {"1: A 07:00", "1+10: A 07:10", "1+20: A 07:20", "3: A 07:25"}},
                    TripCase{"DifferentIntervalsInAColumnStepByTheirCommonMultiple",
                             {"A,7:00,10 Min,8:00", "B,7:10,15 Min,8:10"},
                             true,
                             {"1: A 07:00 B 07:10", "1+30: A 07:30 B 07:40", "3: A 08:00 B 08:10"}},
                    TripCase{"CopiesRunPastMidnightLikeTheirTemplate",
                             {"A,23:40,10 Min,0:05"},
                             true,
                             {"1: A 23:40", "1+10: A 23:50", "1+20: A 24:00", "3: A 00:05"}},
                    TripCase{"ZeroMinutesStandsForNoTrips",
                             {"A,7:00,0 Min,7:30"},
                             true,
                             {"1: A 07:00", "3: A 07:30"}}),
    [](const testing::TestParamInfo<TripCase>& param) { return param.param.name; });

TEST(TripProblems, NameWhatCannotBeRead) {
  EXPECT_EQ(Problems({"A,7:00,x", "B,7:10,"}), (std::vector{TripProblemKind::ErrorCell}));
  EXPECT_EQ(Problems({"A, 7:00 "}), (std::vector{TripProblemKind::InexactTime}));
  EXPECT_EQ(Problems({"A,8:00", "B,7:50"}), (std::vector{TripProblemKind::TimeGoesBack}));
  EXPECT_TRUE(Problems({"A,23:00", "B,1:00"}).empty());
  EXPECT_EQ(Problems({"A,10 Min,7:00"}), (std::vector{TripProblemKind::IntervalWithoutTrips}));
  EXPECT_EQ(Problems({"A,7:00,10 Min"}), (std::vector{TripProblemKind::IntervalWithoutTrips}));
  EXPECT_EQ(Problems({"A,7:00,10 Min,8:00", "B,7:10,7:20,8:10"}),
            (std::vector{TripProblemKind::MixedColumn}));
}

TEST(TripProblems, PointAtRowAndColumn) {
  const SectionTrips read =
      ReadSectionTrips(ParseTimetableSection("1_Sa", {"A,7:00,8:00", "B,7:10,bad"}));
  ASSERT_EQ(read.problems.size(), 1u);
  EXPECT_EQ(read.problems[0].row, 1u);
  EXPECT_EQ(read.problems[0].column, 2);
}

TEST(IntervalBlocks, KnowTheirTripsOnBothSidesAndTheCopiesBetween) {
  const SectionTrips read =
      ReadSectionTrips(ParseTimetableSection("1_Sa", {"A,6:00,7:00,15 Min,,15 Min,8:00"}));
  ASSERT_EQ(read.intervals.size(), 1u);
  const IntervalBlock& block = read.intervals[0];
  EXPECT_EQ(block.firstColumn, 3);
  EXPECT_EQ(block.lastColumn, 5);
  EXPECT_EQ(block.beforeColumn, 2);
  EXPECT_EQ(block.afterColumn, 6);
  EXPECT_EQ(block.step, Minutes(15));
  EXPECT_EQ(block.copies, 3);
}

TEST(TimetableCells, AreClassifiedByTheNotation) {
  EXPECT_EQ(ClassifyCell("7:5").time, Minutes(425));
  EXPECT_TRUE(ClassifyCell(" 7:05").exactTime);
  EXPECT_FALSE(ClassifyCell("7:05 ").exactTime);
  EXPECT_EQ(ClassifyCell("7:05 ").time, Minutes(425));
  EXPECT_EQ(ClassifyCell("10 Min").interval, 10);
  EXPECT_TRUE(ClassifyCell("\t").IsEmpty());
  EXPECT_TRUE(ClassifyCell("10 min").IsError());
}

TEST(SectionRows, SplitLikeTheFileIsWritten) {
  const TimetableSection section = ParseTimetableSection("2_So", {"A,7:05,,", "B", ""});
  ASSERT_EQ(section.rows.size(), 3u);
  EXPECT_EQ(section.rows[0].texts, (std::vector<std::string>{"7:05", ""}));
  EXPECT_EQ(section.rows[1].station, "B");
  EXPECT_TRUE(section.rows[1].cells.empty());
  EXPECT_EQ(section.ColumnCount(), 2u);
}

TEST(MinutesText, GoesOnPastMidnight) {
  EXPECT_EQ(HourMinuteText(Minutes(425)), "07:05");
  EXPECT_EQ(HourMinuteText(Minutes(1445)), "24:05");
  EXPECT_EQ(HourMinuteText(Minutes(-10)), "-00:10");
  EXPECT_EQ(Minutes(1510).OfDay(), Minutes(70));
  EXPECT_EQ(Minutes(-10).Day(), -1);
}

TEST(CellClassification, ReadsEveryWrittenTimeAsTheNotationDoes) {
  // The one-pass reading of "H:MM" and "HH:MM" against the notation's operations.
  for (int hours = 0; hours < 100; ++hours) {
    for (int minutes = 0; minutes < 100; ++minutes) {
      const std::string mm = (minutes < 10 ? "0" : "") + std::to_string(minutes);
      for (const std::string& text : {std::to_string(hours) + ":" + mm,
                                      (hours < 10 ? "0" : "") + std::to_string(hours) + ":" + mm}) {
        const TimetableCell cell = ClassifyCell(text);
        ASSERT_EQ(cell.state, GetTimeStringState(text)) << text;
        if (cell.IsTime()) {
          EXPECT_TRUE(cell.exactTime) << text;
          EXPECT_EQ(cell.time.Count(), TimeStringToMinutes(text)) << text;
        }
      }
    }
  }
}

}  // namespace
}  // namespace trivo

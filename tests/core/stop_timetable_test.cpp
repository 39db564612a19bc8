#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "project/context.h"
#include "project/project_commands.h"
#include "publish/poster_html.h"
#include "publish/poster_layout.h"
#include "publish/stop_timetable.h"
#include "test_support.h"

namespace trivo {
namespace {

using test::RecordingUserInterface;
using test::TempDir;

constexpr const char* kProject =
    "[daygroups]\r\ndaygroupnames=Mo-Fr,Sa,So\r\n"
    "Mo-Fr_text=Montag - Freitag\r\nMo-Fr_days=monday,tuesday,wednesday,thursday,friday\r\n"
    "Sa_text=Samstag\r\nSa_days=saturday\r\n"
    "So_text=Sonn- und Feiertag\r\nSo_days=sunday\r\n"
    "[gtfs]\r\nstart_date=20250105\r\nend_date=2025-12-13\r\n";

// Line 7 runs Anger - Bahnhof - Rathaus - Zoo. On Mondays to Fridays: a trip at 6:05, an
// interval block every 15 minutes up to 7:05, a trip that ends at Rathaus, one that
// starts at Bahnhof, one after midnight and an error cell. On Saturdays only from
// Rathaus; on Sundays nothing.
struct Project {
  TempDir dir;
  RecordingUserInterface ui;
  Context ctx{ui};

  Project() {
    dir.Write("p.tvp", kProject);
    dir.Write("stations.csv", "Zoo\r\nAnger\r\nBahnhof\r\nRathaus\r\nM<ühle>\r\n");
    dir.Write("lines.csv", "7\r\n9\r\n");
    dir.Write("line_stations.csv", "7=Anger,Bahnhof,Rathaus,Zoo\r\n9=Rathaus,\"M<ühle>\"\r\n");
    dir.Write("station_lines.csv", "");
    dir.Write("line_7.ttd",
              "[1_Mo-Fr]\r\n"
              "1=Anger,6:05,15 Min,7:05,7:20,,23:50,x\r\n"
              "2=Bahnhof,6:08,15 Min,7:08,7:23,7:40,23:58\r\n"
              "3=Rathaus,6:10,15 Min,7:10,7:26,7:43,0:04\r\n"
              "4=Zoo,6:15,15 Min,7:15,,7:48,0:09\r\n"
              "[1_Sa]\r\n"
              "1=Anger\r\n2=Bahnhof\r\n3=Rathaus,9:00\r\n4=Zoo,9:04\r\n");
    dir.Write("line_9.ttd", "[1_Mo-Fr]\r\n1=Rathaus,12:00\r\n2=M<ühle>,12:03\r\n");
    LoadProject(ctx, (dir / "p.tvp").string());
  }

  std::vector<StopPoster> Posters(StopTimetableOptions options = {}) {
    options.madeOn = "01.02.2025";
    std::vector<StopPoster> posters;
    StopTimetableBook(ctx, options).ForEachPoster([&](const StopPoster& p) {
      posters.push_back(p);
    });
    return posters;
  }

  StopPoster Poster(const std::string& station, const std::string& line, int direction) {
    for (StopPoster& poster : Posters()) {
      if (poster.station == station && poster.line == line && poster.direction == direction) {
        return poster;
      }
    }
    ADD_FAILURE() << "no poster for " << station << " " << line << " " << direction;
    return {};
  }
};

StopTimetableOptions Chosen(std::vector<std::string> stations,
                            std::vector<std::string> lines = {}) {
  StopTimetableOptions options;
  options.stations = std::move(stations);
  options.lines = std::move(lines);
  return options;
}

std::vector<std::string> Times(const StopPoster& poster, std::size_t column) {
  std::vector<std::string> times;
  for (const PosterDeparture& departure : poster.columns.at(column).departures) {
    times.push_back(HourMinuteText(departure.time) + DepartureText(poster, departure).substr(2));
  }
  return times;
}

TEST(StopTimetable, DeparturesAreTheCellsWithIntervalsExpandedAndTheNightAfter23) {
  Project project;
  const StopPoster bahnhof = project.Poster("Bahnhof", "7", 1);
  EXPECT_EQ(bahnhof.towards, "Zoo");
  EXPECT_EQ(Times(bahnhof, 0), (std::vector<std::string>{"06:08", "06:23", "06:38", "06:53",
                                                         "07:08", "07:23a", "07:40b", "23:58"}));
  const StopPoster rathaus = project.Poster("Rathaus", "7", 1);
  // The trip past midnight leaves Rathaus at 0:04 of the next day: hour 24, printed 0.
  EXPECT_EQ(Times(rathaus, 0).back(), "24:04");
  EXPECT_EQ(rathaus.Hours().back(), 24);
  EXPECT_EQ(PrintedHour(rathaus.Hours().back()), 0);
}

TEST(StopTimetable, ATripWrittenAfterTheEveningThatLeavesAfterMidnightGoesIntoTheNight) {
  Project project;
  project.dir.Write(
      "line_9.ttd",
      "[1_Mo-Fr]\r\n1=Rathaus,12:00,23:40,0:10,0:50\r\n2=M<ühle>,12:03,23:43,0:13,0:53\r\n");
  const StopPoster rathaus = project.Poster("Rathaus", "9", 1);
  EXPECT_EQ(Times(rathaus, 0), (std::vector<std::string>{"12:00", "23:40", "24:10", "24:50"}));
  EXPECT_EQ(rathaus.Hours(), (std::vector<std::int32_t>{12, 23, 24}));
}

TEST(StopTimetable, ShortTripsAndLateStartsGetFootnoteLettersInTheOrderShown) {
  Project project;
  const StopPoster anger = project.Poster("Anger", "7", 1);
  ASSERT_EQ(anger.footnotes.size(), 1u);
  EXPECT_EQ(anger.footnotes[0].letter, "a");
  EXPECT_EQ(anger.footnotes[0].text, "fährt nur bis Rathaus");
  const StopPoster bahnhof = project.Poster("Bahnhof", "7", 1);
  ASSERT_EQ(bahnhof.footnotes.size(), 2u);
  EXPECT_EQ(bahnhof.footnotes[1].text, "fährt erst ab Bahnhof");
}

TEST(StopTimetable, EveryDayGroupHasItsColumnAlsoWithoutDepartures) {
  Project project;
  const StopPoster anger = project.Poster("Anger", "7", 1);
  ASSERT_EQ(anger.columns.size(), 3u);
  EXPECT_EQ(anger.columns[0].heading, "Montag - Freitag");
  EXPECT_TRUE(anger.columns[1].departures.empty());
  EXPECT_TRUE(anger.columns[2].departures.empty());
  EXPECT_EQ(project.Poster("Rathaus", "7", 1).columns[1].departures.size(), 1u);
}

TEST(StopTimetable, FollowingStopsTakeTheMostFrequentTravelTime) {
  Project project;
  const StopPoster anger = project.Poster("Anger", "7", 1);
  ASSERT_EQ(anger.following.size(), 3u);
  EXPECT_EQ(anger.following[0].station, "Bahnhof");
  EXPECT_EQ(anger.following[0].minutes, 3);  // 3 six times, 8 once
  EXPECT_EQ(anger.following[2].station, "Zoo");
  EXPECT_EQ(anger.following[2].minutes, 10);
}

TEST(StopTimetable, ValidityComesFromTheServicePeriod) {
  Project project;
  EXPECT_EQ(project.Poster("Anger", "7", 1).validity, "Gültig vom 05.01.2025 bis 13.12.2025");
}

TEST(StopTimetable, ErrorCellsAreLeftOutAndWarnedAbout) {
  Project project;
  const StopTimetableBook book(project.ctx, {});
  ASSERT_EQ(book.Warnings().size(), 1u);
  EXPECT_NE(book.Warnings()[0].find("line_7.ttd, Abschnitt 1_Mo-Fr, Zeile 1, Fahrt 7"),
            std::string::npos);
  EXPECT_NE(book.Warnings()[0].find("\"x\""), std::string::npos);
}

TEST(StopTimetable, PostersComeByStationThenLineThenDirectionWithoutTerminusPosters) {
  Project project;
  std::vector<std::string> order;
  for (const StopPoster& poster : project.Posters()) {
    order.push_back(poster.station + "/" + poster.line + "/" + std::to_string(poster.direction));
  }
  // Direction 2 has no timetable at all; Zoo and M<ühle> are only termini.
  EXPECT_EQ(order,
            (std::vector<std::string>{"Anger/7/1", "Bahnhof/7/1", "Rathaus/7/1", "Rathaus/9/1"}));

  // The first poster of a choice is the one the book would hand out first.
  const StopTimetableBook book(project.ctx, {});
  const std::optional<StopPoster> first = book.FirstPoster({"Rathaus"}, {});
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->station + "/" + first->line, "Rathaus/7");
  EXPECT_FALSE(book.FirstPoster({"Zoo"}, {}).has_value());
}

TEST(StopTimetable, ChosenStationsAndLinesMatchLetterCaseOnlyWhereNeededAndUnknownOnesFail) {
  Project project;
  const std::vector<StopPoster> chosen = project.Posters(Chosen({"rathaus"}, {"9"}));
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0].line, "9");
  EXPECT_THROW(StopTimetableBook(project.ctx, Chosen({"Nirgendwo"})), Error);
  try {
    StopTimetableBook(project.ctx, Chosen({}, {"12"}));
    FAIL();
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Linie nicht gefunden: 12");
  }
}

TEST(PosterLayout, ALongServiceContinuesOnFurtherPagesWithEveryRowOnce) {
  StopPoster poster;
  poster.columns.resize(2);
  for (int minute = 4 * 60; minute < 26 * 60; minute += 3) {
    poster.columns[0].departures.push_back({Minutes(minute), -1});
  }
  for (int i = 0; i < 40; ++i) poster.following.push_back({"Halt " + std::to_string(i), i});
  const PosterLayout layout = LayOutPoster(poster);
  ASSERT_GT(layout.pages.size(), 1u);
  std::size_t nextRow = 0;
  std::size_t nextTail = 0;
  for (const PosterPage& page : layout.pages) {
    EXPECT_EQ(page.rowBegin, nextRow);
    EXPECT_EQ(page.tailBegin, nextTail);
    double height = page.HasRows() ? PosterGeometry::kTableHeadHeight : 0;
    for (std::size_t r = page.rowBegin; r < page.rowEnd; ++r) height += layout.rows[r].Height();
    for (std::size_t t = page.tailBegin; t < page.tailEnd; ++t) height += layout.tail[t].Height();
    EXPECT_LE(height, PosterGeometry::BodyBottom() - PosterGeometry::BodyTop());
    nextRow = page.rowEnd;
    nextTail = page.tailEnd;
  }
  EXPECT_EQ(nextRow, layout.rows.size());
  EXPECT_EQ(nextTail, layout.tail.size());
  EXPECT_EQ(layout.rows.size(), 22u);  // 4 to 25 o'clock
}

TEST(PosterHtml, ThePageHoldsTheMinutesAndEscapesNames) {
  Project project;
  std::vector<StopPoster> posters;
  for (const StopPoster& poster : project.Posters(Chosen({"Rathaus"}))) posters.push_back(poster);
  const std::string html = PosterPageHtml("Rathaus", posters);
  EXPECT_NE(html.find("<tr><th>6</th><td>10 25 40 55</td><td></td><td></td></tr>"),
            std::string::npos);
  EXPECT_NE(html.find("Richtung M&lt;ühle&gt;"), std::string::npos);
  EXPECT_EQ(html.find("M<ühle>"), std::string::npos);
  EXPECT_EQ(PosterPageFileName(4), "aushang_4.html");
}

}  // namespace
}  // namespace trivo

#include "gtfs/gtfs_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "common/error.h"
#include "common/ini_file.h"
#include "common/text_file.h"
#include "convert/conversion_buttons.h"
#include "convert/timetable_notation.h"
#include "convert/ttd_file.h"
#include "gtfs/course_merge.h"
#include "gtfs/feed_reader.h"
#include "gtfs/service_days.h"
#include "gtfs_test_feeds.h"
#include "project/context.h"
#include "project/gtfs_settings.h"
#include "project/project_commands.h"
#include "test_support.h"

namespace trivo::gtfs {
namespace {

namespace fs = std::filesystem;
using test::RecordingUserInterface;
using test::TempDir;
using test::TestFeed;
using Lines = std::vector<std::string>;

class GtfsImportTest : public ::testing::Test {
 protected:
  ImportResult Import(const TestFeed& feed, ImportOptions options = {}) {
    const fs::path zip = feed.WriteTo(dir_.path());
    options.flush = false;
    return ImportGtfs(ctx_, zip, Project(), options);
  }
  std::string ImportError(const TestFeed& feed) {
    try {
      Import(feed);
    } catch (const Error& error) {
      return error.what();
    }
    return "no error";
  }
  fs::path Project() const { return dir_ / "netz"; }
  std::string File(const std::string& name) const { return ReadFileBytes(Project() / name); }
  Lines FileLines(const std::string& name) const { return SplitTextLines(File(name)); }
  // The rows of a timetable section.
  Lines Section(const std::string& line, const std::string& section) const {
    return ReadTimetableRows(IniFile(Project() / ("line_" + line + ".ttd")), section);
  }
  // The entries of the project folder and of the folder beside it.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  static TestFeed Feed(const Lines& stops, const Lines& routes, const Lines& trips,
                       const Lines& times) {
    TestFeed feed = TestFeed::Basic();
    feed.Set("stops.txt", stops).Set("routes.txt", routes).Set("trips.txt", trips);
    feed.Set("stop_times.txt", times);
    return feed;
  }

  // A line A-B-C with one trip each way on weekdays.
  static TestFeed Simple() {
    return Feed({"stop_id,stop_name", "A,Anger", "B,Bahnhof", "C,Chaussee"},
                {"route_id,route_short_name,route_type", "R1,1,0"},
                {"route_id,service_id,trip_id,direction_id", "R1,WD,T1,0", "R1,WD,T2,1"},
                {"trip_id,arrival_time,departure_time,stop_id,stop_sequence",
                 "T1,7:00:00,7:00:00,A,1", "T1,7:05:30,7:05:59,B,2", "T1,7:12:00,7:12:00,C,3",
                 "T2,8:00:00,8:00:00,C,1", "T2,8:06:00,8:06:00,B,2", "T2,8:11:00,8:11:00,A,3"});
  }

  TempDir dir_;
  RecordingUserInterface ui_;
  Context ctx_{ui_};
};

TEST_F(GtfsImportTest, MakesAProjectThatTheConversionTakesWithoutComplaint) {
  const ImportResult result = Import(Simple());
  EXPECT_EQ(result.projectFile, Project() / "netz.tvp");
  EXPECT_EQ(result.stations, 3u);
  EXPECT_EQ(result.lines, 1u);
  EXPECT_EQ(result.dayGroups, 1u);
  EXPECT_EQ(result.trips, 2u);
  EXPECT_EQ(FileLines("stations.csv"), (Lines{"Anger", "Bahnhof", "Chaussee"}));
  EXPECT_EQ(FileLines("lines.csv"), (Lines{"1"}));
  EXPECT_EQ(FileLines("line_stations.csv"), (Lines{"1=\"Anger\",\"Bahnhof\",\"Chaussee\""}));
  EXPECT_EQ(FileLines("station_lines.csv"), (Lines{"Anger=1", "Bahnhof=1", "Chaussee=1"}));
  EXPECT_EQ(Section("1", "1_Mo-Fr"), (Lines{"Anger,7:00", "Bahnhof,7:05", "Chaussee,7:12"}))
      << "seconds are dropped";
  EXPECT_EQ(Section("1", "2_Mo-Fr"), (Lines{"Chaussee,8:00", "Bahnhof,8:06", "Anger,8:11"}));
  EXPECT_EQ(FileLines("gtfs_ids.csv"),
            (Lines{"stop:Anger=A", "stop:Bahnhof=B", "stop:Chaussee=C", "route:1=R1"}));
  const IniFile project(result.projectFile);
  EXPECT_EQ(project.ReadString("daygroups", "daygroupnames", ""), "Mo-Fr");
  EXPECT_EQ(project.ReadString("daygroups", "Mo-Fr_text", ""), "Montag bis Freitag");
  EXPECT_EQ(project.ReadString("daygroups", "Mo-Fr_days", ""),
            "monday,tuesday,wednesday,thursday,friday");
  EXPECT_EQ(project.ReadString("timetable", "max_drive_minutes", ""), "720");
  const GtfsSettings settings = ReadGtfsSettings(project);
  EXPECT_EQ(settings.agencyName, "Stadtwerke Test");
  EXPECT_EQ(settings.startDate, "20250106");
  EXPECT_EQ(settings.endDate, "20251231");
  EXPECT_EQ(settings.RouteType("1"), 0);
  EXPECT_NE(File("gtfs-import.txt").find("Bezugswoche: 2025-01-06 bis 2025-01-12"),
            std::string::npos);
  EXPECT_EQ(IniFile(Project() / "distances.csv").ReadString("1_1_Mo-Fr", "distance1", ""),
            "Anger\",5,\"Bahnhof\",7,\"Chaussee");

  LoadProject(ctx_, result.projectFile.string());
  for (int button = 1; button <= 5; ++button) PressConversionButton(ctx_, button);
  for (const std::string& event : ui_.events) {
    EXPECT_TRUE(event.ends_with(" erstellt")) << event;
  }
  EXPECT_TRUE(fs::exists(Project() / "tt_1_2_1.ptf"));
}

TEST_F(GtfsImportTest, AStationWithPlatformsIsOneStationNamedAsTheParent) {
  const ImportResult result = Import(Feed(
      {"stop_id,stop_name,location_type,parent_station,stop_lat,stop_lon",
       "P,Hauptbahnhof,1,,52.5,13.4", "P1,Hbf Gleis 1,0,P,52.51,13.41", "P2,Hbf Gleis 2,0,P,,",
       "E,Hbf Eingang,2,P,,", "X,Xanten,,,51.6,6.4",
       "Y,Yorckstra\xC3\x9F"
       "e,0,,,"},
      {"route_id,route_short_name", "R,5"}, {"route_id,service_id,trip_id", "R,WD,T1", "R,WD,T2"},
      {"trip_id,arrival_time,departure_time,stop_id,stop_sequence", "T1,7:00:00,7:00:00,P1,1",
       "T1,7:10:00,7:10:00,X,2", "T2,8:00:00,8:00:00,X,1", "T2,8:10:00,8:11:00,P2,2",
       "T2,8:20:00,8:20:00,Y,3"}));
  EXPECT_EQ(result.stations, 3u);
  EXPECT_EQ(FileLines("stations.csv"), (Lines{"Hauptbahnhof", "Xanten", "Yorckstraße"}));
  EXPECT_EQ(FileLines("station_positions.csv"),
            (Lines{"Hauptbahnhof=52.5,13.4", "Xanten=51.6,6.4"}));
  EXPECT_NE(File("gtfs-import.txt").find("Haltestelle ohne Position: 1"), std::string::npos);
  EXPECT_NE(File("gtfs_ids.csv").find("stop:Hauptbahnhof=P\r\n"), std::string::npos);
}

TEST_F(GtfsImportTest, NamesBecomeWhatTheProjectCanHoldAndCollisionsGetTheStopCode) {
  const ImportResult result = Import(Feed(
      {"stop_id,stop_name,stop_code", "A,\"Markt, Nord\",", "B,Markt; Nord,77", "C,MARKT; NORD,",
       "D,\xC5\x81\xC3\xB3"
       "d\xC5\xBA = Stadt,",
       "E,,"},
      {"route_id,route_short_name,route_long_name", "R1,Bus 1/2,", "R2,,Ring_Linie", "R3,,",
       "R4,bus-1-2,"},
      {"route_id,service_id,trip_id", "R1,WD,T1", "R2,WD,T2", "R3,WD,T3", "R4,WD,T4"},
      {"trip_id,arrival_time,departure_time,stop_id,stop_sequence", "T1,7:00:00,7:00:00,A,1",
       "T1,7:10:00,7:10:00,B,2", "T2,7:00:00,7:00:00,C,1", "T2,7:10:00,7:10:00,D,2",
       "T3,7:00:00,7:00:00,E,1", "T3,7:10:00,7:10:00,A,2", "T4,7:00:00,7:00:00,A,1",
       "T4,7:10:00,7:10:00,E,2"}));
  EXPECT_EQ(result.trips, 4u);
  EXPECT_EQ(FileLines("stations.csv"),
            (Lines{"?ódz - Stadt", "E", "Markt; Nord", "Markt; Nord (77)", "MARKT; NORD (C)"}));
  EXPECT_EQ(FileLines("lines.csv"), (Lines{"Bus-1-2", "Ring-Linie", "R3", "bus-1-2-R4"}));
  const std::string report = File("gtfs-import.txt");
  EXPECT_NE(report.find("Haltestellenname geändert: 5"), std::string::npos) << report;
  EXPECT_NE(report.find("\"Markt, Nord\" wird \"Markt; Nord\""), std::string::npos) << report;
  EXPECT_NE(report.find("Linienname geändert"), std::string::npos) << report;
}

struct MergeCase {
  const char* name;
  std::vector<std::pair<std::string, Pattern::Direction>> patterns;  // stations as letters
  std::vector<std::string> courses;
  std::vector<int> placedOn;  // per pattern; -1 left out
};

StationRun Letters(const std::string& text) {
  return StationRun(text.begin(), text.end());
}

TEST(CourseMerge, MergesPatternsIntoFewCourses) {
  using D = Pattern::Direction;
  const std::vector<MergeCase> cases = {
      {"express inside local", {{"ABCDE", D::Forward}, {"ACE", D::Forward}}, {"ABCDE"}, {0, 0}},
      {"branches", {{"ABCD", D::Forward}, {"ABEF", D::Forward}}, {"ABCDEF"}, {0, 0}},
      {"joining branch", {{"ABCD", D::Forward}, {"XYCD", D::Forward}}, {"ABXYCD"}, {0, 0}},
      {"other direction with other stops",
       {{"ABCD", D::Forward}, {"EDCBA", D::Backward}},
       {"ABCDE"},
       {0, 0}},
      {"unknown direction finds its way",
       {{"ABCD", D::Unknown}, {"DCB", D::Unknown}},
       {"ABCD"},
       {0, 0}},
      {"contradicting order opens a course",
       {{"ABCD", D::Forward}, {"ACBD", D::Forward}},
       {"ABCD", "ACBD"},
       {0, 1}},
      {"loop opens a course",
       {{"ABCD", D::Forward}, {"BCDB", D::Forward}},
       {"ABCD", "BCDB"},
       {0, 1}},
      {"loop as the main course", {{"ABCA", D::Forward}, {"ABC", D::Forward}}, {"ABCA"}, {0, 0}},
      {"past the limit left out",
       {{"AB", D::Forward}, {"BA", D::Forward}, {"BA", D::Backward}},
       {"AB"},
       {0, -1, 0}},
  };
  for (const MergeCase& test : cases) {
    std::vector<Pattern> patterns;
    std::size_t trips = 10;
    for (const auto& [stations, direction] : test.patterns) {
      patterns.push_back({Letters(stations), trips--, direction});
    }
    const CourseMerge merge =
        MergeCourses(patterns, test.name == std::string("past the limit left out") ? 1 : 3);
    std::vector<std::string> courses;
    for (const StationRun& course : merge.courses)
      courses.emplace_back(course.begin(), course.end());
    EXPECT_EQ(courses, test.courses) << test.name;
    std::vector<int> placed;
    for (const Placement& placement : merge.placements) placed.push_back(placement.course);
    EXPECT_EQ(placed, test.placedOn) << test.name;
  }
}

TEST_F(GtfsImportTest, ALoopAndAContradictionGoIntoFurtherLines) {
  Import(Feed({"stop_id,stop_name", "A,A", "B,B", "C,C", "D,D"},
              {"route_id,route_short_name", "R,7"},
              {"route_id,service_id,trip_id,direction_id", "R,WD,T1,0", "R,WD,T2,0", "R,WD,T3,0",
               "R,WD,T4,0", "R,WD,T5,0"},
              {"trip_id,arrival_time,departure_time,stop_id,stop_sequence",
               "T1,7:00:00,7:00:00,A,1",
               "T1,7:05:00,7:05:00,B,2",
               "T1,7:10:00,7:10:00,C,3",
               "T1,7:15:00,7:15:00,D,4",
               "T2,8:00:00,8:00:00,A,1",
               "T2,8:05:00,8:05:00,B,2",
               "T2,8:10:00,8:10:00,C,3",
               "T2,8:15:00,8:15:00,D,4",
               "T3,9:00:00,9:00:00,A,1",
               "T3,9:05:00,9:05:00,C,2",
               "T3,9:10:00,9:10:00,B,3",
               "T3,9:15:00,9:15:00,D,4",
               "T4,10:00:00,10:00:00,A,1",
               "T4,10:05:00,10:05:00,C,2",
               "T4,10:10:00,10:10:00,B,3",
               "T5,11:00:00,11:00:00,B,1",
               "T5,11:05:00,11:05:00,C,2",
               "T5,11:10:00,11:10:00,D,3",
               "T5,11:15:00,11:15:00,B,4"}));
  EXPECT_EQ(FileLines("lines.csv"), (Lines{"7", "7-2", "7-3"}));
  EXPECT_EQ(FileLines("line_stations.csv"),
            (Lines{"7=\"A\",\"B\",\"C\",\"D\"", "7-2=\"A\",\"C\",\"B\",\"D\"",
                   "7-3=\"B\",\"C\",\"D\",\"B\""}));
  EXPECT_EQ(Section("7-2", "1_Mo-Fr"),
            (Lines{"A,9:00,10:00", "C,9:05,10:05", "B,9:10,10:10", "D,9:15"}));
  EXPECT_EQ(Section("7-3", "1_Mo-Fr"), (Lines{"B,11:00", "C,11:05", "D,11:10", "B,11:15"}));
  EXPECT_NE(File("gtfs_ids.csv").find("route:7=R"), std::string::npos);
  EXPECT_EQ(File("gtfs_ids.csv").find("route:7-2"), std::string::npos)
      << "a route ID names one line, so that an export keeps it unique";
  EXPECT_NE(File("gtfs-import.txt").find("\"7\": 3 Linienverläufe"), std::string::npos);
}

TEST_F(GtfsImportTest, DayGroupsComeFromTheReferenceWeekOfCalendarAndCalendarDates) {
  TestFeed feed = Feed({"stop_id,stop_name", "A,A", "B,B"}, {"route_id,route_short_name", "R,1"},
                       {"route_id,service_id,trip_id", "R,WD,T1", "R,SA,T2", "R,SU,T3", "R,X,T4",
                        "R,FRI,T5", "R,NONE,T6"},
                       {"trip_id,arrival_time,departure_time,stop_id,stop_sequence"});
  Lines times = {"trip_id,arrival_time,departure_time,stop_id,stop_sequence"};
  for (int t = 1; t <= 6; ++t) {
    times.push_back("T" + std::to_string(t) + ",7:0" + std::to_string(t) + ":00,,A,1");
    times.push_back("T" + std::to_string(t) + ",,7:1" + std::to_string(t) + ":00,B,2");
  }
  feed.Set("stop_times.txt", times);
  // X runs on two days of the week by dates only; WD loses Monday the 6th; FRI runs in
  // another week only.
  feed.Set("calendar_dates.txt", {"service_id,date,exception_type", "X,20250107,1", "X,20250109,1",
                                  "WD,20250106,2", "FRI,20250117,1"});
  const ImportResult result = Import(feed);
  EXPECT_EQ(result.trips, 4u);
  const IniFile project(result.projectFile);
  EXPECT_EQ(project.ReadString("daygroups", "daygroupnames", ""), "Di-Fr,Di+Do,Sa,So");
  EXPECT_EQ(project.ReadString("daygroups", "Di+Do_text", ""), "Dienstag und Donnerstag");
  EXPECT_EQ(Section("1", "1_Di+Do"), (Lines{"A,7:04", "B,7:14"}));
  const std::string report = File("gtfs-import.txt");
  EXPECT_NE(report.find("fährt nicht in der Bezugswoche: 1"), std::string::npos) << report;
  EXPECT_NE(report.find("ohne Verkehrstage"), std::string::npos) << report;

  // Another week: the 13th to the 19th, where FRI runs and WD runs all five days.
  fs::remove_all(Project());
  const ImportResult other = Import(feed, {ParseIsoDate("2025-01-13"), {}});
  EXPECT_EQ(IniFile(other.projectFile).ReadString("daygroups", "daygroupnames", ""),
            "Mo-Fr,Fr,Sa,So");
}

TEST_F(GtfsImportTest, TripsPastMidnightKeepTheirDayAndLaterOnesMoveToTheNextDays) {
  Import(
      Feed({"stop_id,stop_name", "A,A", "B,B"}, {"route_id,route_short_name", "R,N"},
           {"route_id,service_id,trip_id", "R,WD,T1", "R,WD,T2", "R,SU,T3"},
           {"trip_id,arrival_time,departure_time,stop_id,stop_sequence", "T1,23:55:00,23:55:00,A,1",
            "T1,24:05:00,24:05:00,B,2", "T2,24:30:00,24:30:00,A,1", "T2,24:40:00,24:40:00,B,2",
            "T3,25:00:00,25:00:00,A,1", "T3,25:10:00,25:10:00,B,2"}));
  EXPECT_EQ(Section("N", "1_Mo-Fr"), (Lines{"A,23:55", "B,0:05"}));
  EXPECT_EQ(Section("N", "1_Di-Sa"), (Lines{"A,0:30", "B,0:40"}));
  EXPECT_EQ(Section("N", "1_Mo"), (Lines{"A,1:00", "B,1:10"}));
}

TEST_F(GtfsImportTest, AStationWhereATripWaitsGetsAPairOfRows) {
  Import(Feed({"stop_id,stop_name", "A,A", "B,B", "C,C"}, {"route_id,route_short_name", "R,1"},
              {"route_id,service_id,trip_id", "R,WD,T1", "R,WD,T2", "R,WD,T3"},
              {"trip_id,arrival_time,departure_time,stop_id,stop_sequence",
               "T1,7:00:00,7:00:00,A,1", "T1,7:05:00,7:08:00,B,2", "T1,7:12:00,7:12:00,C,3",
               "T2,8:00:00,8:00:00,A,1", "T2,8:05:00,8:05:00,B,2", "T2,8:10:00,8:10:00,C,3",
               "T3,9:00:00,9:02:00,B,1", "T3,9:07:00,9:07:00,C,2"}));
  EXPECT_EQ(Section("1", "1_Mo-Fr"),
            (Lines{"A,7:00,8:00", "B,7:05,8:05", "B,7:08,8:05,9:02", "C,7:12,8:10,9:07"}));
}

TEST_F(GtfsImportTest, StopsWithoutBoardingAreLeftOutAndOneSidedOnesCounted) {
  Import(
      Feed({"stop_id,stop_name", "A,A", "B,B", "C,C", "D,D"}, {"route_id,route_short_name", "R,1"},
           {"route_id,service_id,trip_id", "R,WD,T1"},
           {"trip_id,arrival_time,departure_time,stop_id,stop_sequence,pickup_type,drop_off_type",
            "T1,7:00:00,7:00:00,A,1,0,1", "T1,7:05:00,7:05:00,B,2,1,1", "T1,7:10:00,7:10:00,C,3,,",
            "T1,7:15:00,7:15:00,D,4,1,0"}));
  EXPECT_EQ(Section("1", "1_Mo-Fr"), (Lines{"A,7:00", "C,7:10", "D,7:15"}));
  const std::string report = File("gtfs-import.txt");
  EXPECT_NE(report.find("als Halt übernommen: 2"), std::string::npos) << report;
  EXPECT_NE(report.find("Halt ohne Ein- und Ausstieg, ausgelassen: 1"), std::string::npos);
}

TEST_F(GtfsImportTest, StopsWithoutTimesShareTheTimeBetweenTheirNeighbours) {
  Import(Feed({"stop_id,stop_name", "A,A", "B,B", "C,C", "D,D"},
              {"route_id,route_short_name", "R,1"}, {"route_id,service_id,trip_id", "R,WD,T1"},
              {"trip_id,arrival_time,departure_time,stop_id,stop_sequence",
               "T1,7:00:00,7:00:00,A,1", "T1,,,B,2", "T1,,,C,3", "T1,7:09:00,7:09:00,D,4"}));
  EXPECT_EQ(Section("1", "1_Mo-Fr"), (Lines{"A,7:00", "B,7:03", "C,7:06", "D,7:09"}));
  EXPECT_NE(File("gtfs-import.txt").find("Zeit zwischen den Nachbarhalten verteilt: 2"),
            std::string::npos);
}

TEST_F(GtfsImportTest, TripsThatWouldMakeARowTooLongToReadAreLeftOut) {
  Lines trips = {"route_id,service_id,trip_id"};
  Lines times = {"trip_id,arrival_time,departure_time,stop_id,stop_sequence"};
  for (int t = 0; t < 900; ++t) {
    const std::string id = "T" + std::to_string(t);
    const int minute = 300 + t;
    const auto clock = [](int m) {
      return std::to_string(m / 60) + ":" + (m % 60 < 10 ? "0" : "") + std::to_string(m % 60) +
             ":00";
    };
    trips.push_back("R,WD," + id);
    times.push_back(id + "," + clock(minute) + "," + clock(minute) + ",A,1");
    times.push_back(id + "," + clock(minute + 5) + "," + clock(minute + 5) + ",B,2");
  }
  const ImportResult result = Import(Feed({"stop_id,stop_name", "A,A", "B,B"},
                                          {"route_id,route_short_name", "R,1"}, trips, times));
  const std::size_t cut = result.report.Count("Fahrplanzeile wäre länger als 4095 Zeichen");
  EXPECT_GT(cut, 0u);
  EXPECT_EQ(result.trips + cut, 900u);
  for (const std::string& row : Section("1", "1_Mo-Fr")) EXPECT_LE(row.size(), 4095u);
  EXPECT_EQ(Section("1", "1_Mo-Fr")[0].substr(0, 12), "A,5:00,5:01,");
}

TEST_F(GtfsImportTest, AFrequencyBecomesFirstTripIntervalAndLastTrip) {
  TestFeed feed = Feed({"stop_id,stop_name", "A,A", "B,B"}, {"route_id,route_short_name", "R,1"},
                       {"route_id,service_id,trip_id", "R,WD,F", "R,WD,G", "R,SA,H"},
                       {"trip_id,arrival_time,departure_time,stop_id,stop_sequence",
                        "F,6:00:00,6:00:00,A,1", "F,6:07:00,6:07:00,B,2", "G,5:00:00,5:00:00,A,1",
                        "G,5:07:00,5:07:00,B,2", "H,5:00:00,5:00:00,A,1", "H,5:07:00,5:07:00,B,2"});
  // F every 10 minutes from 6:00 to before 7:00; G every 90 seconds, written trip by
  // trip; H every 10 minutes but crossed by a single trip of its day group.
  feed.Set("frequencies.txt", {"trip_id,start_time,end_time,headway_secs", "F,6:00:00,7:00:00,600",
                               "G,5:00:00,5:04:00,90", "H,8:00:00,8:30:00,600"});
  feed.Set("trips.txt", {"route_id,service_id,trip_id", "R,WD,F", "R,WD,G", "R,SA,H", "R,SA,I"});
  feed.Set("stop_times.txt",
           {"trip_id,arrival_time,departure_time,stop_id,stop_sequence", "F,6:00:00,6:00:00,A,1",
            "F,6:07:00,6:07:00,B,2", "G,5:00:00,5:00:00,A,1", "G,5:07:00,5:07:00,B,2",
            "H,5:00:00,5:00:00,A,1", "H,5:07:00,5:07:00,B,2", "I,8:15:00,8:15:00,A,1",
            "I,8:20:00,8:20:00,B,2"});
  Import(feed);
  EXPECT_EQ(Section("1", "1_Mo-Fr"),
            (Lines{"A,5:00,5:01,5:03,6:00,10 Min,6:50", "B,5:07,5:08,5:10,6:07,10 Min,6:57"}));
  EXPECT_EQ(Section("1", "1_Sa"), (Lines{"A,8:00,8:10,8:15,8:20", "B,8:07,8:17,8:20,8:27"}));
}

TEST_F(GtfsImportTest, TheFolderMustHoldNoProjectAndAFailedImportLeavesNothing) {
  fs::create_directory(Project());
  std::ofstream(Project() / "alt.tvp") << "";
  EXPECT_NE(ImportError(Simple()).find("liegt schon ein Projekt (alt.tvp)"), std::string::npos);
  fs::remove(Project() / "alt.tvp");
  std::ofstream(Project() / "stations.csv") << "Mein Halt\r\n";
  EXPECT_NE(ImportError(Simple()).find("liegt schon stations.csv"), std::string::npos);
  EXPECT_EQ(File("stations.csv"), "Mein Halt\r\n");
  fs::remove(Project() / "stations.csv");
  std::ofstream(Project() / "feed-notes.txt") << "x";
  Import(Simple());
  EXPECT_TRUE(fs::exists(Project() / "netz.tvp")) << "files go into a folder that has others";
  EXPECT_EQ(Entries(), (std::set<std::string>{"feed.zip", "netz"}));

  fs::remove_all(Project());
  fs::create_directory(dir_ / "ziel");
  fs::create_directory_symlink("ziel", Project());
  Import(Simple());
  EXPECT_TRUE(fs::is_symlink(Project()));
  EXPECT_TRUE(fs::exists(dir_ / "ziel" / "ziel.tvp")) << "into the folder the link leads to";
  fs::remove(Project());
  fs::remove_all(dir_ / "ziel");

  TestFeed broken = Simple();
  broken.Set("trips.txt", {"route_id,service_id,trip_id", "R1,WD,\"T1"});
  EXPECT_NE(ImportError(broken).find("trips.txt, Zeile 2: Anführungszeichen"), std::string::npos);
  EXPECT_EQ(Entries(), (std::set<std::string>{"feed.zip"})) << "no folder, no temporary";
}

// Every trip of the reference week is in the timetables: read back by the rules the
// conversion reads them with (a pair's two rows are arrival and departure, a time smaller
// than the one before is on the next day), each trip of the feed is one column of the
// section of its direction and days, at the same stations and minutes.
TEST(GtfsImportProperty, TheTimetablesHoldEveryTripOfTheWeek) {
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    const test::GeneratedFeed generated = test::RandomFeed(seed);
    TempDir dir;
    RecordingUserInterface ui;
    Context ctx(ui);
    const ImportResult result = ImportGtfs(ctx, generated.feed.WriteTo(dir.path()), dir / "p",
                                           {ParseIsoDate(generated.week), {}, false});
    ASSERT_EQ(result.trips, generated.trips.size()) << "seed " << seed;
    ASSERT_EQ(result.report.Total(ImportReport::Section::SkippedTrips), 0u) << "seed " << seed;

    using Trip = std::tuple<unsigned long, std::vector<std::tuple<std::string, int, int>>>;
    std::multiset<Trip> expected;
    for (const test::GeneratedTrip& trip : generated.trips) {
      const int shift = trip.departures.front() / 86400;
      std::vector<std::tuple<std::string, int, int>> stops;
      for (std::size_t i = 0; i < trip.stops.size(); ++i) {
        stops.emplace_back("Halt " + trip.stops[i].substr(1),
                           (trip.arrivals[i] / 60 - shift * 1440) % 1440,
                           (trip.departures[i] / 60 - shift * 1440) % 1440);
      }
      expected.emplace(ShiftWeekdays(Weekdays(trip.days), shift).to_ulong(), stops);
    }
    std::multiset<Trip> found;
    const IniFile project(result.projectFile);
    TPrjParams params;
    for (const std::string& line : SplitTextLines(ReadFileBytes(dir / "p" / "lines.csv"))) {
      const IniFile ttd(dir / "p" / ("line_" + line + ".ttd"));
      for (const std::string& section : ttd.ReadSections()) {
        const std::string group = section.substr(2);
        Weekdays days;
        const std::string list = project.ReadString("daygroups", group + "_days", "");
        for (std::size_t d = 0; d < 7; ++d) {
          if (list.find(std::string(DayNames[d])) != std::string::npos) days.set(d);
        }
        std::vector<std::vector<std::string>> rows;
        for (const std::string& row : ReadTimetableRows(ttd, section)) {
          std::vector<std::string> cells;
          std::size_t begin = 0;
          for (std::size_t end; (end = row.find(',', begin)) != std::string::npos;
               begin = end + 1) {
            cells.push_back(row.substr(begin, end - begin));
          }
          cells.push_back(row.substr(begin));
          rows.push_back(cells);
        }
        std::size_t columns = 0;
        for (const auto& row : rows) columns = std::max(columns, row.size());
        for (std::size_t c = 1; c < columns; ++c) {
          std::vector<std::tuple<std::string, int, int>> stops;
          for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::string cell = c < rows[r].size() ? rows[r][c] : "";
            if (GetTimeStringState(cell) != TCellState::csTime) continue;
            const int minutes = TimeStringToMinutes(cell);
            const bool pairWithNext = r + 1 < rows.size() && rows[r + 1][0] == rows[r][0];
            const bool pairWithPrevious = r > 0 && rows[r - 1][0] == rows[r][0];
            if (pairWithPrevious && !stops.empty() && std::get<0>(stops.back()) == rows[r][0]) {
              std::get<2>(stops.back()) = minutes;
              continue;
            }
            stops.emplace_back(rows[r][0], minutes, minutes);
            (void)pairWithNext;
          }
          if (!stops.empty()) found.emplace(days.to_ulong(), stops);
        }
      }
    }
    EXPECT_EQ(found, expected) << "seed " << seed;
  }
}

}  // namespace
}  // namespace trivo::gtfs

namespace trivo::gtfs {
namespace {

// A feed spoilt in one way: the import ends with the German reason (error), or skips
// what it cannot take and names it in the report (report), never leaving half a project.
struct BadFeed {
  const char* name;
  std::function<std::string(TestFeed&)> spoil;  // gives the archive's bytes
  std::string error;                            // the reason that ends the import
  std::vector<std::string> report;              // or what the report says
  std::size_t trips = 2;                        // trips taken then
};

TEST_F(GtfsImportTest, BadInputEndsWithAReasonOrIsSkippedAndCounted) {
  const std::vector<BadFeed> cases = {
      {"not a ZIP",
       [](TestFeed&) { return std::string("stop_id,stop_name\n"); },
       "ZIP-Archiv feed.zip: keine ZIP-Datei",
       {}},
      {"a truncated ZIP",
       [](TestFeed& feed) {
         const std::string bytes = feed.Zip();
         return bytes.substr(0, bytes.size() - 30);
       },
       "ZIP-Archiv feed.zip: unvollständig oder beschädigt",
       {}},
      {"entries naming paths outside",
       [](TestFeed& feed) {
         feed.files["../stops.txt"] = feed.files["stops.txt"];
         feed.files["/tmp/stops.txt"] = feed.files["stops.txt"];
         feed.Remove("stops.txt");
         return feed.Zip();
       },
       "ZIP-Archiv feed.zip: stops.txt fehlt",
       {}},
      {"an entry unpacking to more than 100 times its size",
       [](TestFeed& feed) {
         feed.files["stop_times.txt"] += std::string(4 << 20, '\n');
         return feed.Zip();
       },
       "mehr als das 100-fache; nicht entpackt",
       {}},
      {"a missing required file",
       [](TestFeed& feed) {
         feed.Remove("routes.txt");
         return feed.Zip();
       },
       "routes.txt fehlt",
       {}},
      {"no calendar at all",
       [](TestFeed& feed) {
         feed.Remove("calendar.txt");
         return feed.Zip();
       },
       "calendar.txt und calendar_dates.txt fehlen",
       {}},
      {"a header without a required column",
       [](TestFeed& feed) {
         feed.Set("stop_times.txt", {"trip_id,arrival_time,departure_time,stop_sequence"});
         return feed.Zip();
       },
       "stop_times.txt: Spalte stop_id fehlt",
       {}},
      {"unbalanced quotes",
       [](TestFeed& feed) {
         feed.files["stops.txt"] += "D,\"Dorf\n";
         return feed.Zip();
       },
       "stops.txt, Zeile 5: Anführungszeichen wird nicht geschlossen",
       {}},
      {"a row with too few fields",
       [](TestFeed& feed) {
         feed.files["stop_times.txt"] += "T1,7:20:00,7:20:00,A\n";
         return feed.Zip();
       },
       "",
       {"Zeile mit zu wenig Feldern: 1", "stop_times.txt, Zeile 8: 4 statt 5 Felder"}},
      {"bytes that are no UTF-8",
       [](TestFeed& feed) {
         feed.files["stops.txt"] = "stop_id,stop_name\nA,Anger\xFF\nB,Bahnhof\nC,Chaussee\n";
         return feed.Zip();
       },
       "",
       {"Text ist kein UTF-8 (durch ? ersetzt): 1", "stops.txt, Zeile 2: stops.txt"}},
      {"times like 7:5 or 99:99:99",
       [](TestFeed& feed) {
         feed.files["stop_times.txt"] += "T1,7:5,7:5,A,9\nT2,99:99:99,,B,9\n";
         return feed.Zip();
       },
       "",
       {"ungültige Zeit: 2", "stop_times.txt, Zeile 8: Zeit \"7:5\"/\"7:5\" (erwartet H:MM:SS)",
        "stop_times.txt, Zeile 9: Zeit \"99:99:99\""}},
      {"a stop_sequence out of order",
       [](TestFeed& feed) {
         feed.Set("stop_times.txt",
                  {"trip_id,arrival_time,departure_time,stop_id,stop_sequence",
                   "T1,7:12:00,7:12:00,C,3", "T1,7:00:00,7:00:00,A,1", "T1,7:05:00,7:05:00,B,2",
                   "T1,7:06:00,7:06:00,B,2", "T1,7:07:00,7:07:00,B,x", "T2,8:00:00,8:00:00,C,1",
                   "T2,8:11:00,8:11:00,A,2", "T2,8:06:00,8:06:00,B,3"});
         return feed.Zip();
       },
       "",
       {"ungültige oder doppelte stop_sequence: 2",
        "stop_times.txt, Zeile 5: stop_sequence 2 doppelt in Fahrt \"T1\"",
        "stop_times.txt, Zeile 6: stop_sequence \"x\"", "Zeiten laufen rückwärts: 1",
        "trip_id \"T2\""},
       1},
      {"a trip whose stops are all unknown",
       [](TestFeed& feed) {
         feed.files["stop_times.txt"] += "T3,9:00:00,9:00:00,Q,1\nT3,9:05:00,9:05:00,R,2\n";
         feed.files["trips.txt"] += "R1,WD,T3,0\n";
         return feed.Zip();
       },
       "",
       {"unbekannte Haltestelle (stop_id): 2", "stop_times.txt, Zeile 8: stop_id \"Q\"",
        "ohne verwendbare Halte in stop_times.txt: 1", "trip_id \"T3\""}},
  };
  for (const BadFeed& test : cases) {
    TestFeed feed = Simple();
    const std::string bytes = test.spoil(feed);
    dir_.Write("feed.zip", bytes);
    fs::remove_all(Project());
    ImportOptions options;
    options.flush = false;
    if (!test.error.empty()) {
      std::string message = "no error";
      try {
        ImportGtfs(ctx_, dir_ / "feed.zip", Project(), options);
      } catch (const Error& error) {
        message = error.what();
      }
      EXPECT_NE(message.find(test.error), std::string::npos) << test.name << ": " << message;
      EXPECT_EQ(Entries(), (std::set<std::string>{"feed.zip"})) << test.name;
      continue;
    }
    const ImportResult result = ImportGtfs(ctx_, dir_ / "feed.zip", Project(), options);
    EXPECT_EQ(result.trips, test.trips) << test.name;
    const std::string report = File("gtfs-import.txt");
    for (const std::string& line : test.report) {
      EXPECT_NE(report.find(line), std::string::npos) << test.name << ": " << line << "\n"
                                                      << report;
    }
  }
}

TEST_F(GtfsImportTest, NothingUsableWritesNothing) {
  TestFeed feed = Simple();
  feed.Set("calendar.txt", {"service_id,monday,tuesday,wednesday,thursday,friday,saturday,"
                            "sunday,start_date,end_date",
                            "WD,0,0,0,0,0,0,0,20250106,20251231"});
  const ImportResult result = Import(feed);
  EXPECT_EQ(result.trips, 0u);
  EXPECT_TRUE(result.projectFile.empty());
  EXPECT_EQ(Entries(), (std::set<std::string>{"feed.zip"}));
  EXPECT_EQ(result.report.summary.back(), "Nichts Verwendbares gefunden: kein Projekt angelegt");
}

}  // namespace
}  // namespace trivo::gtfs

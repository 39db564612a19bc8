#include "gtfs/gtfs_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/text_file.h"
#include "gtfs/encoding.h"
#include "gtfs/zip_archive.h"
#include "project/project_commands.h"
#include "test_support.h"

namespace trivo::gtfs {
namespace {

using test::RecordingUserInterface;
using test::TempDir;

// The project file: day groups Mo-Fr and So, the [gtfs] keys and then gtfsExtra.
std::string ProjectText(const std::string& gtfsExtra = "",
                        const std::string& startDate = "20250101",
                        const std::string& weekdays = "monday,tuesday,wednesday,thursday,friday") {
  std::string text =
      "[general]\r\nlastsave=01.02.2025 10:00:00\r\n[daygroups]\r\ndaygroupnames=Mo-Fr,So\r\n"
      "Mo-Fr_days=" +
      weekdays +
      "\r\nSo_days=sunday\r\n"
      "[gtfs]\r\nagency_name=Stadtbus\r\nagency_url=https://example.org\r\n";
  if (!startDate.empty()) text += "start_date=" + startDate + "\r\n";
  return text + "end_date=20251231\r\n" + gtfsExtra;
}

// A small project: line L over A, B, C (and D when a test adds it), day groups Mo-Fr and
// So, a service period, positions for every station. Tests change single files.
class SmallProject {
 public:
  SmallProject() {
    files["p.tvp"] = ProjectText();
    files["stations.csv"] = "A\r\nB\r\nC\r\n";
    files["lines.csv"] = "L\r\n";
    files["line_stations.csv"] = "L=A,B,C\r\n";
    files["station_positions.csv"] = "A=50.1,8.1\r\nB=50.2,8.2\r\nC=50.3,8.3\r\n";
    files["line_L.ttd"] = "[1_Mo-Fr]\r\n1=A,7:00\r\n2=B,7:05\r\n3=C,7:10\r\n";
  }

  void Section(const std::string& name, const std::vector<std::string>& rows) {
    std::string text = "[" + name + "]\r\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      text += std::to_string(i + 1) + "=" + rows[i] + "\r\n";
    }
    files["line_L.ttd"] = text;
  }

  void Save() {
    for (const auto& [name, text] : files) dir.Write(name, text);
  }

  FeedBuild Build(bool expand = false) {
    Save();
    RecordingUserInterface ui;
    Context ctx(ui);
    LoadProject(ctx, (dir / "p.tvp").string());
    ExportOptions options;
    options.expandIntervals = expand;
    return BuildFeed(ctx, options);
  }

  ExportResult Export(const std::string& target = "feed.zip") {
    Save();
    RecordingUserInterface ui;
    Context ctx(ui);
    LoadProject(ctx, (dir / "p.tvp").string());
    return ExportGtfs(ctx, dir / target);
  }

  std::map<std::string, std::string> files;
  TempDir dir;
};

std::string FileOf(const Feed& feed, const std::string& name) {
  for (const auto& [file, text] : FeedFiles(feed)) {
    if (file == name) return text;
  }
  return "(none)";
}

// The data rows of a feed file, without its header, each without its CR LF.
std::vector<std::string> Rows(const Feed& feed, const std::string& name) {
  std::vector<std::string> rows = SplitTextLines(FileOf(feed, name));
  if (!rows.empty()) rows.erase(rows.begin());
  return rows;
}

std::vector<std::string> Errors(const FeedBuild& build) {
  std::vector<std::string> texts;
  for (const ExportFinding& finding : build.findings) {
    if (finding.error) texts.push_back(finding.text);
  }
  return texts;
}

struct MappingCase {
  const char* name;
  std::vector<std::string> rows;
  bool expand;
  std::vector<std::string> stopTimes;
  std::vector<std::string> frequencies;
};

class MappingOfASection : public testing::TestWithParam<MappingCase> {};

TEST_P(MappingOfASection, GivesTheStopTimesAndFrequencies) {
  SmallProject project;
  project.Section("1_Mo-Fr", GetParam().rows);
  const FeedBuild build = project.Build(GetParam().expand);
  EXPECT_EQ(Errors(build), std::vector<std::string>{});
  EXPECT_EQ(Rows(build.feed, "stop_times.txt"), GetParam().stopTimes);
  const std::vector<std::string> frequencies = GetParam().frequencies;
  if (frequencies.empty()) {
    EXPECT_EQ(FileOf(build.feed, "frequencies.txt"), "(none)");
  } else {
    EXPECT_EQ(Rows(build.feed, "frequencies.txt"), frequencies);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MappingOfASection,
    testing::Values(
        MappingCase{"ASingleRowGivesArrivalAndDepartureTheSameTime",
                    {"A,7:00", "B,7:05", "C,7:10"},
                    false,
                    {"R1_1_Mo-Fr_1,07:00:00,07:00:00,S1,1", "R1_1_Mo-Fr_1,07:05:00,07:05:00,S2,2",
                     "R1_1_Mo-Fr_1,07:10:00,07:10:00,S3,3"},
                    {}},
        MappingCase{"PairRowsGiveArrivalAndDeparture",
                    {"A,7:00", "B,7:05", "B,7:07", "C,7:10"},
                    false,
                    {"R1_1_Mo-Fr_1,07:00:00,07:00:00,S1,1", "R1_1_Mo-Fr_1,07:05:00,07:07:00,S2,2",
                     "R1_1_Mo-Fr_1,07:10:00,07:10:00,S3,3"},
                    {}},
        MappingCase{"AStationWithoutATimeIsLeftOutAndTheSequenceStillCounts",
                    {"A,7:00", "B,", "C,7:10"},
                    false,
                    {"R1_1_Mo-Fr_1,07:00:00,07:00:00,S1,1", "R1_1_Mo-Fr_1,07:10:00,07:10:00,S3,2"},
                    {}},
        MappingCase{"TimesAfterMidnightGoOnPast24Hours",
                    {"A,23:50", "B,23:59", "C,0:05"},
                    false,
                    {"R1_1_Mo-Fr_1,23:50:00,23:50:00,S1,1", "R1_1_Mo-Fr_1,23:59:00,23:59:00,S2,2",
                     "R1_1_Mo-Fr_1,24:05:00,24:05:00,S3,3"},
                    {}},
        MappingCase{"AnIntervalBecomesAFrequencyOverTheTripBeforeIt",
                    {"A,7:00,10 Min,7:40", "B,7:05,10 Min,7:45"},
                    false,
                    {"R1_1_Mo-Fr_1,07:00:00,07:00:00,S1,1", "R1_1_Mo-Fr_1,07:05:00,07:05:00,S2,2",
                     "R1_1_Mo-Fr_3,07:40:00,07:40:00,S1,1", "R1_1_Mo-Fr_3,07:45:00,07:45:00,S2,2"},
                    // 7:00 itself and the copies at 7:10, 7:20 and 7:30; 7:40 is written.
                    {"R1_1_Mo-Fr_1,07:00:00,07:40:00,600,1"}},
        MappingCase{
            "AnExpandedIntervalGivesTripsOfTheirOwn",
            {"A,7:00,20 Min,7:45", "B,7:05,20 Min,7:50"},
            true,
            {"R1_1_Mo-Fr_1,07:00:00,07:00:00,S1,1", "R1_1_Mo-Fr_1,07:05:00,07:05:00,S2,2",
             "R1_1_Mo-Fr_1+20,07:20:00,07:20:00,S1,1", "R1_1_Mo-Fr_1+20,07:25:00,07:25:00,S2,2",
             "R1_1_Mo-Fr_1+40,07:40:00,07:40:00,S1,1", "R1_1_Mo-Fr_1+40,07:45:00,07:45:00,S2,2",
             "R1_1_Mo-Fr_3,07:45:00,07:45:00,S1,1", "R1_1_Mo-Fr_3,07:50:00,07:50:00,S2,2"},
            {}}),
    [](const testing::TestParamInfo<MappingCase>& param) { return std::string(param.param.name); });

TEST(GtfsExport, MapsTheProjectOntoAgencyRoutesTripsAndCalendar) {
  SmallProject project;
  project.files["station_positions.csv"] = "A=50.1,8.1\r\nB=50.2,8.2\r\nC=50.3,8.3\r\n";
  project.files["p.tvp"] = ProjectText("agency_lang=de\r\nroute_type_L=0\r\n");
  project.Section("2_Mo-Fr", {"C,8:00", "B,8:05", "A,8:10"});
  const FeedBuild build = project.Build();
  EXPECT_EQ(Errors(build), std::vector<std::string>{});
  EXPECT_EQ(Rows(build.feed, "agency.txt"),
            std::vector<std::string>{"1,Stadtbus,https://example.org,Europe/Berlin,de"});
  EXPECT_EQ(Rows(build.feed, "stops.txt"),
            (std::vector<std::string>{"S1,A,50.1,8.1,0", "S2,B,50.2,8.2,0", "S3,C,50.3,8.3,0"}));
  EXPECT_EQ(Rows(build.feed, "routes.txt"), std::vector<std::string>{"R1,1,L,A \xE2\x80\x93 C,0"});
  EXPECT_EQ(Rows(build.feed, "trips.txt"), std::vector<std::string>{"R1,Mo-Fr,R1_2_Mo-Fr_1,A,1"});
  EXPECT_EQ(Rows(build.feed, "calendar.txt"),
            (std::vector<std::string>{"Mo-Fr,1,1,1,1,1,0,0,20250101,20251231",
                                      "So,0,0,0,0,0,0,1,20250101,20251231"}));
  EXPECT_EQ(Rows(build.feed, "feed_info.txt"),
            std::vector<std::string>{
                "Stadtbus,https://example.org,de,20250101,20251231,01.02.2025 10:00:00"});
}

TEST(GtfsExport, NamesAreWrittenAsUtf8AndQuotedWhereTheyHoldCommas) {
  SmallProject project;
  project.files["stations.csv"] = "A\r\nM\xFChle, Nord\r\nC\r\n";
  project.files["line_stations.csv"] = "L=A,\"M\xFChle, Nord\",C\r\n";
  project.files["station_positions.csv"] =
      "A=50.1,8.1\r\nM\xFChle, Nord=50.2,8.2\r\nC=50.3,8.3\r\n";
  project.Section("1_Mo-Fr", {"A,7:00", "M\xFChle, Nord,7:05", "C,7:10"});
  // A comma ends a cell of a .ttd row, so the row names the station "Mühle"; the check
  // says so rather than exporting a wrong stop.
  const FeedBuild build = project.Build();
  const std::vector<std::string> errors = Errors(build);
  EXPECT_TRUE(std::any_of(errors.begin(), errors.end(), [](const std::string& text) {
    return text.ends_with("Station „M\xFChle“ fehlt in stations.csv");
  }));
  project.Section("1_Mo-Fr", {"A,7:00", "C,7:10"});
  const FeedBuild fixed = project.Build();
  EXPECT_EQ(Errors(fixed), std::vector<std::string>{});
  EXPECT_EQ(Rows(fixed.feed, "stops.txt")[1], "S2,\"M\xC3\xBChle, Nord\",50.2,8.2,0");
}

TEST(GtfsExport, HolidaysLeaveTheirWeekdayGroupsAndJoinTheHolidayGroup) {
  SmallProject project;
  // 1 January 2025 is a Wednesday, 21 April 2025 a Monday, 4 May 2025 a Sunday.
  project.files["p.tvp"] = ProjectText("holidays=20250101, 20250421,20250504\r\n");
  const FeedBuild build = project.Build();
  EXPECT_EQ(Errors(build), std::vector<std::string>{});
  EXPECT_EQ(Rows(build.feed, "calendar_dates.txt"),
            (std::vector<std::string>{"Mo-Fr,20250101,2", "So,20250101,1", "Mo-Fr,20250421,2",
                                      "So,20250421,1"}));
}

TEST(GtfsExport, KeepsItsIdsAcrossExportsAndGivesANewStationAFreshOne) {
  SmallProject project;
  project.files["gtfs_ids.csv"] = "stop:B=hb\r\nstop:Old=S7\r\n";
  ASSERT_TRUE(project.Export().written);
  const std::string ids = TempDir::Read(project.dir / "gtfs_ids.csv");
  EXPECT_EQ(ids, "stop:B=hb\r\nstop:Old=S7\r\nstop:A=S8\r\nstop:C=S9\r\nroute:L=R1\r\n");

  // A station added before the others: the known ones keep their IDs, the new one gets
  // one that no station ever had.
  project.files.erase("gtfs_ids.csv");
  project.files["stations.csv"] = "D\r\nA\r\nB\r\nC\r\n";
  project.files["line_stations.csv"] = "L=D,A,B,C\r\n";
  project.files["station_positions.csv"] += "D=50.4,8.4\r\n";
  project.Section("1_Mo-Fr", {"D,6:55", "A,7:00", "B,7:05", "C,7:10"});
  ASSERT_TRUE(project.Export().written);
  EXPECT_EQ(TempDir::Read(project.dir / "gtfs_ids.csv"), ids + "stop:D=S10\r\n");

  ZipReader zip(project.dir / "feed.zip", "feed.zip");
  EXPECT_EQ(zip.ReadAll("stops.txt"),
            "stop_id,stop_name,stop_lat,stop_lon,location_type\r\nS10,D,50.4,8.4,0\r\n"
            "S8,A,50.1,8.1,0\r\nhb,B,50.2,8.2,0\r\nS9,C,50.3,8.3,0\r\n");

  // Nothing new: the file is not written again.
  std::filesystem::last_write_time(
      project.dir / "gtfs_ids.csv",
      std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  const auto before = std::filesystem::last_write_time(project.dir / "gtfs_ids.csv");
  ASSERT_TRUE(project.Export().written);
  EXPECT_EQ(std::filesystem::last_write_time(project.dir / "gtfs_ids.csv"), before);
}

struct CheckCase {
  const char* name;
  std::string file;  // the file changed ("" for the section of line_L.ttd)
  std::string text;  // its new text, or the rows of 1_Mo-Fr joined by "|"
  bool error;        // an error, else a warning
  std::string finding;
};

class ExportCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(ExportCheck, ReportsTheProblem) {
  SmallProject project;
  const CheckCase& check = GetParam();
  if (check.file.empty()) {
    std::vector<std::string> rows;
    std::size_t begin = 0;
    for (std::size_t bar; (bar = check.text.find('|', begin)) != std::string::npos;
         begin = bar + 1) {
      rows.push_back(check.text.substr(begin, bar - begin));
    }
    rows.push_back(check.text.substr(begin));
    project.Section("1_Mo-Fr", rows);
  } else {
    project.files[check.file] = check.text;
  }
  const ExportResult result = project.Export();
  const auto found = std::find_if(result.findings.begin(), result.findings.end(),
                                  [&](const ExportFinding& f) { return f.text == check.finding; });
  std::string all;
  for (const ExportFinding& f : result.findings) all += (f.error ? "E " : "W ") + f.text + "\n";
  ASSERT_NE(found, result.findings.end()) << all;
  EXPECT_EQ(found->error, check.error);
  EXPECT_EQ(result.written, !check.error) << all;
  EXPECT_EQ(FileExists(project.dir / "feed.zip"), !check.error);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ExportCheck,
    testing::Values(
        CheckCase{"StationWithoutPosition", "station_positions.csv", "A=50.1,8.1\r\nC=50.3,8.3\r\n",
                  true, "station_positions.csv: Station „B“ (Linie L) hat keine Position"},
        CheckCase{"BadPositionLine", "station_positions.csv",
                  "A=50.1,8.1\r\nB=95,8.2\r\nC=50.3,8.3\r\n", true,
                  "station_positions.csv, Zeile 2: keine Position <Breite>,<Länge> in Dezimalgrad"},
        CheckCase{"StationMissingFromTheMasterData", "", "A,7:00|X,7:05|C,7:10", true,
                  "line_L.ttd, Abschnitt 1_Mo-Fr, Zeile 2: Station „X“ fehlt in stations.csv"},
        CheckCase{"TimetableOfAnUnknownLine", "line_Q.ttd", "[1_Mo-Fr]\r\n1=A,7:00\r\n", true,
                  "line_Q.ttd: Linie „Q“ fehlt in lines.csv"},
        CheckCase{"ErrorCell", "", "A,7:00|B,7.05|C,7:10", true,
                  "line_L.ttd, Abschnitt 1_Mo-Fr, Zeile 2, Fahrt 1: Zelle ist weder Uhrzeit noch "
                  "Takt („7.05“)"},
        CheckCase{"TimeGoingBack", "", "A,7:00|B,6:00|C,7:10", true,
                  "line_L.ttd, Abschnitt 1_Mo-Fr, Zeile 2, Fahrt 1: Uhrzeit früher als der Halt "
                  "davor („6:00“)"},
        CheckCase{"TripWithOneStop", "", "A,7:00,8:00|B,7:05,|C,7:10,", true,
                  "line_L.ttd, Abschnitt 1_Mo-Fr, Zeile 1, Fahrt 2: Fahrt mit weniger als zwei "
                  "Halten"},
        CheckCase{"IntervalWithoutATripAfterIt", "", "A,7:00,10 Min|B,7:05,10 Min", true,
                  "line_L.ttd, Abschnitt 1_Mo-Fr, Zeile 1, Fahrt 2: Takt ohne Fahrt auf beiden "
                  "Seiten („10 Min“)"},
        CheckCase{"DayGroupWithoutDays", "p.tvp", ProjectText("", "20250101", "mondays"), true,
                  "line_L.ttd, Abschnitt 1_Mo-Fr: Tag-Gruppe „Mo-Fr“ hat keine Wochentage"},
        CheckCase{"NoServicePeriod", "p.tvp", ProjectText("", ""), true,
                  "[gtfs] start_date fehlt: der Zeitraum des Fahrplans (JJJJMMTT)"},
        CheckCase{"InvertedServicePeriod", "p.tvp", ProjectText("", "20260101"), true,
                  "[gtfs] Zeitraum verkehrt: start_date 20260101 liegt nach end_date 20251231"},
        CheckCase{"RouteTypeOutsideGtfs", "p.tvp", ProjectText("route_type_L=8\r\n"), true,
                  "[gtfs] route_type_L=8: kein Routentyp von GTFS (0 bis 7, 11, 12 oder 100 bis "
                  "1702)"},
        CheckCase{"ControlCharacterInAName", "stations.csv", "A\r\nB\x01\r\nC\r\n", true,
                  "stations.csv, Zeile 2: Steuerzeichen im Stationsnamen „B\x01“"},
        CheckCase{"LineWithoutTrips", "lines.csv", "L\r\nM\r\n", false,
                  "Linie „M“ hat keine Fahrten; nicht exportiert"},
        CheckCase{"DayGroupWithoutTrips", "", "A,7:00|B,7:05|C,7:10", false,
                  "Tag-Gruppe „So“ hat keine Fahrten"}),
    [](const testing::TestParamInfo<CheckCase>& param) { return std::string(param.param.name); });

TEST(GtfsExport, AFailedCheckLeavesAnEarlierFeedAsItWas) {
  SmallProject project;
  project.dir.Write("feed.zip", "earlier feed");
  project.files["station_positions.csv"] = "";
  const ExportResult result = project.Export();
  EXPECT_FALSE(result.written);
  EXPECT_EQ(TempDir::Read(project.dir / "feed.zip"), "earlier feed");
  EXPECT_EQ(project.dir.Count(), project.files.size() + 1);  // no temporary file left
}

TEST(GtfsExport, NeverReplacesAnInputOfTheExport) {
  SmallProject project;
  EXPECT_THROW(project.Export("stations.csv"), std::exception);
  EXPECT_EQ(TempDir::Read(project.dir / "stations.csv"), project.files["stations.csv"]);
}

}  // namespace
}  // namespace trivo::gtfs

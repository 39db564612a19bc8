#include "convert/timetable_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/error.h"
#include "convert/master_data.h"
#include "convert/timetable_run.h"
#include "test_support.h"

namespace trivo {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using test::PtfText;

// A timetable table with N numbered columns.
std::string TimetablePtf(int columns, const Lines& rows) {
  std::string fieldRow = "\"ID\",";
  for (int c = 1; c <= columns; ++c) fieldRow += "\"" + std::to_string(c) + "\",";
  return PtfText(fieldRow, rows, columns + 1);
}

std::string TtcPtf(const Lines& rows) {
  return PtfText("\"StationID\",\"DayGroupID\",\"Direction\",\"Position\",", rows, 4);
}
std::string LineConnectionsPtf(const Lines& rows) {
  return PtfText("\"LineID\",\"DayGroupID\",\"Direction\",", rows, 3);
}
std::string IntervalsPtf(const Lines& rows) {
  return PtfText("\"ID\",\"Interval\",", rows, 2);
}

constexpr const char* kMissingFiles = "Es konnten nicht alle zugehörigen Dateien gefunden werden!";
constexpr const char* kStationsDiffer =
    "[Meldung] Fehler: Bahnhöfe sind verschieden bei TimeTable-Konvertierung";

class TimetableConversionTest : public ::testing::Test {
 protected:
  TimetableConversionTest() {
    ctx_.ProjectDir = dir_.path().string();
    ctx_.WorkingDir = dir_.path().string();
  }

  void Write(const std::string& name, const std::string& content) { dir_.Write(name, content); }
  std::string Read(const std::string& name) { return test::TempDir::Read(dir_ / name); }
  bool Exists(const std::string& name) { return fs::exists(dir_ / name); }
  // Temporary files of interrupted writes.
  Lines HiddenFiles() {
    Lines names;
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
      const std::string name = entry.path().filename().string();
      if (name.front() == '.') names.push_back(name);
    }
    return names;
  }

  // Writes the master data and presses buttons 1 to 4; the log starts empty afterwards.
  void SetUpProject(const std::string& stations, const std::string& lines,
                    const std::string& lineStations, const Lines& dayGroups = {"Mo-Fr"}) {
    Write("stations.csv", stations);
    Write("lines.csv", lines);
    Write("line_stations.csv", lineStations);
    Write("station_lines.csv", "");
    for (const std::string& name : dayGroups) {
      ctx_.PrjParams.DayGroups.push_back(TDayGroupItem{name, name, Weekdays(0x1f)});
    }
    sbEditProjectClick(ctx_);
    sbEditStationsClick(ctx_);
    sbEditLinesClick(ctx_);
    sbAssignStationsClick(ctx_);
    ui_.events.clear();
  }
  // Line L with the stations A, B, C (IDs 1, 2, 3).
  void SetUpLineABC() { SetUpProject("A\r\nB\r\nC\r\n", "L\r\n", "L=A,B,C\r\n"); }

  void Convert() { sbEditTimeTableClick(ctx_); }

  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
};

// --- Columns and station checks ---------------------------------------------------------

TEST_F(TimetableConversionTest, StationWithTwoRowsKeepsBothColumns) {
  SetUpLineABC();
  Write("line_L.ttd", "[1_Mo-Fr]\r\n1=A,7:00,8:00\r\n2=B,7:05\r\n3=B,7:06,8:06\r\n4=C,7:10\r\n");
  Convert();

  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(4, {"1,420,425,426,430,", "2,480,-1,486,-1,"}));
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({"1,1,1,1,", "2,1,1,2,", "2,1,1,3,", "3,1,1,4,"}));
  EXPECT_EQ(Read("line_connections.ptf"), LineConnectionsPtf({"1,1,1,"}));
  EXPECT_EQ(Read("tt_connections.ptf"), TtcPtf({}));
  EXPECT_EQ(Read("intervals.ptf"), IntervalsPtf({}));
  EXPECT_EQ(ui_.events,
            (Lines{"tt_1_1_1.ptf erstellt", "ttc_1.ptf erstellt", "line_connections.ptf erstellt",
                   "tt_connections.ptf erstellt", "intervals.ptf erstellt"}));
  EXPECT_EQ(ctx_.editor.CurrentLineName, "L");
  EXPECT_EQ(ctx_.editor.CurrentDayGroupName, "Mo-Fr");
}

TEST_F(TimetableConversionTest, StationsWithoutRowsLoseTheirColumns) {
  SetUpLineABC();
  Write("line_L.ttd", "[1_Mo-Fr]\r\n1=A,7:00\r\n2=B,7:05\r\n");
  Convert();
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(2, {"1,420,425,"}));
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({"1,1,1,1,", "2,1,1,2,"}));
  EXPECT_EQ(ui_.events.front(), "tt_1_1_1.ptf erstellt");
}

TEST_F(TimetableConversionTest, DirectionTwoExpectsTheStationsInReverse) {
  SetUpLineABC();
  Write("line_L.ttd", "[2_Mo-Fr]\r\n1=C,7:00\r\n2=B,7:05\r\n3=A,7:10\r\n");
  Convert();
  EXPECT_FALSE(Exists("tt_1_1_1.ptf"));
  EXPECT_EQ(Read("tt_1_2_1.ptf"), TimetablePtf(3, {"1,420,425,430,"}));
  // Position 1 is the line's last station.
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({"1,1,2,3,", "2,1,2,2,", "3,1,2,1,"}));
  EXPECT_EQ(Read("line_connections.ptf"), LineConnectionsPtf({"1,1,2,"}));
}

TEST_F(TimetableConversionTest, LineReturningToItsFirstStationHasSixColumns) {
  SetUpProject("A\r\nB\r\n", "L\r\n", "L=A,B,A\r\n");
  Write("line_L.ttd",
        "[1_Mo-Fr]\r\n1=A,1:00\r\n2=A,1:01\r\n3=B,1:02\r\n4=B,1:03\r\n5=A,1:04\r\n6=A,1:05\r\n"
        "[2_Mo-Fr]\r\n1=A,2:00\r\n2=A,2:01\r\n3=B,2:02\r\n4=B,2:03\r\n5=A,2:04\r\n6=A,2:05\r\n");
  Convert();
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(6, {"1,60,61,62,63,64,65,"}));
  EXPECT_EQ(Read("tt_1_2_1.ptf"), TimetablePtf(6, {"1,120,121,122,123,124,125,"}));
  EXPECT_EQ(ui_.events.size(), 6u);  // only the " erstellt" lines
}

TEST_F(TimetableConversionTest, ConsecutiveRepeatOfAStationIsDropped) {
  SetUpProject("A\r\nB\r\n", "L\r\n", "L=A,A,B\r\n");
  Write("line_L.ttd", "[1_Mo-Fr]\r\n1=A,1:00\r\n2=A,1:01\r\n3=B,1:02\r\n4=B,1:03\r\n");
  Convert();
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(4, {"1,60,61,62,63,"}));
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({"1,1,1,1,", "1,1,1,2,", "2,1,1,3,", "2,1,1,4,"}));
}

TEST_F(TimetableConversionTest, StationMissingFromTheStationFileIsLoggedOncePerPass) {
  SetUpLineABC();
  // stations.ptf as reloaded by the run knows only A and B.
  Write("stations.ptf", PtfText("\"ID\",\"Station\",", {"1,\"A\",", "2,\"B\","}, 2));
  Write("line_L.ttd", "[1_Mo-Fr]\r\n1=A,7:00\r\n2=B,7:05\r\n");
  Convert();
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(2, {"1,420,425,"}));
  EXPECT_EQ(ui_.events, (Lines{"Fehler tt2ptf bei key 3", "tt_1_1_1.ptf erstellt",
                               "Fehler TimeTable, Richtung 2, bei key 3",
                               "Fehler TimeTable, Direction 2, bei key 3", "ttc_1.ptf erstellt",
                               "line_connections.ptf erstellt", "tt_connections.ptf erstellt",
                               "intervals.ptf erstellt"}));
}

TEST_F(TimetableConversionTest, RowOfAnotherStationIsReportedAndStillConverted) {
  SetUpLineABC();
  Write("line_L.ttd", "[1_Mo-Fr]\r\n1=A,7:00\r\n2=X,7:05\r\n3=C,7:10\r\n");
  Convert();
  // X's times go into the column of B, after the second A column was removed; C then finds
  // its column once the second B column is removed.
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(3, {"1,420,425,430,"}));
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({"1,1,1,1,", "2,1,1,2,", "3,1,1,3,"}));
  EXPECT_EQ(ui_.events, (Lines{kStationsDiffer, "tt_1_1_1.ptf erstellt", "ttc_1.ptf erstellt",
                               "line_connections.ptf erstellt", "tt_connections.ptf erstellt",
                               "intervals.ptf erstellt"}));
}

TEST_F(TimetableConversionTest, SurplusRowsAreReportedAndLeftOut) {
  SetUpProject("A\r\nB\r\n", "L\r\n", "L=A,B\r\n");
  Write("line_L.ttd",
        "[1_Mo-Fr]\r\n1=A,7:00\r\n2=A,7:01\r\n3=B,7:02\r\n4=B,7:03\r\n5=B,7:04,8:04,9:04\r\n"
        "6=C,7:05\r\n");
  Convert();
  // No column is removed for them and their cells add no trips.
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(4, {"1,420,421,422,423,"}));
  EXPECT_EQ(ui_.events, (Lines{kStationsDiffer, kStationsDiffer, "tt_1_1_1.ptf erstellt",
                               "ttc_1.ptf erstellt", "line_connections.ptf erstellt",
                               "tt_connections.ptf erstellt", "intervals.ptf erstellt"}));
}

TEST_F(TimetableConversionTest, LineWithoutStationsGetsOneColumnWithoutStation) {
  // L2 has no entry in line_stations.csv and so no stations, but it is converted.
  SetUpProject("A\r\n", "L1\r\nL2\r\n", "L1=A\r\n");
  Write("line_L2.ttd", "[1_Mo-Fr]\r\n1=X,7:05\r\n");
  Convert();
  EXPECT_EQ(Read("tt_2_1_1.ptf"), TimetablePtf(1, {"1,425,"}));
  EXPECT_EQ(Read("ttc_2.ptf"), TtcPtf({}));
  EXPECT_EQ(Read("line_connections.ptf"), LineConnectionsPtf({"2,1,1,"}));
  EXPECT_EQ(ui_.events, (Lines{"ttc_1.ptf erstellt", kStationsDiffer,
                               "Achtung - Fehler bei lineconnections-erstellung!",
                               "[Meldung] Fehler bei ttc-erstellung", "tt_2_1_1.ptf erstellt",
                               "ttc_2.ptf erstellt", "line_connections.ptf erstellt",
                               "tt_connections.ptf erstellt", "intervals.ptf erstellt"}));
}

// --- Cells ------------------------------------------------------------------------------

TEST_F(TimetableConversionTest, TimesAfterMidnightRollOverUntilACellWithoutTime) {
  SetUpLineABC();
  Write("line_L.ttd",
        "[1_Mo-Fr]\r\n1=A,23:50,23:50,0:10,23:50\r\n2=B,0:05,,0:20,10 Min\r\n"
        "3=C,0:20,0:05,0:15,0:05\r\n");
  Convert();
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(3, {"1,1430,1445,1460,", "2,1430,-1,5,",
                                                   "3,10,20,1455,", "4,1430,-2,5,"}));
}

TEST_F(TimetableConversionTest, IntervalsShareIdsAcrossTheRun) {
  SetUpProject("A\r\nB\r\n", "L1\r\nL2\r\n", "L1=A,B\r\nL2=A,B\r\n");
  Write("line_L1.ttd", "[1_Mo-Fr]\r\n1=A,7:00,10 Min,8:00\r\n2=B,7:05,10 Min,8:05\r\n");
  Write("line_L2.ttd", "[2_Mo-Fr]\r\n1=B,5 Min,10 Min\r\n2=A,15 Min\r\n");
  Convert();
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(2, {"1,420,425,", "2,-2,-2,", "3,480,485,"}));
  EXPECT_EQ(Read("tt_2_2_1.ptf"), TimetablePtf(2, {"1,-3,-4,", "2,-2,-1,"}));
  EXPECT_EQ(Read("intervals.ptf"), IntervalsPtf({"2,10,", "3,5,", "4,15,"}));
}

TEST_F(TimetableConversionTest, RejectedCellsAreReportedAndBecomeMinusOne) {
  SetUpLineABC();
  Write("line_L.ttd", "[1_Mo-Fr]\r\n1=A,10 Min,10  Min, 7:05 ,7:05 ,7:5\r\n");
  Convert();
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(1, {"1,-2,", "2,-1,", "3,-1,", "4,-1,", "5,425,"}));
  EXPECT_EQ(Lines(ui_.events.begin(), ui_.events.begin() + 4),
            (Lines{"[Meldung] csDummy oder csError", "[Meldung] time-error", "[Meldung] time-error",
                   "tt_1_1_1.ptf erstellt"}));
}

TEST_F(TimetableConversionTest, ExtremeCellTextsAreConvertedOrRejected) {
  SetUpProject("A\r\n", "L\r\n", "L=A\r\n");
  Write("line_L.ttd",
        "[1_Mo-Fr]\r\n1=A,99999999999:00,-0:-5,+7:05,0x10:05,99999999999 Min,2147483647 Min,"
        "-5 Min\r\n");
  Convert();
  EXPECT_EQ(Read("tt_1_1_1.ptf"),
            TimetablePtf(1, {"1,-1,", "2,-1,", "3,425,", "4,965,", "5,-1,", "6,-2,", "7,-1,"}));
  EXPECT_EQ(Read("intervals.ptf"), IntervalsPtf({"2,2147483647,"}));
}

TEST_F(TimetableConversionTest, SectionWithoutTripCellsGivesAFrameWithoutRecords) {
  SetUpLineABC();
  Write("line_L.ttd", "[1_Mo-Fr]\r\n1=A\r\n2=B,\r\n3=C\r\n");
  Convert();
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(3, {}));
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({"1,1,1,1,", "2,1,1,2,", "3,1,1,3,"}));
}

TEST_F(TimetableConversionTest, SectionWithoutReadableRowsKeepsOneColumn) {
  // Key "1" is missing, so no row is read; the grid keeps its first column.
  SetUpLineABC();
  Write("line_L.ttd", "[1_Mo-Fr]\r\n2=A,7:00\r\n");
  Convert();
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(1, {}));
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({"1,1,1,1,"}));
  EXPECT_EQ(ui_.events.front(), "tt_1_1_1.ptf erstellt");
}

TEST_F(TimetableConversionTest, OverlongRowIsCutWithoutHarm) {
  SetUpProject("A\r\n", "L\r\n", "L=A\r\n");
  std::string row = "1=A";
  for (int i = 0; i < 1000; ++i) row += ",7:05";  // 5003 characters after "1="
  Write("line_L.ttd", "[1_Mo-Fr]\r\n" + row + "\r\n");
  Convert();
  // 4095 characters: "A" and 818 whole cells, then "7:0" cut short, which reads as 7:00.
  const std::string file = Read("tt_1_1_1.ptf");
  EXPECT_NE(file.find("\r\n818,425,\r\n819,420,\r\n2);\r\n"), std::string::npos);
  EXPECT_EQ(file.find("820,"), std::string::npos);
  EXPECT_EQ(ui_.events.front(), "tt_1_1_1.ptf erstellt");
}

// --- Which combinations are converted ---------------------------------------------------

TEST_F(TimetableConversionTest, LineWithEmptyEntryInLineStationsIsSkipped) {
  SetUpProject("A\r\n", "L1\r\nL2\r\n", "L1=\r\n");
  Write("line_L1.ttd", "[1_Mo-Fr]\r\n1=A,7:00\r\n");
  Convert();
  EXPECT_FALSE(Exists("tt_1_1_1.ptf"));
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({}));
  EXPECT_EQ(Read("line_connections.ptf"), LineConnectionsPtf({}));
}

TEST_F(TimetableConversionTest, LineNameWithPathSeparatorHasNoTimetableFile) {
  SetUpProject("A\r\n", "x/L\r\nx\\L\r\n", "x/L=A\r\nx\\L=A\r\n");
  fs::create_directories(dir_ / "line_x");
  Write("line_x/L.ttd", "[1_Mo-Fr]\r\n1=A,7:00\r\n");
  Convert();
  EXPECT_FALSE(Exists("tt_1_1_1.ptf"));
  EXPECT_FALSE(Exists("tt_2_1_1.ptf"));
  EXPECT_EQ(Read("line_connections.ptf"), LineConnectionsPtf({}));
}

TEST_F(TimetableConversionTest, TimetableFileThatIsAFolderHasNoSections) {
  SetUpProject("A\r\n", "L\r\n", "L=A\r\n");
  fs::create_directories(dir_ / "line_L.ttd");
  Convert();
  EXPECT_FALSE(Exists("tt_1_1_1.ptf"));
  EXPECT_EQ(ui_.events.size(), 4u);
}

TEST_F(TimetableConversionTest, ProjectWithoutTimetablesWritesEmptyConnectionFiles) {
  SetUpProject("A\r\nB\r\n", "L2\r\nL1\r\n", "L1=A,B\r\nL2=B,A\r\n", {"Mo-Fr", "Sa"});
  Convert();
  // Lines come in name order.
  EXPECT_EQ(ui_.events,
            (Lines{"ttc_2.ptf erstellt", "ttc_1.ptf erstellt", "line_connections.ptf erstellt",
                   "tt_connections.ptf erstellt", "intervals.ptf erstellt"}));
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({}));
  EXPECT_EQ(Read("ttc_2.ptf"), TtcPtf({}));
  EXPECT_EQ(Read("line_connections.ptf"), LineConnectionsPtf({}));
  EXPECT_EQ(Read("tt_connections.ptf"), TtcPtf({}));
  EXPECT_EQ(Read("intervals.ptf"), IntervalsPtf({}));
}

TEST_F(TimetableConversionTest, ConnectionRecordsFollowLinesDayGroupsAndDirections) {
  SetUpProject("A\r\nB\r\n", "L2\r\nL1\r\n", "L1=A,B\r\nL2=A,B\r\n", {"Mo-Fr", "Sa"});
  const std::string both = "[2_Sa]\r\n1=B,1:00\r\n[1_Sa]\r\n1=A,1:00\r\n[1_Mo-Fr]\r\n1=A,1:00\r\n";
  Write("line_L1.ttd", both);
  Write("line_L2.ttd", both);
  Convert();
  EXPECT_EQ(Read("line_connections.ptf"),
            LineConnectionsPtf({"2,1,1,", "2,2,1,", "2,2,2,", "1,1,1,", "1,2,1,", "1,2,2,"}));
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({"1,1,1,1,", "1,2,1,1,", "2,2,2,1,"}));
}

// --- Missing inputs and unwritable outputs ----------------------------------------------

TEST_F(TimetableConversionTest, MissingCsvFileGivesAMessageAndALogLine) {
  SetUpLineABC();
  fs::remove(dir_ / "station_lines.csv");
  Convert();
  EXPECT_EQ(ui_.events, (Lines{std::string("[Meldung] ") + kMissingFiles, kMissingFiles}));
  EXPECT_FALSE(Exists("ttc_1.ptf"));
  EXPECT_FALSE(Exists("intervals.ptf"));
}

TEST_F(TimetableConversionTest, MissingPtfFileGivesALogLine) {
  SetUpLineABC();
  fs::remove(dir_ / "line_stations.ptf");
  Convert();
  EXPECT_EQ(ui_.events, Lines{kMissingFiles});
  EXPECT_FALSE(Exists("ttc_1.ptf"));
}

TEST_F(TimetableConversionTest, UnwritableTimetableFileEndsTheRunAndKeepsEarlierFiles) {
  SetUpProject("A\r\n", "L1\r\nL2\r\n", "L1=A\r\nL2=A\r\n");
  Write("line_L1.ttd", "[1_Mo-Fr]\r\n1=A,7:00\r\n");
  Write("line_L2.ttd", "[1_Mo-Fr]\r\n1=A,7:00\r\n");
  fs::create_directories(dir_ / "tt_2_1_1.ptf" / "blocked");
  try {
    Convert();
    FAIL() << "the run must end";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "In tt_2_1_1.ptf kann nicht geschrieben werden");
  }
  EXPECT_EQ(Read("tt_1_1_1.ptf"), TimetablePtf(1, {"1,420,"}));
  EXPECT_TRUE(Exists("ttc_1.ptf"));
  EXPECT_FALSE(Exists("line_connections.ptf"));
  EXPECT_EQ(HiddenFiles(), Lines{});
}

TEST_F(TimetableConversionTest, UnwritablePtfFilesGiveFailureLines) {
  SetUpLineABC();
  for (const char* name :
       {"ttc_1.ptf", "line_connections.ptf", "tt_connections.ptf", "intervals.ptf"}) {
    fs::create_directories(dir_ / name / "blocked");
  }
  Convert();
  EXPECT_EQ(ui_.events, (Lines{"Fehler beim Erstellen von ttc_1",
                               "Fehler beim Erstellen von line_conneciont.ptf",
                               "Fehler beim Erstellen von tt_connections.ptf",
                               "Fehler beim Erstellen von intervals.ptf"}));
  EXPECT_EQ(HiddenFiles(), Lines{});
}

TEST_F(TimetableConversionTest, ReadOnlyProjectFolderLeavesNoPartFiles) {
  SetUpLineABC();
  Write("line_L.ttd", "[1_Mo-Fr]\r\n1=A,7:00\r\n");
  const auto before = std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator());
  fs::permissions(dir_.path(),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const bool writable = std::ofstream(dir_ / "probe").is_open();
  if (!writable) {
    EXPECT_THROW(Convert(), Error);
  }
  fs::permissions(dir_.path(), fs::perms::owner_all, fs::perm_options::add);
  if (writable) GTEST_SKIP() << "the folder stays writable for this user";
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), before);
}

// --- Repetition and the editor's run ----------------------------------------------------

TEST_F(TimetableConversionTest, PressingTwiceWritesTheSameFiles) {
  SetUpProject("A\r\nB\r\n", "L1\r\nL2\r\n", "L1=A,B\r\nL2=B,A\r\n");
  Write("line_L1.ttd", "[1_Mo-Fr]\r\n1=A,7:00,5 Min\r\n2=B,7:05,10 Min\r\n");
  Write("line_L2.ttd", "[2_Mo-Fr]\r\n1=A,10 Min\r\n2=B,23:59\r\n");
  Convert();
  Lines first;
  for (const auto& entry : fs::directory_iterator(dir_.path())) {
    first.push_back(entry.path().filename().string() + ":" +
                    Read(entry.path().filename().string()));
  }
  const Lines firstEvents = ui_.events;
  ui_.events.clear();
  Convert();
  Lines second;
  for (const auto& entry : fs::directory_iterator(dir_.path())) {
    second.push_back(entry.path().filename().string() + ":" +
                     Read(entry.path().filename().string()));
  }
  std::sort(first.begin(), first.end());
  std::sort(second.begin(), second.end());
  EXPECT_EQ(first, second);
  EXPECT_EQ(ui_.events, firstEvents);
  EXPECT_EQ(Read("intervals.ptf"), IntervalsPtf({"2,5,", "3,10,"}));
}

TEST_F(TimetableConversionTest, EditorRunReportsInMessageBoxesAndCallsBackPerCombination) {
  SetUpLineABC();
  Write("stations.ptf", PtfText("\"ID\",\"Station\",", {"1,\"A\",", "2,\"B\","}, 2));
  Write("line_L.ttd", "[2_Mo-Fr]\r\n1=B,7:00\r\n2=A,7:05\r\n");
  Lines calls;
  TimetableRunOptions options;
  options.reporting = TimetableRunReporting::Editor();
  options.onCombination = [&](const TimetableCombination& c) {
    calls.push_back(std::string(c.lineName) + " " + std::string(c.dayGroupName) + " " +
                    std::to_string(c.direction) + " " + std::to_string(c.stationList.size()) +
                    (c.timetableFile != nullptr ? " file" : ""));
  };
  const TimetableRunResult result = RunTimetableConversion(ctx_, options);

  EXPECT_EQ(Read("tt_1_2_1.ptf"), TimetablePtf(2, {"1,420,425,"}));
  EXPECT_EQ(ui_.events,
            (Lines{"[Meldung] Fehler tt2ptf bei key 3", "[Meldung] Fehler tt2ptf bei key 3",
                   "[Meldung] Fehler tt2ptf bei key 3"}));
  EXPECT_EQ(calls, (Lines{"L Mo-Fr 1 3 file", "L Mo-Fr 2 3 file"}));
  EXPECT_EQ(result.lastLineName, "L");
  EXPECT_EQ(result.lastDayGroupName, "Mo-Fr");
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({"1,1,2,2,", "2,1,2,1,"}));
}

TEST_F(TimetableConversionTest, EditorRunGoesOnWithoutInputFilesAndReportsSaveFailures) {
  SetUpLineABC();
  fs::remove(dir_ / "station_lines.csv");
  fs::remove(dir_ / "lines.ptf");
  fs::create_directories(dir_ / "intervals.ptf" / "blocked");
  TimetableRunOptions options;
  options.reporting = TimetableRunReporting::Editor();
  RunTimetableConversion(ctx_, options);
  EXPECT_EQ(ui_.events, (Lines{std::string("[Meldung] ") + kMissingFiles,
                               std::string("[Meldung] ") + kMissingFiles,
                               "[Meldung] Fehler: speichern Intervals"}));
  EXPECT_EQ(Read("ttc_1.ptf"), TtcPtf({}));
}

}  // namespace
}  // namespace trivo

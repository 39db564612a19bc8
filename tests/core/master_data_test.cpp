#include "convert/master_data.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "common/error.h"
#include "test_support.h"

namespace trivo {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using test::PtfText;

std::string StationsPtf(const Lines& rows) {
  return PtfText("\"ID\",\"Station\",", rows, 2);
}
std::string LineStationsPtf(const Lines& rows) {
  return PtfText("\"LineID\",\"LineStationNumber\",\"StationID\",", rows, 3);
}

class MasterDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx_.ProjectDir = dir_.path().string();
    ctx_.WorkingDir = dir_.path().string();
  }

  void Write(const std::string& name, const std::string& content) { dir_.Write(name, content); }
  std::string Read(const std::string& name) { return test::TempDir::Read(dir_ / name); }
  bool Exists(const std::string& name) { return fs::exists(dir_ / name); }

  // The master data of the worked example.
  void WriteExampleProject() {
    Write("stations.csv", "Hauptbahnhof\r\nMarkt\r\nAlte Mühle\r\nZoo\r\n");
    Write("lines.csv", "Linie 1\r\nLinie 2\r\n");
    Write("line_stations.csv",
          "Linie 1=Hauptbahnhof,Markt,\"Alte Mühle\"\r\nLinie 2=Zoo, Markt, Alte Mühle\r\n");
  }

  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
};

TEST_F(MasterDataTest, WorkedExampleGivesTheCourseOfEveryLine) {
  WriteExampleProject();
  sbEditStationsClick(ctx_);
  sbEditLinesClick(ctx_);
  sbAssignStationsClick(ctx_);

  EXPECT_EQ(ui_.events,
            (Lines{"station.ptf erstellt", "lines.ptf erstellt", "line_stations.ptf erstellt"}));
  EXPECT_EQ(Read("stations.ptf"), StationsPtf({"1,\"Hauptbahnhof\",", "2,\"Markt\",",
                                               "3,\"Alte Mühle\",", "4,\"Zoo\","}));
  EXPECT_EQ(Read("lines.ptf"),
            PtfText("\"ID\",\"Line\",", {"1,\"Linie 1\",", "2,\"Linie 2\","}, 2));
  EXPECT_EQ(Read("line_stations.ptf"), LineStationsPtf({"1,1,1,", "1,2,2,", "1,3,3,", "2,1,4,",
                                                        "2,2,2,", "2,3,null,", "2,4,null,"}));
}

TEST_F(MasterDataTest, LookupIndexesStayActiveForLaterButtons) {
  WriteExampleProject();
  sbEditStationsClick(ctx_);
  sbEditLinesClick(ctx_);
  sbAssignStationsClick(ctx_);
  EXPECT_EQ(ctx_.dm1.cdsStations.ActiveIndex(), "idxStationName");
  EXPECT_EQ(ctx_.dm1.cdsLines.ActiveIndex(), "idxLineName");

  sbEditStationsClick(ctx_);
  EXPECT_EQ(Read("stations.ptf"), StationsPtf({"3,\"Alte Mühle\",", "1,\"Hauptbahnhof\",",
                                               "2,\"Markt\",", "4,\"Zoo\","}));
}

TEST_F(MasterDataTest, EveryLineOfTheStationFileIsAStation) {
  // A trailing empty line is a station with an empty name; commas and quotes belong to
  // the name.
  Write("stations.csv", "Markt, Altstadt\n\"Zoo\"\n\n");
  sbEditStationsClick(ctx_);
  EXPECT_EQ(Read("stations.ptf"),
            StationsPtf({"1,\"Markt, Altstadt\",", "2,\"\\\"Zoo\\\"\",", "3,\"\","}));
}

TEST_F(MasterDataTest, DuplicateStationEndsTheCommandAndKeepsTheOldFile) {
  Write("stations.ptf", "old");
  Write("stations.csv", "A\r\nB\r\nA  \r\nC\r\n");
  EXPECT_THROW(
      {
        try {
          sbEditStationsClick(ctx_);
        } catch (const Error& error) {
          EXPECT_STREQ(error.what(), "Key violation.");
          throw;
        }
      },
      Error);
  EXPECT_EQ(Read("stations.ptf"), "old");
  EXPECT_TRUE(ui_.events.empty());
  EXPECT_EQ(ctx_.dm1.cdsStations.CountRecords(), 2);
}

TEST_F(MasterDataTest, StationsDifferingInLetterCaseAreDifferentStations) {
  Write("stations.csv", "Markt\r\nmarkt\r\n");
  Write("lines.csv", "L\r\n");
  Write("line_stations.csv", "L=markt,Markt,MARKT\r\n");
  sbEditStationsClick(ctx_);
  sbEditLinesClick(ctx_);
  sbAssignStationsClick(ctx_);
  EXPECT_EQ(Read("line_stations.ptf"), LineStationsPtf({"1,1,2,", "1,2,1,", "1,3,null,"}));
}

TEST_F(MasterDataTest, LinesWithEqualNamesAreAllKept) {
  Write("lines.csv", "L\r\nL\r\n");
  sbEditLinesClick(ctx_);
  EXPECT_EQ(ui_.events, Lines{"lines.ptf erstellt"});
  EXPECT_EQ(Read("lines.ptf"), PtfText("\"ID\",\"Line\",", {"1,\"L\",", "2,\"L\","}, 2));
}

class AssignStationsTest : public MasterDataTest {
 protected:
  void SetUp() override {
    MasterDataTest::SetUp();
    Write("stations.csv", "A\r\nB\r\nC\r\n");
    Write("lines.csv", "L1\r\nL2\r\n");
    sbEditStationsClick(ctx_);
    sbEditLinesClick(ctx_);
    ui_.events.clear();
  }

  std::string Assign(const std::string& lineStationsCsv) {
    Write("line_stations.csv", lineStationsCsv);
    sbAssignStationsClick(ctx_);
    return Read("line_stations.ptf");
  }
};

TEST_F(AssignStationsTest, LineWithoutEqualsSignHasAnEmptyName) {
  // The list starts at the second character; no line has the empty name.
  EXPECT_EQ(Assign("xA,B\r\n"), LineStationsPtf({"null,1,1,", "null,2,2,"}));
}

TEST_F(AssignStationsTest, LineListedTwiceGetsTwoRunsNumberedFromOne) {
  EXPECT_EQ(Assign("L2=A,B\r\nL2=C\r\n"), LineStationsPtf({"2,1,1,", "2,2,2,", "2,1,3,"}));
}

TEST_F(AssignStationsTest, UnknownNamesLeaveNullsAndTheNumberingGoesOn) {
  EXPECT_EQ(Assign("L3=A,X,B\r\n"), LineStationsPtf({"null,1,1,", "null,2,null,", "null,3,2,"}));
}

TEST_F(AssignStationsTest, LineNamesAreLookedUpLikeStoredValues) {
  // Trailing blanks before "=" are dropped like in the table; a leading blank is kept.
  EXPECT_EQ(Assign("L1  =A\r\n L1=B\r\n"), LineStationsPtf({"1,1,1,", "null,1,2,"}));
}

TEST_F(AssignStationsTest, EmptyListsAddNoRecords) {
  EXPECT_EQ(Assign("L1=\r\n\r\nL2=C\r\n"), LineStationsPtf({"2,1,3,"}));
  EXPECT_EQ(ui_.events, Lines{"line_stations.ptf erstellt"});
}

TEST_F(AssignStationsTest, HundredFiftyLinesOfThirtyStationsAreQuick) {
  std::string stations;
  for (int s = 1; s <= 600; ++s) stations += "Haltestelle " + std::to_string(s) + "\r\n";
  std::string lines;
  std::string courses;
  for (int l = 1; l <= 150; ++l) {
    lines += "Linie " + std::to_string(l) + "\r\n";
    courses += "Linie " + std::to_string(l) + "=";
    for (int j = 0; j < 30; ++j) {
      courses += "\"Haltestelle " + std::to_string((l * 7 + j * 13) % 600 + 1) + "\",";
    }
    courses += "Unbekannt\r\n";
  }
  Write("stations.csv", stations);
  Write("lines.csv", lines);
  Write("line_stations.csv", courses);
  sbEditStationsClick(ctx_);
  sbEditLinesClick(ctx_);

  const auto start = std::chrono::steady_clock::now();
  sbAssignStationsClick(ctx_);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_EQ(ctx_.dm1.cdsLineStations.CountRecords(), 150 * 31);
  EXPECT_LT(elapsed.count(), 5.0);  // a generous bound against quadratic work
}

TEST_F(MasterDataTest, AssigningBeforeStationsOrLinesExistEndsTheCommand) {
  Write("line_stations.csv", "L1=A\r\n");
  EXPECT_THROW(sbAssignStationsClick(ctx_), Error);

  Write("lines.csv", "L1\r\n");
  sbEditLinesClick(ctx_);
  try {
    sbAssignStationsClick(ctx_);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Fehlender Daten-Provider oder Datenpaket");
  }
  EXPECT_FALSE(Exists("line_stations.ptf"));
  EXPECT_EQ(ui_.events, Lines{"lines.ptf erstellt"});
}

TEST_F(MasterDataTest, CourseWithoutStationsNeedsNoOtherTable) {
  Write("line_stations.csv", "L1=\r\n");
  sbAssignStationsClick(ctx_);
  EXPECT_EQ(Read("line_stations.ptf"), LineStationsPtf({}));
  EXPECT_EQ(ctx_.dm1.cdsLines.GetState(), Table::State::Absent);
}

TEST_F(MasterDataTest, MissingInputFileDoesNothing) {
  Write("stations.csv", "A\r\n");
  sbEditStationsClick(ctx_);
  ui_.events.clear();
  const std::string written = Read("stations.ptf");

  fs::remove(dir_ / "stations.csv");
  fs::create_directory(dir_ / "lines.csv");  // a folder is no input file
  sbEditStationsClick(ctx_);
  sbEditLinesClick(ctx_);
  sbAssignStationsClick(ctx_);

  EXPECT_TRUE(ui_.events.empty());
  EXPECT_EQ(Read("stations.ptf"), written);
  EXPECT_FALSE(Exists("lines.ptf"));
  EXPECT_FALSE(Exists("line_stations.ptf"));
  EXPECT_EQ(ctx_.dm1.cdsStations.CountRecords(), 1);
  EXPECT_EQ(ctx_.dm1.cdsLines.GetState(), Table::State::Absent);
}

TEST_F(MasterDataTest, UnwritablePtfFileIsReportedInAMessageBox) {
  WriteExampleProject();
  ctx_.WorkingDir = (dir_ / "missing folder").string();
  sbEditProjectClick(ctx_);
  sbEditStationsClick(ctx_);
  sbEditLinesClick(ctx_);
  sbAssignStationsClick(ctx_);

  EXPECT_EQ(ui_.events, (Lines{"[Meldung] Fehler beim Erstellen von daygroups.ptf",
                               "[Meldung] fehler beim Erstellen von stations.ptf",
                               "[Meldung] Fehler beim Erstellen von lines.ptf",
                               "[Meldung] Fehler beim Erstellen von line_stations.ptf"}));
  EXPECT_EQ(ctx_.dm1.cdsStations.CountRecords(), 4);
  EXPECT_EQ(ctx_.dm1.cdsLineStations.CountRecords(), 7);
}

TEST_F(MasterDataTest, DayGroupsWithoutAnyGroupGiveAnEmptyTable) {
  sbEditProjectClick(ctx_);
  EXPECT_EQ(ui_.events, Lines{"daygroups.ptf erstellt"});
  EXPECT_EQ(Read("daygroups.ptf"), PtfText("\"ID\",\"Group\",\"Days\",\"Text\",", {}, 4));
}

TEST_F(MasterDataTest, DayGroupsAreNumberedAndCutTo32Characters) {
  const std::string longName(40, 'N');
  ctx_.PrjParams.DayGroups = {
      {"MO-FR", "Montag bis Freitag", Weekdays("0011111")},
      {longName, "Sonn- und Feiertage", Weekdays("1000000")},
      {"Sa", "Samstag", Weekdays()},
  };
  sbEditProjectClick(ctx_);
  EXPECT_EQ(Read("daygroups.ptf"),
            PtfText("\"ID\",\"Group\",\"Days\",\"Text\",",
                    {"1,\"MO-FR\",\"1111100\",\"Montag bis Freitag\",",
                     "2,\"" + longName.substr(0, 32) + "\",\"0000001\",\"Sonn- und Feiertage\",",
                     "3,\"Sa\",\"0000000\",\"Samstag\","},
                    4));
  EXPECT_EQ(ctx_.PrjParams.DayGroups[1].Name, longName);
}

}  // namespace
}  // namespace trivo

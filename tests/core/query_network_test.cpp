#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/distance_file.h"
#include "analysis/query_model.h"
#include "common/error.h"
#include "common/text_file.h"
#include "test_support.h"

namespace trivo {
namespace {

using Lines = std::vector<std::string>;

// A project folder for the connection query's network files.
class QueryNetworkTest : public ::testing::Test {
 protected:
  void SetUp() override { ctx_.ProjectDir = dir_.path().string(); }

  void Network(const std::string& stations, const std::string& lineStations,
               const std::string& stationLines, const std::string& distances) {
    dir_.Write("stations.csv", stations);
    dir_.Write("line_stations.csv", lineStations);
    dir_.Write("station_lines.csv", stationLines);
    if (!distances.empty()) dir_.Write("distances.csv", distances);
  }
  // Stations A, B, C, D and the distance file.
  void Distances(const std::string& distances) { Network("A\nB\nC\nD\n", "", "", distances); }
  std::int32_t D(std::string_view from, std::string_view to) const {
    return model_.network().Distance(from, to);
  }

  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
  QueryModel model_;
};

TEST_F(QueryNetworkTest, ChainGivesCumulatedTimesInItsDirectionOnly) {
  Distances("[L1_1_Mo-Fr]\ndistance1=\"A\",3,\"B\",4,\"C\"\n");
  model_.FormShow(ctx_);
  EXPECT_EQ(D("A", "B"), 3);
  EXPECT_EQ(D("b", "c"), 4);  // names match without regard to letter case
  EXPECT_EQ(D("A", "C"), 7);
  EXPECT_EQ(D("C", "A"), NoDistance);
  EXPECT_EQ(D("A", "D"), NoDistance);
  EXPECT_EQ(D("D", "D"), 0);
  EXPECT_EQ(D("A", "Nowhere"), NoDistance);
  EXPECT_TRUE(ui_.events.empty());
  // The grid: names in row 0 and column 0, minutes from the row's to the column's station.
  const DistanceGrid& grid = model_.StringGrid1();
  EXPECT_EQ(grid.RowCount(), 5);
  const auto row = [&grid](int r) {
    Lines cells;
    for (int c = 0; c < grid.ColCount(); ++c) cells.push_back(grid.Cell(c, r));
    return cells;
  };
  EXPECT_EQ(row(0), (Lines{"", "A", "B", "C", "D"}));
  EXPECT_EQ(row(1), (Lines{"A", "0", "3", "7", "9999"}));
}

TEST_F(QueryNetworkTest, ShortestChainWinsWhateverTheSectionOrder) {
  const std::string direct = "[L1_1_Mo-Fr]\ndistance1=\"A\",5,\"C\"\n";
  const std::string viaB = "[L2_1_Mo-Fr]\ndistance1=\"A\",2,\"B\",2,\"C\"\n";
  for (const std::string& file : {direct + viaB, viaB + direct}) {
    Distances(file);
    model_.FormShow(ctx_);
    EXPECT_EQ(D("A", "C"), 4) << file;
  }
  Distances(viaB + "[L3_1_Mo-Fr]\ndistance1=\"C\",1,\"D\"\ndistance2=\"A\",\"C\",3\n");
  model_.FormShow(ctx_);
  EXPECT_EQ(D("A", "C"), 3);
  EXPECT_EQ(D("A", "D"), 4);  // joined over the sections by the closure
  EXPECT_EQ(D("B", "D"), 3);
}

TEST_F(QueryNetworkTest, DiagonalKeepsChainEntriesAndUnknownStationsAreSkipped) {
  Distances(
      "[L1_1_Mo-Fr]\ndistance1=\"A\",1,\"A\",2,\"X\",3,\"B\"\n"
      "distance2=\"X\",\"C\",1,\"C\",\"D\",2,\"A\"\n");
  model_.FormShow(ctx_);
  EXPECT_EQ(D("A", "A"), 1);  // the arrival and departure rows of one station
  EXPECT_EQ(D("B", "B"), 0);
  EXPECT_EQ(D("A", "B"), 5);  // from the second A; the sum runs on past the unknown X
  EXPECT_EQ(D("C", "D"), 2);  // an incomplete last triple is ignored
  EXPECT_EQ(D("X", "C"), NoDistance);
  EXPECT_TRUE(ui_.events.empty());
}

TEST_F(QueryNetworkTest, NegativeMinutesAreLeftOutAndReported) {
  Distances(
      "[L1_1_Mo-Fr]\ndistance1=\"A\",3,\"B\",-2,\"C\",4,\"D\"\n"
      "[L2_1_Mo-Fr]\ndistance2=\"D\",\"A\",-1\n"
      "[L2_2_Mo-Fr]\nnewcross=\"B\"\n");
  model_.FormShow(ctx_);
  EXPECT_EQ(D("A", "B"), 3);
  EXPECT_EQ(D("C", "D"), 4);
  EXPECT_EQ(D("A", "C"), NoDistance);
  EXPECT_EQ(D("B", "D"), NoDistance);
  EXPECT_EQ(D("D", "A"), NoDistance);
  EXPECT_EQ(ui_.events, (Lines{"[Meldung] Distance-Fehler"}));
  // Loading goes on after the message.
  EXPECT_EQ(model_.network().TransferStationLines.Lines(), (Lines{"B=L2"}));
}

TEST_F(QueryNetworkTest, MinutesThatAreNoNumberEndTheShowing) {
  Network("A\nB\n", "", "A=L1,L2\n", "[L1_1_Mo-Fr]\ndistance1=\"A\",3,\"B\",x,\"A\"\n");
  try {
    model_.FormShow(ctx_);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "'x' ist kein gültiger Integerwert");
  }
  EXPECT_TRUE(model_.network().TransferStationLines.Lines().empty());
}

TEST_F(QueryNetworkTest, MissingFilesAndStationChoosers) {
  Network("", "", "", "");
  std::filesystem::remove(dir_ / "stations.csv");
  EXPECT_THROW(model_.FormShow(ctx_), Error);

  // Without distances.csv: 0 on the diagonal, 9999 elsewhere. With fewer than 38
  // stations the start chooser selects nothing.
  Lines stations;
  for (int i = 0; i < 32; ++i) stations.push_back("S" + std::to_string(i));
  dir_.Write("stations.csv", JoinLinesCrLf(stations));
  model_.FormShow(ctx_);
  EXPECT_EQ(D("S1", "S1"), 0);
  EXPECT_EQ(D("S1", "S2"), NoDistance);
  EXPECT_EQ(model_.cbStartStation.ItemIndex, -1);
  EXPECT_EQ(model_.cbStartStation.Text, "");
  EXPECT_EQ(model_.cbZielStation.ItemIndex, 31);
  EXPECT_EQ(model_.cbZielStation.Text, "S31");

  for (int i = 32; i < 40; ++i) stations.push_back("S" + std::to_string(i));
  dir_.Write("stations.csv", JoinLinesCrLf(stations));
  model_.FormShow(ctx_);
  EXPECT_EQ(model_.cbStartStation.Text, "S37");
  EXPECT_EQ(model_.StationItems().size(), 40u);
}

TEST_F(QueryNetworkTest, TransferMapsFromStationLinesAndNewcross) {
  Network("A\nB\nC\nD\n", "", "A=L1\nB=L1,L2\nC=L2,\"L 3\"\nD=L3\n",
          "[L1_1_Mo-Fr]\ndistance1=\"A\",1,\"B\"\nnewcross=\"A\",\"B\"\n"
          "[L1_2_Mo-Fr]\nnewcross=\"A\"\n"
          "[NoLine]\nnewcross=\"D\"\n"
          "[L3_1_Sa]\nnewcross=\"D\"\n");
  model_.FormShow(ctx_);
  // A station with one line is a transfer station only through newcross; a station
  // already listed is not added twice; a section name without "_" names no line.
  EXPECT_EQ(model_.network().TransferStationLines.Lines(),
            (Lines{"B=L1,L2", "C=L2,\"L 3\"", "A=L1", "D=L3"}));
  EXPECT_EQ(model_.network().LineTransferStations.Lines(),
            (Lines{"L1=B,A", "L2=B,C", "L 3=C", "L3=D"}));
}

TEST_F(QueryNetworkTest, TimeBoxesAllowOneUncheckedAtMost) {
  TimeCheckBoxes boxes;
  boxes.SetStartChecked(false);  // leaves no picker visible
  EXPECT_FALSE(boxes.StartPickersVisible);
  EXPECT_FALSE(boxes.EndPickersVisible);
  EXPECT_TRUE(boxes.cbEndTime);
  boxes.SetEndChecked(false);  // checks the start box again
  EXPECT_TRUE(boxes.cbStartTime);
  EXPECT_TRUE(boxes.StartPickersVisible);
  EXPECT_FALSE(boxes.EndPickersVisible);
  boxes.SetEndChecked(true);
  EXPECT_TRUE(boxes.EndPickersVisible);
}

// The scalable closure gives what repeating the passes over all cells gives, on random
// networks with long and missing stretches, unknown stations and repeated stations.
TEST(DistanceClosure, EqualsRepeatedPasses) {
  std::mt19937 random(7);
  test::TempDir dir;
  for (int round = 0; round < 40; ++round) {
    const int n = 2 + static_cast<int>(random() % 12);
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i) names.push_back("S" + std::to_string(i));
    const StationNames stations(names);
    const auto name = [&] {
      const int i = static_cast<int>(random() % (n + 1));
      return "\"" + (i == n ? std::string("Unknown") : names[i]) + "\"";
    };
    const auto minutes = [&] {
      const int kind = static_cast<int>(random() % 10);
      return std::to_string(kind == 0 ? NoDistance : kind == 1 ? 5000 : kind == 2 ? 0 : kind * 3);
    };
    std::string file;
    for (int section = 0; section < 4; ++section) {
      file += "[L" + std::to_string(section) + "_1_Mo-Fr]\r\ndistance1=" + name();
      for (int stop = static_cast<int>(random() % 6); stop > 0; --stop) {
        file += "," + minutes() + "," + name();
      }
      file += "\r\ndistance2=" + name() + "," + name() + "," + minutes() + "\r\n";
    }
    const IniFile ini(dir.Write("distances.csv", file));
    MinuteMatrix fast(stations.Count());
    std::vector<DistanceEdge> edges;
    ASSERT_TRUE(EnterDistanceFile(ini, stations, fast, edges));
    MinuteMatrix byPasses = fast;
    CloseDistances(fast, edges);
    CloseDistancesByPasses(byPasses);
    ASSERT_EQ(fast, byPasses) << file;
  }
}

}  // namespace
}  // namespace trivo

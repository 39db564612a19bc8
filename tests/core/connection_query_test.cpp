#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "analysis/connection_evaluation.h"
#include "analysis/connection_search.h"
#include "analysis/query_model.h"
#include "common/error.h"
#include "test_support.h"

namespace trivo {
namespace {

using Lines = std::vector<std::string>;

constexpr std::int32_t Clock(int hours, int minutes) {
  return hours * 60 + minutes;
}

constexpr Minutes At(int hours, int minutes) {
  return Minutes(Clock(hours, minutes));
}

TEST(ConnectionSearch, QuicksortFixesTheOrderOfEqualEstimates) {
  TreeModel tree;
  std::vector<SearchCandidate> list;
  for (const auto& [text, estimate] :
       std::vector<std::pair<std::string, int>>{{"A", 5}, {"B", 3}, {"C", 5}, {"D", 3}}) {
    list.push_back({estimate, tree.AddRoot(text)});
  }
  SortCandidates(list);
  Lines order;
  for (const SearchCandidate& c : list) order.push_back(c.node->Text());
  EXPECT_EQ(order, (Lines{"D", "B", "A", "C"}));  // not the order a stable sort gives
}

TEST(ConnectionSearch, PathsAndRouteText) {
  TreeModel start;
  TreeModel ziel;
  TreeNode* A = start.AddRoot("A");
  TreeNode* L1 = A->AddChild("L1");
  TreeNode* C = ziel.AddRoot("Z")->AddChild("L2")->AddChild("C");
  EXPECT_EQ(RouteText({L1, C, 17}), "A=>L1=>=>C=>L2=>Z");
  EXPECT_TRUE(StationOnPath("Z", C));
  EXPECT_FALSE(StationOnPath("L2", C));  // line nodes are not stations
  EXPECT_FALSE(PathsShareStation(L1, C));
  EXPECT_TRUE(PathsShareStation(L1, ziel.Root(0)->Child(0)->AddChild("A")));
}

// The network A -L1- B -L3- Y -L2- Z: one minute between neighbours, B and Y are the
// transfer stations, each leg has one trip.
class ConnectionQueryTest : public ::testing::Test {
 protected:
  void SetUp() override { ctx_.ProjectDir = dir_.path().string(); }

  void Network(const std::string& middleLine) {
    dir_.Write("stations.csv", "A\nB\nY\nZ\n");
    dir_.Write("line_stations.csv", "L1=A,B\n" + middleLine + "=B,Y\nL2=Y,Z\n");
    dir_.Write("station_lines.csv",
               "A=L1\nB=L1," + middleLine + "\nY=" + middleLine + ",L2\nZ=L2\n");
    dir_.Write("distances.csv",
               "[L1_1_Mo-Fr]\ndistance1=\"A\",1,\"B\"\n[L1_2_Mo-Fr]\ndistance1=\"B\",1,\"A\"\n"
               "[M_1_Mo-Fr]\ndistance1=\"B\",1,\"Y\"\n[M_2_Mo-Fr]\ndistance1=\"Y\",1,\"B\"\n"
               "[L2_1_Mo-Fr]\ndistance1=\"Y\",1,\"Z\"\n[L2_2_Mo-Fr]\ndistance1=\"Z\",1,\"Y\"\n");
    dir_.Write("line_L1.ttd", "[1_Mo-Fr]\n1=A,07:00\n2=B,07:21\n");
    dir_.Write("line_L3.ttd", "[1_Mo-Fr]\n1=B,07:22\n2=Y,07:30\n");
    dir_.Write("line_L2.ttd", "[2_Mo-Fr]\n1=Z,07:00\n[1_Mo-Fr]\n1=Y, 07:40\n2=Z,07:50 ,\n");
    model_.FormShow(ctx_);
    model_.cbStartStation.Text = "A";
    model_.cbZielStation.Text = "Z";
    model_.dtpStartTime = Clock(7, 0);
  }

  // Shows the window on the files written and asks for connections from one station to
  // another at 07:00; whether the query ran.
  bool Ask(const std::string& from, const std::string& to) {
    model_.FormShow(ctx_);
    model_.cbStartStation.Text = from;
    model_.cbZielStation.Text = to;
    model_.dtpStartTime = Clock(7, 0);
    return model_.btStartQueryClick(ctx_);
  }

  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
  QueryModel model_;
};

TEST_F(ConnectionQueryTest, SearchesFromBothEndsUntilASideRunsOut) {
  Network("L3");
  ASSERT_TRUE(model_.btStartQueryClick(ctx_));
  // Ties alternate: the fourth expansion, on equal estimates 5 and 5, takes the
  // destination side because the third took the start side. The fifth empties the start
  // side's list, which ends the search.
  EXPECT_EQ(model_.mSearchDistances(),
            (Lines{"[START]", "A => 3", "[ZIEL]", "Z => 3", "[START]", "B => 4", "[ZIEL]", "Y => 5",
                   "[START]", "Y => 5", "[ZIEL]", "B => 7", "[START]"}));
  EXPECT_EQ(model_.Memo1(), (Lines{"0: A=>L1=>B=>L3=>=>Y=>L2=>Z[7]"}));
  EXPECT_EQ(model_.mZeiten(),
            (Lines{"*** Verbindung: ***", "A ==> L1 ==> B ==> L3 ==>  |||  ==> Y ==> L2 ==> Z",
                   "1: A >>> L1 >>> B", "2: B >>> L3 >>> Y", "3: Y >>> L2 >>> Z",
                   "0 L1: A->B = 07:00 -> 07:21", "1 L3: B->Y = 07:22 -> 07:30",
                   "2 L2: Y->Z =  07:40 -> 07:50 ", "*** TOP-VERBINDUNGEN ***",
                   "Min: 50 Weg: L1: A nach B, Ab: 07:00:00 An: 07:21:00 | L3: B nach Y, Ab: "
                   "07:22:00 An: 07:30:00 | L2: Y nach Z, Ab: 07:40:00 An: 07:50:00"}));
  EXPECT_TRUE(ui_.events.empty());

  // A second query adds roots above the first; Memo1 lists all queries' connections.
  ASSERT_TRUE(model_.btStartQueryClick(ctx_));
  EXPECT_EQ(model_.tvStart().RootCount(), 2u);
  EXPECT_EQ(model_.Memo1().size(), 2u);
  EXPECT_EQ(model_.TopConnections().size(), 1u);
}

TEST_F(ConnectionQueryTest, LineNameWithSeparatorHasNoTimetable) {
  Network("L/3");
  ASSERT_TRUE(model_.btStartQueryClick(ctx_));
  EXPECT_EQ(model_.Memo1(), (Lines{"0: A=>L1=>B=>L/3=>=>Y=>L2=>Z[7]"}));
  EXPECT_EQ(model_.mZeiten().back(), "2: B >>> L/3 >>> Y");
  EXPECT_TRUE(model_.TopConnections().empty());
}

TEST_F(ConnectionQueryTest, UnknownStationIsReportedAndNothingSearched) {
  Network("L3");
  model_.cbStartStation.Text = "a";  // letter case ignored
  model_.cbZielStation.Text = "Nirgendwo";
  EXPECT_FALSE(model_.btStartQueryClick(ctx_));
  EXPECT_EQ(ui_.events, (Lines{"[Meldung] Station nicht gefunden: Nirgendwo"}));
  EXPECT_EQ(model_.tvStart().RootCount(), 0u);
  EXPECT_EQ(model_.mZeiten(), (Lines{"mZeiten"}));
}

// Every evaluated connection prints the top list, also one that completed no pair of
// rows: the typed start "a" names station A, but the rows compare exactly.
TEST_F(ConnectionQueryTest, ConnectionWithoutRowPairsStillPrintsTheTopList) {
  dir_.Write("stations.csv", "A\nB\n");
  dir_.Write("line_stations.csv", "L1=A,B\n");
  dir_.Write("station_lines.csv", "A=L1\nB=L1\n");
  dir_.Write("distances.csv", "[L1_1_Mo-Fr]\ndistance1=\"A\",10,\"B\"\nnewcross=\"A\",\"B\"\n");
  dir_.Write("line_L1.ttd", "[1_MO-FR]\n1=A,07:05\n2=B,07:15\n");
  ASSERT_TRUE(Ask("a", "B"));
  EXPECT_EQ(model_.mZeiten(), (Lines{"*** Verbindung: ***", "a ==> L1 ==>  |||  ==> B",
                                     "1: a >>> L1 >>> B", "*** TOP-VERBINDUNGEN ***"}));
}

// A later connection whose section lacks its boarding row repeats what the earlier ones
// ranked.
TEST_F(ConnectionQueryTest, TopListRepeatsEarlierEntriesAfterAConnectionWithoutRows) {
  dir_.Write("stations.csv", "A\nC\n");
  dir_.Write("line_stations.csv", "L3=A,C\nL4=A,C\n");
  dir_.Write("station_lines.csv", "A=L3,L4\nC=L3,L4\n");
  dir_.Write("distances.csv", "[L3_1_Mo-Fr]\ndistance1=\"A\",30,\"C\"\n");
  dir_.Write("line_L3.ttd", "[1_MO-FR]\n1=A,07:10\n2=C,07:40\n");
  dir_.Write("line_L4.ttd", "[1_MO-FR]\n1=X,07:20\n2=C,07:30\n");
  ASSERT_TRUE(Ask("A", "C"));
  const std::string best = "Min: 40 Weg: L3: A nach C, Ab: 07:10:00 An: 07:40:00";
  const Lines& trace = model_.mZeiten();
  ASSERT_GE(trace.size(), 3u);
  EXPECT_EQ(Lines(trace.end() - 3, trace.end()),
            (Lines{"1: A >>> L4 >>> C", "*** TOP-VERBINDUNGEN ***", best}));
  EXPECT_EQ(std::count(trace.begin(), trace.end(), best), 2);
}

// After a failed loading the lists and the matrix do not fit together: no query runs.
TEST_F(ConnectionQueryTest, NoQueryAfterAFailedLoading) {
  Network("L3");
  ASSERT_TRUE(model_.btStartQueryClick(ctx_));
  std::string stations;
  for (std::size_t i = 0; i <= kMaxMatrixStations; ++i) stations += "S" + std::to_string(i) + "\n";
  dir_.Write("stations.csv", stations + "A\nZ\n");
  try {
    model_.FormShow(ctx_);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(
        std::string(error.what()),
        "Zu viele Stationen für die Entfernungsmatrix: " + std::to_string(kMaxMatrixStations + 3) +
            " (höchstens " + std::to_string(kMaxMatrixStations) + ")");
  }
  EXPECT_FALSE(model_.NetworkLoaded());
  EXPECT_FALSE(model_.btStartQueryClick(ctx_));
  EXPECT_EQ(ui_.events,
            (Lines{"[Meldung] Keine Abfrage möglich: das Netz wurde nicht vollständig geladen"}));
  EXPECT_EQ(model_.tvStart().RootCount(), 1u);  // only the query before the failed loading
}

// A station with thousands of lines of the same (empty) name, each leading back to it:
// every line node would look at every station of every other; the search gives up.
TEST_F(ConnectionQueryTest, SearchThatWouldGrowWithoutEndIsRefused) {
  dir_.Write("stations.csv", "A\nZ\n");
  dir_.Write("line_stations.csv", "");
  dir_.Write("station_lines.csv", "A=L1" + std::string(1500, ',') + "\nZ=L2\n");
  dir_.Write("distances.csv", "");
  try {
    Ask("A", "Z");
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(),
                 "Die Abfrage bricht ab: das Netz ergibt mehr als 2000000 Suchschritte");
  }
}

P2PContainer Leg(std::vector<TripTimes> trips) {
  return {"L", "A", "B", std::move(trips)};
}

TEST(ConnectionEvaluation, SingleLegWindow) {
  Lines trace;
  const auto legs =
      CollectTrips({{"L", "A", "06:50", "07:20", "10:30"}, {"L", "B", "07:10", "07:40", "10:50"}},
                   At(7, 0), trace);
  ASSERT_EQ(legs.size(), 1u);
  EXPECT_EQ(legs[0].trips, (std::vector<TripTimes>{{At(7, 20), At(7, 40)}}));
  EXPECT_EQ(trace, (Lines{"intervalzeit: 06:50:00", "0 L: A->B = 07:20 -> 07:40"}));

  // A leg whose trips all arrive at or after the window's end has none.
  trace.clear();
  const auto late = CollectTrips({{"L", "A", "09:50"}, {"L", "B", "10:00"}}, At(7, 0), trace);
  EXPECT_TRUE(late[0].trips.empty());
}

TEST(ConnectionEvaluation, IntervalBlockBecomesTrips) {
  Lines trace;
  const auto legs =
      CollectTrips({{"L", "A", "07:00", "10 Min", "07:30"}, {"L", "B", "07:12", "10 Min", "07:42"}},
                   At(7, 5), trace);
  // 07:20 -> 07:32 leaves before the first trip's arrival at 07:22; the explicit last
  // column is not recorded a second time.
  EXPECT_EQ(legs[0].trips,
            (std::vector<TripTimes>{{At(7, 10), At(7, 22)}, {At(7, 30), At(7, 42)}}));
  EXPECT_EQ(trace, (Lines{"intervalzeit: 07:00:00"}));

  // Steps that add up exactly to the next explicit trip keep their last trip.
  const auto exact =
      CollectTrips({{"L", "A", "05:00", "10 Min", "05:30"}, {"L", "B", "05:05", "10 Min", "05:35"}},
                   At(4, 0), trace);
  EXPECT_EQ(exact[0].trips.size(), 4u);
}

TEST(ConnectionEvaluation, TransferNeedsOneMinute) {
  std::vector<DetailConnectionItem> top;
  RankCombinations(
      {Leg({{At(7, 0), At(7, 21)}}), Leg({{At(7, 21), At(7, 40)}, {At(7, 22), At(7, 45)}})},
      At(7, 0), Minutes(1), 30, top);
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0].totalMinutes, Minutes(45));
  EXPECT_EQ(top[0].pathText,
            "L: A nach B, Ab: 07:00:00 An: 07:21:00 | L: A nach B, Ab: 07:22:00 An: 07:45:00");
}

TEST(ConnectionEvaluation, FullTopListTakesOnlyBetterTotals) {
  std::vector<DetailConnectionItem> top;
  for (int i = 0; i < 30; ++i) {
    top.push_back({"old" + std::to_string(i), Minutes(0), Minutes(i < 26 ? 40 : i < 28 ? 54 : 55)});
  }
  RankCombinations({Leg({{At(7, 0), At(7, 55)}})}, At(7, 0), Minutes(1), 30, top);
  EXPECT_EQ(top[29].pathText, "old29");
  RankCombinations({Leg({{At(7, 0), At(7, 54)}})}, At(7, 0), Minutes(1), 30, top);
  ASSERT_EQ(top.size(), 30u);
  EXPECT_EQ(top[27].pathText, "old27");
  EXPECT_EQ(top[28].totalMinutes, Minutes(54));
  EXPECT_EQ(top[28].pathText.substr(0, 5), "L: A ");
  EXPECT_EQ(top[29].pathText, "old28");
}

// Every combination in odometer order, each feasible one offered to the list.
void RankEveryCombination(const std::vector<P2PContainer>& legs, Minutes start,
                          std::size_t capacity, std::vector<DetailConnectionItem>& top) {
  std::vector<std::size_t> at(legs.size(), 0);
  for (;;) {
    bool feasible = true;
    for (std::size_t k = 1; k < legs.size(); ++k) {
      feasible &= legs[k].trips[at[k]].departure.Count() % 1440 -
                      legs[k - 1].trips[at[k - 1]].arrival.Count() % 1440 >=
                  1;
    }
    const Minutes total = legs.back().trips[at.back()].arrival - start;
    if (feasible && (top.size() < capacity || total < top.back().totalMinutes)) {
      std::string path;
      for (std::size_t k = 0; k < legs.size(); ++k) {
        path += (k > 0 ? " | " : "") + legs[k].line + ": " + legs[k].from + " nach " + legs[k].to +
                ", Ab: " + ClockText(legs[k].trips[at[k]].departure) +
                " An: " + ClockText(legs[k].trips[at[k]].arrival);
      }
      auto it = std::find_if(top.begin(), top.end(), [total](const DetailConnectionItem& item) {
        return item.totalMinutes > total;
      });
      top.insert(it, {path, Minutes(0), total});
      if (top.size() > capacity) top.pop_back();
    }
    std::size_t k = legs.size();
    while (k > 0 && ++at[k - 1] == legs[k - 1].trips.size()) at[--k] = 0;
    if (k == 0) return;
  }
}

TEST(ConnectionEvaluation, RankingEqualsVisitingEveryCombination) {
  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    std::vector<P2PContainer> legs;
    for (int leg = 1 + static_cast<int>(random() % 4); leg > 0; --leg) {
      std::vector<TripTimes> trips;
      for (int t = 1 + static_cast<int>(random() % 7); t > 0; --t) {
        const Minutes departure = At(7, 0) + Minutes(static_cast<std::int32_t>(random() % 120));
        trips.push_back({departure, departure + Minutes(static_cast<std::int32_t>(random() % 40))});
      }
      legs.push_back({"L" + std::to_string(leg), "A", "B", trips});
    }
    const std::size_t capacity = 1 + random() % 8;
    std::vector<DetailConnectionItem> fast;
    std::vector<DetailConnectionItem> every;
    RankCombinations(legs, At(7, 0), Minutes(1), capacity, fast);
    RankEveryCombination(legs, At(7, 0), capacity, every);
    ASSERT_EQ(fast.size(), every.size());
    for (std::size_t i = 0; i < fast.size(); ++i) {
      ASSERT_EQ(fast[i].pathText, every[i].pathText) << "round " << round;
      ASSERT_EQ(fast[i].totalMinutes, every[i].totalMinutes);
    }
  }
}

}  // namespace
}  // namespace trivo

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/line_tree.h"
#include "analysis/make_model.h"
#include "analysis/tree_model.h"
#include "common/error.h"
#include "project/context.h"
#include "test_support.h"

namespace trivo {
namespace {

// A project folder holding line_stations.csv and station_lines.csv.
class ParallelsTest : public ::testing::Test {
 protected:
  void SetUp() override { ctx_.ProjectDir = dir_.path().string(); }

  void Write(const std::string& name, const std::string& text) { dir_.Write(name, text); }
  void Project(const std::string& lineStations, const std::string& stationLines) {
    Write("line_stations.csv", lineStations);
    Write("station_lines.csv", stationLines);
  }
  std::vector<std::string> Press() {
    model_.btStartClick(ctx_);
    return Memo();
  }
  std::vector<std::string> Memo() const {
    std::vector<std::string> lines;
    model_.ForEachMemoLine(0, [&lines](const std::string& line) { lines.push_back(line); });
    return lines;
  }
  std::vector<TParalell> Runs() const {
    std::vector<TParalell> runs;
    for (std::size_t i = 0; i < model_.ParallelCount(); ++i) runs.push_back(model_.Parallel(i));
    return runs;
  }
  // The tree as "text" lines indented by two blanks per level.
  std::vector<std::string> Tree() const {
    std::vector<std::string> lines;
    model_.TreeView1().ForEachNode([&lines](std::string_view text, int depth) {
      lines.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ').append(text));
    });
    return lines;
  }

  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
  MakeModel model_;
};

using Lines = std::vector<std::string>;

TEST_F(ParallelsTest, TreeHoldsLinesStationsAndOtherLinesInFileOrder) {
  Project("L1=A,B\r\nL2=B,\"Alte Post\"\r\n",
          "b=L2,L1,L3\nB=L9\nNoEquals\n\"Alte Post\"=L1\nAlte Post=L2,L1\n");
  Press();
  EXPECT_EQ(Tree(), (Lines{"all", "  L1", "    A", "    B", "      L2", "      L3", "  L2", "    B",
                           "      L1", "      L3", "    Alte Post", "      L1"}));
}

TEST_F(ParallelsTest, EmptyLineAndRepeatedStations) {
  Project("L0=\nL1=A,A,B\nL2=A,B,A\nL3= , \n", "");
  Press();
  EXPECT_EQ(Tree(), (Lines{"all", "  L1", "    A", "    B", "  L2", "    A", "    B", "    A",
                           "  L3", "    "}));
  EXPECT_FALSE(model_.RunsParallel("L1", "L0", "A", "B"));
}

TEST_F(ParallelsTest, RunFoundFromBothLines) {
  Project("L1=A,B,C,D\nL2=X,B,C,Y\n", "B=L1,L2\nC=L1,L2\n");
  EXPECT_EQ(Press(), (Lines{"1: L1-L2: B-C", "2: L2-L1: B-C"}));
  EXPECT_EQ(Runs(), (std::vector<TParalell>{{"L1", "L2", "B", "C"}, {"L2", "L1", "B", "C"}}));
}

TEST_F(ParallelsTest, RunInOppositeOrderIsFoundToo) {
  Project("L1=A,B,C,D\nL2=X,C,B,Y\n", "B=L1,L2\nC=L1,L2\n");
  EXPECT_EQ(Press(), (Lines{"1: L1-L2: B-C", "2: L2-L1: C-B"}));
}

TEST_F(ParallelsTest, StationBetweenCommonStationsBreaksTheRun) {
  Project("L1=A,B,C,D\nL2=B,X,C\n", "B=L1,L2\nC=L1,L2\n");
  EXPECT_EQ(Press(), Lines{});
  EXPECT_FALSE(model_.RunsParallel("L1", "L2", "B", "C"));
}

TEST_F(ParallelsTest, RunStillOpenAtTheEndIsNotRecorded) {
  Project("L1=A,B,C\nL2=X,B,C\n", "B=L1,L2\nC=L1,L2\n");
  EXPECT_EQ(Press(), Lines{});
  EXPECT_TRUE(model_.RunsParallel("L1", "L2", "B", "C"));
}

TEST_F(ParallelsTest, StationMissingFromStationLinesEndsTheRuns) {
  Project("L1=A,B,C,D,E\nL2=B,C,D\n", "B=L1,L2\nC=L1,L2\nE=L1,L2\n");
  EXPECT_EQ(Press(), (Lines{"1: L1-L2: B-C", "2: L2-L1: B-C"}));
}

TEST_F(ParallelsTest, MembershipIgnoresLetterCase) {
  // The run opened at C for "L2" continues through "l2" listed at B; compared exactly,
  // it would open only at D and read C-D.
  Project("L1=A,B,C,D,E\nL2=X,B,C,D,Y\n", "B=L1,l2\nC=L1,L2\nD=L1,L2\n");
  EXPECT_EQ(Press(), (Lines{"1: L1-L2: B-D", "2: L2-L1: B-D"}));
}

TEST_F(ParallelsTest, OtherLineWithoutLineNodeIsNotParallel) {
  Project("L1=A,B,C,D\nL9=\n", "B=L1,L9,L8\nC=L1,L9,L8\n");
  EXPECT_EQ(Press(), Lines{});
  EXPECT_FALSE(model_.RunsParallel("L1", "L8", "B", "C"));
  EXPECT_FALSE(model_.RunsParallel("L8", "L1", "B", "C"));
}

TEST_F(ParallelsTest, SecondPressDoublesTheTreeAndListsAllRunsAgain) {
  Project("L1=A,B,C,D\nL2=X,B,C,Y\n", "B=L1,L2\nC=L1,L2\n");
  Press();
  EXPECT_EQ(Press(), (Lines{"1: L1-L2: B-C", "2: L2-L1: B-C",  // first press
                            "3: L1-L2: B-C", "4: L2-L1: B-C",  // its runs again
                            "5: L1-L2: B-C", "6: L2-L1: B-C",  // walking the doubled tree
                            "7: L1-L2: B-C", "8: L2-L1: B-C"}));
  const LineTree& tree = model_.TreeView1();
  ASSERT_EQ(tree.RootCount(), 2u);
  EXPECT_EQ(Tree().back(), "all");  // the second root stays empty
  ASSERT_EQ(tree.Lines().size(), 4u);
  EXPECT_EQ(tree.Lines()[2].name, "L1");
  EXPECT_EQ(tree.Lines()[3].stations.size(), 4u);
  // Listed once more on a third press: the memo counts on from 8.
  const std::vector<std::string> third = Press();
  ASSERT_EQ(third.size(), 8u + 2 + 4 + 6);
  EXPECT_EQ(third[8], "9: L1-L2: B-C");
  std::vector<std::string> tail;
  model_.ForEachMemoLine(14, [&tail](const std::string& line) { tail.push_back(line); });
  EXPECT_EQ(tail, (Lines{"15: L1-L2: B-C", "16: L2-L1: B-C", "17: L1-L2: B-C", "18: L2-L1: B-C",
                         "19: L1-L2: B-C", "20: L2-L1: B-C"}));
}

TEST_F(ParallelsTest, MissingFileEndsThePressAndLeavesTheTree) {
  Project("L1=A,B,C,D\nL2=X,B,C,Y\n", "B=L1,L2\nC=L1,L2\n");
  Press();
  const Lines treeBefore = Tree();
  std::filesystem::remove(dir_ / "station_lines.csv");
  const std::string path = (dir_ / "station_lines.csv").string();
  try {
    Press();
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Datei " + path + " kann nicht geöffnet werden. ", 0),
              0u)
        << error.what();
  }
  EXPECT_EQ(Tree(), treeBefore);
  EXPECT_EQ(model_.MemoLineCount(), 2u);
  EXPECT_EQ(model_.ParallelCount(), 2u);
}

TEST_F(ParallelsTest, MissingLineStationsIsReportedBeforeAnythingIsBuilt) {
  Write("station_lines.csv", "B=L1\n");
  EXPECT_THROW(model_.btStartClick(ctx_), Error);
  EXPECT_EQ(model_.TreeView1().RootCount(), 0u);
}

TEST(TreeModelTest, DeleteRemovesTheSubtreeAndKeepsTheSiblings) {
  TreeModel tree;
  TreeNode* root = tree.AddRoot("all");
  TreeNode* a = root->AddChild("a");
  a->AddChild("a1")->AddChild("a11");
  TreeNode* b = root->AddChild("b");
  EXPECT_EQ(tree.NodeCount(), 5u);
  EXPECT_EQ(a->NextSibling(), b);
  EXPECT_EQ(b->PrevSibling(), a);
  EXPECT_EQ(b->Parent(), root);
  tree.Delete(a);
  EXPECT_EQ(tree.NodeCount(), 2u);
  EXPECT_EQ(root->Child(0), b);
  EXPECT_EQ(b->PrevSibling(), nullptr);
  TreeNode* second = tree.AddRoot("all");
  EXPECT_EQ(root->NextSibling(), second);
  EXPECT_EQ(tree.FirstRoot(), root);
}

}  // namespace
}  // namespace trivo

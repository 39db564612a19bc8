#pragma once

#include <string>
#include <vector>

#include "analysis/tree_model.h"
#include "project/context.h"

namespace trivo {

// One parallel run: a stretch of consecutive stations that Line and OtherLine pass in
// the same order, found while walking Line.
struct TParalell {
  std::string Line;
  std::string OtherLine;
  std::string FirstStation;
  std::string LastStation;

  friend bool operator==(const TParalell&, const TParalell&) = default;
};

// The data-preparation window's state and steps: the line tree built from
// line_stations.csv and station_lines.csv, the parallel runs found in it and the memo
// listing them. Nothing is reset between presses of "Start".
class MakeModel {
 public:
  MakeModel() = default;
  MakeModel(const MakeModel&) = delete;
  MakeModel& operator=(const MakeModel&) = delete;

  // "Start": BuildLineTree, FindParallels, then the whole ParallelList appended to
  // Memo1. Fails with trivo::Error ("Datei %s kann nicht geoeffnet werden. %s") when a
  // file cannot be read; the tree is then unchanged.
  void btStartClick(const Context& ctx);

  // Appends a root "all" and every line of line_stations.csv, with its station nodes and
  // their other-line nodes, under the first root. Reads both files before touching the tree.
  void BuildLineTree(const Context& ctx);
  // Walks every line node under the first root and appends the runs found to ParallelList.
  void FindParallels();
  // Whether line and otherLine pass the same stations in the same order from
  // firstStation to lastStation, judged on the tree as it is now.
  bool RunsParallel(const std::string& line, const std::string& otherLine,
                    const std::string& firstStation, const std::string& lastStation) const;
  // Appends one memo line per entry of ParallelList, numbered on from the memo's count.
  void ListParallels();

  const TreeModel& TreeView1() const { return tree_; }
  const std::vector<TParalell>& ParallelList() const { return parallels_; }
  const std::vector<std::string>& Memo1() const { return memo_; }

 private:
  TreeModel tree_;
  std::vector<TParalell> parallels_;
  std::vector<std::string> memo_;
};

}  // namespace trivo

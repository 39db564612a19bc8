#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/line_tree.h"
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
//
// The output can be far larger than the input (every press lists all runs found so far
// again, and lines sharing their stations give runs by the million), so none of it is
// held as text: the runs are kept compactly, the memo as the listings made, and both
// are handed out line by line for the window or the command line to show as they go.
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

  const LineTree& TreeView1() const { return tree_; }

  // ParallelList: the runs found so far, in order.
  std::size_t ParallelCount() const { return runs_.size(); }
  TParalell Parallel(std::size_t index) const;

  // Memo1: "<n>: <Line>-<OtherLine>: <FirstStation>-<LastStation>", one line per run
  // listed, n counting the memo's lines from 1.
  std::size_t MemoLineCount() const { return memoLineCount_; }
  // Calls visit for the memo lines from index `from` (0-based) to the last, in order.
  void ForEachMemoLine(std::size_t from,
                       const std::function<void(const std::string& line)>& visit) const;

 private:
  // A run as the numbers of its four names in names_.
  struct Run {
    std::uint32_t line;
    std::uint32_t otherLine;
    std::uint32_t firstStation;
    std::uint32_t lastStation;
  };
  // One listing of ParallelList in the memo: its first memo line and how many runs.
  struct Listing {
    std::size_t firstLine;
    std::size_t runs;
  };

  std::uint32_t NameId(std::string_view name);
  std::string MemoLine(std::size_t number, const Run& run) const;

  LineTree tree_;
  std::deque<Run> runs_;
  std::vector<std::string> names_;
  std::unordered_map<std::string, std::uint32_t> nameIds_;
  std::vector<Listing> listings_;
  std::size_t memoLineCount_ = 0;
};

}  // namespace trivo

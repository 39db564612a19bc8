#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trivo {

// The data-preparation window's line tree (TreeView1): root nodes "all"; under the first
// root one node per line, under it one node per station, under that one node per other
// line stopping at the station.
//
// The other-line nodes of a station are not held one by one: they are the items of the
// station's value in station_lines.csv (kept as read) without the line itself, taken
// whenever the tree is walked. A network whose lines all share their stations has as many
// such nodes as the product of lines and stops; holding them would need memory far beyond
// the size of the files.
class LineTree {
 public:
  struct Station {
    std::string name;
    // The station's value in station_lines.csv; nothing when the station is not listed.
    std::optional<std::string_view> lines;
  };
  struct Line {
    std::string name;
    std::vector<Station> stations;
  };

  std::size_t RootCount() const { return rootCount_; }
  // The line nodes under the first root, in tree order.
  const std::vector<Line>& Lines() const { return lines_; }

  // Appends a root node "all".
  void AddRoot() { ++rootCount_; }
  // Appends a line node under the first root and returns it (valid until the next one).
  Line& AddLine(std::string name);
  // Keeps the lines of a station_lines.csv for as long as the tree lives, so that
  // stations can refer to their values; returns the kept lines.
  const std::vector<std::string>& Keep(std::vector<std::string> stationLines);

  // Calls visit for every other-line node of a station of line, in order: the items of
  // the station's value by the comma-list rule that differ (exactly) from the line's name.
  static void ForEachOtherLine(const Line& line, const Station& station,
                               const std::function<void(std::string&& name)>& visit);
  // Calls visit(text, depth) for every node depth-first in tree order, roots at depth 0.
  void ForEachNode(const std::function<void(std::string_view text, int depth)>& visit) const;
  std::size_t NodeCount() const;

 private:
  std::size_t rootCount_ = 0;
  std::vector<Line> lines_;
  std::deque<std::vector<std::string>> kept_;
};

}  // namespace trivo

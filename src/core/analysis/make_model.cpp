#include "analysis/make_model.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "common/comma_list.h"
#include "common/name_value.h"
#include "common/strings.h"
#include "common/text_file.h"

namespace trivo {

namespace {

// A set of names that ignores letter case.
class NameSet {
 public:
  bool Contains(std::string_view name) const { return keys_.count(LowerCaseCp1252(name)) != 0; }
  void Add(std::string_view name) { keys_.insert(LowerCaseCp1252(name)); }
  void Remove(std::string_view name) { keys_.erase(LowerCaseCp1252(name)); }
  void Clear() { keys_.clear(); }
  void Swap(NameSet& other) { keys_.swap(other.keys_); }

 private:
  std::unordered_set<std::string> keys_;
};

// The station_lines.csv lines by station name, ignoring letter case; the first line with
// a name wins, lines without "=" name nothing.
class StationLineIndex {
 public:
  explicit StationLineIndex(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      if (line.find('=') == std::string::npos) continue;
      byStation_.try_emplace(LowerCaseCp1252(NameOf(line)), &line);
    }
  }
  // The value of the station's line, or nothing when the station is not listed.
  std::optional<std::string_view> LinesAt(std::string_view station) const {
    const auto it = byStation_.find(LowerCaseCp1252(station));
    if (it == byStation_.end()) return std::nullopt;
    return ValueOf(*it->second);
  }

 private:
  std::unordered_map<std::string, const std::string*> byStation_;
};

// The line nodes under the first root by exact name; a name occurring more than once
// gives its last node.
using LineNodeIndex = std::unordered_map<std::string_view, const TreeNode*>;

LineNodeIndex IndexLineNodes(const TreeModel& tree) {
  LineNodeIndex index;
  if (const TreeNode* root = tree.FirstRoot()) {
    for (const auto& lineNode : root->Children()) index[lineNode->Text()] = lineNode.get();
  }
  return index;
}

const TreeNode* Find(const LineNodeIndex& index, const std::string& name) {
  const auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}

// One station walker along a line's station nodes, stepping forward or backward.
struct Walker {
  const TreeNode* line;
  std::ptrdiff_t pos;
  std::ptrdiff_t step;

  bool Exists() const { return pos >= 0 && pos < static_cast<std::ptrdiff_t>(line->Count()); }
  const std::string& Station() const { return line->Child(static_cast<std::size_t>(pos))->Text(); }
};

bool RunsParallelOn(const TreeNode* lineNode, const TreeNode* otherNode,
                    const std::string& firstStation, const std::string& lastStation) {
  if (lineNode == nullptr || otherNode == nullptr) return false;

  std::ptrdiff_t lineFirst = -1;
  std::ptrdiff_t lineLast = -1;
  for (std::size_t i = 0; i < lineNode->Count() && (lineFirst < 0 || lineLast < 0); ++i) {
    const std::string& station = lineNode->Child(i)->Text();
    if (lineFirst < 0 && station == firstStation) lineFirst = static_cast<std::ptrdiff_t>(i);
    if (lineLast < 0 && station == lastStation) lineLast = static_cast<std::ptrdiff_t>(i);
  }
  std::ptrdiff_t otherFirst = -1;
  std::ptrdiff_t otherLast = -1;
  for (std::size_t i = 0; i < otherNode->Count(); ++i) {
    const std::string& station = otherNode->Child(i)->Text();
    if (station == firstStation) otherFirst = static_cast<std::ptrdiff_t>(i);
    if (station == lastStation) otherLast = static_cast<std::ptrdiff_t>(i);
  }

  Walker a{lineNode, lineFirst, lineFirst < lineLast ? 1 : -1};
  Walker b{otherNode, otherFirst, otherFirst < otherLast ? 1 : -1};
  while (a.Exists() && b.Exists() && a.Station() == b.Station() && a.Station() != lastStation) {
    a.pos += a.step;
    b.pos += b.step;
  }
  return a.Exists() && b.Exists() && a.Station() == lastStation && b.Station() == lastStation;
}

}  // namespace

void MakeModel::btStartClick(const Context& ctx) {
  BuildLineTree(ctx);
  FindParallels();
  ListParallels();
}

void MakeModel::BuildLineTree(const Context& ctx) {
  const auto lineStationsPath = ctx.ProjectFile("line_stations.csv");
  const auto stationLinesPath = ctx.ProjectFile("station_lines.csv");
  const std::vector<std::string> lineStations =
      ReadTextLines(lineStationsPath, lineStationsPath.string());
  const std::vector<std::string> stationLines =
      ReadTextLines(stationLinesPath, stationLinesPath.string());
  const StationLineIndex linesAtStation(stationLines);

  tree_.AddRoot("all");
  TreeNode* root = tree_.FirstRoot();
  for (const std::string& entry : lineStations) {
    TreeNode* lineNode = root->AddChild(std::string(NameOf(entry)));
    const std::vector<std::string> stations = SplitCommaList(ValueOf(entry));
    if (stations.empty()) {
      tree_.Delete(lineNode);
      continue;
    }
    const std::string* lastAdded = nullptr;
    for (const std::string& station : stations) {
      if (lastAdded != nullptr && station == *lastAdded) continue;
      lastAdded = &station;
      TreeNode* stationNode = lineNode->AddChild(station);
      const auto value = linesAtStation.LinesAt(station);
      if (!value) continue;
      for (std::string& other : SplitCommaList(*value)) {
        if (other != lineNode->Text()) stationNode->AddChild(std::move(other));
      }
    }
  }
}

void MakeModel::FindParallels() {
  const TreeNode* root = tree_.FirstRoot();
  if (root == nullptr) return;
  // Built once per search: the search does not change the tree.
  const LineNodeIndex lineNodes = IndexLineNodes(tree_);

  struct OpenRun {
    std::string otherLine;
    std::string firstStation;
  };
  std::vector<OpenRun> openRuns;  // in the order opened
  NameSet openNames;
  NameSet previousLines;
  NameSet currentLines;

  for (const auto& lineNode : root->Children()) {
    openRuns.clear();
    openNames.Clear();
    previousLines.Clear();
    currentLines.Clear();
    const std::string* previousStation = nullptr;

    for (const auto& stationNode : lineNode->Children()) {
      for (const auto& otherNode : stationNode->Children()) {
        const std::string& other = otherNode->Text();
        currentLines.Add(other);
        if (!openNames.Contains(other) && previousLines.Contains(other)) {
          openRuns.push_back({other, previousStation ? *previousStation : std::string()});
          openNames.Add(other);
        }
      }

      std::vector<OpenRun> stillOpen;
      for (OpenRun& run : openRuns) {
        if (currentLines.Contains(run.otherLine)) {
          stillOpen.push_back(std::move(run));
          continue;
        }
        const std::string lastStation = previousStation ? *previousStation : std::string();
        // Both lines are looked up by name, so a line listed twice is judged by its
        // last node.
        const TreeNode* self = Find(lineNodes, lineNode->Text());
        if (RunsParallelOn(self, Find(lineNodes, run.otherLine), run.firstStation, lastStation)) {
          parallels_.push_back({lineNode->Text(), run.otherLine, run.firstStation, lastStation});
        }
        openNames.Remove(run.otherLine);
      }
      openRuns = std::move(stillOpen);

      previousStation = &stationNode->Text();
      previousLines.Swap(currentLines);
      currentLines.Clear();
    }
  }
}

bool MakeModel::RunsParallel(const std::string& line, const std::string& otherLine,
                             const std::string& firstStation,
                             const std::string& lastStation) const {
  const LineNodeIndex lineNodes = IndexLineNodes(tree_);
  return RunsParallelOn(Find(lineNodes, line), Find(lineNodes, otherLine), firstStation,
                        lastStation);
}

void MakeModel::ListParallels() {
  // The count grows while listing, so each line is numbered after the one before it.
  for (std::size_t i = 0, n = parallels_.size(); i < n; ++i) {
    const TParalell& p = parallels_[i];
    memo_.push_back(std::to_string(memo_.size() + 1) + ": " + p.Line + "-" + p.OtherLine + ": " +
                    p.FirstStation + "-" + p.LastStation);
  }
}

}  // namespace trivo

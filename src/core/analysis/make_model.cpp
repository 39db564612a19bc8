#include "analysis/make_model.h"

#include <algorithm>
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

// A set of names that ignores letter case: it holds and takes names in lower case
// (LowerCaseCp1252).
class NameSet {
 public:
  bool Contains(const std::string& key) const { return keys_.count(key) != 0; }
  void Add(const std::string& key) { keys_.insert(key); }
  void Remove(const std::string& key) { keys_.erase(key); }
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

using Line = LineTree::Line;
using Station = LineTree::Station;

// The line nodes under the first root by exact name; a name occurring more than once
// gives its last node.
using LineNodeIndex = std::unordered_map<std::string_view, const Line*>;

LineNodeIndex IndexLineNodes(const LineTree& tree) {
  LineNodeIndex index;
  for (const Line& line : tree.Lines()) index[line.name] = &line;
  return index;
}

const Line* Find(const LineNodeIndex& index, const std::string& name) {
  const auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}

// One station walker along a line's station nodes, stepping forward or backward.
struct Walker {
  const Line* line;
  std::ptrdiff_t pos;
  std::ptrdiff_t step;

  bool Exists() const {
    return pos >= 0 && pos < static_cast<std::ptrdiff_t>(line->stations.size());
  }
  const std::string& Station() const { return line->stations[static_cast<std::size_t>(pos)].name; }
};

bool RunsParallelOn(const Line* lineNode, const Line* otherNode, const std::string& firstStation,
                    const std::string& lastStation) {
  if (lineNode == nullptr || otherNode == nullptr) return false;

  std::ptrdiff_t lineFirst = -1;
  std::ptrdiff_t lineLast = -1;
  for (std::size_t i = 0; i < lineNode->stations.size() && (lineFirst < 0 || lineLast < 0); ++i) {
    const std::string& station = lineNode->stations[i].name;
    if (lineFirst < 0 && station == firstStation) lineFirst = static_cast<std::ptrdiff_t>(i);
    if (lineLast < 0 && station == lastStation) lineLast = static_cast<std::ptrdiff_t>(i);
  }
  std::ptrdiff_t otherFirst = -1;
  std::ptrdiff_t otherLast = -1;
  for (std::size_t i = 0; i < otherNode->stations.size(); ++i) {
    const std::string& station = otherNode->stations[i].name;
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
  std::vector<std::string> stationLines =
      ReadTextLines(stationLinesPath, stationLinesPath.string());

  tree_.AddRoot();
  // The stations refer to their values in the file for their other-line nodes.
  const StationLineIndex linesAtStation(tree_.Keep(std::move(stationLines)));
  for (const std::string& entry : lineStations) {
    // A line whose station list is empty gets no node (it is appended and deleted again).
    std::vector<std::string> stations = SplitCommaList(ValueOf(entry));
    if (stations.empty()) continue;
    Line& line = tree_.AddLine(std::string(NameOf(entry)));
    for (std::string& station : stations) {
      if (!line.stations.empty() && station == line.stations.back().name) continue;
      const auto lines = linesAtStation.LinesAt(station);
      line.stations.push_back(Station{std::move(station), lines});
    }
  }
}

void MakeModel::FindParallels() {
  if (tree_.RootCount() == 0) return;
  // Built once per search: the search does not change the tree.
  const LineNodeIndex lineNodes = IndexLineNodes(tree_);

  struct OpenRun {
    std::string otherLine;
    std::string key;  // otherLine in lower case
    std::string firstStation;
  };
  std::vector<OpenRun> openRuns;  // in the order opened
  NameSet openNames;
  NameSet previousLines;
  NameSet currentLines;

  for (const Line& line : tree_.Lines()) {
    openRuns.clear();
    openNames.Clear();
    previousLines.Clear();
    currentLines.Clear();
    const std::string* previousStation = nullptr;

    for (const Station& station : line.stations) {
      LineTree::ForEachOtherLine(line, station, [&](std::string&& other) {
        std::string key = LowerCaseCp1252(other);
        currentLines.Add(key);
        if (!openNames.Contains(key) && previousLines.Contains(key)) {
          openNames.Add(key);
          openRuns.push_back({std::move(other), std::move(key),
                              previousStation ? *previousStation : std::string()});
        }
      });

      std::vector<OpenRun> stillOpen;
      for (OpenRun& run : openRuns) {
        if (currentLines.Contains(run.key)) {
          stillOpen.push_back(std::move(run));
          continue;
        }
        const std::string lastStation = previousStation ? *previousStation : std::string();
        // Both lines are looked up by name, so a line listed twice is judged by its
        // last node.
        const Line* self = Find(lineNodes, line.name);
        if (RunsParallelOn(self, Find(lineNodes, run.otherLine), run.firstStation, lastStation)) {
          runs_.push_back({NameId(line.name), NameId(run.otherLine), NameId(run.firstStation),
                           NameId(lastStation)});
        }
        openNames.Remove(run.key);
      }
      openRuns = std::move(stillOpen);

      previousStation = &station.name;
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
  listings_.push_back({memoLineCount_, runs_.size()});
  memoLineCount_ += runs_.size();
}

TParalell MakeModel::Parallel(std::size_t index) const {
  const Run& run = runs_.at(index);
  return {names_[run.line], names_[run.otherLine], names_[run.firstStation],
          names_[run.lastStation]};
}

void MakeModel::ForEachMemoLine(std::size_t from,
                                const std::function<void(const std::string& line)>& visit) const {
  // The listing that holds line `from`: the last one starting at or before it.
  auto listing =
      std::upper_bound(listings_.begin(), listings_.end(), from,
                       [](std::size_t line, const Listing& l) { return line < l.firstLine; });
  if (listing != listings_.begin()) --listing;
  for (; listing != listings_.end(); ++listing) {
    for (std::size_t i = from > listing->firstLine ? from - listing->firstLine : 0;
         i < listing->runs; ++i) {
      visit(MemoLine(listing->firstLine + i + 1, runs_[i]));
    }
  }
}

std::uint32_t MakeModel::NameId(std::string_view name) {
  const auto [it, added] =
      nameIds_.try_emplace(std::string(name), static_cast<std::uint32_t>(names_.size()));
  if (added) names_.emplace_back(name);
  return it->second;
}

std::string MakeModel::MemoLine(std::size_t number, const Run& run) const {
  return std::to_string(number) + ": " + names_[run.line] + "-" + names_[run.otherLine] + ": " +
         names_[run.firstStation] + "-" + names_[run.lastStation];
}

}  // namespace trivo

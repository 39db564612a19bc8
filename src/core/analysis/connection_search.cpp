#include "analysis/connection_search.h"

#include <utility>

#include "common/error.h"
#include "common/sy_standard.h"

namespace trivo {

namespace {

void QuickSort(std::vector<SearchCandidate>& list, int lo, int hi) {
  int i = 0;
  do {
    const std::int32_t pivot = list[static_cast<std::size_t>((lo + hi) / 2)].estimate;
    i = lo;
    int j = hi;
    do {
      while (list[static_cast<std::size_t>(i)].estimate < pivot) ++i;
      while (list[static_cast<std::size_t>(j)].estimate > pivot) --j;
      if (i <= j) {
        std::swap(list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (lo < j) QuickSort(list, lo, j);
    lo = i;
  } while (i < hi);
}

std::vector<std::string> SplitAtCommas(std::string_view text) {
  std::vector<std::string> parts;
  SplitString(text, parts, ',');
  return parts;
}

}  // namespace

void SortCandidates(std::vector<SearchCandidate>& candidates) {
  if (candidates.size() > 1) QuickSort(candidates, 0, static_cast<int>(candidates.size()) - 1);
}

bool StationOnPath(std::string_view station, const TreeNode* stationNode) {
  for (const TreeNode* node = stationNode; node != nullptr;) {
    if (node->Text() == station) return true;
    node = node->Parent() ? node->Parent()->Parent() : nullptr;
  }
  return false;
}

bool PathsShareStation(const TreeNode* lineNode, const TreeNode* stationNode) {
  for (const TreeNode* own = lineNode->Parent(); own != nullptr;) {
    if (StationOnPath(own->Text(), stationNode)) return true;
    own = own->Parent() ? own->Parent()->Parent() : nullptr;
  }
  return false;
}

std::string RouteText(const ConnectionCandidate& connection) {
  std::string text;
  for (const TreeNode* node = connection.startNode; node != nullptr; node = node->Parent()) {
    text = node->Text() + "=>" + text;
  }
  for (const TreeNode* node = connection.destinationNode; node != nullptr; node = node->Parent()) {
    text += "=>" + node->Text();
  }
  return text;
}

ConnectionSearch::ConnectionSearch(const Network& network, TreeModel& tvStart, TreeModel& tvZiel,
                                   std::vector<std::string>& mSearchDistances,
                                   FoundConnection found)
    : network_(network),
      trees_{&tvStart, &tvZiel},
      memo_(mSearchDistances),
      found_(std::move(found)) {}

void ConnectionSearch::Start(const std::string& start, const std::string& destination) {
  start_ = start;
  destination_ = destination;
  const std::int32_t estimate = network_.Distance(start, destination);
  candidates_[kStart] = {{estimate, trees_[kStart]->InsertRoot(start)}};
  candidates_[kZiel] = {{estimate, trees_[kZiel]->InsertRoot(destination)}};
  meetingsValid_[kStart] = meetingsValid_[kZiel] = false;
  steps_ = 0;
  ShowCandidates(kStart);
  ShowCandidates(kZiel);
  tieSide_ = kStart;
  lineCounter_ = 0;
}

void ConnectionSearch::Run() {
  while (lineCounter_ < kMaxLineNodes) {
    // A side without candidates has nothing left to meet or expand.
    if (candidates_[kStart].empty() || candidates_[kZiel].empty()) break;
    const std::int32_t start = candidates_[kStart].front().estimate;
    const std::int32_t ziel = candidates_[kZiel].front().estimate;
    const Side side = start < ziel ? kStart : ziel < start ? kZiel : tieSide_;
    tieSide_ = side == kStart ? kZiel : kStart;
    Expand(side);
  }
}

void ConnectionSearch::Expand(Side side) {
  std::vector<SearchCandidate>& candidates = candidates_[side];
  meetingsValid_[side] = false;
  TreeNode* station = candidates.front().node;
  const std::int32_t estimateSoFar = candidates.front().estimate;
  const TreeNode* reachedBy = station->Parent();

  std::vector<std::string> lines =
      SplitAtCommas(network_.TransferStationLines.Value(station->Text()));
  if (lines.empty()) lines.emplace_back(network_.StationLinesList.Value(station->Text()));
  std::vector<TreeNode*> newLines;
  for (std::string& line : lines) {
    if (reachedBy != nullptr && line == reachedBy->Text()) continue;
    Step();
    newLines.push_back(station->AddChild(std::move(line)));
  }
  candidates.erase(candidates.begin());

  const std::string& farEnd = side == kStart ? destination_ : start_;
  for (TreeNode* lineNode : newLines) {
    for (const std::string& nextStation :
         SplitAtCommas(network_.LineTransferStations.Value(lineNode->Text()))) {
      Step();
      const bool reachedEnd = reachedBy != nullptr && nextStation == farEnd;
      if (!reachedEnd) MeetAt(side, station, estimateSoFar, lineNode, nextStation);
      if (StationOnPath(nextStation, station) || nextStation == start_ ||
          nextStation == destination_)
        continue;
      const std::string& stationName = station->Text();
      const std::int32_t estimate =
          side == kStart ? estimateSoFar - network_.Distance(stationName, destination_) +
                               network_.Distance(stationName, nextStation) +
                               network_.Distance(nextStation, destination_) + 1
                         : estimateSoFar - network_.Distance(start_, stationName) +
                               network_.Distance(nextStation, stationName) +
                               network_.Distance(start_, nextStation) + 2;
      Step();
      candidates.push_back({estimate, lineNode->AddChild(nextStation)});
    }
    ++lineCounter_;
  }
  SortCandidates(candidates);
  ShowCandidates(side);
}

void ConnectionSearch::MeetAt(Side side, const TreeNode* station, std::int32_t estimateSoFar,
                              TreeNode* lineNode, const std::string& nextStation) {
  // No candidate of the other side can be taken for a station on the own path.
  if (StationOnPath(nextStation, station)) return;
  const SearchCandidate* found =
      MeetingCandidate(side == kStart ? kZiel : kStart, nextStation, lineNode);
  if (found == nullptr) return;
  const SearchCandidate& other = *found;
  if (PathsShareStation(lineNode, other.node)) return;
  const std::string& stationName = station->Text();
  if (side == kStart) {
    found_({lineNode, other.node,
            estimateSoFar + network_.Distance(stationName, nextStation) + other.estimate -
                network_.Distance(stationName, destination_) -
                network_.Distance(start_, nextStation) + 1});
  } else {
    found_({other.node, lineNode,
            other.estimate + estimateSoFar + network_.Distance(nextStation, stationName) -
                network_.Distance(nextStation, destination_) -
                network_.Distance(start_, stationName) + 1});
  }
}

// The first candidate in list order whose text is the station, skipping those that the other side
// reached on the line node's line: the candidates named so are looked up, not searched.
const SearchCandidate* ConnectionSearch::MeetingCandidate(Side side, const std::string& nextStation,
                                                          const TreeNode* lineNode) {
  const std::vector<SearchCandidate>& candidates = candidates_[side];
  const auto lineOf = [&](std::size_t at) {
    const TreeNode* parent = candidates[at].node->Parent();
    return parent == nullptr ? nullptr : &parent->Text();
  };
  std::unordered_map<std::string_view, Meeting>& meetings = meetings_[side];
  if (!meetingsValid_[side]) {
    meetings.clear();
    for (std::size_t at = 0; at < candidates.size(); ++at) {
      const auto [it, added] =
          meetings.try_emplace(candidates[at].node->Text(), Meeting{at, kNone});
      Meeting& meeting = it->second;
      if (added || meeting.otherLine != kNone) continue;
      const std::string* firstLine = lineOf(meeting.first);
      const std::string* line = lineOf(at);
      if (firstLine != nullptr && (line == nullptr || *line != *firstLine)) meeting.otherLine = at;
    }
    meetingsValid_[side] = true;
  }
  const auto it = meetings.find(nextStation);
  if (it == meetings.end()) return nullptr;
  const Meeting& meeting = it->second;
  const std::string* firstLine = lineOf(meeting.first);
  if (firstLine == nullptr || *firstLine != lineNode->Text()) return &candidates[meeting.first];
  return meeting.otherLine == kNone ? nullptr : &candidates[meeting.otherLine];
}

void ConnectionSearch::Step() {
  if (++steps_ > kMaxSteps) {
    throw Error("Die Abfrage bricht ab: das Netz ergibt mehr als " + std::to_string(kMaxSteps) +
                " Suchschritte");
  }
}

void ConnectionSearch::ShowCandidates(Side side) {
  memo_.push_back(side == kStart ? "[START]" : "[ZIEL]");
  for (const SearchCandidate& candidate : candidates_[side]) {
    Step();
    memo_.push_back(candidate.node->Text() + " => " + std::to_string(candidate.estimate));
  }
}

}  // namespace trivo

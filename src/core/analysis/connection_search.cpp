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

void ConnectionSearch::Start(const std::string& S, const std::string& Z) {
  S_ = S;
  Z_ = Z;
  const std::int32_t estimate = network_.Distance(S, Z);
  candidates_[kStart] = {{estimate, trees_[kStart]->InsertRoot(S)}};
  candidates_[kZiel] = {{estimate, trees_[kZiel]->InsertRoot(Z)}};
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
  TreeNode* X = candidates.front().node;
  const std::int32_t g = candidates.front().estimate;
  const TreeNode* reachedBy = X->Parent();

  std::vector<std::string> lines = SplitAtCommas(network_.TransferStationLines.Value(X->Text()));
  if (lines.empty()) lines.emplace_back(network_.StationLinesList.Value(X->Text()));
  std::vector<TreeNode*> newLines;
  for (std::string& line : lines) {
    if (reachedBy != nullptr && line == reachedBy->Text()) continue;
    Step();
    newLines.push_back(X->AddChild(std::move(line)));
  }
  candidates.erase(candidates.begin());

  const std::string& farEnd = side == kStart ? Z_ : S_;
  for (TreeNode* N : newLines) {
    for (const std::string& M : SplitAtCommas(network_.LineTransferStations.Value(N->Text()))) {
      Step();
      const bool reachedEnd = reachedBy != nullptr && M == farEnd;
      if (!reachedEnd) MeetAt(side, X, g, N, M);
      if (StationOnPath(M, X) || M == S_ || M == Z_) continue;
      const std::string& x = X->Text();
      const std::int32_t estimate = side == kStart
                                        ? g - network_.Distance(x, Z_) + network_.Distance(x, M) +
                                              network_.Distance(M, Z_) + 1
                                        : g - network_.Distance(S_, x) + network_.Distance(M, x) +
                                              network_.Distance(S_, M) + 2;
      Step();
      candidates.push_back({estimate, N->AddChild(M)});
    }
    ++lineCounter_;
  }
  SortCandidates(candidates);
  ShowCandidates(side);
}

void ConnectionSearch::MeetAt(Side side, const TreeNode* X, std::int32_t g, TreeNode* N,
                              const std::string& M) {
  // No candidate of the other side can be taken for a station on the own path.
  if (StationOnPath(M, X)) return;
  const SearchCandidate* found = MeetingCandidate(side == kStart ? kZiel : kStart, M, N);
  if (found == nullptr) return;
  const SearchCandidate& C = *found;
  if (PathsShareStation(N, C.node)) return;
  const std::string& x = X->Text();
  if (side == kStart) {
    found_({N, C.node,
            g + network_.Distance(x, M) + C.estimate - network_.Distance(x, Z_) -
                network_.Distance(S_, M) + 1});
  } else {
    found_({C.node, N,
            C.estimate + g + network_.Distance(M, x) - network_.Distance(M, Z_) -
                network_.Distance(S_, x) + 1});
  }
}

// The first candidate in list order whose text is M, skipping those that the other side
// reached on N's line: the candidates named M are looked up, not searched.
const SearchCandidate* ConnectionSearch::MeetingCandidate(Side side, const std::string& M,
                                                          const TreeNode* N) {
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
  const auto it = meetings.find(M);
  if (it == meetings.end()) return nullptr;
  const Meeting& meeting = it->second;
  const std::string* firstLine = lineOf(meeting.first);
  if (firstLine == nullptr || *firstLine != N->Text()) return &candidates[meeting.first];
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

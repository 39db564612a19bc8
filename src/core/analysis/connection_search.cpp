#include "analysis/connection_search.h"

#include <utility>

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
  TreeNode* X = candidates.front().node;
  const std::int32_t g = candidates.front().estimate;
  const TreeNode* reachedBy = X->Parent();

  std::vector<std::string> lines = SplitAtCommas(network_.TransferStationLines.Value(X->Text()));
  if (lines.empty()) lines.emplace_back(network_.StationLinesList.Value(X->Text()));
  std::vector<TreeNode*> newLines;
  for (std::string& line : lines) {
    if (reachedBy != nullptr && line == reachedBy->Text()) continue;
    newLines.push_back(X->AddChild(std::move(line)));
  }
  candidates.erase(candidates.begin());

  const std::string& farEnd = side == kStart ? Z_ : S_;
  for (TreeNode* N : newLines) {
    for (const std::string& M : SplitAtCommas(network_.LineTransferStations.Value(N->Text()))) {
      const bool reachedEnd = reachedBy != nullptr && M == farEnd;
      if (!reachedEnd) MeetAt(side, X, g, N, M);
      if (StationOnPath(M, X) || M == S_ || M == Z_) continue;
      const std::string& x = X->Text();
      const std::int32_t estimate = side == kStart
                                        ? g - network_.Distance(x, Z_) + network_.Distance(x, M) +
                                              network_.Distance(M, Z_) + 1
                                        : g - network_.Distance(S_, x) + network_.Distance(M, x) +
                                              network_.Distance(S_, M) + 2;
      candidates.push_back({estimate, N->AddChild(M)});
    }
    ++lineCounter_;
  }
  SortCandidates(candidates);
  ShowCandidates(side);
}

void ConnectionSearch::MeetAt(Side side, const TreeNode* X, std::int32_t g, TreeNode* N,
                              const std::string& M) {
  const std::string& x = X->Text();
  for (const SearchCandidate& C : candidates_[side == kStart ? kZiel : kStart]) {
    if (C.node->Text() != M) continue;
    if (StationOnPath(M, X)) continue;
    // The other side came to M on the same line.
    if (C.node->Parent() != nullptr && C.node->Parent()->Text() == N->Text()) continue;
    if (PathsShareStation(N, C.node)) return;
    if (side == kStart) {
      found_({N, C.node,
              g + network_.Distance(x, M) + C.estimate - network_.Distance(x, Z_) -
                  network_.Distance(S_, M) + 1});
    } else {
      found_({C.node, N,
              C.estimate + g + network_.Distance(M, x) - network_.Distance(M, Z_) -
                  network_.Distance(S_, x) + 1});
    }
    return;
  }
}

void ConnectionSearch::ShowCandidates(Side side) {
  memo_.push_back(side == kStart ? "[START]" : "[ZIEL]");
  for (const SearchCandidate& candidate : candidates_[side]) {
    memo_.push_back(candidate.node->Text() + " => " + std::to_string(candidate.estimate));
  }
}

}  // namespace trivo

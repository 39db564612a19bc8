#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/network.h"
#include "analysis/tree_model.h"

namespace trivo {

// A station node of a search tree not yet expanded, with the estimated minutes of a route
// through it plus the line changes so far.
struct SearchCandidate {
  std::int32_t estimate;
  TreeNode* node;
};

// A route found: from the start root down to startNode, then from destinationNode up to
// the destination root. One of the two is a line node, the other the station node where
// the two searches meet.
struct ConnectionCandidate {
  TreeNode* startNode;
  TreeNode* destinationNode;
  std::int32_t estimate;
};

// Sorts by ascending estimate with the quicksort that fixes the order of equal estimates:
// pivot in the middle, Hoare partition, the lower part sorted first.
void SortCandidates(std::vector<SearchCandidate>& candidates);

// Whether the station node or a station node above it (two levels up each time) has the
// text station.
bool StationOnPath(std::string_view station, const TreeNode* stationNode);
// Whether a station above the line node and a station on the path of the other tree's
// station node have the same text.
bool PathsShareStation(const TreeNode* lineNode, const TreeNode* stationNode);

// The route text of Memo1: "A=>L1=>=>C=>L2=>Z".
std::string RouteText(const ConnectionCandidate& connection);

// The search of one press of "Abfrage starten" from the start and the destination station:
// a tree grows from each, always on the side whose best candidate has the lower estimate,
// until 10 line nodes were processed or a side has no candidate left. Every connection
// found is passed to found at once.
//
// Lists of absurd length (a station with thousands of lines, most of them repeated) would
// make the search grow without end: a search takes at most kMaxSteps steps (a station of
// a line looked at, a node added, a candidate shown) and then ends with a message saying
// so. A real network needs a few thousand.
class ConnectionSearch {
 public:
  using FoundConnection = std::function<void(const ConnectionCandidate&)>;

  ConnectionSearch(const Network& network, TreeModel& tvStart, TreeModel& tvZiel,
                   std::vector<std::string>& mSearchDistances, FoundConnection found);

  static constexpr int kMaxLineNodes = 10;
  static constexpr std::size_t kMaxSteps = 2'000'000;

  // Inserts the roots start and destination at the top of the trees and writes the starting
  // candidate lists to mSearchDistances (which the caller empties first).
  void Start(const std::string& start, const std::string& destination);
  // Expands until the search is over.
  void Run();

 private:
  enum Side { kStart = 0, kZiel = 1 };

  // Where the candidates of a side with one station's text stand in its list: the first
  // one, and the first after it that was reached by another line (or is a root).
  struct Meeting {
    std::size_t first;
    std::size_t otherLine;
  };
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  void Expand(Side side);
  // Reports a connection where the other side's candidates hold nextStation, reached from
  // station over lineNode.
  void MeetAt(Side side, const TreeNode* station, std::int32_t estimateSoFar, TreeNode* lineNode,
              const std::string& nextStation);
  // The first candidate of side named station that lineNode's line did not reach, or null.
  const SearchCandidate* MeetingCandidate(Side side, const std::string& station,
                                          const TreeNode* lineNode);
  void ShowCandidates(Side side);
  // Counts a step; fails once the search has taken more than kMaxSteps.
  void Step();

  const Network& network_;
  TreeModel* trees_[2];
  std::vector<std::string>& memo_;
  FoundConnection found_;
  std::string start_;
  std::string destination_;
  std::vector<SearchCandidate> candidates_[2];
  // Per side, by station text; rebuilt after the side's list changed.
  std::unordered_map<std::string_view, Meeting> meetings_[2];
  bool meetingsValid_[2] = {false, false};
  std::size_t steps_ = 0;
  Side tieSide_ = kStart;
  int lineCounter_ = 0;
};

}  // namespace trivo

#include "gtfs/course_merge.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <unordered_set>

namespace trivo::gtfs {

namespace {

// The longest common subsequence of a and b as pairs of positions (ascending).
std::vector<std::pair<std::size_t, std::size_t>> CommonSubsequence(const StationRun& a,
                                                                   const StationRun& b) {
  const std::size_t n = a.size();
  const std::size_t m = b.size();
  // length[i][j]: the longest common subsequence of a[i..] and b[j..].
  std::vector<std::uint32_t> length((n + 1) * (m + 1), 0);
  const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& {
    return length[i * (m + 1) + j];
  };
  for (std::size_t i = n; i-- > 0;) {
    for (std::size_t j = m; j-- > 0;) {
      at(i, j) = a[i] == b[j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    }
  }
  std::vector<std::pair<std::size_t, std::size_t>> pairs;
  for (std::size_t i = 0, j = 0; i < n && j < m;) {
    if (a[i] == b[j]) {
      pairs.emplace_back(i++, j++);
    } else if (at(i + 1, j) >= at(i, j + 1)) {
      ++i;
    } else {
      ++j;
    }
  }
  return pairs;
}

// The common supersequence of course and run, or nothing when it would visit a station of
// the course again or a new station twice.
std::optional<StationRun> Merge(const StationRun& course, const StationRun& run) {
  if (!SubsequencePositions(course, run).empty() || run.empty()) return course;
  const auto pairs = CommonSubsequence(course, run);
  const std::unordered_set<std::uint32_t> known(course.begin(), course.end());
  std::vector<bool> matched(run.size(), false);
  for (const auto& pair : pairs) matched[pair.second] = true;
  std::unordered_set<std::uint32_t> added;
  for (std::size_t j = 0; j < run.size(); ++j) {
    if (matched[j]) continue;
    if (known.count(run[j]) != 0 || !added.insert(run[j]).second) return std::nullopt;
  }
  StationRun merged;
  merged.reserve(course.size() + run.size() - pairs.size());
  std::size_t i = 0;
  std::size_t j = 0;
  const auto gap = [&](std::size_t courseEnd, std::size_t runEnd) {
    while (i < courseEnd) merged.push_back(course[i++]);
    while (j < runEnd) merged.push_back(run[j++]);
  };
  for (const auto& [ci, rj] : pairs) {
    gap(ci, rj);
    merged.push_back(course[i++]);
    ++j;
  }
  gap(course.size(), run.size());
  return merged;
}

StationRun Reversed(const StationRun& run) {
  return StationRun(run.rbegin(), run.rend());
}

}  // namespace

std::vector<std::size_t> SubsequencePositions(const StationRun& course, const StationRun& run) {
  std::vector<std::size_t> positions;
  positions.reserve(run.size());
  std::size_t i = 0;
  for (const std::uint32_t station : run) {
    while (i < course.size() && course[i] != station) ++i;
    if (i == course.size()) return {};
    positions.push_back(i++);
  }
  return positions;
}

CourseMerge MergeCourses(const std::vector<Pattern>& patterns, std::size_t maxCourses) {
  CourseMerge result;
  result.placements.resize(patterns.size());
  std::vector<std::size_t> order(patterns.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (patterns[a].trips != patterns[b].trips) return patterns[a].trips > patterns[b].trips;
    return patterns[a].stations.size() > patterns[b].stations.size();
  });

  for (const std::size_t index : order) {
    const Pattern& pattern = patterns[index];
    const StationRun backward = Reversed(pattern.stations);
    Placement& placement = result.placements[index];
    for (std::size_t c = 0; c < result.courses.size() && placement.course < 0; ++c) {
      StationRun& course = result.courses[c];
      // The ways to try, the better overlapping first when the direction is unknown.
      std::vector<bool> ways;
      if (pattern.direction == Pattern::Direction::Forward) {
        ways = {false};
      } else if (pattern.direction == Pattern::Direction::Backward) {
        ways = {true};
      } else {
        const bool backwardFirst = CommonSubsequence(course, backward).size() >
                                   CommonSubsequence(course, pattern.stations).size();
        ways = {backwardFirst, !backwardFirst};
      }
      for (const bool reversed : ways) {
        if (auto merged = Merge(course, reversed ? backward : pattern.stations)) {
          course = std::move(*merged);
          placement = {static_cast<int>(c), reversed};
          break;
        }
      }
    }
    if (placement.course >= 0 || result.courses.size() >= maxCourses) continue;
    const bool reversed = pattern.direction == Pattern::Direction::Backward;
    result.courses.push_back(reversed ? backward : pattern.stations);
    placement = {static_cast<int>(result.courses.size() - 1), reversed};
  }
  return result;
}

}  // namespace trivo::gtfs

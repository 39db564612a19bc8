#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace trivo::gtfs {

// A run of stations, by number.
using StationRun = std::vector<std::uint32_t>;

// The stop pattern of trips of one route: the stations in the order the trips run them.
struct Pattern {
  StationRun stations;
  std::size_t trips = 0;  // how many trips run it: patterns of more trips are placed first
  enum class Direction { Forward, Backward, Unknown };
  // Forward: in course order (GTFS direction 0); Backward: against it (direction 1);
  // Unknown: the way that overlaps most with the course it joins.
  Direction direction = Direction::Unknown;
};

// Where a pattern went.
struct Placement {
  int course = -1;        // the course it is part of; -1: left out (no course could take it)
  bool reversed = false;  // it runs against the course's order (the line's direction 2)
};

struct CourseMerge {
  // The courses in the order they were opened: one station order per line, each holding
  // every pattern placed on it as a subsequence (reversed ones reversed).
  std::vector<StationRun> courses;
  std::vector<Placement> placements;  // per pattern, in input order
};

// Merges the patterns of a route into as few courses as it can, at most maxCourses.
// Patterns are taken by number of trips (then length, then input order); each joins the
// first course that can take it, else opens a new one. A course takes a pattern when the
// two have a common supersequence that adds no station of the course a second time: the
// pattern's stations that the course has must come in the course's order (the longest
// common subsequence holds all of them), the others are new to the course. Where both
// have stations the other lacks between two common ones, the course's come first: the
// order of the patterns of more trips wins. A pattern that visits a station twice (a loop)
// therefore fits only a course that already visits it as often, or opens a course of its
// own.
CourseMerge MergeCourses(const std::vector<Pattern>& patterns, std::size_t maxCourses);

// The positions in course of the stations of run, matched from the left; empty when run
// is not a subsequence of course.
std::vector<std::size_t> SubsequencePositions(const StationRun& course, const StationRun& run);

}  // namespace trivo::gtfs

#include "analysis/distance_file.h"

#include <cstdint>
#include <string>

#include "common/comma_list.h"
#include "common/strings.h"

namespace trivo {

namespace {

// The value read without its enclosing quotes, with them put back: the chain's list.
std::vector<std::string> SplitQuotedValue(const std::string& value) {
  return SplitCommaList("\"" + value + "\"");
}

// Returns false when negative minutes were left out.
bool EnterChain(const std::vector<std::string>& items, const StationNames& stations,
                MinuteMatrix& matrix, std::vector<DistanceEdge>& edges) {
  const std::size_t count = items.size();
  if (count < 3) return true;
  std::vector<int> station(count, -1);
  for (std::size_t i = 0; i < count; i += 2) station[i] = stations.IndexOf(items[i]);
  std::vector<std::int32_t> minutes(count, 0);
  bool complete = true;

  for (std::size_t i = 0; i + 3 <= count; i += 2) {
    const int from = station[i];
    std::int64_t sum = 0;
    std::int32_t last = 0;
    bool acrossNegative = false;
    for (std::size_t j = i + 1; j < count; ++j) {
      if (j % 2 == 1) {
        // The walk from the first station reads every minute item in order.
        if (i == 0) minutes[j] = StrToInt(items[j]);
        last = minutes[j];
        if (last < 0) {
          acrossNegative = true;
          complete = false;
        }
        continue;
      }
      sum += last;
      if (!acrossNegative && from >= 0 && station[j] >= 0) {
        matrix.Lower(static_cast<std::size_t>(from), static_cast<std::size_t>(station[j]), sum);
      }
    }
  }

  // The stretches between neighbouring known stations.
  int previous = station[0];
  std::int64_t stretch = 0;
  for (std::size_t j = 2; j < count; j += 2) {
    if (minutes[j - 1] < 0) {
      previous = -1;
      stretch = 0;
    } else {
      stretch += minutes[j - 1];
    }
    if (station[j] < 0) continue;
    if (previous >= 0 && stretch < NoDistance) {
      edges.push_back({static_cast<std::uint32_t>(previous), static_cast<std::uint32_t>(station[j]),
                       static_cast<std::int32_t>(stretch)});
    }
    previous = station[j];
    stretch = 0;
  }
  return complete;
}

// Returns false when negative minutes were left out.
bool EnterTriples(const std::vector<std::string>& items, const StationNames& stations,
                  MinuteMatrix& matrix, std::vector<DistanceEdge>& edges) {
  bool complete = true;
  for (std::size_t t = 0; t + 3 <= items.size(); t += 3) {
    const int from = stations.IndexOf(items[t]);
    const int to = stations.IndexOf(items[t + 1]);
    const std::int32_t minutes = StrToInt(items[t + 2]);
    if (minutes < 0) {
      complete = false;
      continue;
    }
    if (from < 0 || to < 0) continue;
    matrix.Lower(static_cast<std::size_t>(from), static_cast<std::size_t>(to), minutes);
    edges.push_back({static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to), minutes});
  }
  return complete;
}

}  // namespace

bool EnterDistanceFile(const IniFile& file, const StationNames& stations, MinuteMatrix& matrix,
                       std::vector<DistanceEdge>& edges) {
  bool complete = true;
  for (const std::string& section : file.ReadSections()) {
    const std::string chain = file.ReadString(section, "distance1", "");
    if (!chain.empty()) {
      complete &= EnterChain(SplitQuotedValue(chain), stations, matrix, edges);
    }
    const std::string triples = file.ReadString(section, "distance2", "");
    if (!triples.empty()) {
      complete &= EnterTriples(SplitCommaList(triples), stations, matrix, edges);
    }
  }
  return complete;
}

}  // namespace trivo

#include "analysis/distance_matrix.h"

#include <algorithm>

namespace trivo {

void CloseDistances(MinuteMatrix& matrix, const std::vector<DistanceEdge>& edges) {
  const std::size_t n = matrix.Size();
  // The edges by their start station (compressed rows); an edge of NoDistance minutes or
  // more can never be part of a chain shorter than NoDistance.
  const auto usable = [](const DistanceEdge& edge) {
    return edge.minutes >= 0 && edge.minutes < NoDistance;
  };
  std::vector<std::uint32_t> firstEdge(n + 1, 0);
  for (const DistanceEdge& edge : edges) {
    if (usable(edge)) ++firstEdge[edge.from + 1];
  }
  for (std::size_t i = 0; i < n; ++i) firstEdge[i + 1] += firstEdge[i];
  std::vector<std::uint32_t> edgeTo(firstEdge[n]);
  std::vector<std::int32_t> edgeMinutes(firstEdge[n]);
  std::vector<std::uint32_t> fill(firstEdge.begin(), firstEdge.end() - 1);
  for (const DistanceEdge& edge : edges) {
    if (!usable(edge)) continue;
    const std::uint32_t at = fill[edge.from]++;
    edgeTo[at] = edge.to;
    edgeMinutes[at] = edge.minutes;
  }

  // Distances are whole minutes below NoDistance, so a bucket per minute orders the
  // stations without a heap.
  std::vector<std::int32_t> shortest(n);
  std::vector<std::vector<std::uint32_t>> buckets(NoDistance);
  for (std::size_t source = 0; source < n; ++source) {
    std::fill(shortest.begin(), shortest.end(), NoDistance);
    shortest[source] = 0;
    buckets[0].push_back(static_cast<std::uint32_t>(source));
    std::size_t pending = 1;
    for (std::int32_t minutes = 0; minutes < NoDistance && pending > 0; ++minutes) {
      std::vector<std::uint32_t>& bucket = buckets[minutes];
      // Edges of 0 minutes add to the bucket being worked through.
      for (std::size_t b = 0; b < bucket.size(); ++b) {
        const std::uint32_t station = bucket[b];
        --pending;
        if (shortest[station] != minutes) continue;  // reached faster meanwhile
        for (std::uint32_t e = firstEdge[station]; e < firstEdge[station + 1]; ++e) {
          const std::int32_t reach = minutes + edgeMinutes[e];
          if (reach >= shortest[edgeTo[e]]) continue;
          shortest[edgeTo[e]] = reach;
          buckets[reach].push_back(edgeTo[e]);
          ++pending;
        }
      }
      bucket.clear();
    }
    for (std::size_t to = 0; to < n; ++to) {
      if (to != source) matrix.Lower(source, to, shortest[to]);
    }
  }
}

void CloseDistancesByPasses(MinuteMatrix& matrix) {
  const std::size_t n = matrix.Size();
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t k = 0; k < n; ++k) {
      for (std::size_t i = 0; i < n; ++i) {
        if (i == k) continue;
        for (std::size_t j = 0; j < n; ++j) {
          if (j == k || j == i) continue;
          const std::int64_t sum = std::int64_t{matrix.At(k, j)} + matrix.At(j, i);
          if (sum < matrix.At(k, i)) {
            matrix.Set(k, i, static_cast<std::int32_t>(sum));
            changed = true;
          }
        }
      }
    }
  }
}

}  // namespace trivo

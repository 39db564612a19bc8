#pragma once

#include <cstdint>

namespace trivo {

// A travel time that was not measured, or a connection that does not exist:
// distances.csv writes it where no trip runs a stretch, the distance matrix holds it
// where no chain of stretches joins two stations.
inline constexpr std::int32_t NoDistance = 9999;

}  // namespace trivo

#pragma once

#include <vector>

#include "analysis/distance_matrix.h"
#include "analysis/station_names.h"
#include "common/ini_file.h"

namespace trivo {

// Enters the travel times of distances.csv into the matrix, section by section in file
// order; a cell only ever gets fewer minutes.
// - "distance1", a station chain "A",3,"B",4,"C": every station gets the summed minutes
//   to every later station of the chain, in the chain's direction only.
// - "distance2", triples of from-station, to-station and minutes.
// Every stretch entered is also appended to edges (between neighbouring known stations of
// a chain, with the minutes of unknown stations between them summed), from which
// CloseDistances completes the matrix.
// A station that is not in the list sets no cell (a chain's sum runs on past it) and a
// triple naming one is left out. Negative minutes, possible only in a file edited by
// hand, are left out with every cell whose chain runs across them; the result is then
// false. Minutes that are not integer text fail with "'%s' ist kein gueltiger
// Integerwert", leaving the cells entered so far.
bool EnterDistanceFile(const IniFile& file, const StationNames& stations, MinuteMatrix& matrix,
                       std::vector<DistanceEdge>& edges);

}  // namespace trivo

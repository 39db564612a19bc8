#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "analysis/distance_grid.h"
#include "analysis/distance_matrix.h"
#include "analysis/station_names.h"
#include "common/name_value_list.h"
#include "project/context.h"

namespace trivo {

// What the connection query loads each time its window is shown: the stations, the
// courses of the lines, the lines at each station, the shortest travel times between all
// stations and the two maps of transfer stations.
struct Network {
  StationNames StationList;            // stations.csv
  NameValueList LineStationsList;      // line_stations.csv: <line>=<station>,<station>,...
  NameValueList StationLinesList;      // station_lines.csv: <station>=<line>,<line>,...
  MinuteMatrix DistanceMatrix;         // by positions in StationList
  NameValueList TransferStationLines;  // <transfer station>=<line>,<line>,...
  NameValueList LineTransferStations;  // <line>=<transfer station>,<transfer station>,...

  // The matrix cell from the station named from to the station named to (letter case
  // ignored); NoDistance when either names no station.
  std::int32_t Distance(std::string_view from, std::string_view to) const;
};

// Replaces LineStationsList, StationLinesList and StationList, in this order, by the
// lines of line_stations.csv, station_lines.csv and stations.csv. A file that cannot be
// read fails with "Datei %s kann nicht geoeffnet werden. %s"; the lists read before it
// stay replaced.
void LoadNetworkFiles(const Context& ctx, Network& network);

// The most stations a distance matrix is made for: far above any real network, and a
// bound on its memory (a cell per pair of stations).
inline constexpr std::size_t kMaxMatrixStations = 8000;

// Makes DistanceMatrix one row and column per station, enters distances.csv (see
// EnterDistanceFile), sets diagonal cells without an entry to 0, completes every other
// cell with the shortest chain of entries (NoDistance where there is none below it) and
// shows the result in StringGrid1. False when entries with negative minutes were left
// out. Minutes that are not integer text fail with "'%s' ist kein gueltiger Integerwert"
// before anything is shown; more than kMaxMatrixStations stations fail, before any
// memory is taken, with the message naming their number.
bool BuildDistanceMatrix(const Context& ctx, Network& network, DistanceGrid& StringGrid1);

// Builds TransferStationLines and LineTransferStations: every station that
// station_lines.csv lists with more than one line, and every station that a section of
// distances.csv names under "newcross" for the section's line.
void BuildTransferMaps(const Context& ctx, Network& network);

}  // namespace trivo

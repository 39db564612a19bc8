#include "analysis/network.h"

#include <string>
#include <vector>

#include "analysis/distance_file.h"
#include "common/comma_list.h"
#include "common/ini_file.h"
#include "common/name_value.h"
#include "common/sy_standard.h"
#include "common/text_file.h"

namespace trivo {

namespace {

constexpr std::string_view kDistanceFile = "distances.csv";

std::vector<std::string> ReadProjectLines(const Context& ctx, std::string_view name) {
  const auto path = ctx.ProjectFile(name);
  return ReadTextLines(path, path.string());
}

// Appends "," and item to the map's value of name unless the value lists it already
// (parts split at commas); a name without a value gets item alone.
void AddToList(NameValueList& map, std::string_view name, std::string_view item) {
  const std::string value(map.Value(name));
  std::vector<std::string> parts;
  if (SplitString(value, parts, ',') == 0) {
    map.SetValue(name, item);
  } else if (IndexOfString(parts, item) < 0) {
    map.SetValue(name, value + "," + std::string(item));
  }
}

}  // namespace

std::int32_t Network::Distance(std::string_view from, std::string_view to) const {
  const int a = StationList.IndexOf(from);
  const int b = StationList.IndexOf(to);
  if (a < 0 || b < 0) return NoDistance;
  return DistanceMatrix.At(static_cast<std::size_t>(a), static_cast<std::size_t>(b));
}

void LoadNetworkFiles(const Context& ctx, Network& network) {
  network.LineStationsList = NameValueList(ReadProjectLines(ctx, "line_stations.csv"));
  network.StationLinesList = NameValueList(ReadProjectLines(ctx, "station_lines.csv"));
  network.StationList = StationNames(ReadProjectLines(ctx, "stations.csv"));
}

bool BuildDistanceMatrix(const Context& ctx, Network& network, DistanceGrid& StringGrid1) {
  const std::size_t n = network.StationList.Count();
  MinuteMatrix& matrix = network.DistanceMatrix;
  matrix = MinuteMatrix(n);
  std::vector<DistanceEdge> edges;
  const bool complete = EnterDistanceFile(IniFile(ctx.ProjectFile(kDistanceFile)),
                                          network.StationList, matrix, edges);
  for (std::size_t i = 0; i < n; ++i) {
    if (matrix.At(i, i) == NoDistance) matrix.Set(i, i, 0);
  }
  CloseDistances(matrix, edges);
  StringGrid1 = DistanceGrid(network.StationList.Names(), matrix);
  return complete;
}

void BuildTransferMaps(const Context& ctx, Network& network) {
  network.TransferStationLines.Clear();
  network.LineTransferStations.Clear();
  for (const std::string& entry : network.StationLinesList.Lines()) {
    const std::string_view value = ValueOf(entry);
    const std::vector<std::string> lines = SplitCommaList(value);
    if (lines.size() <= 1) continue;
    const std::string_view station = NameOf(entry);
    network.TransferStationLines.SetValue(station, value);
    for (const std::string& line : lines) {
      const std::string_view stations = network.LineTransferStations.Value(line);
      network.LineTransferStations.SetValue(
          line, stations.empty() ? std::string(station)
                                 : std::string(stations) + "," + std::string(station));
    }
  }

  const IniFile file(ctx.ProjectFile(kDistanceFile));
  for (const std::string& section : file.ReadSections()) {
    const std::size_t underscore = section.find('_');
    if (underscore == std::string::npos) continue;
    const std::string_view line = std::string_view(section).substr(0, underscore);
    const std::string newcross = file.ReadString(section, "newcross", "");
    if (newcross.empty()) continue;
    for (const std::string& station : SplitCommaList("\"" + newcross + "\"")) {
      AddToList(network.TransferStationLines, station, line);
      AddToList(network.LineTransferStations, line, station);
    }
  }
}

}  // namespace trivo

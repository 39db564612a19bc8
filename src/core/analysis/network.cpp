#include "analysis/network.h"

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "analysis/distance_file.h"
#include "common/comma_list.h"
#include "common/error.h"
#include "common/ini_file.h"
#include "common/name_value.h"
#include "common/strings.h"
#include "common/text_file.h"

namespace trivo {

namespace {

constexpr std::string_view kDistanceFile = "distances.csv";

std::vector<std::string> ReadProjectLines(const Context& ctx, std::string_view name) {
  const auto path = ctx.ProjectFile(name);
  return ReadTextLines(path, path.string());
}

// A map of comma-separated lists that grows in time linear in what is added, as the
// transfer maps are built: appending copies only the new item, and whether a list holds
// an item already is looked up among its parts (the value split at commas), which are
// collected once the first such question is asked.
class ListMap {
 public:
  // The value of name becomes value.
  void Set(std::string_view name, std::string_view value) {
    Entry& entry = At(name);
    entry.value = value;
    entry.parts.reset();
  }
  // Appends "," and item to the value of name, or makes item the value when that is
  // empty.
  void Append(std::string_view name, std::string_view item) {
    Entry& entry = At(name);
    if (entry.value.empty()) return Set(name, item);
    if (entry.parts) {
      if (entry.value.back() == ',') AddPart(*entry.parts, {});  // no longer the final part
      AddParts(*entry.parts, item);
    }
    entry.value += ',';
    entry.value += item;
  }
  // Appends item unless the parts of the value hold it already.
  void AddOnce(std::string_view name, std::string_view item) {
    const auto found = index_.find(LowerCaseCp1252(name));
    if (found != index_.end()) {
      Entry& entry = entries_[found->second];
      if (!entry.value.empty()) {
        if (!entry.parts) AddParts(entry.parts.emplace(), entry.value);
        if (entry.parts->find(item) != entry.parts->end()) return;
      }
    }
    Append(name, item);
  }
  // The map as a name=value list, in the order the names were first set.
  NameValueList ToList() const {
    NameValueList list;
    for (const Entry& entry : entries_) list.SetValue(entry.name, entry.value);
    return list;
  }

 private:
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  using Parts = std::unordered_set<std::string, TextHash, std::equal_to<>>;
  struct Entry {
    std::string name;  // as last set
    std::string value;
    std::optional<Parts> parts;  // the pieces SplitString gives for value at commas
  };

  // The entry of name (letter case ignored), made when missing; it takes this spelling.
  Entry& At(std::string_view name) {
    const auto [it, added] = index_.try_emplace(LowerCaseCp1252(name), entries_.size());
    if (added) entries_.emplace_back();
    Entry& entry = entries_[it->second];
    entry.name = name;
    return entry;
  }
  static void AddPart(Parts& parts, std::string_view part) {
    if (parts.find(part) == parts.end()) parts.emplace(part);
  }
  // The pieces SplitString gives for text at commas.
  static void AddParts(Parts& parts, std::string_view text) {
    for (std::size_t comma = text.find(','); comma != std::string_view::npos;
         comma = text.find(',')) {
      AddPart(parts, text.substr(0, comma));
      text.remove_prefix(comma + 1);
    }
    if (!text.empty()) AddPart(parts, text);
  }

  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::size_t> index_;  // lower-case name -> entry
};

}  // namespace

std::int32_t Network::Distance(std::string_view from, std::string_view to) const {
  const int a = StationList.IndexOf(from);
  const int b = StationList.IndexOf(to);
  // A matrix that was not made for this station list has no cell for it.
  const std::size_t size = DistanceMatrix.Size();
  if (a < 0 || b < 0 || static_cast<std::size_t>(a) >= size ||
      static_cast<std::size_t>(b) >= size) {
    return NoDistance;
  }
  return DistanceMatrix.At(static_cast<std::size_t>(a), static_cast<std::size_t>(b));
}

void LoadNetworkFiles(const Context& ctx, Network& network) {
  network.LineStationsList = NameValueList(ReadProjectLines(ctx, "line_stations.csv"));
  network.StationLinesList = NameValueList(ReadProjectLines(ctx, "station_lines.csv"));
  network.StationList = StationNames(ReadProjectLines(ctx, "stations.csv"));
}

bool BuildDistanceMatrix(const Context& ctx, Network& network, DistanceGrid& StringGrid1) {
  const std::size_t n = network.StationList.Count();
  if (n > kMaxMatrixStations) {
    throw Error("Zu viele Stationen für die Entfernungsmatrix: " + std::to_string(n) +
                " (höchstens " + std::to_string(kMaxMatrixStations) + ")");
  }
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
  ListMap transferStationLines;
  ListMap lineTransferStations;
  for (const std::string& entry : network.StationLinesList.Lines()) {
    const std::string_view value = ValueOf(entry);
    const std::vector<std::string> lines = SplitCommaList(value);
    if (lines.size() <= 1) continue;
    const std::string_view station = NameOf(entry);
    transferStationLines.Set(station, value);
    for (const std::string& line : lines) lineTransferStations.Append(line, station);
  }

  const IniFile file(ctx.ProjectFile(kDistanceFile));
  for (const std::string& section : file.ReadSections()) {
    const std::size_t underscore = section.find('_');
    if (underscore == std::string::npos) continue;
    const std::string_view line = std::string_view(section).substr(0, underscore);
    const std::string newcross = file.ReadString(section, "newcross", "");
    if (newcross.empty()) continue;
    for (const std::string& station : SplitCommaList("\"" + newcross + "\"")) {
      transferStationLines.AddOnce(station, line);
      lineTransferStations.AddOnce(line, station);
    }
  }
  network.TransferStationLines = transferStationLines.ToList();
  network.LineTransferStations = lineTransferStations.ToList();
}

}  // namespace trivo

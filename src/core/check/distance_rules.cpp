// The project check's rules for distances.csv, as the connection query reads it.

#include <unordered_set>

#include "analysis/station_names.h"
#include "check/project_check.h"
#include "common/comma_list.h"
#include "common/strings.h"

namespace trivo {

namespace {

struct DistanceValue {
  const char* key;
  bool quotedList;     // read without its enclosing quotes, which the reader puts back
  std::size_t stride;  // items per entry
  std::size_t stationsPerEntry;
};

constexpr DistanceValue kValues[] = {
    {"distance1", true, 2, 1},
    {"distance2", false, 3, 2},
    {"newcross", true, 1, 1},
};

}  // namespace

void CheckDistances(const CheckedProject& project, CheckReport& report) {
  if (!project.distanceFile) return;
  const IniFile& file = *project.distanceFile;
  const std::string& name = project.distances.name;
  const StationNames stations(project.stations.lines);
  std::unordered_set<std::string> lines;
  for (const CheckedLine& line : project.projectLines) lines.insert(line.name);

  for (const std::string& section : file.ReadSections()) {
    const std::string lineName = section.substr(0, section.find('_'));
    if (project.lines.read && lines.count(lineName) == 0) {
      report.Warning(name, "Der Abschnitt gehört zu keiner Linie von lines.csv.", section);
    }
    for (const DistanceValue& value : kValues) {
      const std::string text = file.ReadString(section, value.key, "");
      if (text.empty()) continue;
      const std::vector<std::string> items =
          SplitCommaList(value.quotedList ? "\"" + text + "\"" : text);
      for (std::size_t i = 0; i < items.size(); ++i) {
        const bool station = i % value.stride < value.stationsPerEntry;
        if (station) {
          if (project.stations.read && stations.IndexOf(items[i]) < 0) {
            report.Error(name, "Unbekannte Station " + Quoted(items[i]) + " in " + value.key + ".",
                         section);
          }
          continue;
        }
        const std::optional<std::int32_t> minutes = TryStrToInt(items[i]);
        if (!minutes) {
          report.Error(name, Quoted(items[i]) + " in " + value.key + " ist keine Minutenzahl.",
                       section);
        } else if (*minutes < 0) {
          report.Error(name,
                       "Negative Minuten (" + items[i] + ") in " + value.key +
                           "; die Verbindungs-Abfrage lässt sie aus (Distance-Fehler).",
                       section);
        }
      }
    }
  }
}

}  // namespace trivo

// The project check's rules for the master data: the files, the station and line lists,
// the courses of the lines and the lines of the stations.

#include <unordered_map>
#include <unordered_set>

#include "check/project_check.h"
#include "common/comma_list.h"
#include "common/name_value.h"
#include "common/strings.h"

namespace trivo {

namespace {

// A required file that is missing or cannot be read; true when it was read.
bool CheckRequiredFile(const ProjectTextFile& file, CheckReport& report) {
  if (!file.exists) {
    report.Error(file.name, "Die Datei fehlt.");
  } else if (!file.read) {
    report.Error(file.name, "Die Datei kann nicht gelesen werden: " + file.reason);
  }
  return file.read;
}

// What keeps a line name from naming its timetable file line_<name>.ttd on every system
// the project may be copied to; empty when nothing does.
std::string FileNameFault(std::string_view name) {
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 32) return "ein Steuerzeichen";
    if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) {
      return Quoted(std::string(1, c));
    }
  }
  return {};
}

void CheckStations(const CheckedProject& project, CheckReport& report) {
  const std::string& file = project.stations.name;
  for (std::size_t i = 0; i < project.stations.lines.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    const std::string stored = StoredName(project.stations.lines[i]);
    const int first = project.stationRows.at(stored);
    if (first != row) {
      report.Error(file,
                   "Die Station " + Quoted(stored) + " steht schon in Zeile " +
                       std::to_string(first) + "; die Konvertierung bricht hier ab.",
                   {}, row);
    } else if (stored.empty()) {
      report.Warning(file, "Leere Zeile: eine Station ohne Namen.", {}, row);
    }
  }
}

void CheckLines(const CheckedProject& project, CheckReport& report) {
  const std::string& file = project.lines.name;
  std::unordered_map<std::string, int> firstRows;
  for (const CheckedLine& line : project.projectLines) {
    const std::string name = Quoted(line.name);
    const auto [first, isNew] = firstRows.emplace(StoredName(line.name), line.row);
    if (!isNew) {
      report.Error(
          file,
          "Die Linie " + name + " steht schon in Zeile " + std::to_string(first->second) + ".", {},
          line.row);
      continue;
    }
    if (line.name.empty()) {
      report.Error(file, "Leere Zeile: eine Linie ohne Namen.", {}, line.row);
      continue;
    }
    if (const std::string fault = FileNameFault(line.name); !fault.empty()) {
      report.Error(file,
                   "Der Linienname " + name + " kann nicht Teil eines Dateinamens sein (line_" +
                       line.name + ".ttd): er enthält " + fault + ".",
                   {}, line.row);
    } else if (line.name.find('_') != std::string::npos) {
      report.Warning(file,
                     "Der Linienname " + name +
                         " enthält „_“: die Fahrzeiten in distances.csv lassen sich der Linie "
                         "nicht zuordnen.",
                     {}, line.row);
    }
    if (project.lineStations.read && project.CourseOf(line.name) == nullptr) {
      report.Error(file, "Die Linie " + name + " hat keinen Eintrag in line_stations.csv.", {},
                   line.row);
    }
    if (!line.fileName.empty() && !line.fileExists) {
      report.Error(file,
                   "Zur Linie " + name + " gibt es keine Fahrplandatei " + line.fileName + ".", {},
                   line.row);
    }
  }
}

void CheckCourses(const CheckedProject& project, CheckReport& report) {
  const std::string& file = project.lineStations.name;
  std::unordered_set<std::string> lineNames;
  for (const CheckedLine& line : project.projectLines) lineNames.insert(LowerCaseCp1252(line.name));
  for (const CourseEntry& entry : project.courses) {
    if (!entry.hasEquals) {
      if (!Trim(project.lineStations.lines[static_cast<std::size_t>(entry.row) - 1]).empty()) {
        report.Error(file, "Die Zeile hat kein „=“ zwischen Linie und Stationen.", {}, entry.row);
      }
      continue;
    }
    const std::string line = Quoted(entry.lineName);
    if (project.lines.read && lineNames.count(LowerCaseCp1252(entry.lineName)) == 0) {
      report.Warning(file, "Die Linie " + line + " steht nicht in lines.csv.", {}, entry.row);
    }
    if (entry.stations.empty() || (entry.stations.size() == 1 && entry.stations[0].empty())) {
      report.Error(file, "Die Linie " + line + " hat keine Stationen.", {}, entry.row);
      continue;
    }
    if (!project.stations.read) continue;
    for (std::size_t i = 0; i < entry.stations.size(); ++i) {
      if (project.IsStation(entry.stations[i])) continue;
      report.Error(file,
                   "Die Station " + Quoted(entry.stations[i]) + " der Linie " + line +
                       " fehlt in stations.csv.",
                   {}, entry.row, static_cast<int>(i) + 1);
    }
  }
}

// Stations that no course names.
void CheckServedStations(const CheckedProject& project, CheckReport& report) {
  if (!project.lineStations.read) return;
  std::unordered_set<std::string> served;
  for (const CourseEntry& entry : project.courses) {
    for (const std::string& station : entry.stations) served.insert(StoredName(station));
  }
  for (const auto& [name, row] : project.stationRows) {
    if (name.empty() || served.count(name) > 0) continue;
    report.Warning(project.stations.name,
                   "Die Station " + Quoted(name) + " wird von keiner Linie bedient.", {}, row);
  }
}

void CheckStationLines(const CheckedProject& project, CheckReport& report) {
  const std::string& file = project.stationLines.name;
  std::unordered_set<std::string> lineNames;
  for (const CheckedLine& line : project.projectLines) lineNames.insert(StoredName(line.name));
  for (std::size_t i = 0; i < project.stationLines.lines.size(); ++i) {
    const std::string& text = project.stationLines.lines[i];
    const int row = static_cast<int>(i) + 1;
    if (Trim(text).empty()) continue;
    const std::string station(NameOf(text));
    if (project.stations.read && !project.IsStation(station)) {
      report.Warning(file, "Die Station " + Quoted(station) + " steht nicht in stations.csv.", {},
                     row);
    }
    if (!project.lines.read) continue;
    const std::vector<std::string> lines = SplitCommaList(ValueOf(text));
    for (std::size_t j = 0; j < lines.size(); ++j) {
      if (lines[j].empty() || lineNames.count(StoredName(lines[j])) > 0) continue;
      report.Warning(file,
                     "Die Linie " + Quoted(lines[j]) + " an der Station " + Quoted(station) +
                         " steht nicht in lines.csv.",
                     {}, row, static_cast<int>(j) + 1);
    }
  }
}

}  // namespace

void CheckMasterData(const CheckedProject& project, CheckReport& report) {
  const bool stations = CheckRequiredFile(project.stations, report);
  const bool lines = CheckRequiredFile(project.lines, report);
  const bool courses = CheckRequiredFile(project.lineStations, report);
  const bool stationLines = CheckRequiredFile(project.stationLines, report);
  if (project.distances.exists && !project.distances.read) {
    report.Error(project.distances.name,
                 "Die Datei kann nicht gelesen werden: " + project.distances.reason);
  }
  if (stations) CheckStations(project, report);
  if (lines) CheckLines(project, report);
  if (courses) CheckCourses(project, report);
  if (stations) CheckServedStations(project, report);
  if (stationLines) CheckStationLines(project, report);
}

}  // namespace trivo

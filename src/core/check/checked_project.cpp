#include "check/checked_project.h"

#include <cerrno>
#include <utility>

#include "common/comma_list.h"
#include "common/name_value.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "convert/ttd_file.h"
#include "project/prj_load.h"

namespace trivo {

namespace {

constexpr std::size_t kStoredNameLength = 64;

ProjectTextFile ReadProjectText(const Context& ctx, std::string name) {
  ProjectTextFile file;
  file.name = std::move(name);
  const FileRead read = TryReadFileBytes(ctx.ProjectFile(file.name));
  file.exists = read.read || read.error != ENOENT;
  file.read = read.read;
  file.reason = read.reason;
  if (read.read) file.lines = SplitTextLines(read.bytes);
  return file;
}

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

void ReadProjectFileValues(const Context& ctx, CheckedProject& project) {
  const FileRead read = TryReadFileBytes(ctx.ProjectFileName);
  project.projectFileRead = read.read;
  if (!read.read) return;
  const IniFile file(ctx.ProjectFileName);
  for (std::string& name : SplitProjectList(file.ReadString("daygroups", "daygroupnames", ""))) {
    CheckedDayGroup group;
    group.days = SplitProjectList(file.ReadString("daygroups", name + "_days", ""));
    group.name = std::move(name);
    project.dayGroups.push_back(std::move(group));
  }
  for (const char* section : {"options", "timetable"}) {
    if (file.ValueExists(section, "max_drive_minutes")) {
      project.maxDriveText = file.ReadString(section, "max_drive_minutes", "");
      break;
    }
  }
}

void ReadCourses(CheckedProject& project) {
  for (std::size_t i = 0; i < project.lineStations.lines.size(); ++i) {
    const std::string& text = project.lineStations.lines[i];
    CourseEntry entry;
    entry.row = static_cast<int>(i) + 1;
    entry.hasEquals = text.find('=') != std::string::npos;
    entry.lineName = std::string(NameOf(text));
    entry.stations = SplitCommaList(ValueOf(text));
    if (entry.hasEquals) project.courseIndex.emplace(LowerCaseCp1252(entry.lineName), i);
    project.courses.push_back(std::move(entry));
  }
}

void ReadLines(const Context& ctx, CheckedProject& project) {
  std::unordered_map<std::string, bool> seen;
  for (std::size_t i = 0; i < project.lines.lines.size(); ++i) {
    CheckedLine line;
    line.row = static_cast<int>(i) + 1;
    line.name = project.lines.lines[i];
    line.firstOfName = seen.emplace(line.name, true).second;
    if (const std::optional<std::filesystem::path> path = TimetableFilePath(ctx, line.name)) {
      line.fileName = path->filename().string();
      line.fileExists = FileExists(*path);
    }
    project.projectLines.push_back(std::move(line));
  }
}

}  // namespace

std::string StoredName(std::string_view name) {
  return TrimRight(name.substr(0, std::min(name.size(), kStoredNameLength)));
}

bool CheckedProject::IsStation(std::string_view name) const {
  return stationRows.count(StoredName(name)) > 0;
}

const CourseEntry* CheckedProject::CourseOf(std::string_view lineName) const {
  const auto found = courseIndex.find(LowerCaseCp1252(lineName));
  return found == courseIndex.end() ? nullptr : &courses[found->second];
}

CheckedProject ReadCheckedProject(const Context& ctx) {
  CheckedProject project;
  project.projectFileName = FileNameOf(ctx.ProjectFileName);
  project.maxDriveMinutes = ctx.PrjParams.MaxDriveMinutes;
  ReadProjectFileValues(ctx, project);
  project.stations = ReadProjectText(ctx, "stations.csv");
  project.lines = ReadProjectText(ctx, "lines.csv");
  project.lineStations = ReadProjectText(ctx, "line_stations.csv");
  project.stationLines = ReadProjectText(ctx, "station_lines.csv");
  project.distances = ReadProjectText(ctx, "distances.csv");
  if (project.distances.read) project.distanceFile.emplace(ctx.ProjectFile("distances.csv"));
  for (std::size_t i = 0; i < project.stations.lines.size(); ++i) {
    project.stationRows.emplace(StoredName(project.stations.lines[i]), static_cast<int>(i) + 1);
  }
  ReadCourses(project);
  ReadLines(ctx, project);
  return project;
}

std::optional<CheckedTimetable> ReadCheckedTimetable(const Context& ctx, const CheckedLine& line,
                                                     std::string& reason) {
  const std::filesystem::path path = ctx.ProjectFile(line.fileName);
  const IniFile file(path);
  if (file.Bytes().empty()) {
    // Empty, or not readable at all: only then is it worth asking why.
    const FileRead read = TryReadFileBytes(path);
    if (!read.read) {
      reason = read.reason;
      return std::nullopt;
    }
  }
  CheckedTimetable timetable{line, file.ReadSections(), {}};
  std::unordered_map<std::string, bool> groups;  // section names ignore letter case
  for (const TDayGroupItem& group : ctx.PrjParams.DayGroups) {
    if (!groups.emplace(LowerCaseCp1252(group.Name), true).second) continue;
    for (const int direction : {1, 2}) {
      const std::string name = TimetableSectionName(direction, group.Name);
      if (!file.SectionExists(name)) continue;
      CheckedSection section;
      section.dayGroupName = group.Name;
      section.direction = direction;
      section.section = ReadTimetableSection(file, name);
      section.trips = ReadSectionTrips(section.section);
      timetable.sections.push_back(std::move(section));
    }
  }
  return timetable;
}

}  // namespace trivo

#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/ini_file.h"
#include "convert/timetable_trips.h"
#include "project/context.h"

namespace trivo {

// A text file of the project folder as the check read it.
struct ProjectTextFile {
  std::string name;  // its name in the project folder
  bool exists = false;
  bool read = false;
  std::string reason;  // why an existing file was not read (German)
  std::vector<std::string> lines;
};

// A day group as the project file names it, with or without days.
struct CheckedDayGroup {
  std::string name;
  std::vector<std::string> days;  // the pieces of <name>_days as written
};

// A line's entry of line_stations.csv: the line of the file (from 1), the line name and
// its stations in the order of the course.
struct CourseEntry {
  int row = 0;
  bool hasEquals = true;
  std::string lineName;
  std::vector<std::string> stations;
};

// One timetable section of a line: a day group of the project and a direction.
struct CheckedSection {
  std::string dayGroupName;
  int direction = 1;
  TimetableSection section;
  SectionTrips trips;
};

// A line of lines.csv and its timetable file.
struct CheckedLine {
  int row = 0;  // in lines.csv, from 1
  std::string name;
  bool firstOfName = true;  // later lines of the same name share its file and are not read again
  std::string fileName;     // line_<name>.ttd; empty when the name cannot name a file
  bool fileExists = false;
};

// A line's timetable file as read, while the timetable rules look at it.
struct CheckedTimetable {
  const CheckedLine& line;
  std::vector<std::string> sectionNames;  // all sections of the file, in file order
  std::vector<CheckedSection> sections;   // those of the project's day groups that exist
};

// Everything a project check looks at, read once from the project folder; nothing is
// written and no working table is touched.
struct CheckedProject {
  std::string projectFileName;  // the project file's name
  bool projectFileRead = false;
  std::vector<CheckedDayGroup> dayGroups;
  std::optional<std::string> maxDriveText;  // max_drive_minutes as written, when it is
  std::int32_t maxDriveMinutes = 720;

  ProjectTextFile stations;
  ProjectTextFile lines;
  ProjectTextFile lineStations;
  ProjectTextFile stationLines;
  ProjectTextFile distances;
  std::optional<IniFile> distanceFile;

  std::vector<CourseEntry> courses;  // the entries of line_stations.csv in file order
  std::vector<CheckedLine> projectLines;

  // The stations of stations.csv by the name a working table keeps (at most 64
  // characters, no trailing blanks): the first line (from 1) holding it.
  std::unordered_map<std::string, int> stationRows;
  // The first entry of line_stations.csv by its line name in lower case.
  std::unordered_map<std::string, std::size_t> courseIndex;
  bool IsStation(std::string_view name) const;
  // The line's course: its first entry in line_stations.csv (line name without regard to
  // letter case), or null.
  const CourseEntry* CourseOf(std::string_view lineName) const;
};

// The name a working table keeps for a station or line name: its first 64 characters
// without trailing blanks.
std::string StoredName(std::string_view name);

// Reads the project whose project file ctx has loaded (ctx.ProjectFileName, ProjectDir,
// PrjParams), all but the timetable files.
CheckedProject ReadCheckedProject(const Context& ctx);
// Reads a line's timetable file: the sections of the project's day groups as trips.
// Nothing, with the reason, when the file exists but cannot be read.
std::optional<CheckedTimetable> ReadCheckedTimetable(const Context& ctx, const CheckedLine& line,
                                                     std::string& reason);

}  // namespace trivo

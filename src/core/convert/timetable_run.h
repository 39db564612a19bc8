#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ini_file.h"
#include "project/context.h"

namespace trivo {

// How a run reports. The main window's button 5 reports its progress in the log; the
// timetable editor runs the same conversion when it is shown and reports in message boxes
// instead.
struct TimetableRunReporting {
  // Whether missing input files end the run; otherwise a missing CSV or PTF input gives a
  // notice and the run goes on.
  bool missingInputsEndRun = true;
  // Whether results ("... erstellt"), the missing-files notice and failed final files go
  // to the log. Otherwise there are no log lines at all: notices are message boxes, and a
  // final file that cannot be written gives "Fehler: speichern ...".
  bool toLog = true;
  // Whether both walks over a direction 2 course report a stop without a station as the
  // first walk of direction 1 does ("Fehler tt2ptf bei key ...").
  bool oneMissingStationText = false;

  static TimetableRunReporting MainWindow() { return {}; }
  static TimetableRunReporting Editor() { return {false, false, true}; }
};

// A line, day group and direction that the run is about to convert: its entry in
// line_stations.csv is not empty.
struct TimetableCombination {
  std::int32_t lineId = 0;
  std::string_view lineName;
  std::int32_t dayGroupId = 0;
  std::string_view dayGroupName;
  int direction = 1;
  // The line's stations from line_stations.csv; all lines of that file when the line has
  // no entry there.
  const std::vector<std::string>& stationList;
  // Whether line_stations.csv has an entry for the line.
  bool hasStationEntry = true;
  // The line's timetable data file, or null when the line's name cannot name a file.
  const IniFile* timetableFile = nullptr;
};

struct TimetableRunOptions {
  TimetableRunReporting reporting = TimetableRunReporting::MainWindow();
  // Called for every combination that passes the line_stations.csv check, before its
  // section is read. The editor loads the section into its grid here.
  std::function<void(const TimetableCombination&)> onCombination;
};

// Whether lines.csv, stations.csv, line_stations.csv and station_lines.csv all exist in
// the project folder.
bool TimetableCsvInputsExist(const Context& ctx);

// A line's stations by the lines of line_stations.csv: the items of the first entry named
// like the line (letter case ignored); nothing when the file has no such entry.
std::optional<std::vector<std::string>> LineStationList(
    const std::vector<std::string>& lineStationsCsv, std::string_view lineName);

// What a run leaves behind besides its files: the names of the last line and day group it
// walked (empty when it walked none).
struct TimetableRunResult {
  std::string lastLineName;
  std::string lastDayGroupName;
};

// The timetable conversion: for every line, day group and direction one
// tt_<LineID>_<Direction>_<DayGroupID>.ptf, per line ttc_<LineID>.ptf, and at the end
// line_connections.ptf, tt_connections.ptf and intervals.ptf, all in ctx.WorkingDir.
// Reads the tables buttons 1 to 4 filled; an absent one ends the run with trivo::Error,
// and so does a tt_ file that cannot be written (files written before it stay).
TimetableRunResult RunTimetableConversion(Context& ctx, const TimetableRunOptions& options);

}  // namespace trivo

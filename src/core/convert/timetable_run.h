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

// Who runs the timetable conversion. The main window's button 5 reports progress in the
// log; the timetable editor runs the same conversion when it is shown and reports in
// message boxes instead.
enum class TimetableRunVariant {
  // Missing input files end the run; results and failures go to the log.
  MainWindow,
  // The run always goes on (a missing CSV or PTF input gives a message box); no log
  // lines at all: missing stations and unknown column stations are message boxes, and
  // a final file that cannot be written gives "Fehler: speichern ...". The direction is
  // kept in ctx.editor.CurrentDirection (3 after the run).
  Editor,
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
  TimetableRunVariant variant = TimetableRunVariant::MainWindow;
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

// The timetable conversion: for every line, day group and direction one
// tt_<LineID>_<Direction>_<DayGroupID>.ptf, per line ttc_<LineID>.ptf, and at the end
// line_connections.ptf, tt_connections.ptf and intervals.ptf, all in ctx.WorkingDir.
// Reads the tables buttons 1 to 4 filled; an absent one ends the run with trivo::Error,
// and so does a tt_ file that cannot be written (files written before it stay).
void RunTimetableConversion(Context& ctx, const TimetableRunOptions& options);

}  // namespace trivo

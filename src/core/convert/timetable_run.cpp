#include "convert/timetable_run.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/comma_list.h"
#include "common/error.h"
#include "common/messages.h"
#include "common/name_value.h"
#include "common/text_file.h"
#include "convert/conversion_scope.h"
#include "convert/timetable_notation.h"
#include "convert/timetable_trips.h"
#include "convert/trip_grid.h"
#include "convert/ttd_file.h"
#include "ptf/ptf_reader.h"
#include "ptf/ptf_writer.h"

namespace trivo {

namespace {

constexpr char kQuote = '"';

constexpr std::string_view kMissingFiles =
    "Es konnten nicht alle zugehörigen Dateien gefunden werden!";
constexpr std::string_view kStationMissing = "Fehler tt2ptf bei key ";
constexpr std::string_view kStationMissingCounting = "Fehler TimeTable, Richtung 2, bei key ";
constexpr std::string_view kStationMissingPlacing = "Fehler TimeTable, Direction 2, bei key ";
constexpr std::string_view kStationsDiffer =
    "Fehler: Bahnhöfe sind verschieden bei TimeTable-Konvertierung";
constexpr std::string_view kTimeError = "time-error";
constexpr std::string_view kCellError = "csDummy oder csError";
constexpr std::string_view kDayGroupConnectionFailed = "Fehler bei DayGroupConnectins";
constexpr std::string_view kUnknownColumnStation =
    "Achtung - Fehler bei lineconnections-erstellung!";
constexpr std::string_view kColumnCheckFailed = "Fehler bei ttc-erstellung";

std::string Concat(std::string_view a, std::string_view b) {
  std::string text;
  text.reserve(a.size() + b.size());
  text.append(a).append(b);
  return text;
}

std::string Decimal(std::int32_t value) {
  return std::to_string(value);
}

void SetIndexOnce(Table& table, std::string_view indexName) {
  if (table.ActiveIndex() != indexName) table.SetIndex(indexName);
}

// One stop of a line's station sequence (cdsLineStations), with its station.
struct LineStop {
  std::int32_t stationId = 0;
  bool known = false;  // cdsStations holds a station with that ID
  std::string name;
};

// What the run learns about a line once and uses for all of its day groups and
// directions; nothing the run writes changes it.
struct LineData {
  std::int32_t id = 0;
  std::string name;
  std::optional<std::vector<LineStop>> stops;
  std::optional<std::vector<std::string>> stationList;
  bool hasStationEntry = true;
  bool fileOpened = false;
  std::optional<IniFile> file;
};

struct StringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept {
    return std::hash<std::string_view>{}(text);
  }
};

class TimetableRun {
 public:
  TimetableRun(Context& ctx, const TimetableRunOptions& options)
      : ctx_(ctx), options_(options), dm_(ctx.dm1) {}

  TimetableRunResult Run() {
    if (!CheckInputs()) return result_;
    dm_.cdsLines.OpenTable();
    dm_.cdsStations.OpenTable();
    dm_.cdsLineStations.OpenTable();
    dm_.cdsDayGroups.OpenTable();
    dm_.cdsDayGroupConnections.CreateEmpty();
    dm_.cdsTimeTableConnections.CreateEmpty();
    dm_.cdsInterval.CreateEmpty();
    dm_.cdsInterval.SetIndex("IdxInterval");

    Table& lines = dm_.cdsLines;
    for (lines.MoveFirst(); !lines.AtEnd(); lines.MoveNext()) {
      LineData line;
      line.id = lines.FieldNamed("ID").AsInteger();
      line.name = lines.FieldNamed("Line").AsText();
      result_.lastLineName = line.name;
      ConvertLine(line);
    }
    WriteFinalFiles();
    dm_.cdsLines.CloseTable();
    dm_.cdsStations.CloseTable();
    dm_.cdsLineStations.CloseTable();
    dm_.cdsDayGroups.CloseTable();
    dm_.cdsDayGroupConnections.CloseTable();
    dm_.cdsTimeTableConnections.CloseTable();
    dm_.cdsTimeTable.CloseTable();
    return result_;
  }

 private:
  const TimetableRunReporting& Reporting() const { return options_.reporting; }

  void Message(std::string_view text) { ctx_.ui.ShowMessage(std::string(text)); }
  // A log line in the main window, a message box in the editor.
  void Notice(std::string text) {
    if (Reporting().toLog) {
      ctx_.ui.Log(text);
    } else {
      ctx_.ui.ShowMessage(text);
    }
  }
  void Created(std::string_view fileName) {
    if (Reporting().toLog) ctx_.ui.Log(Concat(fileName, " erstellt"));
  }
  void SaveFailed(std::string logLine, std::string_view editorMessage) {
    if (Reporting().toLog) {
      ctx_.ui.Log(logLine);
    } else {
      Message(editorMessage);
    }
  }

  // Returns whether the run goes on.
  bool CheckInputs() {
    bool go = true;
    if (!TimetableCsvInputsExist(ctx_)) {
      Message(kMissingFiles);
      go = !Reporting().missingInputsEndRun;
    }
    const bool ptfInputs = FileExists(ctx_.WorkingFile("lines.ptf")) &&
                           FileExists(ctx_.WorkingFile("stations.ptf")) &&
                           FileExists(ctx_.WorkingFile("line_stations.ptf"));
    if (ptfInputs && go) {
      LoadStationsPtf(ctx_.WorkingDir, dm_.cdsStations, ctx_.ui);
    } else {
      Notice(std::string(kMissingFiles));
      go = !Reporting().missingInputsEndRun;
    }
    return go;
  }

  void ConvertLine(LineData& line) {
    Table& dayGroups = dm_.cdsDayGroups;
    for (dayGroups.MoveFirst(); !dayGroups.AtEnd(); dayGroups.MoveNext()) {
      const std::int32_t dayGroupId = dayGroups.FieldNamed("ID").AsInteger();
      const std::string dayGroupName = dayGroups.FieldNamed("Group").AsText();
      result_.lastDayGroupName = dayGroupName;
      for (int direction = 1; direction <= 2; ++direction) {
        ConvertCombination(line, dayGroupId, dayGroupName, direction);
      }
    }
    WriteLineConnections(line.id);
  }

  void ConvertCombination(LineData& line, std::int32_t dayGroupId, const std::string& dayGroupName,
                          int direction) {
    grid_.Clear();
    SetIndexOnce(dm_.cdsStations, "idxID");
    SetIndexOnce(dm_.cdsLineStations, "idxLineStations");
    if (!line.stops) line.stops = ReadLineStops(line.id);
    grid_.SetHeaders(BuildHeader(*line.stops, direction));

    if (!line.stationList) line.stationList = StationListOf(line.name, line.hasStationEntry);
    if (line.stationList->empty()) return;

    if (!line.fileOpened) {
      line.fileOpened = true;
      if (const auto path = TimetableFilePath(ctx_, line.name)) {
        line.file.emplace(*path, &ctx_.files);
      }
    }
    if (options_.onCombination) {
      options_.onCombination(TimetableCombination{
          line.id, line.name, dayGroupId, dayGroupName, direction, *line.stationList,
          line.hasStationEntry, line.file ? &*line.file : nullptr});
    }
    const std::string section = TimetableSectionName(direction, dayGroupName);
    if (!line.file || !line.file->SectionExists(section)) return;

    int column = 0;
    ForEachTimetableRow(*line.file, section, [&](std::string_view row) {
      ConvertRow(row, column);
      ++column;
    });
    grid_.KeepColumnsBefore(column);

    RecordCombination(line.id, dayGroupId, direction);
    grid_.FillEmptyHeaders();
    CheckColumns();

    std::string fileName = "tt_";
    fileName.append(Decimal(line.id)).append("_").append(Decimal(direction));
    fileName.append("_").append(Decimal(dayGroupId)).append(".ptf");
    text_.clear();
    grid_.AppendPtfText(text_);
    // A file that cannot be written ends the run; one refused for being an input of the
    // run (the message says so) is left alone, and the run goes on with the others.
    const WriteResult written =
        TryWriteFileAtomically(ctx_.WorkingFile(fileName), text_, ctx_.files.Output());
    if (written.isInput) return;
    if (!written) throw Error(msg::CannotWrite(fileName));
    Created(fileName);
  }

  // The stops of a line in sequence order (cdsLineStations on idxLineStations) with their
  // stations (cdsStations on idxID).
  std::vector<LineStop> ReadLineStops(std::int32_t lineId) {
    std::vector<LineStop> stops;
    Table& lineStations = dm_.cdsLineStations;
    Table& stations = dm_.cdsStations;
    for (std::int32_t number = 1; lineStations.FindByKey({Value(lineId), Value(number)});
         ++number) {
      LineStop stop;
      stop.stationId = lineStations.FieldNamed("StationID").AsInteger();
      if (stations.FindByKey({Value(stop.stationId)})) {
        stop.known = true;
        stop.name = stations.FieldNamed("Station").AsText();
      }
      stops.push_back(std::move(stop));
    }
    return stops;
  }

  // Two columns per station of the line, consecutive repeats dropped; reversed for
  // direction 2. A stop without a station is reported once per walk over the sequence
  // (direction 2 walks twice: once to count, once to place).
  const std::vector<std::string_view>& BuildHeader(const std::vector<LineStop>& stops,
                                                   int direction) {
    headers_.clear();
    const auto walk = [&](std::string_view missingText, bool place) {
      const std::string* previous = nullptr;
      for (const LineStop& stop : stops) {
        if (!stop.known) {
          Notice(Concat(Reporting().oneMissingStationText ? kStationMissing : missingText,
                        Decimal(stop.stationId)));
          continue;
        }
        if (previous != nullptr && *previous == stop.name) continue;
        if (place) {
          headers_.emplace_back(stop.name);
          headers_.emplace_back(stop.name);
        }
        previous = &stop.name;
      }
    };
    if (direction == 1) {
      walk(kStationMissing, true);
    } else {
      walk(kStationMissingCounting, false);
      walk(kStationMissingPlacing, true);
      std::reverse(headers_.begin(), headers_.end());
    }
    return headers_;
  }

  // The line's stations from line_stations.csv: the items of the first entry named like
  // the line (letter case ignored), else all lines of the file.
  std::vector<std::string> StationListOf(const std::string& lineName, bool& hasEntry) {
    if (!lineStationsCsv_) {
      lineStationsCsv_ = ReadTextLines(ctx_.ProjectFile("line_stations.csv"), {}, &ctx_.files);
    }
    std::optional<std::vector<std::string>> stations = LineStationList(*lineStationsCsv_, lineName);
    hasEntry = stations.has_value();
    return stations ? std::move(*stations) : *lineStationsCsv_;
  }

  // One section row: its station (the first cell) is checked against the header of the
  // column, and its trip cells become that column's cells. A row beyond the last column
  // has no column to go to; it is reported like any other mismatch and left out.
  void ConvertRow(std::string_view row, int column) {
    const std::string_view station = row.substr(0, row.find(','));

    bool matches = column < grid_.ColCount() && station == grid_.Header(column);
    if (!matches && column < grid_.ColCount()) {
      grid_.DeleteColumn(column);
      matches = column < grid_.ColCount() && station == grid_.Header(column);
    }
    if (!matches) Message(kStationsDiffer);
    if (column >= grid_.ColCount()) return;

    // The cells after the station, split at every comma; an empty text after a final
    // comma is no cell. Cells in the editor's own forms are read where they stand (the
    // classification's fast path); any other cell is cut at its comma and classified.
    rowCells_.clear();
    const std::size_t comma = row.find(',');
    const std::string_view trips =
        comma == std::string_view::npos ? std::string_view{} : row.substr(comma + 1);
    const std::size_t size = trips.size();
    for (std::size_t begin = 0; begin < size;) {
      const PlainCell plain = ReadPlainCell(trips.substr(begin));
      if (plain.state == TCellState::csTime) {
        rowCells_.push_back(plain.value);
      } else if (plain.state == TCellState::csInterval) {
        rowCells_.push_back(-IntervalId(plain.value));
      } else {
        const std::size_t end = std::min(trips.find(',', begin), size);
        rowCells_.push_back(ConvertCell(trips.substr(begin, end - begin)));
        begin = end + 1;
        continue;
      }
      begin += plain.length + 1;
    }
    std::int32_t* cells = grid_.AddColumnCells(static_cast<int>(rowCells_.size()));
    std::copy(rowCells_.begin(), rowCells_.end(), cells);
  }

  std::int32_t ConvertCell(std::string_view text) {
    const TimetableCell cell = ClassifyCell(text);
    switch (cell.state) {
      case TCellState::csTime:
        if (cell.exactTime) return cell.time.Count();
        Message(kTimeError);
        return -1;
      case TCellState::csInterval:
        return -IntervalId(cell.interval);
      case TCellState::csEmpty:
        return TripGrid::kNoStop;
      case TCellState::csError:
      case TCellState::csDummy:
        break;
    }
    Message(kCellError);
    return TripGrid::kNoStop;
  }

  // The ID of an interval length in cdsInterval, added with the next ID (the number of
  // records plus 2) when the length is new in this run.
  std::int32_t IntervalId(std::int32_t minutes) {
    if (const auto found = intervalIds_.find(minutes); found != intervalIds_.end()) {
      return found->second;
    }
    Table& intervals = dm_.cdsInterval;
    const std::int32_t id = intervals.CountRecords() + 2;
    intervals.AppendRecord();
    intervals.FieldNamed("ID").SetInteger(id);
    intervals.FieldNamed("Interval").SetFloat(static_cast<double>(minutes));
    intervals.PostRecord();
    intervalIds_.emplace(minutes, id);
    return id;
  }

  // The ID of the station named so (cdsStations on idxStationName), looked up once per run.
  std::optional<std::int32_t> StationIdByName(std::string_view name) {
    if (const auto found = stationIdsByName_.find(name); found != stationIdsByName_.end()) {
      return found->second;
    }
    Table& stations = dm_.cdsStations;
    std::optional<std::int32_t> id;
    if (stations.FindByKey({Value(name)})) id = stations.FieldNamed("ID").AsInteger();
    stationIdsByName_.emplace(std::string(name), id);
    return id;
  }

  // One cdsDayGroupConnections record for the timetable table, one
  // cdsTimeTableConnections record per column whose header names a station.
  void RecordCombination(std::int32_t lineId, std::int32_t dayGroupId, int direction) {
    try {
      Table& connections = dm_.cdsDayGroupConnections;
      connections.AppendRecord();
      connections.FieldNamed("LineID").SetInteger(lineId);
      connections.FieldNamed("DayGroupID").SetInteger(dayGroupId);
      connections.FieldNamed("Direction").SetInteger(direction);
      connections.PostRecord();
    } catch (const Error&) {
      Message(kDayGroupConnectionFailed);
    }
    SetIndexOnce(dm_.cdsStations, "idxStationName");
    Table& columns = dm_.cdsTimeTableConnections;
    recordedStations_.clear();
    for (int column = 0; column < grid_.ColCount(); ++column) {
      const auto stationId = StationIdByName(grid_.Header(column));
      if (!stationId) {
        Notice(std::string(kUnknownColumnStation));
        continue;
      }
      columns.AppendRecord();
      columns.FieldNamed("StationID").SetInteger(*stationId);
      columns.FieldNamed("DayGroupID").SetInteger(dayGroupId);
      columns.FieldNamed("Direction").SetInteger(direction);
      columns.FieldNamed("Position").SetInteger(column + 1);
      columns.PostRecord();
      recordedStations_.insert(*stationId);
    }
  }

  // Every column must name a station that has a connection record of this table. The
  // records of the current day group and direction are exactly those just recorded, so
  // they are looked up there.
  void CheckColumns() {
    SetIndexOnce(dm_.cdsStations, "idxStationName");
    for (int column = 0; column < grid_.ColCount(); ++column) {
      const auto stationId = StationIdByName(grid_.Header(column));
      bool recorded = false;
      if (stationId) {
        SetIndexOnce(dm_.cdsTimeTableConnections, "idxSDD");
        recorded = recordedStations_.count(*stationId) != 0;
      }
      if (!recorded) Message(kColumnCheckFailed);
    }
  }

  void WriteLineConnections(std::int32_t lineId) {
    const std::string fileName = "ttc_" + Decimal(lineId) + ".ptf";
    if (SaveTableToPtf(ctx_.WorkingDir, fileName, kQuote, dm_.cdsTimeTableConnections,
                       ctx_.files.Output())) {
      Created(fileName);
    } else {
      SaveFailed("Fehler beim Erstellen von ttc_" + Decimal(lineId),
                 "Fehler: speichern TimeTableConnections");
    }
    dm_.cdsTimeTableConnections.CreateEmpty();
  }

  void WriteFinalFiles() {
    WriteFinalFile("line_connections.ptf", dm_.cdsDayGroupConnections,
                   "Fehler beim Erstellen von line_conneciont.ptf",
                   "Fehler: speichern DayGroupConnections");
    WriteFinalFile("tt_connections.ptf", dm_.cdsTimeTableConnections,
                   "Fehler beim Erstellen von tt_connections.ptf",
                   "Fehler: speichern LineConnections");
    dm_.cdsInterval.SetIndex("IdxID");
    WriteFinalFile("intervals.ptf", dm_.cdsInterval, "Fehler beim Erstellen von intervals.ptf",
                   "Fehler: speichern Intervals");
  }

  void WriteFinalFile(std::string_view fileName, Table& table, std::string_view failureLine,
                      std::string_view editorMessage) {
    if (SaveTableToPtf(ctx_.WorkingDir, fileName, kQuote, table, ctx_.files.Output())) {
      Created(fileName);
    } else {
      SaveFailed(std::string(failureLine), editorMessage);
    }
  }

  Context& ctx_;
  const TimetableRunOptions& options_;
  Tdm1& dm_;
  TimetableRunResult result_;

  TripGrid grid_;
  std::vector<std::string_view> headers_;
  std::vector<std::int32_t> rowCells_;
  std::string text_;
  std::optional<std::vector<std::string>> lineStationsCsv_;
  std::map<std::int32_t, std::int32_t> intervalIds_;
  std::unordered_map<std::string, std::optional<std::int32_t>, StringHash, std::equal_to<>>
      stationIdsByName_;
  std::unordered_set<std::int32_t> recordedStations_;
};

}  // namespace

std::optional<std::vector<std::string>> LineStationList(
    const std::vector<std::string>& lineStationsCsv, std::string_view lineName) {
  const int index = IndexOfName(lineStationsCsv, lineName);
  if (index < 0) return std::nullopt;
  return SplitCommaList(ValueOf(lineStationsCsv[static_cast<std::size_t>(index)]));
}

bool TimetableCsvInputsExist(const Context& ctx) {
  return FileExists(ctx.ProjectFile("lines.csv")) && FileExists(ctx.ProjectFile("stations.csv")) &&
         FileExists(ctx.ProjectFile("line_stations.csv")) &&
         FileExists(ctx.ProjectFile("station_lines.csv"));
}

TimetableRunResult RunTimetableConversion(Context& ctx, const TimetableRunOptions& options) {
  const ConversionScope scope(ctx);
  return TimetableRun(ctx, options).Run();
}

}  // namespace trivo

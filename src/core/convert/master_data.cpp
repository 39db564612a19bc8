#include "convert/master_data.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/comma_list.h"
#include "common/name_value.h"
#include "common/text_file.h"
#include "convert/conversion_scope.h"
#include "project/day_group_table.h"
#include "ptf/ptf_writer.h"

namespace trivo {

namespace {

constexpr char kQuote = '"';

void SaveAndReport(Context& ctx, Table& table, std::string_view fileName,
                   const std::string& logLine, const std::string& failureMessage) {
  if (SaveTableToPtf(ctx.WorkingDir, fileName, kQuote, table, ctx.files.Output())) {
    ctx.ui.Log(logLine);
  } else {
    ctx.ui.ShowMessage(failureMessage);
  }
}

// Buttons 2 and 3: one record per line of the input file, the line in the field at
// position 1, numbered by the table's auto-increment field.
void ConvertNameList(Context& ctx, std::string_view csvName, Table& table, std::string_view ptfName,
                     const std::string& logLine, const std::string& failureMessage) {
  const ConversionScope scope(ctx);
  const std::filesystem::path path = ctx.ProjectFile(csvName);
  if (!FileExists(path)) return;
  const std::string text = ReadFileBytes(path, {}, &ctx.files);
  table.CreateEmpty();
  ForEachTextLine(text, [&table](std::string_view line) {
    table.AppendRecord();
    table.FieldAt(1).SetText(line);
    table.PostRecord();
  });
  SaveAndReport(ctx, table, ptfName, logLine, failureMessage);
}

// Makes the index active unless it already is, so that the lookups of a long course do
// not ask the table to switch to the index it already uses.
void UseIndex(Table& table, std::string_view indexName) {
  if (table.ActiveIndex() != indexName) table.SetIndex(indexName);
}

}  // namespace

void sbEditProjectClick(Context& ctx) {
  const ConversionScope scope(ctx);
  BuildDayGroupTable(ctx);
  SaveAndReport(ctx, ctx.dm1.cdsDayGroups, "daygroups.ptf", "daygroups.ptf erstellt",
                "Fehler beim Erstellen von daygroups.ptf");
}

void sbEditStationsClick(Context& ctx) {
  ConvertNameList(ctx, "stations.csv", ctx.dm1.cdsStations, "stations.ptf", "station.ptf erstellt",
                  "fehler beim Erstellen von stations.ptf");
}

void sbEditLinesClick(Context& ctx) {
  ConvertNameList(ctx, "lines.csv", ctx.dm1.cdsLines, "lines.ptf", "lines.ptf erstellt",
                  "Fehler beim Erstellen von lines.ptf");
}

void sbAssignStationsClick(Context& ctx) {
  const ConversionScope scope(ctx);
  const std::filesystem::path path = ctx.ProjectFile("line_stations.csv");
  if (!FileExists(path)) return;
  Table& lineStations = ctx.dm1.cdsLineStations;
  Table& lines = ctx.dm1.cdsLines;
  Table& stations = ctx.dm1.cdsStations;
  lineStations.CreateEmpty();
  const std::string courses = ReadFileBytes(path, {}, &ctx.files);

  Field lineId = lineStations.FieldNamed("LineID");
  Field lineStationNumber = lineStations.FieldNamed("LineStationNumber");
  Field stationId = lineStations.FieldNamed("StationID");
  std::vector<Value> key(1);

  ForEachTextLine(courses, [&](std::string_view course) {
    const Value lineName{NameOf(course)};
    std::int32_t number = 0;
    ForEachCommaItem(ValueOf(course), [&](std::string&& station) {
      lineStations.AppendRecord();

      lines.OpenTable();
      UseIndex(lines, "idxLineName");
      key[0] = lineName;
      if (lines.FindByKey(key)) lineId.SetInteger(lines.FieldNamed("ID").AsInteger());

      lineStationNumber.SetInteger(++number);

      stations.OpenTable();
      UseIndex(stations, "idxStationName");
      key[0] = Value(std::move(station));
      if (stations.FindByKey(key)) stationId.SetInteger(stations.FieldNamed("ID").AsInteger());

      lineStations.PostRecord();
    });
  });
  SaveAndReport(ctx, lineStations, "line_stations.ptf", "line_stations.ptf erstellt",
                "Fehler beim Erstellen von line_stations.ptf");
}

}  // namespace trivo

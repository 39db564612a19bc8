#include "tables/data_module.h"

namespace trivo {

namespace {

FieldDef AutoInc(const char* name) {
  return {name, FieldType::AutoInc};
}
FieldDef Integer(const char* name) {
  return {name, FieldType::Integer};
}
FieldDef Smallint(const char* name) {
  return {name, FieldType::Smallint};
}
FieldDef Float(const char* name) {
  return {name, FieldType::Float};
}
FieldDef String(const char* name, int size) {
  return {name, FieldType::String, size};
}

IndexDef Unique(const char* name, const char* fields) {
  return {name, fields, true};
}
IndexDef Plain(const char* name, const char* fields) {
  return {name, fields, false};
}

}  // namespace

Tdm1::Tdm1()
    : cdsStations("cdsStations", {AutoInc("ID"), String("Station", 64)},
                  {Unique("idxID", "ID"), Unique("idxStationName", "Station")}),
      cdsLines("cdsLines", {AutoInc("ID"), String("Line", 64)},
               {Plain("idxID", "ID"), Plain("idxLineName", "Line")}),
      cdsLineStations(
          "cdsLineStations",
          {Integer("LineID"), Integer("LineStationNumber"), Integer("StationID")},
          {Plain("idxLineID", "LineID"), Plain("idxLineStations", "LineID;LineStationNumber"),
           Plain("idxStationID", "StationID")}),
      cdsDayGroups("cdsDayGroups",
                   {AutoInc("ID"), String("Group", 32), String("Days", 16), String("Text", 32)},
                   {Plain("idxID", "ID"), Plain("idxDays", "Days")}),
      cdsDayGroupConnections("cdsDayGroupConnections",
                             {Integer("LineID"), Integer("DayGroupID"), Smallint("Direction")}, {}),
      cdsTimeTableConnections(
          "cdsTimeTableConnections",
          {Integer("StationID"), Integer("DayGroupID"), Integer("Direction"), Integer("Position")},
          {Plain("idxSDD", "StationID; DayGroupID; Direction"), Plain("idxStation", "")}),
      cdsInterval("cdsInterval", {Integer("ID"), Float("Interval")},
                  {Plain("IdxInterval", "Interval"), Plain("IdxID", "ID")}),
      cdsTimeTable("cdsTimeTable",
                   {AutoInc("ID"), String("Group", 32), String("Days", 16), String("Text", 32)},
                   {Plain("idxID", "ID"), Plain("idxDays", "Days")}),
      cdsNewStations("cdsNewStations", {Integer("StationID")}, {Plain("idxStationID", "StationID")},
                     "idxStationID") {}

}  // namespace trivo

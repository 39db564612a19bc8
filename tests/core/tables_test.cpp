#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "common/error.h"
#include "tables/data_module.h"

namespace trivo {
namespace {

// Expects the statement to fail with exactly this text.
#define EXPECT_ERROR_TEXT(statement, text)          \
  do {                                              \
    try {                                           \
      statement;                                    \
      ADD_FAILURE() << "no error from " #statement; \
    } catch (const Error& error) {                  \
      EXPECT_EQ(std::string(error.what()), text);   \
    }                                               \
  } while (false)

void AddStation(Table& stations, const std::string& name) {
  stations.AppendRecord();
  stations.FieldNamed("Station").SetText(name);
  stations.PostRecord();
}

void AddLineStation(Table& table, int line, int number, int station) {
  table.AppendRecord();
  table.FieldNamed("LineID").SetInteger(line);
  table.FieldNamed("LineStationNumber").SetInteger(number);
  table.FieldNamed("StationID").SetInteger(station);
  table.PostRecord();
}

// "ID:Station" of every record in the order of the active index.
std::vector<std::string> Walk(Table& stations) {
  std::vector<std::string> rows;
  for (stations.MoveFirst(); !stations.AtEnd(); stations.MoveNext()) {
    rows.push_back(stations.FieldAt(0).AsText() + ":" + stations.FieldAt(1).AsText());
  }
  return rows;
}

using Rows = std::vector<std::string>;

TEST(Tdm1, DefinesTheNineTablesAbsentWithTheirFields) {
  Tdm1 dm;
  for (Table* table : {&dm.cdsStations, &dm.cdsLines, &dm.cdsLineStations, &dm.cdsDayGroups,
                       &dm.cdsDayGroupConnections, &dm.cdsTimeTableConnections, &dm.cdsInterval,
                       &dm.cdsTimeTable, &dm.cdsNewStations}) {
    EXPECT_EQ(table->GetState(), Table::State::Absent) << table->Name();
  }
  EXPECT_EQ(dm.cdsStations.FieldDefs()[1].size, 64);
  EXPECT_EQ(dm.cdsDayGroups.FieldNamed("Days").Def().size, 16);
  EXPECT_EQ(dm.cdsDayGroupConnections.FieldNamed("Direction").Def().type, FieldType::Smallint);
  EXPECT_EQ(dm.cdsInterval.FieldAt(1).Def().type, FieldType::Float);
  EXPECT_EQ(dm.cdsNewStations.ActiveIndex(), "idxStationID");
  EXPECT_EQ(dm.cdsStations.ActiveIndex(), "");
}

TEST(Tdm1, IndexWithoutFieldsKeepsInsertionOrder) {
  Tdm1 dm;
  Table& t = dm.cdsTimeTableConnections;
  t.SetIndex("idxStation");
  t.CreateEmpty();
  for (int id : {3, 1, 2}) {
    t.AppendRecord();
    t.FieldNamed("StationID").SetInteger(id);
    t.PostRecord();
  }
  std::vector<int> ids;
  for (t.MoveFirst(); !t.AtEnd(); t.MoveNext()) ids.push_back(t.FieldAt(0).AsInteger());
  EXPECT_EQ(ids, (std::vector<int>{3, 1, 2}));
}

TEST(Table, AutoIncrementNumbersInPostingOrderWhateverTheCallerSets) {
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  stations.AppendRecord();
  stations.FieldNamed("ID").SetInteger(7);
  stations.FieldNamed("Station").SetText("Markt");
  stations.PostRecord();
  AddStation(stations, "Bahnhof");
  EXPECT_EQ(Walk(stations), (Rows{"1:Markt", "2:Bahnhof"}));

  stations.SetIndex("idxStationName");
  EXPECT_EQ(Walk(stations), (Rows{"2:Bahnhof", "1:Markt"}));
}

TEST(Table, CloseAndOpenKeepRowsCreateEmptyRestartsNumbering) {
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.SetIndex("idxStationName");
  stations.CreateEmpty();
  AddStation(stations, "Zoo");
  AddStation(stations, "Anger");
  stations.CloseTable();
  EXPECT_EQ(stations.GetState(), Table::State::Closed);
  EXPECT_TRUE(stations.AtEnd());
  stations.OpenTable();
  EXPECT_EQ(stations.FieldAt(1).AsText(), "Anger");  // first record current
  EXPECT_EQ(Walk(stations), (Rows{"2:Anger", "1:Zoo"}));
  AddStation(stations, "Markt");
  EXPECT_EQ(stations.FieldAt(0).AsInteger(), 3);  // counter survives close and open

  stations.CreateEmpty();
  EXPECT_EQ(stations.CountRecords(), 0);
  EXPECT_TRUE(stations.AtEnd());
  EXPECT_EQ(stations.ActiveIndex(), "idxStationName");
  AddStation(stations, "Markt");
  EXPECT_EQ(Walk(stations), (Rows{"1:Markt"}));
}

TEST(Table, TextIsCutToSizeThenLosesTrailingBlanks) {
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  AddStation(stations, std::string(70, 'x'));
  EXPECT_EQ(stations.FieldAt(1).AsText(), std::string(64, 'x'));
  AddStation(stations, "  Markt  ");
  EXPECT_EQ(stations.FieldAt(1).AsText(), "  Markt");
  AddStation(stations, std::string(63, 'y') + "  z");  // the cut leaves a trailing blank
  EXPECT_EQ(stations.FieldAt(1).AsText(), std::string(63, 'y'));
  AddStation(stations, "");
  EXPECT_FALSE(stations.FieldAt(1).IsNull());
  EXPECT_EQ(stations.FieldAt(1).AsText(), "");
}

TEST(Table, UniqueIndexRefusesEqualKeyAndRecordStaysPending) {
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  AddStation(stations, "Markt");
  stations.AppendRecord();
  stations.FieldNamed("Station").SetText("Markt ");
  EXPECT_ERROR_TEXT(stations.PostRecord(), "Key violation.");
  EXPECT_TRUE(stations.HasPending());
  stations.FieldNamed("Station").SetText("markt");  // letter case makes a different key
  stations.PostRecord();
  EXPECT_EQ(stations.FieldAt(0).AsInteger(), 2);  // the refused post used no number

  Table& lines = dm.cdsLines;
  lines.CreateEmpty();
  for (int i = 0; i < 2; ++i) {
    lines.AppendRecord();
    lines.FieldNamed("Line").SetText("Linie 1");
    lines.PostRecord();
  }
  EXPECT_EQ(lines.CountRecords(), 2);
}

TEST(Table, PendingRecordAfterKeyViolationIsDiscardedOnClose) {
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  AddStation(stations, "Markt");
  stations.AppendRecord();
  stations.FieldNamed("Station").SetText("Markt");
  EXPECT_THROW(stations.PostRecord(), Error);
  stations.CloseTable();
  stations.OpenTable();
  EXPECT_EQ(stations.CountRecords(), 1);
  EXPECT_FALSE(stations.HasPending());
}

TEST(Table, StateErrors) {
  Tdm1 dm;
  EXPECT_ERROR_TEXT(dm.cdsLines.OpenTable(), "Fehlender Daten-Provider oder Datenpaket");
  EXPECT_EQ(dm.cdsLines.GetState(), Table::State::Absent);
  EXPECT_ERROR_TEXT(dm.cdsLines.AppendRecord(),
                    "Operation bei geschlossener Datenmenge nicht ausführbar");
  EXPECT_ERROR_TEXT(dm.cdsLines.MoveFirst(),
                    "Operation bei geschlossener Datenmenge nicht ausführbar");
  EXPECT_ERROR_TEXT(dm.cdsLines.FindByKey({Value("x")}),
                    "Operation bei geschlossener Datenmenge nicht ausführbar");
  dm.cdsLines.CreateEmpty();
  EXPECT_ERROR_TEXT(dm.cdsLines.FieldNamed("Line").SetText("x"),
                    "Datenmenge befindet sich nicht im Einfügemodus");
  EXPECT_ERROR_TEXT(dm.cdsLines.FieldNamed("Linie"), "Feld 'Linie' nicht gefunden");
  EXPECT_ERROR_TEXT(dm.cdsLines.FieldAt(2), "Listenindex überschreitet das Maximum (2)");
  EXPECT_ERROR_TEXT(dm.cdsLines.SetIndex("idxNone"), "Index 'idxNone' nicht gefunden");
}

TEST(Table, FindByKeyOnLeadingFields) {
  Tdm1 dm;
  Table& t = dm.cdsLineStations;
  t.CreateEmpty();
  for (int line : {3, 1, 2}) {
    for (int number = 1; number <= 3; ++number) AddLineStation(t, line, number, line * 10 + number);
  }
  t.SetIndex("idxLineStations");
  ASSERT_TRUE(t.FindByKey({Value(3), Value(2)}));
  EXPECT_EQ(t.FieldNamed("StationID").AsInteger(), 32);
  ASSERT_TRUE(t.FindByKey({Value(2)}));
  EXPECT_EQ(t.FieldNamed("LineStationNumber").AsInteger(), 1);
  t.MoveNext();
  EXPECT_EQ(t.FieldNamed("StationID").AsInteger(), 22);
  EXPECT_FALSE(t.FindByKey({Value(4)}));
  EXPECT_FALSE(t.FindByKey({Value(0)}));
  EXPECT_FALSE(t.FindByKey({Value(2), Value(4)}));
}

TEST(Table, FindByKeyNormalisesTextAndNeedsEqualBytes) {
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  AddStation(stations, std::string(64, 'a'));
  AddStation(stations, "Markt");
  AddStation(stations, "Mühle");
  stations.SetIndex("idxStationName");
  EXPECT_TRUE(stations.FindByKey({Value("Markt  ")}));
  EXPECT_EQ(stations.FieldAt(0).AsInteger(), 2);
  EXPECT_TRUE(stations.FindByKey({Value(std::string(64, 'a') + "bc")}));
  EXPECT_EQ(stations.FieldAt(0).AsInteger(), 1);
  EXPECT_FALSE(stations.FindByKey({Value("markt")}));
  EXPECT_FALSE(stations.FindByKey({Value(" Markt")}));
  EXPECT_FALSE(stations.FindByKey({Value("Muhle")}));
  EXPECT_TRUE(stations.FindByKey({Value("Mühle")}));
}

TEST(Table, FindByKeyPostsAPendingRecordOrDropsAnUntouchedOne) {
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  stations.SetIndex("idxStationName");
  stations.AppendRecord();
  stations.FieldNamed("Station").SetText("Markt");
  EXPECT_TRUE(stations.FindByKey({Value("Markt")}));
  EXPECT_EQ(stations.CountRecords(), 1);
  stations.AppendRecord();
  EXPECT_FALSE(stations.FindByKey({Value("Zoo")}));
  EXPECT_EQ(stations.CountRecords(), 1);
  EXPECT_FALSE(stations.HasPending());
}

// Only PostRecord and FindByKey post: changing the index or walking the records leaves a
// pending record pending, and closing the table discards it. So a conversion that walks a
// table after a refused post ("Key violation.") does not fail again.
TEST(Table, OnlyFindByKeyPostsAPendingRecordWhileIndexChangesAndWalksLeaveIt) {
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  AddStation(stations, "A");
  AddStation(stations, "B");
  stations.AppendRecord();
  stations.FieldNamed("Station").SetText("A");
  EXPECT_ERROR_TEXT(stations.PostRecord(), "Key violation.");

  stations.SetIndex("idxID");
  stations.SetIndex("idxStationName");
  EXPECT_EQ(Walk(stations), (Rows{"1:A", "2:B"}));  // the walk shows the posted records
  EXPECT_TRUE(stations.HasPending());
  EXPECT_EQ(stations.CountRecords(), 2);
  EXPECT_ERROR_TEXT(stations.FindByKey({Value("B")}), "Key violation.");
  stations.CloseTable();
  stations.OpenTable();
  EXPECT_FALSE(stations.HasPending());
  EXPECT_EQ(Walk(stations), (Rows{"1:A", "2:B"}));

  // A pending record that can be posted waits for PostRecord or FindByKey as well.
  stations.AppendRecord();
  stations.FieldNamed("Station").SetText("C");
  stations.MoveFirst();
  EXPECT_EQ(stations.FieldNamed("Station").AsText(), "A");
  EXPECT_EQ(stations.CountRecords(), 2);
  EXPECT_TRUE(stations.FindByKey({Value("C")}));
  EXPECT_EQ(stations.FieldAt(0).AsInteger(), 3);
}

TEST(Table, TextKeysFollowCollationNullsFirstEqualKeysInInsertionOrder) {
  Tdm1 dm;
  Table& lines = dm.cdsLines;
  lines.SetIndex("idxLineName");
  lines.CreateEmpty();
  for (const char* name : {"b", "Ä", "a", "B", "A", "a", "Z", "\x81"}) {
    lines.AppendRecord();
    lines.FieldNamed("Line").SetText(name);
    lines.PostRecord();
  }
  lines.AppendRecord();
  lines.FieldNamed("ID").SetInteger(1);  // a record with a null name
  lines.PostRecord();
  // Root collation: lower case before upper case, accents after the base letter,
  // the control character U+0081 ignorable and so before every letter.
  EXPECT_EQ(Walk(lines), (Rows{"9:", "8:\x81", "3:a", "6:a", "5:A", "2:Ä", "1:b", "4:B", "7:Z"}));
}

TEST(Table, NumberKeysCompareNumerically) {
  Tdm1 dm;
  Table& intervals = dm.cdsInterval;
  intervals.CreateEmpty();
  intervals.SetIndex("IdxInterval");
  for (double minutes : {10.0, 7.5, -1.0, 100.0}) {
    intervals.AppendRecord();
    intervals.FieldNamed("Interval").SetFloat(minutes);
    intervals.PostRecord();
  }
  std::vector<std::string> order;
  for (intervals.MoveFirst(); !intervals.AtEnd(); intervals.MoveNext()) {
    order.push_back(intervals.FieldNamed("Interval").AsText());
  }
  EXPECT_EQ(order, (Rows{"-1", "7.5", "10", "100"}));
  EXPECT_TRUE(intervals.FindByKey({Value(10)}));
  EXPECT_TRUE(intervals.FindByKey({Value(7.5)}));
  EXPECT_FALSE(intervals.FindByKey({Value(7)}));
}

TEST(Table, PostingUnderAnActiveIndexKeepsTheCursorOnThePostedRecord) {
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.SetIndex("idxStationName");
  stations.CreateEmpty();
  AddStation(stations, "Markt");
  AddStation(stations, "Bahnhof");
  EXPECT_EQ(stations.FieldAt(1).AsText(), "Bahnhof");
  stations.MoveNext();  // on from the posted record's place in the order
  EXPECT_EQ(stations.FieldAt(1).AsText(), "Markt");
  AddStation(stations, "Zoo");
  AddStation(stations, "Allee");
  EXPECT_TRUE(stations.FindByKey({Value("Zoo")}));
  EXPECT_EQ(stations.FieldAt(0).AsInteger(), 3);
  stations.AppendRecord();
  stations.FieldNamed("Station").SetText("Markt");
  EXPECT_ERROR_TEXT(stations.PostRecord(), "Key violation.");
  stations.CloseTable();
  stations.OpenTable();
  EXPECT_EQ(Walk(stations), (Rows{"4:Allee", "2:Bahnhof", "1:Markt", "3:Zoo"}));
  stations.SetIndex("");
  EXPECT_EQ(Walk(stations), (Rows{"1:Markt", "2:Bahnhof", "3:Zoo", "4:Allee"}));
}

TEST(Table, ManyRecordsPostedBetweenWalksComeOutInKeyOrder) {
  Tdm1 dm;
  Table& lines = dm.cdsLines;  // idxLineName allows equal names
  lines.SetIndex("idxLineName");
  lines.CreateEmpty();
  std::vector<std::pair<std::string, int>> expected;
  for (int i = 1; i <= 600; ++i) {
    // Names of one length and letter case: their collation order is their byte order.
    char name[8];
    std::snprintf(name, sizeof name, "L%03d", (i * 7919) % 211);
    lines.AppendRecord();
    lines.FieldNamed("Line").SetText(name);
    lines.PostRecord();
    expected.emplace_back(name, i);
    if (i % 97 == 0) lines.MoveFirst();  // the order is needed now and then
  }
  // Equal names stay in posting order.
  std::stable_sort(expected.begin(), expected.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  Rows want;
  for (const auto& [name, id] : expected) want.push_back(std::to_string(id) + ":" + name);
  EXPECT_EQ(Walk(lines), want);
}

TEST(Field, ReadingAndConvertingValues) {
  Tdm1 dm;
  Table& t = dm.cdsLineStations;
  t.CreateEmpty();
  t.AppendRecord();
  t.FieldNamed("LineID").SetText("42");
  EXPECT_ERROR_TEXT(t.FieldNamed("StationID").SetText("4x"), "'4x' ist kein gültiger Integerwert");
  t.PostRecord();
  EXPECT_EQ(t.FieldNamed("LineID").AsText(), "42");
  EXPECT_TRUE(t.FieldNamed("StationID").IsNull());  // never assigned
  EXPECT_EQ(t.FieldNamed("StationID").AsText(), "");
  EXPECT_EQ(t.FieldNamed("StationID").AsInteger(), 0);
  EXPECT_FALSE(t.FieldNamed("StationID").AsBoolean());

  Table& connections = dm.cdsDayGroupConnections;
  connections.CreateEmpty();
  connections.AppendRecord();
  connections.FieldNamed("Direction").SetInteger(32767);
  EXPECT_ERROR_TEXT(connections.FieldNamed("Direction").SetInteger(32768),
                    "32768 ist kein gültiger Wert für Feld 'Direction'. Der erlaubte Bereich ist "
                    "-32768 bis 32767");
  EXPECT_EQ(connections.FieldNamed("Direction").AsInteger(), 32767);

  Table& intervals = dm.cdsInterval;
  intervals.CreateEmpty();
  intervals.AppendRecord();
  intervals.FieldNamed("Interval").SetText("7.5");
  EXPECT_EQ(intervals.FieldNamed("Interval").AsFloat(), 7.5);
  EXPECT_EQ(intervals.FieldNamed("Interval").AsText(), "7.5");
  intervals.FieldNamed("Interval").Clear();
  EXPECT_TRUE(intervals.FieldNamed("Interval").IsNull());
}

}  // namespace
}  // namespace trivo

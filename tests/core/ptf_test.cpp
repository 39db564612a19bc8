#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/error.h"
#include "project/context.h"
#include "ptf/ptf_reader.h"
#include "ptf/ptf_writer.h"
#include "tables/data_module.h"
#include "test_support.h"

namespace trivo {
namespace {

using Tokens = std::vector<std::string>;
using test::TempDir;

void AddStation(Table& stations, const std::string& name) {
  stations.AppendRecord();
  stations.FieldNamed("Station").SetText(name);
  stations.PostRecord();
}

std::string StationsPtf(const std::vector<std::string>& rows) {
  return test::PtfText("\"ID\",\"Station\",", rows, 2);
}

// "ID:Station" of every record in the order of the active index; null shows as <null>.
std::vector<std::string> Walk(Table& stations) {
  std::vector<std::string> rows;
  stations.OpenTable();
  for (stations.MoveFirst(); !stations.AtEnd(); stations.MoveNext()) {
    const Field name = stations.FieldAt(1);
    rows.push_back(stations.FieldAt(0).AsText() + ":" + (name.IsNull() ? "<null>" : name.AsText()));
  }
  return rows;
}

// Writer

TEST(PtfWriter, StationsInInsertionOrder) {
  TempDir dir;
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  for (const char* name : {"Hauptbahnhof", "Markt", "Alte Mühle"}) AddStation(stations, name);
  ASSERT_TRUE(SaveTableToPtf(dir.path(), "stations.ptf", '"', stations));
  EXPECT_EQ(TempDir::Read(dir / "stations.ptf"),
            "/* Portable Table Format 1.0 */\r\n"
            "porTables[porTables.length] = new Array(\r\n"
            "\"ID\",\"Station\",\r\n"
            "1,\"Hauptbahnhof\",\r\n"
            "2,\"Markt\",\r\n"
            "3,\"Alte M\xFChle\",\r\n"
            "2);\r\n");
  EXPECT_TRUE(stations.IsOpen());
  EXPECT_TRUE(stations.AtEnd());
}

TEST(PtfWriter, RowsFollowTheActiveIndex) {
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  for (const char* name : {"Hauptbahnhof", "Markt", "Alte Mühle"}) AddStation(stations, name);
  stations.SetIndex("idxStationName");
  const auto lines = TableToPtfLines(stations, '"');
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[3], "3,\"Alte Mühle\",");
  EXPECT_EQ(lines[4], "1,\"Hauptbahnhof\",");
  EXPECT_EQ(lines[5], "2,\"Markt\",");
}

TEST(PtfWriter, NullIsWrittenBare) {
  TempDir dir;
  Tdm1 dm;
  Table& t = dm.cdsLineStations;
  t.CreateEmpty();
  t.AppendRecord();
  t.FieldNamed("LineStationNumber").SetInteger(1);
  t.FieldNamed("StationID").SetInteger(2);
  t.PostRecord();
  ASSERT_TRUE(SaveTableToPtf(dir.path(), "line_stations.ptf", '"', t));
  EXPECT_EQ(TempDir::Read(dir / "line_stations.ptf"),
            "/* Portable Table Format 1.0 */\r\n"
            "porTables[porTables.length] = new Array(\r\n"
            "\"LineID\",\"LineStationNumber\",\"StationID\",\r\n"
            "null,1,2,\r\n"
            "3);\r\n");
}

TEST(PtfWriter, EscapesBackslashesFirstThenQuotes) {
  EXPECT_EQ(PtfQuote("say \"hi\" \\o/", '"'), "\"say \\\"hi\\\" \\\\o/\"");
  EXPECT_EQ(PtfQuote("\\", '"'), "\"\\\\\"");
  EXPECT_EQ(PtfQuote("", '"'), "\"\"");
  EXPECT_EQ(PtfQuote("it's \"x\"", '\''), "'it\\'s \"x\"'");
}

TEST(PtfWriter, EmptyTableHasFourLines) {
  Tdm1 dm;
  dm.cdsDayGroups.CreateEmpty();
  EXPECT_EQ(TableToPtfLines(dm.cdsDayGroups, '"'),
            (Tokens{"/* Portable Table Format 1.0 */", "porTables[porTables.length] = new Array(",
                    "\"ID\",\"Group\",\"Days\",\"Text\",", "4);"}));
}

TEST(PtfWriter, FloatsInShortestForm) {
  Tdm1 dm;
  Table& intervals = dm.cdsInterval;
  intervals.CreateEmpty();
  for (double minutes : {15.0, 7.5}) {
    intervals.AppendRecord();
    intervals.FieldNamed("ID").SetInteger(-1);
    intervals.FieldNamed("Interval").SetFloat(minutes);
    intervals.PostRecord();
  }
  const auto lines = TableToPtfLines(intervals, '"');
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3], "-1,15,");
  EXPECT_EQ(lines[4], "-1,7.5,");
}

TEST(PtfWriter, OpensAClosedTableAndFailsOnAnAbsentOne) {
  TempDir dir;
  Tdm1 dm;
  dm.cdsLines.CreateEmpty();
  dm.cdsLines.AppendRecord();
  dm.cdsLines.FieldNamed("Line").SetText("Linie 1");
  dm.cdsLines.PostRecord();
  dm.cdsLines.CloseTable();
  EXPECT_EQ(TableToPtfLines(dm.cdsLines, '"')[3], "1,\"Linie 1\",");
  EXPECT_TRUE(dm.cdsLines.IsOpen());
  EXPECT_THROW(SaveTableToPtf(dir.path(), "x.ptf", '"', dm.cdsStations), Error);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.ptf"));
}

TEST(PtfWriter, WritingTwiceLeavesOnlyTheSecondContent) {
  TempDir dir;
  Tdm1 dm;
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  AddStation(stations, "Hauptbahnhof");
  AddStation(stations, "Markt");
  ASSERT_TRUE(SaveTableToPtf(dir.path(), "stations.ptf", '"', stations));
  stations.CreateEmpty();
  AddStation(stations, "Zoo");
  ASSERT_TRUE(SaveTableToPtf(dir.path(), "stations.ptf", '"', stations));
  EXPECT_EQ(TempDir::Read(dir / "stations.ptf"), StationsPtf({"1,\"Zoo\","}));
}

TEST(PtfWriter, UnwritableFolderGivesFalse) {
  TempDir dir;
  Tdm1 dm;
  dm.cdsStations.CreateEmpty();
  EXPECT_FALSE(SaveTableToPtf(dir / "missing", "stations.ptf", '"', dm.cdsStations));
}

// Tokenizer

// Far longer than the reader's read buffer and any 16-bit length.
constexpr std::size_t kLongLine = 1024 * 1024;

Tokens Tokenize(std::string_view line, bool expectValid = true) {
  Tokens tokens{"left over"};
  EXPECT_EQ(ParsePtfValues(line, tokens), expectValid) << line;
  return tokens;
}

TEST(ParsePtfValues, RecordLines) {
  EXPECT_EQ(Tokenize("1,\"Markt\","), (Tokens{"n=1", "s=Markt"}));
  EXPECT_EQ(Tokenize("null,4,"), (Tokens{"u=null", "n=4"}));
  EXPECT_EQ(Tokenize("\"a,b\","), (Tokens{"s=a,b"}));
  EXPECT_EQ(Tokenize("\"say \\\"hi\\\" \\\\o/\","), (Tokens{"s=say \"hi\" \\o/"}));
  EXPECT_EQ(Tokenize("1,\"x\""), (Tokens{"n=1", "s=x"}));
  EXPECT_EQ(Tokenize("\"x\",1"), (Tokens{"s=x"}));
  EXPECT_EQ(Tokenize("abc,", false), Tokens{});
  EXPECT_EQ(Tokenize("1,\\,", false), (Tokens{"n=1"}));
}

TEST(ParsePtfValues, EscapesAndBareValues) {
  EXPECT_EQ(Tokenize("\"a\\ b\","), (Tokens{"s=a b"}));          // escaped blank: plain blank
  EXPECT_EQ(Tokenize("\"a\\,b\\x\","), (Tokens{"s=a\\,b\\x"}));  // backslash stays
  EXPECT_EQ(Tokenize("'it\"s',\"it's\","), (Tokens{"s=it\"s", "s=it's"}));
  EXPECT_EQ(Tokenize("\"\\'\","), (Tokens{"s='"}));
  EXPECT_EQ(Tokenize(" true , false,-7.5e3 ,+2,"),
            (Tokens{"b=true", "b=false", "n=-7.5e3", "n=+2"}));
  EXPECT_EQ(Tokenize("1,\"open"), (Tokens{"n=1"}));  // unclosed string dropped
  EXPECT_EQ(Tokenize(""), Tokens{});
  EXPECT_EQ(Tokenize("True,", false), Tokens{});
  EXPECT_EQ(Tokenize("1.5.2,", false), Tokens{});
  EXPECT_EQ(Tokenize("- 1,"), (Tokens{"n=-1"}));  // blanks outside strings are ignored
  EXPECT_EQ(Tokenize("\"a\",x\"b\",", true), (Tokens{"s=a", "s=xb"}));
}

TEST(ParsePtfValues, SurvivesAnyBytes) {
  const std::string huge(kLongLine, 'x');
  EXPECT_EQ(Tokenize("\"" + huge + "\",")[0].size(), huge.size() + 2);
  Tokenize(huge + ",", false);
  EXPECT_EQ(Tokenize(std::string("\"a\0b\",", 6)), (Tokens{std::string("s=a\0b", 5)}));
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  Tokens tokens;
  ParsePtfValues(all + all, tokens);
  EXPECT_EQ(Tokenize("99999999999999999999,"), (Tokens{"n=99999999999999999999"}));
}

// Reader

class PtfReader : public ::testing::Test {
 protected:
  bool Load(const std::string& bytes) {
    dir.Write("stations.ptf", bytes);
    return LoadTableFromPtf(dir.path(), "stations.ptf", dm.cdsStations);
  }

  TempDir dir;
  Tdm1 dm;
};

TEST_F(PtfReader, TakesItsOwnNumberingInFileOrder) {
  ASSERT_TRUE(Load(StationsPtf({"5,\"Markt\",", "3,\"Alte Mühle\",", "9,\"Zoo\","})));
  EXPECT_EQ(dm.cdsStations.GetState(), Table::State::Closed);
  EXPECT_EQ(Walk(dm.cdsStations), (Tokens{"1:Markt", "2:Alte Mühle", "3:Zoo"}));
}

TEST_F(PtfReader, ReadsBackWhatTheWriterWrote) {
  Table& stations = dm.cdsStations;
  stations.CreateEmpty();
  for (const char* name : {"say \"hi\" \\o/", "a,b", "'x'", " lead", "\\"})
    AddStation(stations, name);
  ASSERT_TRUE(SaveTableToPtf(dir.path(), "stations.ptf", '"', stations));
  ASSERT_TRUE(LoadTableFromPtf(dir.path(), "stations.ptf", stations));
  EXPECT_EQ(Walk(stations), (Tokens{"1:say \"hi\" \\o/", "2:a,b", "3:'x'", "4: lead", "5:\\"}));
}

TEST_F(PtfReader, WideningPersistsAcrossCreateEmpty) {
  const std::string longName(50, 'L');
  ASSERT_TRUE(Load(StationsPtf({"1,\"" + longName + "\","})));
  EXPECT_EQ(dm.cdsStations.FieldDefs()[1].size, 66);
  EXPECT_EQ(Walk(dm.cdsStations), (Tokens{"1:" + longName}));
  dm.cdsStations.CreateEmpty();
  AddStation(dm.cdsStations, std::string(70, 'x'));
  EXPECT_EQ(dm.cdsStations.FieldAt(1).AsText(), std::string(66, 'x'));
}

TEST_F(PtfReader, QuotedNullIsANullName) {
  ASSERT_TRUE(Load(StationsPtf({"1,\"null\",", "2,\"Markt\","})));
  EXPECT_EQ(Walk(dm.cdsStations), (Tokens{"1:<null>", "2:Markt"}));
}

TEST_F(PtfReader, FewerThanFiveLinesLeaveTheTableUntouched) {
  dm.cdsStations.CreateEmpty();
  AddStation(dm.cdsStations, "Markt");
  EXPECT_FALSE(Load(StationsPtf({})));
  EXPECT_TRUE(dm.cdsStations.IsOpen());
  EXPECT_EQ(dm.cdsStations.CountRecords(), 1);
}

TEST_F(PtfReader, InvalidLinesAreSkipped) {
  ASSERT_TRUE(Load(StationsPtf({"1,\"Markt\",", "1,Zoo,", "1,\\\"Anger\",", "7,\"Zoo\","})));
  EXPECT_EQ(Walk(dm.cdsStations), (Tokens{"1:Markt", "2:Zoo"}));
}

TEST_F(PtfReader, ErrorsStopReadingAndKeepTheRecordsBefore) {
  const std::vector<std::vector<std::string>> failing = {
      {"1,\"Markt\",", "\"x\",\"Zoo\",", "3,\"Anger\","},        // not an integer
      {"1,\"Markt\",", "99999999999,\"Zoo\",", "3,\"Anger\","},  // beyond 32 bits
      {"1,\"Markt\",", "2,\"Zoo\",3,", "3,\"Anger\","},          // more values than fields
      {"1,\"Markt\",", "2,\"Markt\",", "3,\"Anger\","},          // duplicate name
  };
  for (const auto& rows : failing) {
    EXPECT_FALSE(Load(StationsPtf(rows))) << rows[1];
    EXPECT_EQ(dm.cdsStations.GetState(), Table::State::Closed);
    EXPECT_EQ(Walk(dm.cdsStations), (Tokens{"1:Markt"})) << rows[1];
  }
}

TEST_F(PtfReader, ConvertsEveryFieldType) {
  dir.Write("intervals.ptf",
            "/* Portable Table Format 1.0 */\r\nx\r\ny\r\n-3,7.5,\r\n\"$1F\",1e2,\r\n2);");
  ASSERT_TRUE(LoadTableFromPtf(dir.path(), "intervals.ptf", dm.cdsInterval));
  Table& t = dm.cdsInterval;
  t.OpenTable();
  EXPECT_EQ(t.FieldAt(0).AsInteger(), -3);
  EXPECT_EQ(t.FieldAt(1).AsFloat(), 7.5);
  t.MoveNext();
  EXPECT_EQ(t.FieldAt(0).AsInteger(), 31);
  EXPECT_EQ(t.FieldAt(1).AsFloat(), 100);
}

TEST_F(PtfReader, SurvivesHostileFiles) {
  EXPECT_TRUE(Load(StationsPtf({"1,\"" + std::string(kLongLine, 'y') + "\","})));
  EXPECT_EQ(dm.cdsStations.FieldDefs()[1].size, static_cast<int>(kLongLine) + 16);
  // A NUL ends the text, so the cut line becomes the closing line; the empty string for
  // the ID of the second record line then stops the reading.
  EXPECT_FALSE(Load(StationsPtf({"1,\"a", "\"\"\"\"\"'", std::string("1,\"x\0\",", 7)})));
  EXPECT_EQ(Walk(dm.cdsStations), (Tokens{"1:<null>"}));
  EXPECT_FALSE(Load(StationsPtf({"1e400,\"a\","})));
}

TEST_F(PtfReader, MissingFileFailsWithTheFileName) {
  try {
    LoadTableFromPtf(dir.path(), "stations.ptf", dm.cdsStations);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Datei stations.ptf kann nicht geöffnet werden. ", 0),
              0u)
        << error.what();
  }
}

TEST(LoadStationsPtf, ReportsAFileWithoutStations) {
  TempDir dir;
  test::RecordingUserInterface ui;
  Context ctx(ui);
  ctx.WorkingDir = dir.path().string();
  dir.Write("stations.ptf", StationsPtf({}));
  LoadStationsPtf(ctx.WorkingDir, ctx.dm1.cdsStations, ui);
  EXPECT_EQ(ui.events, (Tokens{"[Meldung] Keine Stationen gefunden (Datei: stations.ptf)!"}));
  EXPECT_TRUE(ctx.dm1.cdsStations.IsOpen());
  EXPECT_EQ(ctx.dm1.cdsStations.CountRecords(), 0);

  ui.events.clear();
  dir.Write("stations.ptf", StationsPtf({"4,\"Markt\","}));
  LoadStationsPtf(ctx.WorkingDir, ctx.dm1.cdsStations, ui);
  EXPECT_TRUE(ui.events.empty());
  EXPECT_EQ(Walk(ctx.dm1.cdsStations), (Tokens{"1:Markt"}));
}

}  // namespace
}  // namespace trivo

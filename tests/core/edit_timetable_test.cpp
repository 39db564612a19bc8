#include "editor/edit_timetable.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/error.h"
#include "convert/master_data.h"
#include "test_support.h"

namespace trivo {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kFillDownQuestion = "[Frage] Für alle weiteren Stationen übernehmen?";
constexpr const char* kErrorsQuestion =
    "[Frage] Der Fahrplan enthält Fehler - Möchten Sie trotzdem speichern?";

// The editor on a project folder with the line U1 (stations A, B, C, D) and the day
// group Mo-Fr; what it shows the user is recorded.
class EditorTest : public ::testing::Test {
 protected:
  EditorTest() {
    ctx_.ProjectDir = dir_.path().string();
    ctx_.WorkingDir = dir_.path().string();
    ctx_.PrjParams.DayGroups.push_back(TDayGroupItem{"Mo-Fr", "Mo-Fr", Weekdays(0x1f)});
    dir_.Write("stations.csv", "A\r\nB\r\nC\r\nD\r\n");
    dir_.Write("lines.csv", "U1\r\n");
    dir_.Write("line_stations.csv", "U1=A,B,C,D\r\n");
    dir_.Write("station_lines.csv", "");
    ed_.cbLines.Assign({"U1"});
    ed_.cbDays.Assign({"Mo-Fr"});
  }

  // Writes line_U1.ttd and loads direction 1.
  void Load(const std::string& ttd, const char* direction = "1") {
    dir_.Write("line_U1.ttd", ttd);
    ed_.cbDirection.Select(direction);
    ed_.btTimeTableEditClick();
    ui_.events.clear();
  }
  // Loads one section of rows ("A,08:00,..." each).
  void LoadRows(const Lines& rows) {
    std::string ttd = "[1_Mo-Fr]\r\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      ttd += std::to_string(i + 1) + "=" + rows[i] + "\r\n";
    }
    Load(ttd);
  }

  const std::string& Cell(int col, int row) const { return ed_.sgTimeTable().Cell(col, row); }
  Lines Column(int col) const {
    Lines texts;
    for (int r = 2; r < ed_.sgTimeTable().RowCount(); ++r) texts.push_back(Cell(col, r));
    return texts;
  }
  // Moves to the cell (copy mode makes the move unchecked) and types the text into it.
  void TypeAt(int col, int row, const std::string& text) {
    const bool copy = ed_.CopyMode();
    ed_.sbCopyModeClick(true);
    ed_.sgTimeTableSelectCell({col, row});
    ed_.sbCopyModeClick(copy);
    Type(text);
  }
  void Type(const std::string& text) {
    std::string typed;
    for (const char c : text) {
      if (ed_.sgTimeTableKeyPress(c)) ed_.SetCellEditorText(typed += c);
    }
  }
  // Leaves the current cell for the cell to the right: whether the move was allowed.
  bool Leave() {
    const CellPos at = ed_.Current();
    return ed_.sgTimeTableSelectCell({at.col + 1, at.row});
  }
  std::string Read(const std::string& name) const { return test::TempDir::Read(dir_ / name); }

  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
  EditTimeTable ed_{ctx_};
};

// --- Loading ---------------------------------------------------------------------------------

TEST_F(EditorTest, FreshGridHasHeadingsAndNumberedTrips) {
  const StringGrid& grid = ed_.sgTimeTable();
  EXPECT_EQ(grid.ColCount(), 512);
  EXPECT_EQ(Cell(1, 1), "Stationen");
  EXPECT_EQ(Cell(2, 0), "1");
  EXPECT_EQ(Cell(511, 0), "510");
  EXPECT_FALSE(ed_.EditMode());
}

TEST_F(EditorTest, LoadingReadsRowsUntilTheFirstGapAndMarksPairs) {
  Load("[1_Mo-Fr]\r\n1=A,08:00\r\n2=B,08:05\r\n3=B,,08:10\r\n5=D,08:20\r\n");
  EXPECT_TRUE(ed_.EditMode());
  EXPECT_FALSE(ed_.btSaveVisible());
  EXPECT_EQ(ed_.sgTimeTable().RowCount(), 5);
  EXPECT_EQ(Column(1), (Lines{"A", "B", "B"}));
  EXPECT_EQ(Column(0), (Lines{"+", "-", "-"}));
  EXPECT_EQ(Column(3), (Lines{"", "", "08:10"}));
  EXPECT_EQ((ed_.Current()), (CellPos{2, 2}));
}

TEST_F(EditorTest, SectionWithoutKeyOneGivesOneEmptyRow) {
  Load("[1_Mo-Fr]\r\n2=B,08:05\r\n");
  EXPECT_EQ(ed_.sgTimeTable().RowCount(), 3);
  EXPECT_EQ(Column(1), (Lines{""}));
}

TEST_F(EditorTest, NewTimetableListsTheStationsInTravelOrder) {
  Load("", "2");
  EXPECT_EQ(Column(1), (Lines{"D", "C", "B", "A"}));
  EXPECT_EQ(Column(0), (Lines{"+", "+", "+", "+"}));
  EXPECT_EQ(ctx_.editor.CurrentDirection, 2);
}

TEST_F(EditorTest, LineWithoutStationsStaysInChoiceMode) {
  dir_.Write("line_stations.csv", "U1=\r\n");
  Load("");
  EXPECT_FALSE(ed_.EditMode());
}

TEST_F(EditorTest, RowsWiderThanTheGridWidenItAndSurviveASave) {
  std::string row = "A";
  for (int i = 0; i < 600; ++i) row += ",0" + std::to_string(i % 10) + ":00";
  LoadRows({row, "B" + row.substr(1)});
  EXPECT_EQ(ed_.sgTimeTable().ColCount(), 602);
  EXPECT_EQ(Cell(601, 0), "600");
  ed_.sgTimeTableKeyPress('x');  // makes the save button visible
  ed_.btSaveClick();
  EXPECT_NE(Read("line_U1.ttd").find("1=" + row + "\r\n"), std::string::npos);
}

// --- Cell entry ------------------------------------------------------------------------------

struct Entry {
  const char* above;  // time in the cell above, or "" for none
  const char* typed;
  const char* result;  // the cell's text afterwards; nullptr: rejected
};

class ShortHandTest : public EditorTest, public ::testing::WithParamInterface<Entry> {};

// Typed into trip 2 below the time "above"; trip 1 has times beside it, so that an
// interval may follow them.
TEST_P(ShortHandTest, BecomesATimeOrIsRejected) {
  const Entry& entry = GetParam();
  LoadRows({std::string("A,,") + entry.above, "B,07:00", "C,07:10"});
  TypeAt(3, 3, entry.typed);
  const bool left = Leave();
  EXPECT_EQ(left, entry.result != nullptr) << entry.typed;
  EXPECT_EQ(Cell(3, 3), entry.result ? entry.result : "") << entry.typed;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ShortHandTest,
    ::testing::Values(Entry{"08:20", "815", nullptr},  // 1435 minutes later
                      Entry{"08:00", "815", "08:15"}, Entry{"08:00", "8:5", "08:50"},
                      Entry{"08:00", "8.15", "08:15"}, Entry{"08:00", "0815", "08:15"},
                      Entry{"08:00", "12345", nullptr}, Entry{"08:00", "8:", nullptr},
                      Entry{"08:00", ":15", nullptr}, Entry{"08:20", "25", "08:25"},
                      Entry{"08:20", "20", "08:20"}, Entry{"08:20", "15", "09:15"},
                      Entry{"23:58", "+5", "00:03"}, Entry{"08:00", "+1440", nullptr},
                      Entry{"08:00", "=", "08:00"}, Entry{"08:00", "x", nullptr},
                      Entry{"08:00", "a10", "10 Min"}, Entry{"08:00", "10min", "10 Min"},
                      Entry{"08:00", "10 MIN", "10 Min"}, Entry{"08:00", "a", nullptr},
                      Entry{"08:00", "min", nullptr}, Entry{"08:00", "  ", ""}));

TEST_F(EditorTest, MinuteInputTakesTheHourFromAnEarlierTrip) {
  LoadRows({"A,08:20", "B"});
  TypeAt(3, 2, "20");
  EXPECT_TRUE(Leave());
  EXPECT_EQ(Cell(3, 2), "09:20");  // equal minute, base not in the same column
}

TEST_F(EditorTest, TimeAfterAnIntervalMustFitItsPeriod) {
  for (const auto& [typed, allowed] : std::vector<std::pair<std::string, bool>>{
           {"08:30", true}, {"08:25", false}, {"08:00", false}}) {
    LoadRows({"A,08:00,10 Min"});
    TypeAt(4, 2, typed);
    EXPECT_EQ(Leave(), allowed) << typed;
  }
}

TEST_F(EditorTest, IntervalInTheFirstTripIsRefusedBesideAStationName) {
  LoadRows({"A", "B"});
  TypeAt(2, 3, "A 10");
  EXPECT_FALSE(Leave());
}

TEST_F(EditorTest, CopyAboveIsRefusedInTheFirstRowAndBelowAnInvalidCell) {
  LoadRows({"A,x", "B"});
  TypeAt(2, 3, "=");
  EXPECT_FALSE(Leave());
  TypeAt(3, 2, "s");
  EXPECT_FALSE(Leave());
}

TEST_F(EditorTest, IntervalFilledDownWithEnterGoesOnInTheNextColumn) {
  LoadRows({"A,08:00", "B,08:05", "C", "D,08:15"});
  TypeAt(3, 2, "a10");
  ed_.sgTimeTableKeyPress('\r');
  EXPECT_EQ(ui_.events, (Lines{kFillDownQuestion}));
  EXPECT_EQ(Column(3), (Lines{"10 Min", "10 Min", "", "10 Min"}));
  EXPECT_EQ((ed_.Current()), (CellPos{4, 2}));
  EXPECT_FALSE(ed_.SkipNextCheck());
}

TEST_F(EditorTest, PatternCopyLeftByMouseBeepsAndTheNextMovePasses) {
  LoadRows({"A,08:00,08:30", "B,08:05,x"});
  TypeAt(3, 3, "s1");
  EXPECT_FALSE(ed_.sgTimeTableSelectCell({5, 2}));
  EXPECT_EQ(ui_.events, (Lines{"[Beep]"}));
  EXPECT_EQ(Column(3), (Lines{"08:30", "08:35"}));
  EXPECT_TRUE(ed_.sgTimeTableSelectCell({5, 2}));
}

TEST_F(EditorTest, PatternCopyShiftsTheOtherTripsTimes) {
  LoadRows({"A,08:00,,08:30", "B,08:05,,", "C,,,", "D,23:50,,"});
  TypeAt(4, 3, "=1");
  ed_.sgTimeTableKeyPress('\r');
  EXPECT_EQ(Column(4), (Lines{"08:30", "08:35", "", "00:20"}));
  EXPECT_EQ((ed_.Current()), (CellPos{5, 2}));
}

TEST_F(EditorTest, PatternCopyWithANonNumberIsAnIntegerError) {
  LoadRows({"A,08:00", "B"});
  TypeAt(2, 3, "=x");
  try {
    Leave();
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "'x' ist kein gültiger Integerwert");
  }
  EXPECT_EQ((ed_.Current()), (CellPos{2, 3}));
  EXPECT_EQ(Cell(2, 3), "=x");
}

TEST_F(EditorTest, RejectedTypingRestoresWhileAnUntouchedInvalidCellKeepsItsText) {
  LoadRows({"A,08:00,bad", "B,07:00"});
  TypeAt(2, 3, "99");
  EXPECT_FALSE(Leave());
  EXPECT_EQ(Cell(2, 3), "07:00");
  EXPECT_EQ(ui_.events, (Lines{"[Beep]"}));

  ed_.sbCopyModeClick(true);
  ed_.sgTimeTableSelectCell({3, 2});
  ed_.sbCopyModeClick(false);
  EXPECT_FALSE(Leave());
  EXPECT_EQ(Cell(3, 2), "bad");
}

TEST_F(EditorTest, EnterInTheLastRowGoesToTheTopOfTheNextColumn) {
  LoadRows({"A", "B"});
  TypeAt(2, 3, "");
  ed_.sgTimeTableKeyPress('\r');
  EXPECT_EQ((ed_.Current()), (CellPos{3, 2}));
  TypeAt(511, 3, "");
  ed_.sgTimeTableKeyPress('\r');
  EXPECT_EQ((ed_.Current()), (CellPos{511, 3}));
  EXPECT_TRUE(ed_.btSaveVisible());
}

// A move to the cell that is current already is no move: nothing is checked, nothing
// beeps and nothing is rewritten.
TEST_F(EditorTest, MovingToTheCurrentCellChecksNothing) {
  LoadRows({"A,08:00", "B,07:00"});
  TypeAt(2, 3, "99");  // a text the check refuses
  EXPECT_TRUE(ed_.sgTimeTableSelectCell({2, 3}));
  EXPECT_EQ(Cell(2, 3), "99");
  EXPECT_TRUE(ed_.TypingStarted());
  EXPECT_TRUE(ui_.events.empty());

  // The paste's second move, to the top of the column it moved to, stays where it is:
  // the time there keeps its typed form.
  LoadRows({"A,,5:03", "B"});
  StringGrid work(1, 1, 0, 0);
  work.SetCell(0, 0, "08:00");
  ed_.sbPasteClick(work, GridRect{0, 0, 0, 0});
  EXPECT_EQ((ed_.Current()), (CellPos{3, 2}));
  EXPECT_EQ(Column(3), (Lines{"5:03", ""}));

  // A paste whose first move is refused beeps once.
  LoadRows({"A", "B"});
  work.SetCell(0, 0, "x");
  ed_.sbPasteClick(work, GridRect{0, 0, 0, 0});
  EXPECT_EQ((ed_.Current()), (CellPos{2, 2}));
  EXPECT_EQ(ui_.events, (Lines{"[Beep]"}));
}

// --- Markers, copy mode, paste, columns ------------------------------------------------------

TEST_F(EditorTest, SplittingAndMergingAStation) {
  LoadRows({"A,08:00", "B,08:05", "C,08:10"});
  ui_.answers = {Answer::Yes};
  ed_.sgTimeTableMouseDown({0, 3});
  EXPECT_EQ(Column(1), (Lines{"A", "B", "B", "C"}));
  EXPECT_EQ(Column(0), (Lines{"+", "-", "-", "+"}));
  EXPECT_EQ(Column(2), (Lines{"08:00", "08:05", "08:05", "08:10"}));
  EXPECT_EQ(ui_.events, (Lines{"[Frage] Gleiche Werte einsetzen?"}));
  EXPECT_FALSE(ed_.btSaveVisible());

  ed_.sgTimeTableMouseDown({0, 4});  // the second row of the pair
  EXPECT_EQ(Column(0), (Lines{"+", "+", "+"}));
  ui_.answers = {Answer::No};
  ed_.sgTimeTableMouseDown({0, 3});
  ed_.sgTimeTableMouseDown({0, 3});  // the first row of the pair
  EXPECT_EQ(Column(1), (Lines{"A", "B", "C"}));
  EXPECT_EQ(Column(2), (Lines{"08:00", "08:05", "08:10"}));
}

TEST_F(EditorTest, PasteFillsTheBlockAndMovesToTheNextColumn) {
  LoadRows({"A", "B", "C", "D"});
  StringGrid work(5, 5, 0, 0);
  work.SetCell(1, 1, "08:00");
  work.SetCell(2, 1, "09:00");
  work.SetCell(1, 2, "08:05");
  TypeAt(3, 2, "");
  ed_.sbPasteClick(work, GridRect{1, 1, 2, 2});
  EXPECT_EQ(Column(3), (Lines{"08:00", "08:05", "", ""}));
  EXPECT_EQ(Column(4), (Lines{"09:00", "", "", ""}));
  EXPECT_EQ((ed_.Current()), (CellPos{5, 2}));
  EXPECT_TRUE(ed_.btSaveVisible());
}

TEST_F(EditorTest, PasteReachingTheLastColumnCannotMoveOn) {
  LoadRows({"A"});
  StringGrid work(5, 5, 0, 0);
  TypeAt(510, 2, "");
  EXPECT_THROW(ed_.sbPasteClick(work, GridRect{0, 0, 1, 0}), Error);
  EXPECT_EQ((ed_.Current()), (CellPos{510, 2}));
}

TEST_F(EditorTest, CopyModeMovesWithoutChecksAndTypingChangesNothing) {
  LoadRows({"A,bad", "B"});
  ed_.sbCopyModeClick(true);
  EXPECT_FALSE(ed_.sgTimeTableKeyPress('7'));
  ed_.sgTimeTableKeyPress('\r');
  EXPECT_EQ((ed_.Current()), (CellPos{2, 3}));
  EXPECT_EQ(Cell(2, 2), "bad");
  EXPECT_TRUE(ed_.btSaveVisible());
}

TEST_F(EditorTest, DraggedColumnsAreRenumbered) {
  LoadRows({"A,1:00,2:00,3:00"});
  ed_.sgTimeTableColumnMoved(4, 2);
  EXPECT_EQ(ed_.sgTimeTable().Row(2)[2], "3:00");
  EXPECT_EQ(Cell(3, 2), "1:00");
  EXPECT_EQ(Cell(2, 0), "1");
  EXPECT_EQ(Cell(4, 0), "3");
  EXPECT_EQ((ed_.Current()), (CellPos{3, 2}));  // the current cell moved with its trip
  ed_.Spalteeinfgen1Click();
  EXPECT_EQ(ed_.sgTimeTable().ColCount(), 513);
  EXPECT_EQ(Cell(512, 0), "");
}

// --- Saving ----------------------------------------------------------------------------------

TEST_F(EditorTest, SaveRepairsPairsAndWritesRowsAndDistances) {
  // B is a pair; trip 1 begins at B's arrival row, trip 2 has a time only in the
  // arrival row inside the trip, trip 3 runs A-C without stopping at B.
  dir_.Write("line_stations.csv", "U1=A,B,C\r\n");
  LoadRows({"A,,08:00,09:00", "B,08:04,08:04", "B,,,", "C,08:10,08:11,09:09"});
  ed_.sgTimeTableKeyPress('x');
  ed_.btSaveClick();
  EXPECT_TRUE(ui_.events.empty());
  EXPECT_FALSE(ed_.EditMode());
  EXPECT_EQ(Read("line_U1.ttd"),
            "[1_Mo-Fr]\r\n1=A,,08:00,09:00\r\n2=B,,08:04\r\n3=B,08:04,08:04\r\n"
            "4=C,08:10,08:11,09:09\r\n");
  EXPECT_EQ(Read("distances.csv"),
            "[U1_1_Mo-Fr]\r\ndistance1=\"A\",4,\"B\",0,\"B\",6,\"C\"\r\n"
            "distance2=\"A\",\"C\",9\r\nnewcross=\"B\",\"A\",\"C\"\r\n");
}

TEST_F(EditorTest, SingleTimeTripIsMarkedAndNoKeepsTheEditor) {
  LoadRows({"A,08:15", "B"});
  ed_.sgTimeTableKeyPress('x');
  ui_.answers = {Answer::No};
  ed_.btSaveClick();
  EXPECT_EQ(ui_.events, (Lines{kErrorsQuestion}));
  EXPECT_EQ(Cell(2, 2), "08*15");
  EXPECT_TRUE(ed_.EditMode());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "distances.csv"));
}

TEST_F(EditorTest, EmptyRowsKeepTheirCommasAndSavingAgainReplacesTheSection) {
  dir_.Write("distances.csv", "[Other]\r\nx=1\r\n[U1_1_Mo-Fr]\r\ndistance2=old\r\n");
  LoadRows({"\"Q\"uote", "B,,,08:00", "C,,,08:03"});
  ed_.SetCellEditorText("");
  ed_.sgTimeTableKeyPress('x');
  ed_.btSaveClick();
  const std::string ttd = Read("line_U1.ttd");
  EXPECT_NE(ttd.find("1=\"Q\"uote\r\n2=B,,,08:00\r\n"), std::string::npos);
  EXPECT_EQ(Read("distances.csv"),
            "[Other]\r\nx=1\r\n[U1_1_Mo-Fr]\r\ndistance1=\"\"\"Q\"\"uote\",9999,\"B\",3,\"C\"\r\n"
            "newcross=\"B\"\r\n");

  ed_.btTimeTableEditClick();
  ed_.sgTimeTableSelectCell({2, 2});
  ed_.sgTimeTableKeyPress('x');
  ed_.btSaveClick();
  EXPECT_EQ(Read("line_U1.ttd"), ttd);
}

TEST_F(EditorTest, AllEmptyRowIsWrittenAsCommas) {
  LoadRows({",,", "B"});
  ed_.sgTimeTableKeyPress('x');
  ed_.btSaveClick();
  EXPECT_EQ(Read("line_U1.ttd"), "[1_Mo-Fr]\r\n1=" + std::string(510, ',') + "\r\n2=B\r\n");
}

// A cell saved unchecked (the one being typed, or one pasted from a web page) may hold a
// comma or a line break, which the row format cannot hold inside a field: each becomes a
// blank, so that the later trips of the row stay in their columns.
TEST_F(EditorTest, CommasAndLineBreaksInCellsDoNotShiftTheRow) {
  LoadRows({"A,08:00,09:00,10:00", "B,08:05,09:05,10:05"});
  ed_.sbCopyModeClick(true);
  ed_.sgTimeTableSelectCell({3, 2});
  ed_.SetCellEditorText("9,00");
  ed_.sgTimeTableSelectCell({3, 3});
  ed_.SetCellEditorText("09:05\r\n(Ersatz)");
  ed_.btSaveClick();
  EXPECT_NE(Read("line_U1.ttd").find("1=A,08:00,9 00,10:00\r\n2=B,08:05,09:05  (Ersatz),10:05\r\n"),
            std::string::npos);
  ed_.btTimeTableEditClick();
  EXPECT_EQ(Column(4), (Lines{"10:00", "10:05"}));
}

// A row that is a quoted station alone would lose its quotes when read.
TEST_F(EditorTest, RowInQuotesReadsBackAsSaved) {
  LoadRows({"A,08:00", "\"B\",", "C,08:09"});
  ed_.btSaveClick();
  EXPECT_NE(Read("line_U1.ttd").find("\r\n2=\"\"B\"\"\r\n"), std::string::npos);
  ed_.btTimeTableEditClick();
  EXPECT_EQ(Column(1), (Lines{"A", "\"B\"", "C"}));
}

// Text files are written with CR LF: the sections a save does not touch keep their
// contents, and their lines, ended by LF or CR alone before, end with CR LF afterwards.
TEST_F(EditorTest, SaveWritesEveryLineOfBothFilesWithCrLf) {
  dir_.Write("distances.csv", "[U1_2_Mo-Fr]\rdistance1=\"D\",4,\"C\"\r[Other]\nx=1");
  Load("; notes\n[2_Mo-Fr]\n1=D,08:00\n2=C,08:04\n[1_Mo-Fr]\r1=A,08:00\r2=B,08:05\r[1_Sa]\n1=A\n");
  TypeAt(2, 3, "08:06");
  ed_.btSaveClick();
  EXPECT_EQ(Read("line_U1.ttd"),
            "; notes\r\n[2_Mo-Fr]\r\n1=D,08:00\r\n2=C,08:04\r\n[1_Sa]\r\n1=A\r\n"
            "[1_Mo-Fr]\r\n1=A,08:00\r\n2=B,08:06\r\n");
  EXPECT_EQ(Read("distances.csv"),
            "[U1_2_Mo-Fr]\r\ndistance1=\"D\",4,\"C\"\r\n[Other]\r\nx=1\r\n"
            "[U1_1_Mo-Fr]\r\ndistance1=\"A\",6,\"B\"\r\nnewcross=\"A\"\r\n");
}

// A save removes the temporary files that a killed save left beside the timetable and
// distance files, and nothing else.
TEST_F(EditorTest, SaveRemovesWhatAKilledSaveLeftBehind) {
  for (const char* name : {".distances.csv.Ab12Cd", ".line_U1.ttd.Xy34Zw", ".line_U2.ttd.Qq99qQ",
                           ".notes.txt.Ab12Cd", ".stations.csv.Ab12Cd"}) {
    dir_.Write(name, "half written");
  }
  LoadRows({"A,08:00", "B,08:05"});
  ed_.sgTimeTableKeyPress('x');
  ed_.btSaveClick();
  for (const char* name : {".distances.csv.Ab12Cd", ".line_U1.ttd.Xy34Zw", ".line_U2.ttd.Qq99qQ"}) {
    EXPECT_FALSE(std::filesystem::exists(dir_ / name)) << name;
  }
  EXPECT_TRUE(std::filesystem::exists(dir_ / ".notes.txt.Ab12Cd"));
  EXPECT_TRUE(std::filesystem::exists(dir_ / ".stations.csv.Ab12Cd"));
}

TEST_F(EditorTest, TravelTimeScanTakesTheShortestTimeAcrossMidnight) {
  LoadRows({"A,23:55,08:00,10:00", "B,00:05,08:07,10:05"});
  int errors = 0;
  const TravelTimes times = ed_.ScanTravelTimes(errors);
  EXPECT_EQ(times.ConsecutiveMinutes, (std::vector<int>{5}));
  EXPECT_EQ(errors, 0);
}

TEST_F(EditorTest, InvalidLineNameIsRefusedOnSave) {
  ed_.cbLines.Assign({"U/1"});
  dir_.Write("line_stations.csv", "U/1=A,B\r\n");
  ed_.btTimeTableEditClick();
  ed_.sgTimeTableKeyPress('x');
  ed_.btSaveClick();
  EXPECT_EQ(ui_.events, (Lines{"[Meldung] Ungültiger Linienname: U/1"}));
  EXPECT_TRUE(ed_.EditMode());
}

TEST_F(EditorTest, SaveWritesTheLoadedTimetableEvenAfterAConversionRan) {
  LoadRows({"A,08:00", "B,08:05"});
  // The main window's conversion names the lines it converts in the shared state.
  ctx_.editor = {"Other", "Sa", 2};
  ed_.sgTimeTableKeyPress('x');
  ed_.btSaveClick();
  EXPECT_EQ(Read("line_U1.ttd"), "[1_Mo-Fr]\r\n1=A,08:00\r\n2=B,08:05\r\n");
  EXPECT_NE(Read("distances.csv").find("[U1_1_Mo-Fr]"), std::string::npos);
}

TEST_F(EditorTest, FailedDistanceWriteLeavesBothFilesAsTheyWere) {
  const std::string ttd = "[1_Mo-Fr]\r\n1=A,08:00\r\n2=B,08:05\r\n";
  Load(ttd);
  std::filesystem::create_directory(dir_ / "distances.csv");
  ed_.SetCellEditorText("07:00");
  ed_.sgTimeTableKeyPress('x');
  EXPECT_THROW(ed_.btSaveClick(), Error);
  EXPECT_EQ(Read("line_U1.ttd"), ttd);
  EXPECT_TRUE(ed_.EditMode());
}

// After showing, the choice names the timetable the grid shows: the line as lines.csv
// has it (with a trailing blank that the conversion drops), the day group and direction.
TEST_F(EditorTest, FormShowSelectsTheShownTimetableInTheChoice) {
  ctx_.PrjParams.DayGroups.push_back(TDayGroupItem{"Sa", "Samstag", Weekdays(0x20)});
  dir_.Write("lines.csv", "U2 \r\nU1\r\n");
  dir_.Write("line_stations.csv", "U1=A,B\r\nU2=C,D\r\n");
  sbEditProjectClick(ctx_);
  sbEditStationsClick(ctx_);
  sbEditLinesClick(ctx_);
  sbAssignStationsClick(ctx_);
  ed_.FormShow();
  ASSERT_TRUE(ed_.EditMode());
  EXPECT_EQ(Column(1), (Lines{"D", "C"}));
  EXPECT_EQ(ctx_.editor.CurrentLineName, "U2");
  EXPECT_EQ(*ed_.cbLines.Selected(), "U2 ");
  EXPECT_EQ(*ed_.cbDays.Selected(), "Sa");
  EXPECT_EQ(*ed_.cbDirection.Selected(), "2");
}

TEST_F(EditorTest, FormShowLoadsTheLastTimetableAndSavesWhatItShows) {
  dir_.Write("line_U1.ttd", "[1_Mo-Fr]\r\n1=A,08:00\r\n2=B,08:05\r\n3=C,08:10\r\n4=D,08:12\r\n");
  sbEditProjectClick(ctx_);
  sbEditStationsClick(ctx_);
  sbEditLinesClick(ctx_);
  sbAssignStationsClick(ctx_);
  ed_.FormShow();
  EXPECT_TRUE(ed_.EditMode());
  EXPECT_FALSE(ed_.btSaveVisible());
  EXPECT_EQ(ctx_.editor.CurrentDirection, 2);
  EXPECT_EQ(Column(1), (Lines{"D", "C", "B", "A"}));  // a new timetable of direction 2
  TypeAt(2, 2, "7:00");
  ed_.sgTimeTableSelectCell({2, 3});
  Type("07:05");
  ed_.btSaveClick();
  EXPECT_NE(Read("line_U1.ttd").find("[2_Mo-Fr]\r\n1=D,07:00\r\n2=C,07:05\r\n"), std::string::npos);
}

}  // namespace
}  // namespace trivo

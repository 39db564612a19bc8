// Undo and redo of the timetable editor's grid changes, and trips repeated at a headway.

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "common/error.h"
#include "editor/edit_timetable.h"
#include "test_support.h"

namespace trivo {
namespace {

using Lines = std::vector<std::string>;

// Every visible cell of the grid, row by row, with its size.
struct GridShot {
  int cols = 0;
  int rows = 0;
  std::vector<std::string> cells;
  friend bool operator==(const GridShot&, const GridShot&) = default;
};

GridShot Shot(const StringGrid& grid) {
  GridShot shot{grid.ColCount(), grid.RowCount(), {}};
  for (int r = 0; r < grid.RowCount(); ++r) {
    for (int c = 0; c < grid.ColCount(); ++c) shot.cells.push_back(grid.Cell(c, r));
  }
  return shot;
}

// The editor on line U1 with the stations A, B, B, C (B a pair of arrival and departure
// rows) in direction 1 of the day group Mo-Fr.
class HistoryTest : public ::testing::Test {
 protected:
  HistoryTest() {
    ctx_.ProjectDir = dir_.path().string();
    ctx_.WorkingDir = dir_.path().string();
    ctx_.PrjParams.DayGroups.push_back(TDayGroupItem{"Mo-Fr", "Mo-Fr", Weekdays(0x1f)});
    dir_.Write("lines.csv", "U1\r\n");
    dir_.Write("line_stations.csv", "U1=A,B,C\r\n");
    dir_.Write("station_lines.csv", "");
    ed_.cbLines.Assign({"U1"});
    ed_.cbDays.Assign({"Mo-Fr"});
  }

  void LoadRows(const Lines& rows) {
    std::string ttd = "[1_Mo-Fr]\r\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      ttd += std::to_string(i + 1) + "=" + rows[i] + "\r\n";
    }
    dir_.Write("line_U1.ttd", ttd);
    ed_.btTimeTableEditClick();
    ui_.events.clear();
  }
  void LoadStandard() {
    LoadRows({"A,07:00,08:00,,09:00", "B,07:05,08:05,,09:05", "B,07:06,08:06,,09:06",
              "C,07:10,08:10,,09:10"});
  }

  const std::string& Cell(int col, int row) const { return ed_.sgTimeTable().Cell(col, row); }
  Lines Row(int row, int toCol) const {
    Lines texts;
    for (int c = 2; c <= toCol; ++c) texts.push_back(Cell(c, row));
    return texts;
  }
  void MoveTo(int col, int row) {
    const bool copy = ed_.CopyMode();
    ed_.sbCopyModeClick(true);
    ed_.sgTimeTableSelectCell({col, row});
    ed_.sbCopyModeClick(copy);
  }
  void Type(const std::string& text) {
    std::string typed;
    for (const char c : text) {
      if (ed_.sgTimeTableKeyPress(c)) ed_.SetCellEditorText(typed += c);
    }
  }
  void TypeAt(int col, int row, const std::string& text) {
    MoveTo(col, row);
    Type(text);
    ed_.sgTimeTableKeyPress('\r');
  }
  int UndoAll() {
    int steps = 0;
    while (ed_.Undo()) ++steps;
    return steps;
  }
  int RedoAll() {
    int steps = 0;
    while (ed_.Redo()) ++steps;
    return steps;
  }

  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
  EditTimeTable ed_{ctx_};
};

// --- the property: any edits, all undone, give the loaded grid; all redone, the edited one ---

// One random action of the user on the grid; questions get random answers.
void RandomAction(std::mt19937& random, EditTimeTable& ed, test::RecordingUserInterface& ui,
                  const StringGrid& work) {
  static const std::vector<std::string> kTexts = {
      "7",  "45",  "+5",    "8:15", "0815", "a10",   "10 min", "=",   "=1",   "s2",
      "=x", "xyz", "23:59", "0:01", "",     "12345", "=9",     "a 0", "5 Min"};
  const auto pick = [&](int from, int to) {
    return std::uniform_int_distribution<int>(from, to)(random);
  };
  const StringGrid& grid = ed.sgTimeTable();
  const int lastRow = grid.RowCount() - 1;
  const int usedCol = 8;  // actions stay in the first trips, where the times are
  for (int i = 0; i < 3; ++i) ui.answers.push_back(static_cast<Answer>(pick(0, 2)));
  try {
    switch (pick(0, 14)) {
      case 0:
      case 1:
      case 2: {
        const std::string& text =
            kTexts[static_cast<std::size_t>(pick(0, static_cast<int>(kTexts.size()) - 1))];
        std::string typed;
        if (text.empty() && ed.sgTimeTableKeyPress('\b')) ed.SetCellEditorText({});
        for (const char c : text) {
          if (ed.sgTimeTableKeyPress(c)) ed.SetCellEditorText(typed += c);
        }
        break;
      }
      case 3:
        ed.sgTimeTableKeyPress('\r');
        break;
      case 4:
        ed.sgTimeTableSelectCell({pick(2, usedCol), pick(2, lastRow)});
        break;
      case 5:
        ed.sgTimeTableMouseDown({0, pick(2, lastRow)});
        break;
      case 6:
        ed.sbCopyModeClick(!ed.CopyMode());
        break;
      case 7: {
        const int left = pick(0, 2);
        const int top = pick(0, 2);
        ed.sbPasteClick(work, {left, top, left + pick(0, 1), top + pick(0, 2)});
        break;
      }
      case 8:
        ed.sgTimeTableColumnMoved(pick(2, usedCol), pick(2, usedCol));
        break;
      case 9:
        ed.Spalteeinfgen1Click();
        break;
      case 10:
        ed.InsertTripColumn();
        break;
      case 11: {
        const int first = pick(2, usedCol);
        ed.DeleteTripColumns(first, first + pick(0, 1));
        break;
      }
      case 12: {
        TripRepeat repeat;
        repeat.everyMinutes = pick(1, 3) * 20;
        if (pick(0, 1) == 0) {
          repeat.copies = pick(1, 3);
        } else {
          repeat.untilMinutes = pick(6, 12) * 60;
        }
        const int first = pick(2, 5);
        ed.RepeatTrips(first, first + pick(0, 1), repeat);
        break;
      }
      case 13:
        // With the answer No to the error question the editor stays open.
        if (pick(0, 2) == 0) ed.btSaveClick();
        break;
      default:
        if (pick(0, 1) == 0) {
          ed.Undo();
        } else {
          ed.Redo();
        }
        break;
    }
  } catch (const Error&) {
    // "=x" ends the check with the integer error; the grid keeps what was written.
  }
}

TEST_F(HistoryTest, AnyEditsUndoneGiveTheLoadedGridAndRedoneTheEditedOne) {
  StringGrid work(4, 4, 0, 0);
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r)
      work.SetCell(c, r, c == 0 ? "A" : std::to_string(6 + r) + ":1" + std::to_string(c));
  }
  for (unsigned seed = 1; seed <= 80; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    LoadStandard();
    if (ed_.CopyMode()) ed_.sbCopyModeClick(false);
    const GridShot start = Shot(ed_.sgTimeTable());
    std::mt19937 random(seed);
    GridShot loaded = start;
    for (int i = 0; i < 50; ++i) {
      RandomAction(random, ed_, ui_, work);
      if (!ed_.EditMode()) {
        // A save went through: what it wrote is loaded again, with no steps to take back.
        ed_.btTimeTableEditClick();
        loaded = Shot(ed_.sgTimeTable());
      }
    }
    ui_.answers.clear();
    const GridShot end = Shot(ed_.sgTimeTable());
    const int undone = UndoAll();
    ASSERT_EQ(Shot(ed_.sgTimeTable()), loaded);
    if (undone > 0) {
      EXPECT_FALSE(ed_.btSaveVisible());
    }
    // Steps the random actions took back stay behind the ones taken back here.
    for (int i = 0; i < undone; ++i) ASSERT_TRUE(ed_.Redo());
    ASSERT_EQ(Shot(ed_.sgTimeTable()), end);
  }
}

// --- steps and their names ---

TEST_F(HistoryTest, EveryKindOfChangeIsOneNamedStep) {
  struct Case {
    const char* name;
    std::function<void()> action;
  };
  const std::vector<Case> cases = {
      {"Eingabe", [this] { TypeAt(5, 2, "9:30"); }},
      {"Eingabe", [this] { TypeAt(5, 3, "="); }},
      {"Intervall für alle weiteren Stationen", [this] { TypeAt(4, 2, "a30"); }},
      {"Fahrtmuster übernehmen",
       [this] {
         TypeAt(5, 2, "9:30");
         TypeAt(5, 3, "=1");
       }},
      {"Zwischenablage einfügen",
       [this] {
         StringGrid work(2, 2, 0, 0);
         work.SetCell(0, 0, "11:00");
         MoveTo(6, 2);
         ed_.sbPasteClick(work, {0, 0, 0, 0});
       }},
      {"Fahrt verschieben", [this] { ed_.sgTimeTableColumnMoved(2, 5); }},
      {"Spalte einfügen", [this] { ed_.Spalteeinfgen1Click(); }},
      {"Fahrt einfügen", [this] { ed_.InsertTripColumn(); }},
      {"Fahrt löschen", [this] { ed_.DeleteTripColumns(3, 3); }},
      {"Station teilen",
       [this] {
         ed_.sgTimeTableMouseDown({0, 2});
       }},
      {"Station zusammenfassen",
       [this] {
         ed_.sgTimeTableMouseDown({0, 3});
       }},
      {"Fahrt wiederholen",
       [this] {
         TripRepeat repeat;
         repeat.everyMinutes = 30;
         repeat.copies = 2;
         ed_.RepeatTrips(2, 2, repeat);
       }},
      {"Korrekturen beim Speichern",
       [this] {
         TypeAt(6, 2, "11:00");  // a trip of one stop is marked, then No keeps the editor
         ui_.answers = {Answer::No};
         ed_.btSaveClick();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadStandard();
    const GridShot start = Shot(ed_.sgTimeTable());
    EXPECT_EQ(ed_.UndoText(), "Rückgängig");
    EXPECT_FALSE(ed_.CanUndo());
    c.action();
    EXPECT_EQ(ed_.UndoText(), std::string("Rückgängig: ") + c.name);
    const GridShot end = Shot(ed_.sgTimeTable());
    ASSERT_NE(end, start);
    ed_.Undo();
    EXPECT_EQ(ed_.RedoText(), std::string("Wiederholen: ") + c.name);
    UndoAll();
    EXPECT_EQ(Shot(ed_.sgTimeTable()), start);
    EXPECT_FALSE(ed_.CanUndo());
    RedoAll();
    EXPECT_EQ(Shot(ed_.sgTimeTable()), end);
  }
}

TEST_F(HistoryTest, TypingTakenBackBeforeTheCellIsLeftRestoresItsText) {
  LoadStandard();
  MoveTo(3, 3);
  Type("9");
  EXPECT_EQ(Cell(3, 3), "9");
  EXPECT_EQ(ed_.UndoText(), "Rückgängig: Eingabe");
  EXPECT_TRUE(ed_.Undo());
  EXPECT_EQ(Cell(3, 3), "08:05");
  EXPECT_FALSE(ed_.TypingStarted());
  EXPECT_FALSE(ed_.btSaveVisible());
  // The check of the cell passes now: its text is the loaded one.
  EXPECT_TRUE(ed_.sgTimeTableSelectCell({3, 4}));
}

TEST_F(HistoryTest, UndoAndRedoMoveTheCurrentCellToTheChangedCell) {
  LoadStandard();
  TypeAt(4, 3, "8:30");
  MoveTo(2, 5);
  ed_.Undo();
  EXPECT_EQ(ed_.Current(), (CellPos{4, 3}));
  MoveTo(2, 5);
  ed_.Redo();
  EXPECT_EQ(ed_.Current(), (CellPos{4, 3}));
  EXPECT_EQ(Cell(4, 3), "08:30");
  // A moved column: back at its old place, then at its new one.
  ed_.sgTimeTableColumnMoved(2, 4);
  ed_.Undo();
  EXPECT_EQ(ed_.Current().col, 2);
  ed_.Redo();
  EXPECT_EQ(ed_.Current().col, 4);
}

TEST_F(HistoryTest, SaveButtonFollowsWhetherTheGridIsBackAtTheLoadedState) {
  LoadStandard();
  TypeAt(4, 2, "8:30");
  TypeAt(4, 3, "8:35");
  EXPECT_TRUE(ed_.btSaveVisible());
  ed_.Undo();
  EXPECT_TRUE(ed_.btSaveVisible());
  ed_.Undo();
  EXPECT_FALSE(ed_.btSaveVisible());
  ed_.Redo();
  EXPECT_TRUE(ed_.btSaveVisible());
}

TEST_F(HistoryTest, NewChangeDropsTheStepsTakenBack) {
  LoadStandard();
  TypeAt(4, 2, "8:30");
  ed_.Undo();
  EXPECT_TRUE(ed_.CanRedo());
  MoveTo(4, 3);
  Type("8");
  EXPECT_FALSE(ed_.CanRedo());  // typing is a new step already
  ed_.sgTimeTableKeyPress('\r');
  EXPECT_FALSE(ed_.Redo());
  EXPECT_EQ(ed_.RedoText(), "Wiederholen");
}

TEST_F(HistoryTest, LoadingAnotherTimetableForgetsTheSteps) {
  LoadStandard();
  TypeAt(4, 2, "8:30");
  ed_.btCancelClick();
  EXPECT_FALSE(ed_.CanUndo());  // nothing to take back while the grid is hidden
  ed_.cbDirection.Select("2");
  ed_.btTimeTableEditClick();
  EXPECT_FALSE(ed_.CanUndo());
  EXPECT_FALSE(ed_.Undo());
}

TEST_F(HistoryTest, KeepsAtLeastTwoHundredStepsAndForgetsTheOldestBeyondItsDepth) {
  LoadStandard();
  const GridShot start = Shot(ed_.sgTimeTable());
  for (int i = 0; i < 250; ++i) TypeAt(5, 2, EncodeTimeString(10 + i / 60, i % 60));
  EXPECT_EQ(UndoAll(), 250);
  EXPECT_EQ(Shot(ed_.sgTimeTable()), start);
  EXPECT_EQ(RedoAll(), 250);
  EXPECT_EQ(Cell(5, 2), "14:09");

  const int depth = static_cast<int>(EditHistory::kDepth);
  for (int i = 0; i < depth + 10; ++i) TypeAt(5, 3, std::to_string(i % 2 == 0 ? 15 : 16) + ":00");
  EXPECT_EQ(UndoAll(), depth);
  // The oldest steps are gone: the grid is not back at the loaded state.
  EXPECT_NE(Shot(ed_.sgTimeTable()), start);
  EXPECT_TRUE(ed_.btSaveVisible());
}

TEST_F(HistoryTest, RedoOfASplitDoesNotAskAgain) {
  LoadStandard();
  ui_.answers = {Answer::Yes};
  ed_.sgTimeTableMouseDown({0, 2});
  EXPECT_EQ(Row(2, 3), (Lines{"07:00", "08:00"}));
  ed_.Undo();
  ui_.events.clear();
  ed_.Redo();
  EXPECT_TRUE(ui_.events.empty());
  EXPECT_EQ(Row(2, 3), (Lines{"07:00", "08:00"}));
  EXPECT_EQ(Cell(0, 2), "-");
}

TEST_F(HistoryTest, OpeningATimetableAtACellLoadsItUnlessChangesWouldBeLost) {
  LoadStandard();
  EXPECT_TRUE(ed_.OpenTimetable("U1", "Mo-Fr", 1, {3, 4}));
  EXPECT_EQ(ed_.Current(), (CellPos{3, 4}));
  TypeAt(4, 2, "8:30");
  EXPECT_FALSE(ed_.OpenTimetable("U1", "Mo-Fr", 2, {2, 2}));
  EXPECT_EQ(ui_.events, (Lines{"[Meldung] Der Fahrplan im Editor hat Änderungen, die nicht "
                               "gespeichert sind. Bitte erst speichern oder verwerfen."}));
  EXPECT_EQ(ctx_.editor.CurrentDirection, 1);
  ed_.Undo();  // back at the loaded state: nothing is lost
  EXPECT_TRUE(ed_.OpenTimetable("U1", "Mo-Fr", 2, {3, 99}));
  EXPECT_EQ(ctx_.editor.CurrentDirection, 2);
  EXPECT_EQ(ed_.Current(), (CellPos{3, 4}));  // the last data row
  EXPECT_EQ(Cell(1, 2), "C");
  EXPECT_FALSE(ed_.OpenTimetable("U9", "Mo-Fr", 1, {2, 2}));
}

// --- trip columns ---

TEST_F(HistoryTest, InsertedAndDeletedTripsKeepTheGridWidthAndRenumber) {
  LoadStandard();
  MoveTo(3, 2);
  ed_.InsertTripColumn();
  EXPECT_EQ(ed_.sgTimeTable().ColCount(), 512);
  EXPECT_EQ(Row(2, 5), (Lines{"07:00", "", "08:00", ""}));
  EXPECT_EQ(ed_.Current(), (CellPos{3, 2}));
  EXPECT_EQ(Cell(511, 0), "510");
  ed_.DeleteTripColumns(2, 3);
  EXPECT_EQ(ed_.sgTimeTable().ColCount(), 512);
  EXPECT_EQ(Row(2, 4), (Lines{"08:00", "", "09:00"}));
  EXPECT_EQ(Cell(2, 0), "1");
  EXPECT_TRUE(ed_.btSaveVisible());
}

TEST_F(HistoryTest, InsertingATripChecksTheCellBeingLeft) {
  LoadStandard();
  MoveTo(3, 3);
  Type("99");
  ed_.InsertTripColumn();
  EXPECT_EQ(ui_.events, (Lines{"[Beep]"}));
  EXPECT_EQ(Cell(3, 3), "08:05");
  EXPECT_EQ(Row(2, 3), (Lines{"07:00", "08:00"}));
}

// --- repeating a trip ---

TripRepeat Every(std::int32_t minutes, std::int32_t copies) {
  TripRepeat repeat;
  repeat.everyMinutes = minutes;
  repeat.copies = copies;
  return repeat;
}

TripRepeat EveryUntil(std::int32_t minutes, std::int32_t until) {
  TripRepeat repeat;
  repeat.everyMinutes = minutes;
  repeat.untilMinutes = until;
  return repeat;
}

TEST_F(HistoryTest, RepeatedTripKeepsPairRowsAndEmptyCellsAndGoesInDepartureOrder) {
  LoadRows({"A,07:00,08:00", "B,,08:05", "B,07:06,08:06", "C,07:10,08:10"});
  MoveTo(2, 2);
  ASSERT_TRUE(ed_.RepeatTrips(2, 2, Every(20, 3)));
  EXPECT_EQ(Row(2, 7), (Lines{"07:00", "07:20", "07:40", "08:00", "08:00", ""}));
  // The copy leaving at 08:00, as the trip there does, goes after it.
  EXPECT_EQ(Row(3, 7), (Lines{"", "", "", "08:05", "", ""}));
  EXPECT_EQ(Row(4, 7), (Lines{"07:06", "07:26", "07:46", "08:06", "08:06", ""}));
  EXPECT_EQ(Row(5, 7), (Lines{"07:10", "07:30", "07:50", "08:10", "08:10", ""}));
  EXPECT_EQ(Cell(6, 0), "5");
  EXPECT_EQ(ed_.sgTimeTable().ColCount(), 512);
  EXPECT_EQ(ed_.UndoText(), "Rückgängig: Fahrt wiederholen");
  ed_.Undo();
  EXPECT_EQ(Row(2, 4), (Lines{"07:00", "08:00", ""}));
  EXPECT_FALSE(ed_.CanUndo());
}

TEST_F(HistoryTest, RepeatedBlockIsOnePatternUntilTheLastDeparture) {
  LoadRows({"A,07:00,07:15,08:30", "B,,,", "B,07:06,07:21,08:36", "C,07:10,07:25,08:40"});
  ASSERT_TRUE(ed_.RepeatTrips(2, 3, EveryUntil(30, 8 * 60)));
  // 07:30, 07:45 and 08:00 go out by 08:00, before the trip at 08:30.
  EXPECT_EQ(Row(2, 8), (Lines{"07:00", "07:15", "07:30", "07:45", "08:00", "08:30", ""}));
  EXPECT_EQ(Row(5, 8), (Lines{"07:10", "07:25", "07:40", "07:55", "08:10", "08:40", ""}));
}

TEST_F(HistoryTest, CopyRunningPastMidnightIsWrittenInTheRollOverForm) {
  LoadRows({"A,23:20", "B,23:35", "B,23:36", "C,23:50"});
  ASSERT_TRUE(ed_.RepeatTrips(2, 2, Every(20, 1)));
  EXPECT_EQ(Row(5, 3), (Lines{"23:50", "00:10"}));
  EXPECT_EQ(Row(2, 3), (Lines{"23:20", "23:40"}));
  // The copy of the copy would leave at 00:00, on the next day: refused, nothing changes.
  ed_.Undo();
  ui_.events.clear();
  EXPECT_FALSE(ed_.RepeatTrips(2, 2, Every(20, 2)));
  ASSERT_EQ(ui_.events.size(), 1u);
  EXPECT_EQ(ui_.events[0],
            "[Meldung] Fahrt wiederholen: Die Fahrt um 00:00 begänne erst nach Mitternacht, am "
            "nächsten Tag. Es wurde nichts eingefügt.");
  EXPECT_EQ(Row(2, 3), (Lines{"23:20", ""}));
  EXPECT_FALSE(ed_.CanUndo());
}

TEST_F(HistoryTest, CopyThatWouldPassMidnightAfterAStopWithoutTimeIsRefused) {
  // Read back, a time after midnight behind a cell without a time would count for the
  // day before.
  LoadRows({"A,23:20", "B,", "B,", "C,23:50"});
  EXPECT_FALSE(ed_.RepeatTrips(2, 2, Every(20, 1)));
  ASSERT_EQ(ui_.events.size(), 1u);
  EXPECT_NE(ui_.events[0].find("Die Fahrt um 23:40 führe nach Mitternacht"), std::string::npos);
  EXPECT_EQ(Row(2, 3), (Lines{"23:20", ""}));
}

TEST_F(HistoryTest, RepeatIsRefusedForIntervalsInvalidCellsAndTripsWithoutTimes) {
  struct Case {
    Lines rows;
    const char* message;
  };
  const std::vector<Case> cases = {
      {{"A,07:00,10 Min,08:00", "B,07:05,10 Min,08:05"},
       "[Meldung] Fahrt wiederholen: Fahrt 2 ist ein Intervall und kann nicht wiederholt werden."},
      {{"A,07:00,7x", "B,07:05,07:10"},
       "[Meldung] Fahrt wiederholen: Fahrt 2 hat in Zeile 1 einen Fehler."},
      {{"A,07:00,,08:00", "B,07:05,,08:05"},
       "[Meldung] Fahrt wiederholen: Die gewählten Fahrten haben keine Zeiten."},
  };
  for (const Case& c : cases) {
    LoadRows(c.rows);
    EXPECT_FALSE(ed_.RepeatTrips(3, 3, Every(10, 2)));
    EXPECT_EQ(ui_.events, (Lines{c.message}));
    EXPECT_FALSE(ed_.CanUndo());
  }
  LoadStandard();
  EXPECT_FALSE(ed_.RepeatTrips(2, 2, EveryUntil(10, 7 * 60 + 5)));
  EXPECT_EQ(ui_.events,
            (Lines{"[Meldung] Fahrt wiederholen: Bis 07:05 entsteht keine weitere Fahrt."}));
}

}  // namespace
}  // namespace trivo

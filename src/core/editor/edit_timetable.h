#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/grid_rect.h"
#include "common/ini_file.h"
#include "common/string_grid.h"
#include "convert/timetable_notation.h"
#include "editor/choice_list.h"
#include "editor/edit_history.h"
#include "editor/travel_times.h"
#include "project/context.h"

namespace trivo {

// A clock time of a cell: hours 0 to 23, minutes 0 to 59.
struct ClockTime {
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t Minutes() const { return hour * 60 + minute; }
  // The clock time minutes (0 or more) later, after midnight on the next day.
  ClockTime Plus(std::int32_t minutes) const {
    const std::int32_t total = minute + minutes;
    return {(hour + total / 60) % 24, total % 60};
  }
};

// Which cells changed since the window last asked, so that it redraws only those.
struct GridChanges {
  std::optional<GridRect> cells;  // a rectangle holding every changed cell
  bool shape = false;             // rows or columns were inserted, deleted, moved or reloaded
};

// "Fahrt wiederholen": every how many minutes, and until which last departure (minutes
// after midnight) or how many times.
struct TripRepeat {
  std::int32_t everyMinutes = 0;
  std::optional<std::int32_t> untilMinutes;
  std::int32_t copies = 0;  // when untilMinutes is not set
};

// The timetable editor "Fahrplan bearbeiten" without its widgets: the choice of line, day
// group and direction, the grid sgTimeTable with its current cell, the choice and edit
// modes, and every rule of typing, checking, pair rows, copy mode, pasting and saving. The
// window shows this state and forwards the user's actions to the handlers below;
// questions, messages and beeps go through ctx.ui.
//
// Grid layout: column 0 holds the pair markers ("+" a station with one row, "-" one row of
// an arrival/departure pair), column 1 the station names (row 1 the heading "Stationen"),
// trip columns from 2 (row 0 numbers them 1, 2, ...); data rows from 2, data row r is key
// r - 1 of the timetable's section in line_<line>.ttd.
class EditTimeTable {
 public:
  static constexpr int kMinColCount = 512;
  static constexpr int kFirstTripCol = 2;
  static constexpr int kFirstDataRow = 2;

  explicit EditTimeTable(Context& ctx);  // FormCreate

  // The lists of the choice panel; cbDirection holds "1" and "2".
  ChoiceList cbLines;
  ChoiceList cbDays;
  ChoiceList cbDirection;

  const StringGrid& sgTimeTable() const { return grid_; }
  CellPos Current() const { return current_; }
  // Edit mode: the grid panel is shown, the choice panel and "Fahrplan editieren" are
  // disabled and "Fenser schließen" is hidden. Otherwise choice mode.
  bool EditMode() const { return editMode_; }
  bool btSaveVisible() const { return saveVisible_; }
  bool btCloseVisible() const { return !editMode_; }
  bool CopyMode() const { return copyMode_; }
  // The cells and shape changes since the last call.
  GridChanges TakeChanges();

  // --- the window's handlers ---
  void FormShow();
  void btTimeTableEditClick();
  void btCancelClick();
  void btSaveClick();
  // Closing is allowed only in choice mode.
  bool FormCloseQuery() const { return btCloseVisible(); }
  // A character key typed while the grid has the focus ('\r' Enter, '\b' Backspace).
  // Returns whether the character goes on to the cell editor (Enter never does).
  bool sgTimeTableKeyPress(char key);
  // The current cell is about to move to target (by mouse, keys or the program). Returns
  // whether the current cell is now the target, or the next column after a fill-down or
  // pattern copy confirmed with Enter. False: the move was refused. The cell that is
  // current already is no move: true without a check.
  bool sgTimeTableSelectCell(CellPos target);
  // The cell editor of the current cell now holds text; it becomes the cell's text
  // unchecked (the check runs when the cell is left).
  void SetCellEditorText(std::string text);
  // A mouse button pressed over a cell; only the markers of column 0 react.
  void sgTimeTableMouseDown(CellPos cell);
  void sbCopyModeClick(bool down);
  // Pastes the rectangle selection of the web copy window's work grid at the current cell.
  void sbPasteClick(const StringGrid& workGrid, const GridRect& selection);
  // The user dragged trip column from to position to (both trip columns): the cells move
  // with their column, the headings are renumbered.
  void sgTimeTableColumnMoved(int from, int to);
  void Spalteeinfgen1Click();
  void pmTimeTablePopup();

  // --- undo and redo ("Bearbeiten") ---
  // Every change of the grid is one step: a cell entry (with what its check wrote), a
  // pattern copy, a fill-down, a paste, a split or merge of a pair, a trip column
  // inserted, deleted, moved or repeated, the repairs of a save. Loading another timetable
  // forgets them. Taking a step back or making it again moves the current cell to the
  // changed cell without a check; the save button follows whether the grid is back at
  // the state it was loaded or saved in.
  bool CanUndo() const;
  bool CanRedo() const;
  // The menu texts: "Rückgängig: <step>" and "Wiederholen: <step>", or the bare verb
  // when there is nothing (German, Windows-1252).
  std::string UndoText() const;
  std::string RedoText() const;
  bool Undo();
  bool Redo();

  // --- trip columns ---
  // "Fahrt einfügen": an empty trip column before the current one, which becomes current.
  void InsertTripColumn();
  // "Fahrt löschen": deletes the trip columns first to last; the grid keeps its width.
  void DeleteTripColumns(int first, int last);
  // "Fahrt wiederholen": trip columns first to last, as one pattern, are copied every
  // everyMinutes with all times shifted, each copy inserted at its place in departure
  // order. Refused with a message (nothing changes) when a copy could not be written.
  bool RepeatTrips(int first, int last, const TripRepeat& repeat);

  // --- cell rules ---
  TCellState GetCellState(int col, int row) const;
  TCellState LeftNeighbourState(int col, int row) const;
  std::optional<ClockTime> PrevTimeInColumn(int col, int row) const;
  std::optional<ClockTime> PrevTimeInEarlierColumns(int col, int row) const;
  std::optional<ClockTime> PrevTimeInRow(int col, int row) const;
  bool IsTimeAllowed(int col, int row, ClockTime time) const;
  bool IsIntervalAllowed(int col, int row, std::int32_t minutes) const;
  void FillDownInterval(int col, int row, std::int32_t minutes);
  // The texts for rows row .. last of trip column col: the times of trip column sourceCol
  // shifted by a constant offset. Nullopt when the copy is refused or fails.
  std::optional<std::vector<std::string>> CopyTripPattern(int col, int row, int sourceCol) const;
  // Checks and rewrites the current cell; true when it may be left.
  bool CheckCurrentCell();

  // --- saving ---
  // Repairs the arrival and departure rows of pairs and marks single-time trips; returns
  // the number of errors found.
  int CheckPairsBeforeSave();
  // Measures the travel times of all trips; adds every invalid cell to errors.
  TravelTimes ScanTravelTimes(int& errors) const;

  // --- the editing state between key presses ---
  bool TypingStarted() const { return typingStarted_; }
  const std::string& RestoreText() const { return restoreText_; }
  CellPos RestoreCell() const { return restoreCell_; }
  bool LastKeyWasEnter() const { return lastKeyWasEnter_; }
  bool SkipNextCheck() const { return skipNextCheck_; }

 private:
  // The timetable shown in the grid: the one a save writes.
  struct Loaded {
    std::string lineName;
    std::string dayGroupName;
    int direction = 1;
  };

  const std::string& Text(int col, int row) const;
  void Write(int col, int row, std::string text);
  int LastRow() const { return grid_.RowCount() - 1; }
  int LastCol() const { return grid_.ColCount() - 1; }
  const std::string& Station(int row) const { return Text(1, row); }
  bool IsDataRow(int row) const { return row >= kFirstDataRow && row <= LastRow(); }
  bool IsTripCol(int col) const { return col >= kFirstTripCol && col <= LastCol(); }
  std::optional<ClockTime> TimeAt(int col, int row) const;
  void Touch(int col, int row);
  void TouchShape() { changes_.shape = true; }

  // Recording the steps of the history.
  class StepScope;
  void OpenStep(std::string_view name);
  void NameStep(std::string_view name);
  void SetStepCells(CellPos undoCell, CellPos redoCell);
  void CommitStep();
  void ApplyOp(GridOp op);
  void InsertRow(int row);
  void DeleteRow(int row);
  void InsertCol(int col);
  void DeleteCol(int col);
  void MoveCol(int from, int to);
  void ShowStep(const EditStep& step, CellPos cell);
  bool PendingChanges() const { return open_ && stepDepth_ == 0 && open_->Changes(); }
  // The check of the current cell that leaving it runs; false (after the beep) when the
  // cell may not be left.
  bool CurrentCellPasses();
  void ResetEditingState();
  bool ColumnIsEmpty(int col) const;
  // Brings the grid back to width columns: adds empty columns at the right end, or takes
  // away empty ones there while there are any.
  void KeepWidth(int width);

  // Loading: fills the grid with the section's rows, or with the stations for a new timetable;
  // false when there is nothing to show.
  bool LoadGrid(const Loaded& timetable, const IniFile* file,
                const std::optional<std::vector<std::string>>& stations);
  void SetMarkers();
  void EnterEditMode(bool moveToFirstCell);
  void LeaveEditMode();
  void NumberTripColumns();
  void ClampCurrent();
  void MarkModified() { saveVisible_ = true; }
  void ClearModified() { saveVisible_ = false; }

  // The parts of CheckCurrentCell: the accepted text, or nullopt for a rejection.
  std::optional<std::string> CheckIntervalInput(std::string_view t, bool& skipWrite);
  std::optional<std::string> CheckOffsetInput(std::string_view t) const;
  std::optional<std::string> CheckMinuteInput(std::string_view t) const;
  std::optional<std::string> CheckClockInput(std::string_view t) const;
  std::optional<std::string> CheckCopyAbove() const;
  bool ApplyTripPattern(std::string_view t);
  std::optional<std::string> AcceptTime(ClockTime time) const;

  void WriteTimetableFiles(const std::filesystem::path& timetableFile, const TravelTimes& times);

  Context& ctx_;
  StringGrid grid_;
  CellPos current_{kFirstTripCol, kFirstDataRow};
  std::optional<Loaded> loaded_;
  bool editMode_ = false;
  bool saveVisible_ = false;
  bool copyMode_ = false;
  bool typingStarted_ = false;
  std::string restoreText_;
  CellPos restoreCell_{-1, -1};
  bool lastKeyWasEnter_ = false;
  bool skipNextCheck_ = false;
  GridChanges changes_;
  EditHistory history_;
  std::optional<EditStep> open_;  // the step being recorded (typing: until the cell is left)
  int stepDepth_ = 0;
  bool stepCellsSet_ = false;
};

}  // namespace trivo

#include "editor/edit_timetable.h"

#include <algorithm>
#include <utility>

#include "common/error.h"
#include "common/messages.h"
#include "common/strings.h"
#include "common/sy_standard.h"
#include "common/text_file.h"
#include "convert/timetable_run.h"
#include "convert/ttd_file.h"
#include "editor/step_scope.h"

namespace trivo {

namespace {

constexpr std::string_view kMissingFiles =
    "Es konnten nicht alle zugehörigen Dateien gefunden werden!";
constexpr std::string_view kSameValues = "Gleiche Werte einsetzen?";
// The names of the steps in the menu "Bearbeiten".
constexpr std::string_view kEntry = "Eingabe";
constexpr std::string_view kSplit = "Station teilen";
constexpr std::string_view kMerge = "Station zusammenfassen";
constexpr std::string_view kPaste = "Zwischenablage einfügen";
constexpr std::string_view kMoveTrip = "Fahrt verschieben";
constexpr std::string_view kAppendColumn = "Spalte einfügen";

// Selects the entry of the list that the conversion knows under name: the entry of that
// text, else the first entry that a working table stores as name (cut to the field's
// size, without trailing blanks). Without such an entry the selection stays.
void SelectStoredName(ChoiceList& list, const std::string& name, int fieldSize) {
  if (list.Select(name)) return;
  for (std::size_t i = 0; i < list.Items.size(); ++i) {
    std::string_view stored =
        std::string_view(list.Items[i]).substr(0, static_cast<std::size_t>(std::max(fieldSize, 0)));
    while (!stored.empty() && stored.back() == ' ') stored.remove_suffix(1);
    if (stored == name) {
      list.ItemIndex = static_cast<int>(i);
      return;
    }
  }
}

}  // namespace

EditTimeTable::EditTimeTable(Context& ctx)
    : ctx_(ctx), grid_(kMinColCount, kFirstDataRow + 1, kFirstTripCol, kFirstDataRow) {
  grid_.SetCell(1, 1, "Stationen");
  NumberTripColumns();
  cbDirection.Assign({"1", "2"});
}

GridChanges EditTimeTable::TakeChanges() {
  return std::exchange(changes_, GridChanges{});
}

const std::string& EditTimeTable::Text(int col, int row) const {
  static const std::string empty;
  if (col < 0 || row < 0 || col > LastCol() || row > LastRow()) return empty;
  return grid_.Cell(col, row);
}

void EditTimeTable::Write(int col, int row, std::string text) {
  if (open_) open_->RecordCell(col, row, grid_.Cell(col, row), text);
  grid_.SetCell(col, row, std::move(text));
  Touch(col, row);
}

void EditTimeTable::Touch(int col, int row) {
  if (!changes_.cells) {
    changes_.cells = GridRect{col, row, col, row};
    return;
  }
  GridRect& r = *changes_.cells;
  r = {std::min(r.Left, col), std::min(r.Top, row), std::max(r.Right, col),
       std::max(r.Bottom, row)};
}

// --- showing and loading ---

void EditTimeTable::FormShow() {
  if (TimetableCsvInputsExist(ctx_)) {
    cbLines.Assign(ReadTextLines(ctx_.ProjectFile("lines.csv"), {}, &ctx_.files));
    std::vector<std::string> dayGroups;
    for (const TDayGroupItem& group : ctx_.PrjParams.DayGroups) dayGroups.push_back(group.Name);
    cbDays.Assign(std::move(dayGroups));
  } else {
    ctx_.ui.ShowMessage(std::string(kMissingFiles));
  }

  std::optional<Loaded> shown;
  TimetableRunOptions options;
  options.reporting = TimetableRunReporting::Editor();
  options.onCombination = [&](const TimetableCombination& combination) {
    const Loaded timetable{std::string(combination.lineName), std::string(combination.dayGroupName),
                           combination.direction};
    std::optional<std::vector<std::string>> stations;
    if (combination.hasStationEntry) stations = combination.stationList;
    if (LoadGrid(timetable, combination.timetableFile, stations)) {
      EnterEditMode(false);
      shown = timetable;
    }
  };
  const TimetableRunResult result = RunTimetableConversion(ctx_, options);

  // The names are those of the timetable shown, for a save and for the choice; without
  // one, those of the last combination the run walked, past both directions.
  if (!shown) {
    if (!result.lastLineName.empty()) ctx_.editor.CurrentLineName = result.lastLineName;
    if (!result.lastDayGroupName.empty()) ctx_.editor.CurrentDayGroupName = result.lastDayGroupName;
    if (!result.lastDayGroupName.empty()) ctx_.editor.CurrentDirection = 3;
  }
  if (shown) {
    ctx_.editor.CurrentLineName = shown->lineName;
    ctx_.editor.CurrentDayGroupName = shown->dayGroupName;
    ctx_.editor.CurrentDirection = shown->direction;
    SelectStoredName(cbLines, shown->lineName, ctx_.dm1.cdsLines.FieldNamed("Line").Def().size);
    SelectStoredName(cbDays, shown->dayGroupName,
                     ctx_.dm1.cdsDayGroups.FieldNamed("Group").Def().size);
    cbDirection.Select(std::to_string(shown->direction));
  }
}

void EditTimeTable::btTimeTableEditClick() {
  if (!FileExists(ctx_.ProjectFile("line_stations.csv")) ||
      !FileExists(ctx_.ProjectFile("station_lines.csv"))) {
    return;
  }
  const std::string* line = cbLines.Selected();
  const std::string* dayGroup = cbDays.Selected();
  const std::string* direction = cbDirection.Selected();
  if (line == nullptr || dayGroup == nullptr || direction == nullptr) return;
  const Loaded timetable{*line, *dayGroup, StrToInt(*direction)};
  ctx_.editor.CurrentLineName = timetable.lineName;
  ctx_.editor.CurrentDayGroupName = timetable.dayGroupName;
  ctx_.editor.CurrentDirection = timetable.direction;

  const std::optional<std::vector<std::string>> stations = LineStationList(
      ReadTextLines(ctx_.ProjectFile("line_stations.csv"), {}, &ctx_.files), timetable.lineName);
  if (stations && stations->empty()) return;
  std::optional<IniFile> file;
  if (const auto path = TimetableFilePath(ctx_, timetable.lineName)) {
    file.emplace(*path, &ctx_.files);
  }
  if (LoadGrid(timetable, file ? &*file : nullptr, stations)) EnterEditMode(true);
}

bool EditTimeTable::LoadGrid(const Loaded& timetable, const IniFile* file,
                             const std::optional<std::vector<std::string>>& stations) {
  const std::string section = TimetableSectionName(timetable.direction, timetable.dayGroupName);
  const bool sectionExists = file != nullptr && file->SectionExists(section);
  // A new timetable is set up from the line's stations; a line without stations (or
  // without an entry in line_stations.csv) has nothing to set up.
  if (!sectionExists && (!stations || stations->empty())) return false;

  ClearGridCells(grid_);
  std::vector<std::vector<std::string>> rows;
  if (sectionExists) {
    for (const std::string& value : ReadTimetableRows(*file, section)) {
      std::vector<std::string> fields;
      SplitString(value, fields, ',');
      rows.push_back(std::move(fields));
    }
    // A key "1" that is missing or empty still gives one (empty) data row.
    if (rows.empty()) rows.emplace_back();
  } else {
    const std::size_t count = stations->size();
    for (std::size_t i = 0; i < count; ++i) {
      rows.push_back({(*stations)[timetable.direction == 1 ? i : count - 1 - i]});
    }
  }

  // Rows wider than the grid widen it, so that no trip is lost on the next save.
  std::size_t widest = 0;
  for (const auto& fields : rows) widest = std::max(widest, fields.size());
  grid_.SetColCount(std::max<int>(kMinColCount, static_cast<int>(widest) + 1));
  grid_.SetRowCount(kFirstDataRow + static_cast<int>(rows.size()));
  NumberTripColumns();
  std::vector<std::string> cells(static_cast<std::size_t>(grid_.ColCount()));
  for (std::size_t k = 0; k < rows.size(); ++k) {
    std::fill(cells.begin(), cells.end(), std::string());
    std::copy(rows[k].begin(), rows[k].end(), cells.begin() + 1);
    grid_.SetRow(kFirstDataRow + static_cast<int>(k), cells);
  }
  SetMarkers();
  loaded_ = timetable;
  open_.reset();
  history_.Clear();
  TouchShape();
  return true;
}

void EditTimeTable::SetMarkers() {
  for (int r = kFirstDataRow; r <= LastRow(); ++r) {
    const bool pair = (r < LastRow() && Station(r) == Station(r + 1)) ||
                      (r > kFirstDataRow && Station(r) == Station(r - 1));
    grid_.SetCell(0, r, pair ? "-" : "+");
  }
}

void EditTimeTable::NumberTripColumns() {
  for (int c = kFirstTripCol; c <= LastCol(); ++c) {
    std::string number = std::to_string(c - 1);
    if (grid_.Cell(c, 0) != number) Write(c, 0, std::move(number));
  }
}

void EditTimeTable::ClampCurrent() {
  current_.col = std::clamp(current_.col, kFirstTripCol, LastCol());
  current_.row = std::clamp(current_.row, kFirstDataRow, std::max(kFirstDataRow, LastRow()));
}

void EditTimeTable::EnterEditMode(bool moveToFirstCell) {
  editMode_ = true;
  ClearModified();
  if (moveToFirstCell) current_ = {kFirstTripCol, kFirstDataRow};
  ClampCurrent();
  // The editing state belongs to the timetable that was shown before.
  ResetEditingState();
  TouchShape();
}

void EditTimeTable::LeaveEditMode() {
  editMode_ = false;
  TouchShape();
}

void EditTimeTable::btCancelClick() {
  LeaveEditMode();
}

// --- keys and moves ---

bool EditTimeTable::sgTimeTableKeyPress(char key) {
  lastKeyWasEnter_ = key == '\r';
  if (lastKeyWasEnter_) {
    if (current_.row < LastRow()) {
      sgTimeTableSelectCell({current_.col, current_.row + 1});
    } else if (current_.col < LastCol()) {
      sgTimeTableSelectCell({current_.col + 1, kFirstDataRow});
    }
  } else if (!typingStarted_) {
    typingStarted_ = true;
    restoreText_ = Text(current_.col, current_.row);
    restoreCell_ = current_;
  }
  MarkModified();
  return !lastKeyWasEnter_ && !copyMode_;
}

bool EditTimeTable::sgTimeTableSelectCell(CellPos target) {
  if (target.col < 0 || target.row < 0 || target.col > LastCol() || target.row > LastRow()) {
    throw Error(msg::GridIndexOutOfRange());
  }
  // A move to the cell that is current already is no move: nothing is checked.
  if (target == current_) return true;
  StepScope step(*this, kEntry, true);
  if (copyMode_) {
    current_ = target;
    return true;
  }
  if (CheckCurrentCell()) {
    typingStarted_ = false;
    current_ = target;
    return true;
  }
  // A fill-down or pattern copy confirmed with Enter goes on at the top of the next
  // column; the pending skip lets the cell being left pass that move.
  if (lastKeyWasEnter_ && skipNextCheck_ && current_.col < LastCol()) {
    lastKeyWasEnter_ = false;
    return sgTimeTableSelectCell({current_.col + 1, kFirstDataRow});
  }
  ctx_.ui.Beep();
  return false;
}

bool EditTimeTable::CurrentCellPasses() {
  StepScope step(*this, kEntry, true);
  if (copyMode_) return true;
  if (CheckCurrentCell()) {
    typingStarted_ = false;
    return true;
  }
  ctx_.ui.Beep();
  return false;
}

void EditTimeTable::SetCellEditorText(std::string text) {
  // The typing is one step with the check that ends it, when the cell is left.
  if (!open_) OpenStep(kEntry);
  Write(current_.col, current_.row, std::move(text));
}

// --- pair markers, copy mode, paste, columns ---

void EditTimeTable::sgTimeTableMouseDown(CellPos cell) {
  if (cell.col != 0 || !IsDataRow(cell.row)) return;
  const int r = cell.row;
  const std::string marker = Text(0, r);
  const CellPos at{current_.col, r};
  if (marker == "+") {
    StepScope step(*this, kSplit);
    SetStepCells(at, at);
    InsertRow(r);
    Write(0, r, "-");
    Write(0, r + 1, "-");
    Write(1, r, Station(r + 1));
    if (ctx_.ui.Confirm(std::string(kSameValues), true) == Answer::Yes) {
      for (int c = 0; c <= LastCol(); ++c) Write(c, r, Text(c, r + 1));
    }
  } else if (marker == "-") {
    // The grid keeps at least one data row: the only row has nothing to merge with.
    if (LastRow() == kFirstDataRow) return;
    StepScope step(*this, kMerge);
    SetStepCells(at, at);
    if (r > kFirstDataRow && Station(r - 1) == Station(r)) {
      Write(0, r - 1, "+");
    } else if (r < LastRow() && Station(r + 1) == Station(r)) {
      Write(0, r + 1, "+");
    }
    DeleteRow(r);
    ClampCurrent();
  }
}

void EditTimeTable::sbCopyModeClick(bool down) {
  copyMode_ = down;
  if (!down) {
    lastKeyWasEnter_ = false;
    skipNextCheck_ = false;
  }
  TouchShape();
}

void EditTimeTable::sbPasteClick(const StringGrid& workGrid, const GridRect& selection) {
  if (selection.Left < 0 || selection.Top < 0 || selection.Right < selection.Left ||
      selection.Bottom < selection.Top) {
    return;
  }
  StepScope step(*this, kPaste);
  const CellPos origin = current_;
  SetStepCells(origin, origin);
  const int width = selection.Right - selection.Left + 1;
  for (int i = 0; i < width; ++i) {
    for (int j = 0; j <= selection.Bottom - selection.Top; ++j) {
      const CellPos target{origin.col + i, origin.row + j};
      if (target.col > LastCol() || target.row > LastRow()) continue;
      Write(target.col, target.row, workGrid.Cell(selection.Left + i, selection.Top + j));
    }
  }
  typingStarted_ = true;
  MarkModified();
  sgTimeTableSelectCell({origin.col + width, current_.row});
  sgTimeTableSelectCell({current_.col, kFirstDataRow});
}

void EditTimeTable::sgTimeTableColumnMoved(int from, int to) {
  if (!IsTripCol(from) || !IsTripCol(to)) throw Error(msg::GridIndexOutOfRange());
  StepScope step(*this, kMoveTrip);
  SetStepCells({from, current_.row}, {to, current_.row});
  MoveCol(from, to);
  // The current cell moves with its column.
  int& col = current_.col;
  if (col == from) {
    col = to;
  } else if (from < to && col > from && col <= to) {
    --col;
  } else if (to < from && col >= to && col < from) {
    ++col;
  }
  NumberTripColumns();
  MarkModified();
  TouchShape();
}

void EditTimeTable::Spalteeinfgen1Click() {
  StepScope step(*this, kAppendColumn);
  SetStepCells(current_, {grid_.ColCount(), current_.row});
  InsertCol(grid_.ColCount());
}

void EditTimeTable::pmTimeTablePopup() {
  ctx_.ui.ShowMessage(std::to_string(current_.col));
}

}  // namespace trivo

// The editor's history: recording every change of the grid as a step, taking steps back
// and making them again, and the trip columns inserted and deleted from the menu.

#include <algorithm>
#include <utility>

#include "common/error.h"
#include "common/messages.h"
#include "editor/edit_timetable.h"
#include "editor/step_scope.h"

namespace trivo {

namespace {

constexpr std::string_view kUndo = "Rückgängig";
constexpr std::string_view kRedo = "Wiederholen";
constexpr std::string_view kInsertTrip = "Fahrt einfügen";
constexpr std::string_view kDeleteTrips = "Fahrt löschen";

std::string MenuText(std::string_view verb, const std::string* step) {
  std::string text(verb);
  if (step != nullptr) text.append(": ").append(*step);
  return text;
}

// The texts of a row or column up to the last one that is not empty.
std::vector<std::string> WithoutTrailingEmpty(std::vector<std::string> texts) {
  while (!texts.empty() && texts.back().empty()) texts.pop_back();
  return texts;
}

}  // namespace

EditTimeTable::StepScope::StepScope(EditTimeTable& editor, std::string_view name, bool joinTyping)
    : editor_(editor) {
  if (editor_.stepDepth_++ > 0) return;
  if (joinTyping && editor_.open_) return;
  editor_.CommitStep();
  editor_.OpenStep(name);
}

EditTimeTable::StepScope::~StepScope() {
  if (--editor_.stepDepth_ == 0) editor_.CommitStep();
}

void EditTimeTable::OpenStep(std::string_view name) {
  open_.emplace();
  open_->name = std::string(name);
  open_->undoCell = open_->redoCell = current_;
  stepCellsSet_ = false;
}

void EditTimeTable::NameStep(std::string_view name) {
  // Only the step of a cell entry takes the name of what its check did.
  if (open_ && stepDepth_ <= 1) open_->name = std::string(name);
}

void EditTimeTable::SetStepCells(CellPos undoCell, CellPos redoCell) {
  if (!open_) return;
  open_->undoCell = undoCell;
  open_->redoCell = redoCell;
  stepCellsSet_ = true;
}

void EditTimeTable::CommitStep() {
  if (!open_) return;
  EditStep step = std::move(*open_);
  open_.reset();
  step.Compact();
  if (step.ops.empty()) return;
  if (!stepCellsSet_) {
    // The changed cell: the first trip cell written.
    for (const GridOp& op : step.ops) {
      if (op.kind == GridOp::Kind::Cell && op.col >= kFirstTripCol && op.row >= kFirstDataRow) {
        step.undoCell = step.redoCell = {op.col, op.row};
        break;
      }
    }
  }
  history_.Push(std::move(step));
}

void EditTimeTable::ApplyOp(GridOp op) {
  ApplyGridOp(grid_, op);
  if (open_) open_->ops.push_back(std::move(op));
  TouchShape();
}

void EditTimeTable::InsertRow(int row) {
  GridOp op;
  op.kind = GridOp::Kind::InsertRow;
  op.row = row;
  ApplyOp(std::move(op));
}

void EditTimeTable::DeleteRow(int row) {
  GridOp op;
  op.kind = GridOp::Kind::DeleteRow;
  op.row = row;
  op.removed = WithoutTrailingEmpty(grid_.Row(row));
  ApplyOp(std::move(op));
}

void EditTimeTable::InsertCol(int col) {
  GridOp op;
  op.kind = GridOp::Kind::InsertCol;
  op.col = col;
  ApplyOp(std::move(op));
}

void EditTimeTable::DeleteCol(int col) {
  GridOp op;
  op.kind = GridOp::Kind::DeleteCol;
  op.col = col;
  op.removed = WithoutTrailingEmpty(grid_.Col(col));
  ApplyOp(std::move(op));
}

void EditTimeTable::MoveCol(int from, int to) {
  if (from == to) return;
  GridOp op;
  op.kind = GridOp::Kind::MoveCol;
  op.col = from;
  op.row = to;
  ApplyOp(std::move(op));
}

// --- taking back and making again ---

bool EditTimeTable::CanUndo() const {
  return editMode_ && (history_.CanUndo() || PendingChanges());
}

bool EditTimeTable::CanRedo() const {
  // Typing into a cell is a new step: it takes the place of the steps taken back.
  return editMode_ && history_.CanRedo() && !PendingChanges();
}

std::string EditTimeTable::UndoText() const {
  if (!CanUndo()) return MenuText(kUndo, nullptr);
  return MenuText(kUndo, PendingChanges() ? &open_->name : &history_.NextUndo().name);
}

std::string EditTimeTable::RedoText() const {
  return MenuText(kRedo, CanRedo() ? &history_.NextRedo().name : nullptr);
}

bool EditTimeTable::Undo() {
  if (!editMode_ || stepDepth_ > 0) return false;
  CommitStep();
  if (!history_.CanUndo()) return false;
  const EditStep& step = history_.Undo();
  for (auto op = step.ops.rbegin(); op != step.ops.rend(); ++op) RevertGridOp(grid_, *op);
  ShowStep(step, step.undoCell);
  return true;
}

bool EditTimeTable::Redo() {
  if (!editMode_ || stepDepth_ > 0) return false;
  CommitStep();
  if (!history_.CanRedo()) return false;
  const EditStep& step = history_.Redo();
  for (const GridOp& op : step.ops) ApplyGridOp(grid_, op);
  ShowStep(step, step.redoCell);
  return true;
}

void EditTimeTable::ShowStep(const EditStep& step, CellPos cell) {
  for (const GridOp& op : step.ops) {
    if (op.Structural() || op.col < kFirstTripCol || op.row < kFirstDataRow) {
      TouchShape();
    } else {
      Touch(op.col, op.row);
    }
  }
  current_ = cell;
  ClampCurrent();
  ResetEditingState();
  saveVisible_ = !history_.AtSavedState();
}

void EditTimeTable::ResetEditingState() {
  typingStarted_ = false;
  restoreCell_ = {-1, -1};
  restoreText_.clear();
  lastKeyWasEnter_ = false;
  skipNextCheck_ = false;
}

// --- trip columns ---

bool EditTimeTable::ColumnIsEmpty(int col) const {
  for (int r = 1; r <= LastRow(); ++r) {
    if (!Text(col, r).empty()) return false;
  }
  return true;
}

void EditTimeTable::KeepWidth(int width) {
  while (grid_.ColCount() > width && ColumnIsEmpty(LastCol())) DeleteCol(LastCol());
  while (grid_.ColCount() < width) InsertCol(grid_.ColCount());
}

void EditTimeTable::InsertTripColumn() {
  if (!editMode_ || !CurrentCellPasses()) return;
  StepScope step(*this, kInsertTrip);
  const int width = grid_.ColCount();
  SetStepCells(current_, current_);
  InsertCol(current_.col);
  KeepWidth(width);
  NumberTripColumns();
  MarkModified();
}

void EditTimeTable::DeleteTripColumns(int first, int last) {
  if (!editMode_) return;
  if (!IsTripCol(first) || !IsTripCol(last) || first > last) {
    throw Error(msg::GridIndexOutOfRange());
  }
  // Typing into a column that is deleted goes with it; elsewhere the cell is left.
  const bool currentDeleted = current_.col >= first && current_.col <= last;
  if (!currentDeleted && !CurrentCellPasses()) return;
  StepScope step(*this, kDeleteTrips);
  const CellPos at{first, current_.row};
  SetStepCells(at, at);
  const int width = grid_.ColCount();
  for (int col = last; col >= first; --col) DeleteCol(col);
  KeepWidth(width);
  NumberTripColumns();
  if (currentDeleted) {
    current_.col = first;
    ResetEditingState();
  } else if (current_.col > last) {
    current_.col -= last - first + 1;
  }
  ClampCurrent();
  MarkModified();
}

}  // namespace trivo

#include "editor/edit_history.h"

#include <algorithm>
#include <utility>

namespace trivo {

namespace {

void PutBack(StringGrid& grid, const GridOp& op) {
  for (std::size_t i = 0; i < op.removed.size(); ++i) {
    const int at = static_cast<int>(i);
    if (op.kind == GridOp::Kind::DeleteRow) {
      grid.SetCell(at, op.row, op.removed[i]);
    } else {
      grid.SetCell(op.col, at, op.removed[i]);
    }
  }
}

}  // namespace

void ApplyGridOp(StringGrid& grid, const GridOp& op) {
  switch (op.kind) {
    case GridOp::Kind::Cell:
      grid.SetCell(op.col, op.row, op.after);
      break;
    case GridOp::Kind::InsertRow:
      InsertGridRow(grid, op.row);
      break;
    case GridOp::Kind::DeleteRow:
      DeleteGridRow(grid, op.row);
      break;
    case GridOp::Kind::InsertCol:
      InsertGridColumn(grid, op.col);
      break;
    case GridOp::Kind::DeleteCol:
      DeleteGridColumn(grid, op.col);
      break;
    case GridOp::Kind::MoveCol:
      MoveGridColumn(grid, op.col, op.row);
      break;
  }
}

void RevertGridOp(StringGrid& grid, const GridOp& op) {
  switch (op.kind) {
    case GridOp::Kind::Cell:
      grid.SetCell(op.col, op.row, op.before);
      break;
    case GridOp::Kind::InsertRow:
      DeleteGridRow(grid, op.row);
      break;
    case GridOp::Kind::DeleteRow:
      InsertGridRow(grid, op.row);
      PutBack(grid, op);
      break;
    case GridOp::Kind::InsertCol:
      DeleteGridColumn(grid, op.col);
      break;
    case GridOp::Kind::DeleteCol:
      InsertGridColumn(grid, op.col);
      PutBack(grid, op);
      break;
    case GridOp::Kind::MoveCol:
      MoveGridColumn(grid, op.row, op.col);
      break;
  }
}

void EditStep::RecordCell(int col, int row, const std::string& before, const std::string& after) {
  if (!ops.empty()) {
    GridOp& last = ops.back();
    if (last.kind == GridOp::Kind::Cell && last.col == col && last.row == row) {
      last.after = after;
      return;
    }
  }
  if (before == after) return;
  GridOp op;
  op.col = col;
  op.row = row;
  op.before = before;
  op.after = after;
  ops.push_back(std::move(op));
}

bool EditStep::Changes() const {
  return std::any_of(ops.begin(), ops.end(), [](const GridOp& op) { return !op.ChangesNothing(); });
}

void EditStep::Compact() {
  std::erase_if(ops, [](const GridOp& op) { return op.ChangesNothing(); });
}

void EditHistory::Clear() {
  done_.clear();
  undone_.clear();
  baseId_ = nextId_++;
  savedId_ = baseId_;
}

void EditHistory::Push(EditStep step) {
  step.id = nextId_++;
  undone_.clear();
  done_.push_back(std::move(step));
  if (done_.size() > kDepth) {
    baseId_ = done_.front().id;
    done_.pop_front();
  }
}

const EditStep& EditHistory::Undo() {
  undone_.push_back(std::move(done_.back()));
  done_.pop_back();
  return undone_.back();
}

const EditStep& EditHistory::Redo() {
  done_.push_back(std::move(undone_.back()));
  undone_.pop_back();
  return done_.back();
}

}  // namespace trivo

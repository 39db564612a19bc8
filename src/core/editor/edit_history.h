#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "common/string_grid.h"

namespace trivo {

struct CellPos {
  int col = 0;
  int row = 0;
  friend bool operator==(const CellPos&, const CellPos&) = default;
};

// One change of the editor grid as it was made, with what it takes to make it again and
// to take it back: a cell's text, or a row or column inserted, deleted or moved. Only
// what changed is kept, never a copy of the grid.
struct GridOp {
  enum class Kind : std::uint8_t { Cell, InsertRow, DeleteRow, InsertCol, DeleteCol, MoveCol };
  Kind kind = Kind::Cell;
  int col = 0;         // Cell, InsertCol, DeleteCol; MoveCol: the column moved
  int row = 0;         // Cell, InsertRow, DeleteRow; MoveCol: its new position
  std::string before;  // Cell: the text it had
  std::string after;   // Cell: the text it got
  // DeleteRow, DeleteCol: the texts taken out, up to the last one that is not empty.
  std::vector<std::string> removed;

  bool Structural() const { return kind != Kind::Cell; }
  // A cell op that wrote the text the cell had changes nothing.
  bool ChangesNothing() const { return kind == Kind::Cell && before == after; }
};

void ApplyGridOp(StringGrid& grid, const GridOp& op);
void RevertGridOp(StringGrid& grid, const GridOp& op);

// One step of the editor's history: everything a single user action changed in the grid.
struct EditStep {
  std::string name;         // what the menu names it, German (Windows-1252)
  CellPos undoCell;         // the current cell after the step is taken back
  CellPos redoCell;         // the current cell after it is made again
  std::vector<GridOp> ops;  // in the order they were made
  std::uint64_t id = 0;

  // Records a cell's new text; a second text for the cell just written replaces the first.
  void RecordCell(int col, int row, const std::string& before, const std::string& after);
  // Whether the step changed anything.
  bool Changes() const;
  // Drops the ops that change nothing.
  void Compact();
};

// The steps that can be taken back and made again, at most kDepth of them, and which
// state of the grid is the saved one.
class EditHistory {
 public:
  static constexpr std::size_t kDepth = 500;

  // Nothing to take back or make again; the grid as it is counts as saved.
  void Clear();
  // A step made by the user: the steps taken back before it can no longer be made again.
  void Push(EditStep step);
  bool CanUndo() const { return !done_.empty(); }
  bool CanRedo() const { return !undone_.empty(); }
  const EditStep& NextUndo() const { return done_.back(); }
  const EditStep& NextRedo() const { return undone_.back(); }
  // Moves the step from one list to the other and gives it.
  const EditStep& Undo();
  const EditStep& Redo();

  // The grid as it is now counts as saved.
  void MarkSaved() { savedId_ = StateId(); }
  bool AtSavedState() const { return StateId() == savedId_; }

 private:
  // The id of the last step made, or of the state below the oldest kept step.
  std::uint64_t StateId() const { return done_.empty() ? baseId_ : done_.back().id; }

  std::deque<EditStep> done_;
  std::vector<EditStep> undone_;
  std::uint64_t nextId_ = 1;
  std::uint64_t baseId_ = 0;
  std::uint64_t savedId_ = 0;
};

}  // namespace trivo

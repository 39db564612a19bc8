#pragma once

#include <string_view>

#include "editor/edit_timetable.h"

namespace trivo {

// One user action recorded as one step of the history: the outermost scope opens the
// step (after closing a step still open, such as the typing into a cell) and closes it at
// its end, also when an error ends the action; inner scopes add to it. With joinTyping the
// outermost scope goes on with the typing into the current cell, so that a cell's check
// and the text typed before it are one step.
class EditTimeTable::StepScope {
 public:
  StepScope(EditTimeTable& editor, std::string_view name, bool joinTyping = false);
  ~StepScope();
  StepScope(const StepScope&) = delete;
  StepScope& operator=(const StepScope&) = delete;

 private:
  EditTimeTable& editor_;
};

}  // namespace trivo

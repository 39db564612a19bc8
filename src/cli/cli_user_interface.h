#pragma once

#include <deque>
#include <ostream>
#include <string>

#include "common/user_interface.h"

namespace trivo::cli {

// The command line's face of the program: every report becomes one line on the given
// stream (standard output in the program), its bytes written unchanged:
//   Log          the line as it is
//   ShowMessage  "[Meldung] " + text
//   Confirm      "[Frage] " + text; answered from `answers`, Yes when none is queued
//   Beep         "[Signal]" when printBeeps is set, else nothing
// Each line is flushed at once so that it keeps its place among other output.
class CliUserInterface : public UserInterface {
 public:
  explicit CliUserInterface(std::ostream& out) : out_(out) {}

  void ShowMessage(const std::string& text) override;
  Answer Confirm(const std::string& text, bool withCancel) override;
  void Log(const std::string& line) override;
  void Beep() override;

  // An error that ended a step: "[Fehler] " + text.
  void ReportError(const std::string& text);

  // Answers for the next confirmations, in order.
  std::deque<Answer> answers;
  bool printBeeps = false;

 private:
  void WriteLine(const std::string& prefix, const std::string& text);

  std::ostream& out_;
};

}  // namespace trivo::cli

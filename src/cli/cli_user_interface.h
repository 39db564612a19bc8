#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <string_view>

#include "common/user_interface.h"

namespace trivo::cli {

// A text as one line of output, as every report is written: a line feed inside it
// becomes "\n", a carriage return "\r"; every other byte stays. For the lines a
// command writes on its own (errors on standard error, printed paths and memos), so that
// a name holding a line break cannot forge a second line.
std::string OneLine(std::string_view text);

// The command line's face of the program: every report becomes one line on the given
// stream (standard output in the program), its bytes written unchanged except that a line
// feed or carriage return inside a text is written as "\n" or "\r", so that one report
// is always one line (a file name holding a line break cannot forge a "[Fehler]" line):
//   Log          the line as it is
//   ShowMessage  "[Meldung] " + text
//   Confirm      "[Frage] " + text; answered from `answers`, Yes when none is queued
//   Beep         "[Signal]" when printBeeps is set, else nothing
// Each report is flushed at once so that it keeps its place among other output.
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

  // One line of a command's own output (a tree node, a memo line), escaped like the
  // reports but not flushed on its own: such output may run to millions of lines.
  void PrintLine(std::string_view text);
  void Flush();

  // From now on, every line written is also kept, as written, in transcript.
  void StartTranscript() { keepTranscript_ = true; }
  const std::string& Transcript() const { return transcript_; }

 private:
  void WriteLine(std::string_view prefix, std::string_view text);

  std::ostream& out_;
  bool keepTranscript_ = false;
  std::string transcript_;
};

}  // namespace trivo::cli

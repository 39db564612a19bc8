#include "cli_user_interface.h"

namespace trivo::cli {

void CliUserInterface::ShowMessage(const std::string& text) {
  WriteLine("[Meldung] ", text);
}

Answer CliUserInterface::Confirm(const std::string& text, bool /*withCancel*/) {
  WriteLine("[Frage] ", text);
  if (answers.empty()) return Answer::Yes;
  const Answer answer = answers.front();
  answers.pop_front();
  return answer;
}

void CliUserInterface::Log(const std::string& line) {
  WriteLine("", line);
}

void CliUserInterface::Beep() {
  if (printBeeps) WriteLine("[Signal]", "");
}

void CliUserInterface::ReportError(const std::string& text) {
  WriteLine("[Fehler] ", text);
}

void CliUserInterface::WriteLine(const std::string& prefix, const std::string& text) {
  out_.write(prefix.data(), static_cast<std::streamsize>(prefix.size()));
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  out_.put('\n');
  out_.flush();
}

}  // namespace trivo::cli

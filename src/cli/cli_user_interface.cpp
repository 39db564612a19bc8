#include "cli_user_interface.h"

namespace trivo::cli {

std::string OneLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t at = text.find_first_of("\r\n"); at != std::string_view::npos;
       at = text.find_first_of("\r\n")) {
    line.append(text.substr(0, at));
    line.append(text[at] == '\n' ? "\\n" : "\\r");
    text.remove_prefix(at + 1);
  }
  line.append(text);
  return line;
}

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

void CliUserInterface::PrintLine(std::string_view text) {
  if (keepTranscript_) transcript_.append(OneLine(text)).push_back('\n');
  std::size_t begin = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\n' && c != '\r') continue;
    out_.write(text.data() + begin, static_cast<std::streamsize>(i - begin));
    out_.write(c == '\n' ? "\\n" : "\\r", 2);
    begin = i + 1;
  }
  out_.write(text.data() + begin, static_cast<std::streamsize>(text.size() - begin));
  out_.put('\n');
}

void CliUserInterface::Flush() {
  out_.flush();
}

void CliUserInterface::WriteLine(std::string_view prefix, std::string_view text) {
  if (keepTranscript_) transcript_.append(prefix);
  out_.write(prefix.data(), static_cast<std::streamsize>(prefix.size()));
  PrintLine(text);
  out_.flush();
}

}  // namespace trivo::cli

#pragma once

#include <stdlib.h>

#include <cerrno>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/user_interface.h"

namespace trivo::test {

// Records what core code shows the user: message boxes as "[Meldung] <text>",
// confirmations as "[Frage] <text>", log lines as they are, beeps as "[Beep]".
// Confirmations take their answers from `answers` in order, then answer Yes.
class RecordingUserInterface : public UserInterface {
 public:
  void ShowMessage(const std::string& text) override { events.push_back("[Meldung] " + text); }
  Answer Confirm(const std::string& text, bool /*withCancel*/) override {
    events.push_back("[Frage] " + text);
    if (answers.empty()) return Answer::Yes;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Log(const std::string& line) override { events.push_back(line); }
  void Beep() override { events.push_back("[Beep]"); }

  std::vector<std::string> events;
  std::deque<Answer> answers;
};

// A fresh folder of its own under the system's temporary folder, removed with everything
// in it at the end.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trivo_test_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    }
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  // Writes the bytes as the file `name` in this folder and gives its path.
  std::filesystem::path Write(std::string_view name, std::string_view bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
    return file;
  }

  // The bytes of a file; empty when it cannot be read.
  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Number of entries in the folder.
  std::size_t Count() const {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_)) ++count;
    return count;
  }

 private:
  std::filesystem::path path_;
};

// A PTF file as the writer writes it: the header lines, the field-name row `columns`,
// the record rows and the closing line with the column count, each ended by CR LF.
inline std::string PtfText(std::string_view columns, const std::vector<std::string>& rows,
                           int columnCount) {
  std::string text =
      "/* Portable Table Format 1.0 */\r\nporTables[porTables.length] = new Array(\r\n";
  text.append(columns).append("\r\n");
  for (const std::string& row : rows) text.append(row).append("\r\n");
  return text + std::to_string(columnCount) + ");\r\n";
}

}  // namespace trivo::test

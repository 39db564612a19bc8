#pragma once

#include <deque>
#include <filesystem>
#include <random>
#include <string>
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

// A fresh folder under the system's temporary folder, removed with its contents at the end.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("trivo-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace trivo::test

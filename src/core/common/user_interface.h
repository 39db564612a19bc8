#pragma once

#include <string>

namespace trivo {

enum class Answer { Yes, No, Cancel };

// What core code needs from whoever drives it: the desktop program shows message boxes
// and appends to the main window's log memo, the command line prints lines, tests record.
// All texts are Windows-1252 bytes.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // A modal message box with an OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // A confirmation with Yes and No, and Cancel when withCancel is set.
  virtual Answer Confirm(const std::string& text, bool withCancel) = 0;
  // One line appended to the main window's log memo (Memo1).
  virtual void Log(const std::string& line) = 0;
  // The system beep.
  virtual void Beep() = 0;
};

}  // namespace trivo

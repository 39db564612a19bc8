#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "common/user_interface.h"

namespace trivo::gui {

// The kinds of modal boxes the desktop program shows.
enum class BoxKind {
  Message,                 // plain message box with OK
  Confirmation,            // Yes/No
  ConfirmationWithCancel,  // Yes/No/Cancel
  Error,                   // an error that ended a command
};

// The core's user interface in the desktop program: message boxes, confirmations, the
// log memo of the main window and the system beep. Texts from the core are
// Windows-1252 bytes and are decoded here.
//
// Tests replace the modal boxes by a hook that sees each box and answers it.
class GuiUserInterface : public UserInterface {
 public:
  using BoxHook = std::function<Answer(BoxKind kind, const QString& text)>;
  using LogSink = std::function<void(const QString& line)>;
  using BeepHook = std::function<void()>;

  void ShowMessage(const std::string& text) override;
  Answer Confirm(const std::string& text, bool withCancel) override;
  void Log(const std::string& line) override;
  void Beep() override;

  // The same boxes for texts of the desktop program itself.
  void ShowMessageText(const QString& text);
  // An error that ended a command, shown as the default error display does.
  void ShowError(const QString& text);

  // The window that message boxes are centred on.
  void SetDialogParent(QWidget* parent) { parent_ = parent; }
  void SetLogSink(LogSink sink) { logSink_ = std::move(sink); }
  // With a hook set, no box is shown; the hook's answer is taken instead.
  void SetBoxHook(BoxHook hook) { boxHook_ = std::move(hook); }
  void SetBeepHook(BeepHook hook) { beepHook_ = std::move(hook); }

 private:
  Answer Show(BoxKind kind, const QString& text);

  QWidget* parent_ = nullptr;
  LogSink logSink_;
  BoxHook boxHook_;
  BeepHook beepHook_;
};

}  // namespace trivo::gui

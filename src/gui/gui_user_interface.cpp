#include "gui_user_interface.h"

#include <QApplication>
#include <QMessageBox>

#include "text_codec.h"

namespace trivo::gui {

void GuiUserInterface::ShowMessage(const std::string& text) {
  Show(BoxKind::Message, FromCp1252(text));
}

Answer GuiUserInterface::Confirm(const std::string& text, bool withCancel) {
  return Show(withCancel ? BoxKind::ConfirmationWithCancel : BoxKind::Confirmation,
              FromCp1252(text));
}

void GuiUserInterface::Log(const std::string& line) {
  if (logSink_) logSink_(FromCp1252(line));
}

void GuiUserInterface::Beep() {
  if (beepHook_) {
    beepHook_();
  } else {
    QApplication::beep();
  }
}

void GuiUserInterface::ShowMessageText(const QString& text) {
  Show(BoxKind::Message, text);
}

void GuiUserInterface::ShowError(const QString& text) {
  Show(BoxKind::Error, text);
}

Answer GuiUserInterface::Show(BoxKind kind, const QString& text) {
  if (boxHook_) return boxHook_(kind, text);
  const QString title = QStringLiteral("Trivo Editor");
  switch (kind) {
    case BoxKind::Message:
      QMessageBox::information(parent_, title, text, QMessageBox::Ok);
      return Answer::Yes;
    case BoxKind::Error:
      QMessageBox::critical(parent_, title, text, QMessageBox::Ok);
      return Answer::Yes;
    case BoxKind::Confirmation:
      return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No) ==
                     QMessageBox::Yes
                 ? Answer::Yes
                 : Answer::No;
    case BoxKind::ConfirmationWithCancel: {
      const auto button = QMessageBox::question(
          parent_, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      if (button == QMessageBox::Yes) return Answer::Yes;
      if (button == QMessageBox::No) return Answer::No;
      return Answer::Cancel;
    }
  }
  return Answer::Cancel;
}

}  // namespace trivo::gui

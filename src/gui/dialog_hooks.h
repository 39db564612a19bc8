#pragma once

#include <QDialog>
#include <QString>
#include <functional>

namespace trivo::gui {

enum class FileDialogKind { Open, Save };

// The dialogs through which the main window asks the user: the project file dialogs
// (filter "Trivo-Projekt (*.tvp)", default suffix "tvp") and modal windows. Tests
// replace the functions to drive the commands without real dialogs.
struct DialogHooks {
  // The chosen file's full path, or an empty text when the user cancels. fileName is
  // the dialog's remembered file name (may be empty).
  std::function<QString(FileDialogKind kind, QWidget* parent, const QString& fileName)> askFileName;
  // Shows the window modally and returns its result code.
  std::function<int(QDialog& dialog)> execModal;

  // Hooks that show the real dialogs.
  static DialogHooks Platform();
};

// The real project file dialog.
QString AskProjectFileName(FileDialogKind kind, QWidget* parent, const QString& fileName);

}  // namespace trivo::gui

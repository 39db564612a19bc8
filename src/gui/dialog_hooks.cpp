#include "dialog_hooks.h"

#include <QFileDialog>

namespace trivo::gui {

QString AskProjectFileName(FileDialogKind kind, QWidget* parent, const QString& fileName) {
  QFileDialog dialog(parent);
  // Qt's own dialog speaks the program's language, whatever the desktop's dialogs do.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilter(QStringLiteral("Trivo-Projekt (*.tvp)"));
  dialog.setDefaultSuffix(QStringLiteral("tvp"));
  // A typed name that does not exist is taken as it is: opening it loads the defaults.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(kind == FileDialogKind::Open ? QFileDialog::AcceptOpen
                                                    : QFileDialog::AcceptSave);
  if (!fileName.isEmpty()) dialog.selectFile(fileName);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.front();
}

DialogHooks DialogHooks::Platform() {
  DialogHooks hooks;
  hooks.askFileName = &AskProjectFileName;
  hooks.execModal = [](QDialog& dialog) { return dialog.exec(); };
  return hooks;
}

}  // namespace trivo::gui

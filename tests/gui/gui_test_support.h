#pragma once

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/user_interface.h"
#include "gui_user_interface.h"
#include "test_support.h"
#include "tfm_main.h"
#include "trivo_windows.h"

namespace trivo::gui::test {

// One box the program showed, as "[Meldung] text", "[Frage] text" or "[Fehler] text".
inline QString DescribeBox(BoxKind kind, const QString& text) {
  switch (kind) {
    case BoxKind::Message:
      return QStringLiteral("[Meldung] ") + text;
    case BoxKind::Error:
      return QStringLiteral("[Fehler] ") + text;
    default:
      return QStringLiteral("[Frage] ") + text;
  }
}

// The program's window set with every dialog replaced: message boxes are recorded and
// answered Yes, file dialogs answer from a queue (an empty answer cancels), modal windows
// are recorded and accepted, beeps are counted.
class DrivenWindows {
 public:
  DrivenWindows() {
    windows.ui.SetBoxHook([this](BoxKind kind, const QString& text) {
      boxes << DescribeBox(kind, text);
      return Answer::Yes;
    });
    windows.ui.SetBeepHook([this] { ++beeps; });
    windows.dialogs.askFileName = [this](FileDialogKind kind, QWidget*, const QString& name) {
      fileDialogs.emplace_back(kind, name);
      if (fileAnswers.empty()) return QString();
      const QString answer = fileAnswers.front();
      fileAnswers.pop_front();
      return answer;
    };
    windows.dialogs.execModal = [this](QDialog& dialog) {
      modalWindows.push_back(&dialog);
      return static_cast<int>(QDialog::Accepted);
    };
  }

  TfmMain& main() { return *windows.fmMain; }
  Context& ctx() { return windows.ctx; }

  // The log memo's lines.
  QStringList LogLines() const {
    const QString text = windows.fmMain->Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
  }

  // Opens the project as the open dialog answering with path does.
  void OpenThroughDialog(const QString& path) {
    fileAnswers.push_back(path);
    windows.fmMain->FileOpen();
  }

  TrivoWindows windows;
  QStringList boxes;
  int beeps = 0;
  std::deque<QString> fileAnswers;
  std::vector<std::pair<FileDialogKind, QString>> fileDialogs;
  std::vector<QDialog*> modalWindows;
};

// The folder of the repository's example project.
inline QString SampleDir() {
  return QString::fromLocal8Bit(qgetenv("TRIVO_SOURCE_DIR")) + QStringLiteral("/examples/sample");
}

// A copy of the example project in a fresh temporary folder; returns the project file.
inline QString CopySample(const QTemporaryDir& temp, const QString& subFolder = QString()) {
  QDir target(temp.path());
  if (!subFolder.isEmpty()) {
    target.mkpath(subFolder);
    target.cd(subFolder);
  }
  const QDir source(SampleDir());
  for (const QFileInfo& file : source.entryInfoList(QDir::Files)) {
    QFile::copy(file.absoluteFilePath(), target.filePath(file.fileName()));
  }
  return target.filePath(QStringLiteral("sample.tvp"));
}

inline QByteArray FileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// Calls handler with the next modal window as soon as it shows, while the caller waits in
// that window's exec(). The handler must close the window; it should only record what it
// sees and leave the checks to the caller, since a failed check in it would leave the
// window open.
inline void WhenModalShown(std::function<void(QWidget& modal)> handler) {
  auto* timer = new QTimer(QApplication::instance());
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, handler = std::move(handler)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    timer->stop();
    timer->deleteLater();
    handler(*modal);
  });
  timer->start();
}

// Records what core code shows when it runs without the windows.
using trivo::test::RecordingUserInterface;

}  // namespace trivo::gui::test

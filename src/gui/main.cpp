#include <QApplication>

#include "tfm_main.h"
#include "trivo_windows.h"

// The desktop program reads no command line: the arguments are left to Qt alone.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("trivo-editor"));
  trivo::gui::TrivoWindows windows;
  windows.fmMain->show();
  return app.exec();
}

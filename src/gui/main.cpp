#include "tfm_main.h"
#include "trivo_application.h"
#include "trivo_windows.h"
#include "web_engine_setup.h"

// The desktop program reads no command line: the arguments are left to Qt alone.
int main(int argc, char** argv) {
  trivo::gui::PrepareWebEngine();
  trivo::gui::TrivoApplication app(argc, argv);
  trivo::gui::TrivoApplication::setApplicationName(QStringLiteral("trivo-editor"));
  trivo::gui::TrivoWindows windows;
  app.SetErrorDisplay([&windows](const QString& text) { windows.ui.ShowError(text); });
  windows.fmMain->show();
  return app.exec();
}

#include <QCoreApplication>

#include "platform_texts.h"
#include "project_argument.h"
#include "tfm_main.h"
#include "trivo_application.h"
#include "trivo_windows.h"
#include "web_engine_setup.h"

// Qt takes its own options out of the arguments; a project file given as the only other
// argument (a double click on it) is opened as choosing it in the open dialog would.
int main(int argc, char** argv) {
  trivo::gui::PrepareWebEngine();
  trivo::gui::TrivoApplication app(argc, argv);
  trivo::gui::TrivoApplication::setApplicationName(QStringLiteral("trivo-editor"));
  trivo::gui::TrivoApplication::setDesktopFileName(QStringLiteral("trivo-editor"));
  trivo::gui::UseGermanPlatformTexts(app);
  trivo::gui::TrivoWindows windows;
  app.SetErrorDisplay([&windows](const QString& text) { windows.ui.ShowError(text); });
  windows.fmMain->show();
  const QString project = trivo::gui::ProjectFileArgument(QCoreApplication::arguments());
  if (!project.isEmpty()) windows.fmMain->OpenProjectFile(project);
  return app.exec();
}

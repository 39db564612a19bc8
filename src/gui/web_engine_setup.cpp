#include "web_engine_setup.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace trivo::gui {

void PrepareWebEngine() {
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  }
  // Qt WebEngine shares its OpenGL context with the widgets.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

}  // namespace trivo::gui

#include "platform_texts.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace trivo::gui {

bool UseGermanPlatformTexts(QCoreApplication& app) {
  return UseGermanPlatformTexts(app, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool UseGermanPlatformTexts(QCoreApplication& app, const QString& translationsFolder) {
  const QLocale german(QLocale::German, QLocale::Germany);
  QLocale::setDefault(german);
  // The application owns the translator: it stays installed for the whole run.
  auto* translator = new QTranslator(&app);
  if (!translator->load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                        translationsFolder)) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace trivo::gui

#pragma once

#include <QCoreApplication>
#include <QString>

namespace trivo::gui {

// Makes the texts Qt draws itself German, as the program's own texts are: the standard
// buttons of message boxes and confirmations ("OK", "Ja", "Nein", "Abbrechen"), the file
// dialogs and the context menus of text fields. Sets the German locale as the default and
// installs Qt's German translations (qtbase_de) from Qt's translations folder. Returns
// false when the translations are not found there; the program then goes on with Qt's
// English texts.
bool UseGermanPlatformTexts(QCoreApplication& app);
// The same with the translations taken from the given folder.
bool UseGermanPlatformTexts(QCoreApplication& app, const QString& translationsFolder);

}  // namespace trivo::gui

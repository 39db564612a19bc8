#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "gui_test_support.h"
#include "platform_texts.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

QString WithoutMnemonic(QString text) {
  return text.remove(QLatin1Char('&'));
}

// The texts of the buttons Yes, No and Cancel of the confirmation the program shows; a
// button the box lacks gives an empty text.
QStringList ConfirmationButtons(bool withCancel) {
  QStringList texts;
  WhenModalShown([&texts](QWidget& modal) {
    auto* box = qobject_cast<QMessageBox*>(&modal);
    for (auto which : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
      QAbstractButton* button = box ? box->button(which) : nullptr;
      texts << (button ? WithoutMnemonic(button->text()) : QString());
    }
    modal.close();
  });
  GuiUserInterface().Confirm("Gleiche Werte einsetzen?", withCancel);
  return texts;
}

}  // namespace

// Qt's own texts in the desktop program are German: standard buttons, the file dialog
// and the context menu of text fields.
class PlatformTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(UseGermanPlatformTexts(*QCoreApplication::instance())); }

  void confirmationsShowGermanButtons() {
    QCOMPARE(ConfirmationButtons(false), QStringList({"Ja", "Nein", ""}));
    QCOMPARE(ConfirmationButtons(true), QStringList({"Ja", "Nein", "Abbrechen"}));
  }

  void openDialogIsGerman() {
    QStringList texts;
    WhenModalShown([&texts](QWidget& modal) {
      for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
        const auto* label = modal.findChild<QLabel*>(QString::fromLatin1(name));
        texts << (label ? WithoutMnemonic(label->text()) : QString());
      }
      const auto* buttons = modal.findChild<QDialogButtonBox*>();
      for (auto role : {QDialogButtonBox::Open, QDialogButtonBox::Cancel}) {
        const QPushButton* button = buttons ? buttons->button(role) : nullptr;
        texts << (button ? WithoutMnemonic(button->text()) : QString());
      }
      modal.close();
    });

    QCOMPARE(AskProjectFileName(FileDialogKind::Open, nullptr, QString()), QString());
    QCOMPARE(texts,
             QStringList({"Suchen in:", "Dateiname:", "Dateien des Typs:", "Öffnen", "Abbrechen"}));
  }

  void textFieldMenuIsGerman() {
    QLineEdit field;
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    // An entry's text is followed by a tab and its shortcut.
    QCOMPARE(WithoutMnemonic(menu->actions().front()->text()).section(QLatin1Char('\t'), 0, 0),
             QStringLiteral("Rückgängig"));
  }

  // The program starts without the translations as well, with the German locale.
  void goesOnWithoutTranslations() {
    QTemporaryDir empty;
    QVERIFY(!UseGermanPlatformTexts(*QCoreApplication::instance(), empty.path()));
    QCOMPARE(QLocale().language(), QLocale::German);
  }
};

QTEST_MAIN(PlatformTextsTest)
#include "platform_texts_test.moc"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <map>
#include <memory>

#include "gui_test_support.h"
#include "platform_texts.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

using Buttons = std::map<QMessageBox::StandardButton, QString>;

QString WithoutMnemonic(QString text) {
  return text.remove(QLatin1Char('&'));
}

// The standard buttons of the box shown for kind and their texts; the box is answered by
// pressing answer.
struct ShownBox {
  Buttons buttons;
  trivo::Answer answer;
};

ShownBox ShowBox(BoxKind kind, QMessageBox::StandardButton answer) {
  ShownBox shown{};
  WhenModalShown([&shown, answer](QWidget& modal) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
      for (QAbstractButton* button : box->buttons()) {
        shown.buttons[box->standardButton(button)] = WithoutMnemonic(button->text());
      }
      if (QAbstractButton* button = box->button(answer)) button->click();
    }
    modal.close();
  });
  GuiUserInterface ui;
  switch (kind) {
    case BoxKind::Message:
      ui.ShowMessage("Kein Projekt geladen!");
      shown.answer = trivo::Answer::Yes;
      break;
    case BoxKind::Confirmation:
      shown.answer = ui.Confirm("Gleiche Werte einsetzen?", false);
      break;
    default:
      shown.answer = ui.Confirm("Gleiche Werte einsetzen?", true);
      break;
  }
  return shown;
}

}  // namespace

// Qt's own texts in the desktop program are German: standard buttons, the file dialog
// and the context menu of text fields.
class PlatformTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(UseGermanPlatformTexts(*QCoreApplication::instance())); }

  void boxesShowGermanButtons() {
    using SB = QMessageBox;
    const ShownBox message = ShowBox(BoxKind::Message, SB::Ok);
    QCOMPARE(message.buttons, (Buttons{{SB::Ok, "OK"}}));

    const ShownBox yesNo = ShowBox(BoxKind::Confirmation, SB::No);
    QCOMPARE(yesNo.buttons, (Buttons{{SB::Yes, "Ja"}, {SB::No, "Nein"}}));
    QCOMPARE(yesNo.answer, trivo::Answer::No);

    const ShownBox withCancel = ShowBox(BoxKind::ConfirmationWithCancel, SB::Cancel);
    QCOMPARE(withCancel.buttons,
             (Buttons{{SB::Yes, "Ja"}, {SB::No, "Nein"}, {SB::Cancel, "Abbrechen"}}));
    QCOMPARE(withCancel.answer, trivo::Answer::Cancel);
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
    QStringList texts;
    // An entry's text is followed by a tab and its shortcut.
    for (const QAction* action : menu->actions()) {
      texts << WithoutMnemonic(action->text()).section(QLatin1Char('\t'), 0, 0);
    }
    QVERIFY2(texts.contains("Rückgängig"), qPrintable(texts.join(", ")));
    QVERIFY2(texts.contains("Alles auswählen"), qPrintable(texts.join(", ")));
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

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include "gui_test_support.h"
#include "path_text.h"
#include "project/prj_load.h"
#include "tfm_edit_project.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

QStringList Items(const QListWidget& list) {
  QStringList items;
  for (int row = 0; row < list.count(); ++row) items << list.item(row)->text();
  return items;
}

// Fills the left column: name, text and the days at the given rows of lbAllDays.
void EnterNewGroup(TfmEditProject& window, const QString& name, const QString& text,
                   std::initializer_list<int> days) {
  window.leNewDaysName->setText(name);
  window.leNewDaysText->setText(text);
  window.lbAllDays->clearSelection();
  for (int day : days) window.lbAllDays->item(day)->setSelected(true);
}

// Types the characters one key at a time; characters beyond ASCII come as key events
// carrying just their text, as an input method delivers them.
void TypeInto(QLineEdit* edit, const QString& keys) {
  edit->setFocus();
  for (const QChar key : keys) {
    if (key.unicode() < 0x80) {
      QTest::keyClick(edit, key.toLatin1());
    } else {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(key));
      QApplication::sendEvent(edit, &press);
    }
  }
}

void ClearByBackspace(QLineEdit* edit) {
  edit->end(false);
  while (!edit->text().isEmpty()) QTest::keyClick(edit, Qt::Key_Backspace);
}

}  // namespace

class EditProjectTest : public QObject {
  Q_OBJECT

 private slots:
  void isBuiltAsTheSettingsWindow() {
    DrivenWindows app;
    TfmEditProject& window = *app.windows.fmEditProject;
    QCOMPARE(window.windowTitle(), QStringLiteral("fmEditProject"));
    QCOMPARE(window.btClose->text(), QStringLiteral("Fenser schließen"));
    QCOMPARE(window.btSave->text(), QStringLiteral("Änderungen speichern"));
    QCOMPARE(window.btCancel->text(), QStringLiteral("Änderungen verwerfen"));
    QCOMPARE(window.pcRubrik->currentWidget(), window.tsDays);
    QStringList tabs;
    for (int tab = 0; tab < window.pcRubrik->count(); ++tab) tabs << window.pcRubrik->tabText(tab);
    QCOMPARE(tabs, QStringList({QStringLiteral("Stationen"), QStringLiteral("Linien"),
                                QStringLiteral("Tag-Gruppen"), QStringLiteral("Fahrplan")}));
    QCOMPARE(Items(*window.lbAllDays),
             QStringList({QStringLiteral("Montag"), QStringLiteral("Dienstag"),
                          QStringLiteral("Mittwoch"), QStringLiteral("Donnerstag"),
                          QStringLiteral("Freitag"), QStringLiteral("Sonnabend"),
                          QStringLiteral("Sonntag")}));
    QVERIFY(window.gbStationFields->isHidden());
    QVERIFY(window.cbPrjGeoPosition->isChecked());
    QVERIFY(window.leMaxOverlapMinutes->isHidden());
    QVERIFY(!window.InEditMode());
  }

  void showsTheDayGroupsOfTheLoadedProject() {
    QTemporaryDir temp;
    DrivenWindows app;
    app.OpenThroughDialog(CopySample(temp));
    TfmEditProject& window = *app.windows.fmEditProject;

    QCOMPARE(window.cbDayGroups->currentText(), QStringLiteral("Mo-Fr"));
    QCOMPARE(window.leDayGroupText->text(), QStringLiteral("Montag bis Freitag"));
    QCOMPARE(Items(*window.lbDayGroups).size(), 5);

    window.cbDayGroups->setCurrentIndex(2);
    QCOMPARE(window.leDayGroupText->text(), QStringLiteral("Sonn- und Feiertag"));
    QCOMPARE(Items(*window.lbDayGroups), QStringList{QStringLiteral("Sonntag")});

    window.cbDayGroups->setEditText(QStringLiteral("getippt"));  // selects nothing
    QCOMPARE(window.leDayGroupText->text(), QStringLiteral("Sonn- und Feiertag"));
  }

  void decodesTheProjectBytesAsWindows1252() {
    DrivenWindows app;
    app.ctx().PrjParams.DayGroups = {{"Fr\xFC", "Fr\xFCh \x80 Tarif", trivo::Weekdays("0000001")}};
    app.windows.fmEditProject->SetDayGroups();
    QCOMPARE(app.windows.fmEditProject->cbDayGroups->itemText(0), QStringLiteral("Frü"));
    QCOMPARE(app.windows.fmEditProject->leDayGroupText->text(), QStringLiteral("Früh € Tarif"));
  }

  void addsADayGroup() {
    DrivenWindows app;
    TfmEditProject& window = *app.windows.fmEditProject;
    window.show();
    EnterNewGroup(window, QStringLiteral("Sa"), QStringLiteral("Samstag"), {5});

    window.btAddDayGroup->click();

    QVERIFY(window.InEditMode());
    QCOMPARE(app.ctx().PrjParams.DayGroups.size(), std::size_t{1});
    QCOMPARE(app.ctx().PrjParams.DayGroups[0].Days, trivo::Weekdays("0100000"));
    QCOMPARE(window.cbDayGroups->currentText(), QStringLiteral("Sa"));
    QCOMPARE(window.leDayGroupText->text(), QStringLiteral("Samstag"));
    QCOMPARE(Items(*window.lbDayGroups), QStringList{QStringLiteral("Sonnabend")});
    QCOMPARE(window.leNewDaysName->text(), QStringLiteral("Sa"));  // inputs stay
  }

  void refusesInvalidGroupsSilently() {
    DrivenWindows app;
    TfmEditProject& window = *app.windows.fmEditProject;
    window.show();
    EnterNewGroup(window, QStringLiteral("Mo"), QStringLiteral("Montag"), {0});
    window.btAddDayGroup->click();
    window.EditOff();

    EnterNewGroup(window, QStringLiteral("Di"), QStringLiteral("Dienstag"), {});
    window.btAddDayGroup->click();  // no day selected
    EnterNewGroup(window, QString(), QStringLiteral("Dienstag"), {1});
    window.btAddDayGroup->click();  // no name
    EnterNewGroup(window, QStringLiteral("Di"), QString(), {1});
    window.btAddDayGroup->click();  // no text
    EnterNewGroup(window, QStringLiteral("Mo"), QStringLiteral("Anders"), {1});
    window.btAddDayGroup->click();  // name taken
    EnterNewGroup(window, QStringLiteral("Neu"), QStringLiteral("Montag"), {1});
    window.btAddDayGroup->click();  // text taken

    QCOMPARE(app.ctx().PrjParams.DayGroups.size(), std::size_t{1});
    QCOMPARE(window.cbDayGroups->count(), 1);
    QVERIFY(!window.InEditMode());
    QVERIFY(app.boxes.isEmpty());

    EnterNewGroup(window, QStringLiteral("  "), QStringLiteral("mo"), {1});
    window.btAddDayGroup->click();  // blanks are a name; case makes "mo" a new text
    QCOMPARE(app.ctx().PrjParams.DayGroups.size(), std::size_t{2});
    QCOMPARE(app.ctx().PrjParams.DayGroups[1].Name, std::string("  "));
  }

  void cancelKeepsTheAddedGroups() {
    DrivenWindows app;
    TfmEditProject& window = *app.windows.fmEditProject;
    window.show();
    EnterNewGroup(window, QStringLiteral("So"), QStringLiteral("Sonntag"), {6});
    window.btAddDayGroup->click();

    window.btCancel->click();

    QVERIFY(!window.InEditMode());
    QCOMPARE(app.ctx().PrjParams.DayGroups.size(), std::size_t{1});
    QCOMPARE(window.cbDayGroups->count(), 1);
  }

  void filtersTheKeysOfTheDriveTime() {
    DrivenWindows app;
    TfmEditProject& window = *app.windows.fmEditProject;
    window.show();
    window.pcRubrik->setCurrentWidget(window.tsTimeTable);
    QCOMPARE(window.leMaxDriveMinutes->text(), QStringLiteral("720"));

    TypeInto(window.leMaxDriveMinutes, QStringLiteral("a -x"));
    QCOMPARE(window.leMaxDriveMinutes->text(), QStringLiteral("720"));
    QVERIFY(!window.InEditMode());

    TypeInto(window.leMaxDriveMinutes, QStringLiteral("5"));
    QCOMPARE(window.leMaxDriveMinutes->text(), QStringLiteral("7205"));
    QVERIFY(window.InEditMode());

    window.btCancel->click();  // the discarded change is not kept in the field
    QCOMPARE(window.leMaxDriveMinutes->text(), QStringLiteral("720"));
    QVERIFY(!window.InEditMode());

    QTest::keyClick(window.leMaxDriveMinutes, Qt::Key_Backspace);
    QVERIFY(window.InEditMode());
  }

  void showingTheWindowLeavesEditMode() {
    DrivenWindows app;
    TfmEditProject& window = *app.windows.fmEditProject;
    window.EditOn();
    window.show();
    QVERIFY(!window.InEditMode());
  }

  void savesTheDriveTimeAndReadsItBack() {
    QTemporaryDir temp;
    const QString project = CopySample(temp);
    {
      DrivenWindows app;
      app.OpenThroughDialog(project);
      TfmEditProject& window = *app.windows.fmEditProject;
      window.show();
      ClearByBackspace(window.leMaxDriveMinutes);
      TypeInto(window.leMaxDriveMinutes, QStringLiteral("45"));
      EnterNewGroup(window, QStringLiteral("Sa+So"), QStringLiteral("Wochenende"), {5, 6});
      window.btAddDayGroup->click();

      window.btSave->click();

      QVERIFY(!window.InEditMode());
      QCOMPARE(app.ctx().PrjParams.MaxDriveMinutes, 45);
      QVERIFY(app.boxes.isEmpty());
      QVERIFY(FileBytes(project).contains("[timetable]\r\nmax_drive_minutes=45\r\n"));
      QVERIFY(FileBytes(temp.filePath(QStringLiteral("daygroups.ptf")))
                  .contains("\"Sa+So\",\"0000011\",\"Wochenende\","));
    }
    DrivenWindows reopened;
    reopened.OpenThroughDialog(project);
    QCOMPARE(reopened.ctx().PrjParams.MaxDriveMinutes, 45);
    QCOMPARE(reopened.windows.fmEditProject->leMaxDriveMinutes->text(), QStringLiteral("45"));
    QCOMPARE(reopened.ctx().PrjParams.DayGroups.size(), std::size_t{4});
    QCOMPARE(reopened.windows.fmEditProject->cbDayGroups->itemText(3), QStringLiteral("Sa+So"));
  }

  void keepsTheDriveTimeForAnEmptyOrTooLargeField() {
    QTemporaryDir temp;
    DrivenWindows app;
    app.OpenThroughDialog(CopySample(temp));
    TfmEditProject& window = *app.windows.fmEditProject;
    window.show();

    ClearByBackspace(window.leMaxDriveMinutes);
    window.btSave->click();
    QCOMPARE(app.ctx().PrjParams.MaxDriveMinutes, 720);
    QCOMPARE(window.leMaxDriveMinutes->text(), QStringLiteral("720"));

    TypeInto(window.leMaxDriveMinutes, QStringLiteral("99999999999"));
    window.btSave->click();
    QCOMPARE(app.ctx().PrjParams.MaxDriveMinutes, 720);
    QCOMPARE(window.leMaxDriveMinutes->text(), QStringLiteral("720"));
  }

  void savingWithoutProjectAsksForAFile() {
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("einstellungen.tvp"));
    DrivenWindows app;
    TfmEditProject& window = *app.windows.fmEditProject;
    window.show();
    EnterNewGroup(window, QStringLiteral("Mo"), QStringLiteral("Montag"), {0});
    window.btAddDayGroup->click();

    window.btSave->click();  // the save dialog is cancelled: nothing written
    QCOMPARE(app.fileDialogs.back().first, FileDialogKind::Save);
    QVERIFY(window.InEditMode());
    QVERIFY(!QFileInfo::exists(path));

    app.fileAnswers.push_back(path);
    window.btSave->click();
    QVERIFY(!window.InEditMode());
    QVERIFY(FileBytes(path).contains("daygroupnames=Mo\r\n"));
    QCOMPARE(app.main().windowTitle(), QStringLiteral("Trivo-Editor: ") + path);
  }

  void refusesCharactersThatWindows1252CannotHold() {
    DrivenWindows app;
    TfmEditProject& window = *app.windows.fmEditProject;
    window.show();
    TypeInto(window.leNewDaysName, QStringLiteral("Grün"));
    TypeInto(window.leNewDaysText, QStringLiteral("Ü→€"));
    QCOMPARE(window.leNewDaysName->text(), QStringLiteral("Grün"));
    QCOMPARE(window.leNewDaysText->text(), QStringLiteral("Ü€"));
    QCOMPARE(app.beeps, 1);

    window.lbAllDays->item(0)->setSelected(true);
    window.btAddDayGroup->click();
    QCOMPARE(app.ctx().PrjParams.DayGroups.at(0).Name, std::string("Gr\xFCn"));
    QCOMPARE(app.ctx().PrjParams.DayGroups.at(0).Text, std::string("\xDC\x80"));
  }
};

QTEST_MAIN(EditProjectTest)
#include "edit_project_test.moc"

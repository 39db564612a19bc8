#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include "gui_test_support.h"
#include "tfm_edit_time_table.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

// The editor window on a copy of the sample project, driven by real key and mouse events.
class TfmEditTimeTableTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    app_ = std::make_unique<DrivenWindows>();
    project_ = CopySample(temp_, QStringLiteral("p") + QString::number(++run_));
    app_->OpenThroughDialog(project_);
    TfmMain& main = app_->main();
    for (QPushButton* button :
         {main.sbEditProject, main.sbEditStations, main.sbEditLines, main.sbAssignStations}) {
      button->click();
    }
    main.EditTimeTableItem->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&window()));
  }
  void cleanup() {
    window().model().btCancelClick();
    window().close();
    app_.reset();
  }

  void showingOpensTheLastTimetableInEditMode() {
    TfmEditTimeTable& w = window();
    QCOMPARE(w.windowTitle(), QStringLiteral("Fahrplan bearbeiten"));
    QCOMPARE(w.size(), QSize(875, 602));
    QVERIFY(w.pTimeTableEdit->isVisible());
    QVERIFY(!w.pLineChoice->isEnabled());
    QVERIFY(!w.btClose->isVisible());
    QVERIFY(!w.btSave->isVisible());
    QCOMPARE(w.cbLines->itemText(0), QStringLiteral("T1"));
    QCOMPARE(w.sgTimeTable->model()->columnCount(), 510);
    // Edit mode refuses to close.
    w.close();
    QVERIFY(w.isVisible());
  }

  // The boxes name the timetable that showing loaded (the last one it converted), so that
  // "Fahrplan editieren" loads that one again.
  void showingNamesTheShownTimetableInTheBoxes() {
    TfmEditTimeTable& w = window();
    const trivo::EditorState& shown = app_->ctx().editor;
    QCOMPARE(w.cbLines->currentText(), QString::fromStdString(shown.CurrentLineName));
    QCOMPARE(w.cbDays->currentText(), QString::fromStdString(shown.CurrentDayGroupName));
    QCOMPARE(w.cbDirection->currentText(), QString::number(shown.CurrentDirection));
    QCOMPARE(w.cbLines->currentText(), QStringLiteral("T2"));
    QCOMPARE(w.cbDays->currentText(), QStringLiteral("So"));
    QCOMPARE(w.cbDirection->currentText(), QStringLiteral("2"));
    const trivo::StringGrid before = w.model().sgTimeTable();
    w.btCancel->click();
    w.btTimeTableEdit->click();
    QVERIFY(w.pTimeTableEdit->isVisible());
    QCOMPARE(w.model().sgTimeTable().Cell(1, 2), before.Cell(1, 2));
    QCOMPARE(w.model().sgTimeTable().Cell(2, 2), before.Cell(2, 2));
  }

  void typedShortFormBecomesATimeWhenEnterLeavesTheCell() {
    TfmEditTimeTable& w = window();
    Choose(QStringLiteral("T1"), 1);
    const trivo::StringGrid& grid = w.model().sgTimeTable();
    QCOMPARE(grid.Cell(2, 2), std::string("04:50"));
    QLineEdit* editor = CellEditor();
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, QStringLiteral("445"));
    QCOMPARE(grid.Cell(2, 2), std::string("445"));
    QVERIFY(w.btSave->isVisible());
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(grid.Cell(2, 2), std::string("04:45"));
    QCOMPARE((w.model().Current()), (trivo::CellPos{2, 3}));
    QCOMPARE(w.sgTimeTable->currentIndex(), w.sgTimeTable->model()->index(1, 0));

    // A rejected text beeps, gets its old text back and the cell stays current.
    editor = CellEditor();
    QTest::keyClicks(editor, QStringLiteral("99"));
    QTest::keyClick(editor, Qt::Key_Down);
    QCOMPARE(app_->beeps, 1);
    QCOMPARE(grid.Cell(2, 3), std::string("04:52"));
    QCOMPARE(CellEditor()->text(), QStringLiteral("04:52"));
    QCOMPARE((w.model().Current()), (trivo::CellPos{2, 3}));
  }

  void savingWritesTheFileAndReturnsToTheChoice() {
    TfmEditTimeTable& w = window();
    Choose(QStringLiteral("T2"), 2);
    QLineEdit* editor = CellEditor();
    QTest::keyClicks(editor, QStringLiteral("8:10"));
    QTest::keyClick(editor, Qt::Key_Return);
    w.btSave->click();
    QVERIFY(!w.pTimeTableEdit->isVisible());
    QVERIFY(w.btClose->isVisible());
    const QByteArray ttd =
        FileBytes(QFileInfo(project_).dir().filePath(QStringLiteral("line_T2.ttd")));
    QVERIFY(ttd.contains("[2_Mo-Fr]\r\n1=Ostpark,08:10,"));
    QVERIFY(app_->boxes.isEmpty());
  }

  void clickingAMarkerSplitsTheStationAfterTheQuestion() {
    TfmEditTimeTable& w = window();
    Choose(QStringLiteral("T1"), 1);
    QHeaderView* header = w.sgTimeTable->verticalHeader();
    const int rows = w.sgTimeTable->model()->rowCount();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(5, header->sectionViewportPosition(1) + 5));
    QCOMPARE(w.sgTimeTable->model()->rowCount(), rows + 1);
    QCOMPARE(app_->boxes, QStringList{QStringLiteral("[Frage] Gleiche Werte einsetzen?")});
    QCOMPARE(w.model().sgTimeTable().Cell(0, 3), std::string("-"));
  }

  void draggingATripHeadingMovesItsCellsAndRenumbers() {
    TfmEditTimeTable& w = window();
    Choose(QStringLiteral("T1"), 1);
    const trivo::StringGrid& grid = w.model().sgTimeTable();
    const std::string third = grid.Cell(4, 2);
    w.sgTimeTable->horizontalHeader()->moveSection(2, 0);  // trip 3 before trip 1
    QCOMPARE(grid.Cell(2, 2), third);
    QCOMPARE(grid.Cell(2, 0), std::string("1"));
    QCOMPARE(grid.Cell(4, 0), std::string("3"));
    QCOMPARE(w.sgTimeTable->horizontalHeader()->visualIndex(0), 0);
    QCOMPARE(w.sgTimeTable->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("1"));
    QVERIFY(w.btSave->isVisible());
  }

 private:
  TfmEditTimeTable& window() { return *app_->windows.fmEditTimeTable; }

  void Choose(const QString& line, int direction) {
    TfmEditTimeTable& w = window();
    w.btCancel->click();
    w.cbLines->setCurrentText(line);
    w.cbDays->setCurrentText(QStringLiteral("Mo-Fr"));
    w.cbDirection->setCurrentIndex(direction - 1);
    w.btTimeTableEdit->click();
    QVERIFY(w.pTimeTableEdit->isVisible());
  }
  QLineEdit* CellEditor() {
    TfmEditTimeTable& w = window();
    return qobject_cast<QLineEdit*>(w.sgTimeTable->indexWidget(w.sgTimeTable->currentIndex()));
  }

  QTemporaryDir temp_;
  QString project_;
  int run_ = 0;
  std::unique_ptr<DrivenWindows> app_;
};

QTEST_MAIN(TfmEditTimeTableTest)
#include "tfm_edit_time_table_test.moc"

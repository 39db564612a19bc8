#include <QTest>

#include "gui_test_support.h"
#include "tfm_check.h"
#include "tfm_edit_time_table.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

// "Projekt prüfen..." on a copy of the sample project with one invalid cell.
class TfmCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    app_ = std::make_unique<DrivenWindows>();
    project_ = CopySample(temp_, QStringLiteral("p") + QString::number(++run_));
    const QString ttd = QFileInfo(project_).dir().filePath(QStringLiteral("line_T1.ttd"));
    QByteArray bytes = FileBytes(ttd);
    QVERIFY(bytes.contains("2=Lindenallee,04:52,05:12,05:32,"));
    bytes.replace("2=Lindenallee,04:52,05:12,05:32,", "2=Lindenallee,04:52,05:12,xx,");
    QFile file(ttd);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    app_->OpenThroughDialog(project_);
    // The editor converts the timetables when it is shown, which needs the tables of the
    // first four conversion steps.
    TfmMain& main = app_->main();
    for (QPushButton* button :
         {main.sbEditProject, main.sbEditStations, main.sbEditLines, main.sbAssignStations}) {
      button->click();
    }
  }
  void cleanup() {
    TfmEditTimeTable& editor = *app_->windows.fmEditTimeTable;
    editor.model().btCancelClick();
    editor.close();
    app_->windows.Check().close();
    app_.reset();
  }

  void checkListsTheProblemAndADoubleClickOpensTheEditorThere() {
    TfmMain& main = app_->main();
    QCOMPARE(main.CheckItem->text(), QStringLiteral("Projekt prüfen..."));
    main.CheckItem->trigger();
    TfmCheck& check = app_->windows.Check();
    QVERIFY(QTest::qWaitForWindowExposed(&check));
    QCOMPARE(check.windowTitle(), QStringLiteral("Projekt prüfen"));
    QCOMPARE(check.lbCount->text(), QStringLiteral("1 Fehler, 0 Warnungen"));
    QCOMPARE(check.lvProblems->topLevelItemCount(), 1);
    QTreeWidgetItem* item = check.lvProblems->topLevelItem(0);
    const QStringList texts = {item->text(0), item->text(1), item->text(2),
                               item->text(3), item->text(4), item->text(5)};
    QCOMPARE(texts, (QStringList{QStringLiteral("line_T1.ttd"), QStringLiteral("1_Mo-Fr"),
                                 QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("Fehler"),
                                 QStringLiteral("Ungültige Zelle „xx“.")}));

    QWidget* viewport = check.lvProblems->viewport();
    const QPoint at = check.lvProblems->visualItemRect(item).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);  // a double click begins with a click
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    TfmEditTimeTable& editor = *app_->windows.fmEditTimeTable;
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QVERIFY(editor.model().EditMode());
    QCOMPARE(app_->ctx().editor.CurrentLineName, std::string("T1"));
    QCOMPARE(app_->ctx().editor.CurrentDayGroupName, std::string("Mo-Fr"));
    QCOMPARE(app_->ctx().editor.CurrentDirection, 1);
    QCOMPARE((editor.model().Current()), (trivo::CellPos{4, 3}));
    QCOMPARE(editor.model().sgTimeTable().Cell(4, 3), std::string("xx"));
    QCOMPARE(editor.sgTimeTable->currentIndex(), editor.sgTimeTable->model()->index(1, 2));
    QCOMPARE(editor.cbLines->currentText(), QStringLiteral("T1"));
  }

 private:
  QTemporaryDir temp_;
  QString project_;
  int run_ = 0;
  std::unique_ptr<DrivenWindows> app_;
};

QTEST_MAIN(TfmCheckTest)
#include "tfm_check_test.moc"

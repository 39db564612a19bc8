#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui_test_support.h"
#include "project/project_commands.h"
#include "tfm_query.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

void WriteFile(const QString& path, const std::string& bytes) {
  std::ofstream(std::filesystem::path(path.toStdString()), std::ios::binary) << bytes;
}

// The query window on its own, with message boxes recorded instead of shown.
struct QueryWindow {
  QueryWindow() {
    ui.SetBoxHook([this](BoxKind kind, const QString& text) {
      boxes << DescribeBox(kind, text);
      return trivo::Answer::Yes;
    });
  }
  void Show(const QString& projectDir) {
    ctx.ProjectDir = projectDir.toStdString();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
  }

  GuiUserInterface ui;
  trivo::Context ctx{ui};
  TfmQuery window{ctx, ui};
  QStringList boxes;
};

}  // namespace

class TfmQueryTest : public QObject {
  Q_OBJECT

 private slots:
  void windowShowsItsElements() {
    QueryWindow q;
    TfmQuery& w = q.window;
    QCOMPARE(w.windowTitle(), QStringLiteral("Verbindugns-Abfrage"));
    QCOMPARE(w.Label1->text(), QStringLiteral("Start:"));
    QCOMPARE(w.Label2->text(), QStringLiteral("Ziel:"));
    QVERIFY(w.cbStartStation->isEditable());
    QCOMPARE(w.cbStartTime->text(), QStringLiteral("Zeit"));
    QVERIFY(w.cbStartTime->isChecked());
    QVERIFY(w.cbEndTime->isChecked());
    QCOMPARE(w.dtpStartTime->displayFormat(), QStringLiteral("HH:mm"));
    QCOMPARE(w.dtpStartTime->time(), QTime(14, 58));
    QCOMPARE(w.btStartQuery->text(), QStringLiteral("Abfrage starten"));
    QCOMPARE(w.mZeiten->toPlainText(), QStringLiteral("mZeiten"));
    QVERIFY(w.mReadyConnections->toPlainText().isEmpty());
    QVERIFY(!w.dtpEndTime->isVisibleTo(&w));
    QVERIFY(!w.dtpEndDate->isVisibleTo(&w));
    QVERIFY(w.dtpStartTime->isVisibleTo(&w));
  }

  void timeBoxesAreCoupled() {
    QueryWindow q;
    TfmQuery& w = q.window;
    w.cbStartTime->click();
    QVERIFY(!w.cbStartTime->isChecked());
    QVERIFY(w.cbEndTime->isChecked());
    QVERIFY(!w.dtpStartTime->isVisibleTo(&w));
    QVERIFY(!w.dtpEndTime->isVisibleTo(&w));
    w.cbEndTime->click();
    QVERIFY(w.cbStartTime->isChecked());
    QVERIFY(!w.cbEndTime->isChecked());
    QVERIFY(w.dtpStartTime->isVisibleTo(&w));
    QVERIFY(w.dtpStartDate->isVisibleTo(&w));
  }

  void showingLoadsTheSampleAndAQueryRanksTrips() {
    QueryWindow q;
    TfmQuery& w = q.window;
    q.Show(SampleDir());
    QVERIFY2(q.boxes.isEmpty(), qPrintable(q.boxes.join('\n')));
    // 25 stations: fewer than 38 and 32, so neither chooser selects an entry.
    QCOMPARE(w.cbStartStation->count(), 25);
    QCOMPARE(w.cbStartStation->currentIndex(), -1);
    QVERIFY(w.cbStartStation->currentText().isEmpty());
    QCOMPARE(w.cbZielStation->currentIndex(), -1);
    QAbstractItemModel* grid = w.StringGrid1->model();
    QCOMPARE(grid->rowCount(), 25);
    QCOMPARE(grid->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Mühlentor"));
    QCOMPARE(grid->index(4, 4).data().toString(), QStringLiteral("1"));  // Marktplatz's pair rows

    w.cbStartStation->setEditText(QStringLiteral("Weidenhof"));
    w.cbZielStation->setCurrentIndex(7);  // Südfriedhof
    w.dtpStartTime->setTime(QTime(7, 0));
    QTest::mouseClick(w.btStartQuery, Qt::LeftButton);
    QVERIFY(q.boxes.isEmpty());
    QCOMPARE(w.tvStart->topLevelItemCount(), 1);
    QCOMPARE(w.tvStart->topLevelItem(0)->text(0), QStringLiteral("Weidenhof"));
    QCOMPARE(w.tvZiel->topLevelItem(0)->text(0), QStringLiteral("Südfriedhof"));
    QVERIFY(w.Memo1->toPlainText().startsWith(
        QStringLiteral("0: Weidenhof=>T2=>Rathaus=>=>T1=>Südfriedhof[19]")));
    QVERIFY(w.mSearchDistances->toPlainText().startsWith(QStringLiteral("[START]\nWeidenhof => ")));
    QVERIFY(w.mZeiten->toPlainText().contains(
        QStringLiteral("Min: 27 Weg: T2: Weidenhof nach Rathaus, Ab: 07:03:00 An: 07:11:00")));
  }

  void unknownStationAndBrokenFilesAreReported() {
    QTemporaryDir dir;
    QueryWindow q;
    TfmQuery& w = q.window;
    q.Show(dir.path());
    QCOMPARE(q.boxes.size(), 1);
    QVERIFY2(q.boxes.front().startsWith(QStringLiteral("[Fehler] Datei ")),
             qPrintable(q.boxes.front()));

    WriteFile(dir.filePath("stations.csv"), "A\r\nB\r\n");
    WriteFile(dir.filePath("line_stations.csv"), "");
    WriteFile(dir.filePath("station_lines.csv"), "");
    WriteFile(dir.filePath("distances.csv"), "[L_1_Mo-Fr]\r\ndistance1=\"A\",-3,\"B\"\r\n");
    q.boxes.clear();
    w.hide();
    w.show();
    QCOMPARE(q.boxes, QStringList{QStringLiteral("[Meldung] Distance-Fehler")});
    QCOMPARE(w.cbStartStation->count(), 2);

    q.boxes.clear();
    w.cbStartStation->setEditText(QStringLiteral("A"));
    w.cbZielStation->setEditText(QStringLiteral("Ω"));  // not even a Windows-1252 character
    w.btStartQueryClick();
    QCOMPARE(q.boxes, QStringList{QStringLiteral("[Meldung] Station nicht gefunden: ?")});
    QCOMPARE(w.tvStart->topLevelItemCount(), 0);
  }

  // A network of 2,000 stations shows its matrix through the model without making
  // four million texts.
  void largeMatrixOpens() {
    QTemporaryDir dir;
    std::string stations;
    for (int i = 0; i < 2000; ++i) stations += "Station " + std::to_string(i) + "\r\n";
    WriteFile(dir.filePath("stations.csv"), stations);
    WriteFile(dir.filePath("line_stations.csv"), "");
    WriteFile(dir.filePath("station_lines.csv"), "");
    QueryWindow q;
    q.Show(dir.path());
    QCOMPARE(q.window.StringGrid1->model()->columnCount(), 2000);
    QCOMPARE(q.window.cbStartStation->currentText(), QStringLiteral("Station 37"));
    QCOMPARE(q.window.cbZielStation->currentIndex(), 31);
  }
};

QTEST_MAIN(TfmQueryTest)
#include "tfm_query_test.moc"

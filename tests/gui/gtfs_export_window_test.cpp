#include <QRegularExpression>
#include <QTest>

#include "gui_test_support.h"
#include "tfm_gtfs_export.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

// Opens a copy of the sample project whose station_positions.csv lacks Marktplatz and
// shows the export window.
TfmGtfsExport& OpenExportWindow(DrivenWindows& app, const QTemporaryDir& temp) {
  const QString project = CopySample(temp);
  const QString positions = QDir(temp.path()).filePath(QStringLiteral("station_positions.csv"));
  QByteArray kept;
  for (const QByteArray& line : FileBytes(positions).split('\n')) {
    if (!line.isEmpty() && !line.startsWith("Marktplatz=")) kept += line + '\n';
  }
  QFile file(positions);
  file.open(QIODevice::WriteOnly);
  file.write(kept);
  file.close();
  app.OpenThroughDialog(project);
  app.main().GtfsExportItem->trigger();
  return *app.main().fmGtfsExport;
}

QStringList Items(const QListWidget& list) {
  QStringList items;
  for (int i = 0; i < list.count(); ++i) items << list.item(i)->text();
  return items;
}

}  // namespace

class GtfsExportWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void refusesWithoutProject() {
    DrivenWindows app;
    app.main().GtfsExportItem->trigger();
    QCOMPARE(app.boxes, QStringList{QStringLiteral("[Meldung] Kein Projekt geladen!")});
  }

  void showsTheSettingsTheRouteTypesAndTheStationsWithoutPosition() {
    QTemporaryDir temp;
    DrivenWindows app;
    TfmGtfsExport& window = OpenExportWindow(app, temp);
    QVERIFY(window.isVisible());
    QCOMPARE(window.leAgencyName->text(), QStringLiteral("Verkehrsbetriebe Hohenfeld"));
    QCOMPARE(window.leStartDate->text(), QStringLiteral("20240101"));
    QCOMPARE(window.sgRouteTypes->rowCount(), 5);
    QCOMPARE(window.sgRouteTypes->item(0, 0)->text(), QStringLiteral("T1"));
    QCOMPARE(window.sgRouteTypes->item(0, 1)->text(), QStringLiteral("0"));
    QCOMPARE(window.sgPositions->rowCount(), 1);
    QCOMPARE(window.sgPositions->item(0, 0)->text(), QStringLiteral("Marktplatz"));
  }

  void exportsAfterSavingTheSettingsAndThePositionsEntered() {
    QTemporaryDir temp;
    DrivenWindows app;
    TfmGtfsExport& window = OpenExportWindow(app, temp);
    window.leAgencyName->setText(QStringLiteral("Stadtwerke Hohenfeld"));
    window.sgRouteTypes->item(2, 1)->setText(QStringLiteral("700"));
    window.sgPositions->item(0, 1)->setText(QStringLiteral("51.3205"));
    window.sgPositions->item(0, 2)->setText(QStringLiteral("9.9101"));
    const QString target = QDir(temp.path()).filePath(QStringLiteral("feed.zip"));
    QStringList asked;
    window.askTarget = [&](QWidget*, const QString& suggested) {
      asked << suggested;
      return target;
    };
    window.btExport->click();

    QCOMPARE(app.boxes, QStringList());
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0].endsWith(QStringLiteral("gtfs.zip")));
    const QStringList report = Items(*window.lbReport);
    QVERIFY2(!report.filter(QStringLiteral("[Fehler]")).size(), qPrintable(report.join('\n')));
    QVERIFY2(report.contains(QStringLiteral("Geschrieben: ") + target),
             qPrintable(report.join('\n')));
    QVERIFY(
        report.filter(QRegularExpression(QStringLiteral("^25 Haltestellen, 5 Linien, "))).size() ==
        1);
    QVERIFY(QFileInfo(target).size() > 0);
    const QByteArray project = FileBytes(QDir(temp.path()).filePath(QStringLiteral("sample.tvp")));
    QVERIFY(project.contains("agency_name=Stadtwerke Hohenfeld\r\n"));
    QVERIFY(project.contains("route_type_B10=700\r\n"));
    QVERIFY(project.contains("[daygroups]"));
    const QByteArray positions =
        FileBytes(QDir(temp.path()).filePath(QStringLiteral("station_positions.csv")));
    QVERIFY(positions.contains("Marktplatz=51.3205,9.9101\r\n"));
    // The station has its position now and leaves the grid.
    QCOMPARE(window.sgPositions->rowCount(), 0);
  }

  void refusesARouteTypeGtfsDoesNotKnowAndSavesNothing() {
    QTemporaryDir temp;
    DrivenWindows app;
    TfmGtfsExport& window = OpenExportWindow(app, temp);
    const QByteArray before = FileBytes(QDir(temp.path()).filePath(QStringLiteral("sample.tvp")));
    window.sgRouteTypes->item(0, 1)->setText(QStringLiteral("8"));
    bool asked = false;
    window.askTarget = [&](QWidget*, const QString&) {
      asked = true;
      return QString();
    };
    window.btExport->click();
    QCOMPARE(app.boxes,
             QStringList{QStringLiteral("[Meldung] Kein Routentyp von GTFS für Linie T1: 8")});
    QVERIFY(!asked);
    QCOMPARE(FileBytes(QDir(temp.path()).filePath(QStringLiteral("sample.tvp"))), before);
  }

  void listsTheErrorsAndWritesNoFeedWhenAStationLacksItsPosition() {
    QTemporaryDir temp;
    DrivenWindows app;
    TfmGtfsExport& window = OpenExportWindow(app, temp);
    const QString target = QDir(temp.path()).filePath(QStringLiteral("feed.zip"));
    window.askTarget = [&](QWidget*, const QString&) { return target; };
    window.btExport->click();
    const QStringList errors = Items(*window.lbReport).filter(QStringLiteral("[Fehler]"));
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].contains(QStringLiteral("Marktplatz")));
    QVERIFY(!QFileInfo::exists(target));
  }
};

QTEST_MAIN(GtfsExportWindowTest)
#include "gtfs_export_window_test.moc"

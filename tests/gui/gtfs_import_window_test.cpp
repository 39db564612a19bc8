#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "gtfs_test_feeds.h"
#include "gui_test_support.h"
#include "path_text.h"
#include "tfm_gtfs_import.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

trivo::test::TestFeed SmallFeed() {
  trivo::test::TestFeed feed = trivo::test::TestFeed::Basic();
  feed.Set("stops.txt", {"stop_id,stop_name", "A,Anger",
                         "B,S\xC3\xBC"
                         "dbahnhof"});
  feed.Set("routes.txt", {"route_id,route_short_name", "R,4"});
  feed.Set("trips.txt", {"route_id,service_id,trip_id", "R,WD,T1"});
  feed.Set("stop_times.txt", {"trip_id,arrival_time,departure_time,stop_id,stop_sequence",
                              "T1,7:00:00,7:00:00,A,1", "T1,7:09:00,7:09:00,B,2"});
  return feed;
}

}  // namespace

class GtfsImportWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void importsShowsTheReportAndOpensTheProject() {
    QTemporaryDir temp;
    const QString feed = FromCorePath(SmallFeed().WriteTo(ToCorePath(temp.path())).string());
    DrivenWindows app;
    app.main().GtfsImportItem->trigger();
    auto* window = app.main().findChild<TfmGtfsImport*>();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("GTFS importieren"));
    window->leFeed->setText(feed);
    window->leFolder->setText(temp.filePath(QStringLiteral("netz")));
    QTest::mouseClick(window->btImport, Qt::LeftButton);
    QVERIFY2(app.boxes.isEmpty(), qPrintable(app.boxes.join(QLatin1Char('\n'))));
    const QString report = window->mReport->toPlainText();
    QVERIFY2(report.contains(QStringLiteral("2 Haltestellen, 1 Linien, 1 Tagesgruppen")),
             qPrintable(report));
    QVERIFY(report.contains(QStringLiteral("Bezugswoche: 2025-01-06 bis 2025-01-12")));
    const QString project = temp.filePath(QStringLiteral("netz/netz.tvp"));
    QCOMPARE(FromCorePath(app.ctx().ProjectFileName), project);
    QVERIFY(app.main().windowTitle().contains(project));
    QCOMPARE(app.ctx().PrjParams.DayGroups.size(), std::size_t{1});
  }

  void saysWhyAFeedCannotBeImported() {
    QTemporaryDir temp;
    QFile plain(temp.filePath(QStringLiteral("plain.zip")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("stop_id\n");
    plain.close();
    DrivenWindows app;
    app.main().GtfsImportItem->trigger();
    auto* window = app.main().findChild<TfmGtfsImport*>();
    window->btImportClick();
    QCOMPARE(
        app.boxes,
        QStringList{QStringLiteral("[Meldung] Bitte einen GTFS-Feed und einen Ordner wählen.")});
    app.boxes.clear();
    window->leFeed->setText(plain.fileName());
    window->leFolder->setText(temp.filePath(QStringLiteral("netz")));
    window->leWeek->setText(QStringLiteral("2025-01-07"));
    QVERIFY(!window->btImportClick());
    QCOMPARE(app.boxes, QStringList{QStringLiteral(
                            "[Meldung] Die Bezugswoche beginnt an einem Montag: JJJJ-MM-TT.")});
    app.boxes.clear();
    window->leWeek->clear();
    QVERIFY(!window->btImportClick());
    QCOMPARE(app.boxes,
             QStringList{QStringLiteral("[Fehler] ZIP-Archiv plain.zip: keine ZIP-Datei")});
    QVERIFY(!QFileInfo::exists(temp.filePath(QStringLiteral("netz"))));
    QVERIFY(app.ctx().ProjectFileName.empty());
  }
};

QTEST_MAIN(GtfsImportWindowTest)
#include "gtfs_import_window_test.moc"

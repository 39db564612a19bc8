#include <QCompleter>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

#include "gui_test_support.h"
#include "project/project_commands.h"
#include "tfm_route.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

// 2026-03-17 is a Tuesday.
const QDate kTuesday(2026, 3, 17);

// The row's cells, joined by " | ".
QString RowText(const QTreeWidgetItem* item) {
  QStringList cells;
  for (int column = 0; column < item->columnCount(); ++column) cells << item->text(column);
  return cells.join(QStringLiteral(" | "));
}

// The sample project loaded and its passenger search window shown.
struct RouteWindow {
  RouteWindow() {
    trivo::LoadProject(app.ctx(), (SampleDir() + QStringLiteral("/sample.tvp")).toStdString());
    app.main().RouteItem->trigger();
  }
  TfmRoute& window() { return *app.windows.fmRoute; }
  void Search(const QString& from, const QString& to, QTime time, QDate date = kTuesday) {
    window().edStart->setText(from);
    window().edZiel->setText(to);
    window().dtpDate->setDate(date);
    window().dtpTime->setTime(time);
    window().btSearch->click();
  }
  QStringList Departures() const {
    QStringList times;
    const QTreeWidget* view = app.windows.fmRoute->tvJourneys;
    for (int i = 0; i < view->topLevelItemCount(); ++i) times << view->topLevelItem(i)->text(0);
    return times;
  }

  DrivenWindows app;
};

}  // namespace

class TfmRouteTest : public QObject {
  Q_OBJECT

 private slots:
  void windowShowsItsElements() {
    DrivenWindows app;
    TfmRoute& w = *app.windows.fmRoute;
    QCOMPARE(w.windowTitle(), QStringLiteral("Fahrplanauskunft"));
    QCOMPARE(w.lbStart->text(), QStringLiteral("Start:"));
    QCOMPARE(w.lbZiel->text(), QStringLiteral("Ziel:"));
    QCOMPARE(w.btSearch->text(), QStringLiteral("Suchen"));
    QCOMPARE(w.btEarlier->text(), QStringLiteral("Frühere"));
    QCOMPARE(w.btLater->text(), QStringLiteral("Spätere"));
    QCOMPARE(w.dtpTime->displayFormat(), QStringLiteral("HH:mm"));
    w.dtpDate->setDate(kTuesday);
    QCOMPARE(w.dtpDate->text(), QStringLiteral("Di. 17.03.2026"));
    const QTreeWidgetItem* header = w.tvJourneys->headerItem();
    QCOMPARE(RowText(header), QStringLiteral("Ab | An | Dauer | Umstiege | Fahrt"));
  }

  void theMenuItemNeedsAProject() {
    DrivenWindows app;
    QCOMPARE(app.main().RouteItem->text(), QStringLiteral("Fahrplanauskunft..."));
    app.main().RouteItem->trigger();
    QCOMPARE(app.boxes, QStringList{QStringLiteral("[Meldung] Kein Projekt geladen!")});
    QVERIFY(!app.windows.fmRoute->isVisible());

    trivo::LoadProject(app.ctx(), (SampleDir() + QStringLiteral("/sample.tvp")).toStdString());
    app.main().RouteItem->trigger();
    QCOMPARE(app.boxes.size(), 1);
    QVERIFY(app.windows.fmRoute->isVisible());
    // The connection-query window is a window of its own and stays unshown.
    QVERIFY(app.modalWindows.empty());
  }

  void completionIgnoresCaseAndAccents() {
    RouteWindow r;
    TfmRoute& w = r.window();
    QCOMPARE(w.CompletionsFor(QStringLiteral("sud")), QStringList{QStringLiteral("Südfriedhof")});
    QCOMPARE(w.CompletionsFor(QStringLiteral("  GOETHE")),
             QStringList{QStringLiteral("Goethestraße")});
    QVERIFY(w.CompletionsFor(QStringLiteral("Nirgendwo")).isEmpty());
    QVERIFY(w.CompletionsFor(QString()).isEmpty());

    // Typing fills the completer's list with what the core found.
    w.edZiel->setFocus();
    QTest::keyClicks(w.edZiel, QStringLiteral("mu"));
    const auto* names = qobject_cast<QStringListModel*>(w.edZiel->completer()->model());
    QVERIFY(names != nullptr);
    QCOMPARE(names->stringList(), QStringList{QStringLiteral("Mühlentor")});
  }

  void searchListsTheJourneysWithTheirTrips() {
    RouteWindow r;
    TfmRoute& w = r.window();
    r.Search(QStringLiteral("Weidenhof"), QStringLiteral("südfriedhof"), QTime(7, 0));
    QVERIFY2(r.app.boxes.isEmpty(), qPrintable(r.app.boxes.join('\n')));
    QVERIFY(w.answer().has_value());
    QCOMPARE(w.tvJourneys->topLevelItemCount(), static_cast<int>(w.answer()->journeys.size()));
    QVERIFY(w.tvJourneys->topLevelItemCount() > 1);

    const QTreeWidgetItem* first = w.tvJourneys->topLevelItem(0);
    QCOMPARE(RowText(first), QStringLiteral("07:03 | 07:27 | 24 Min | 1 | T2, T1"));
    QCOMPARE(first->childCount(), 3);
    QCOMPARE(RowText(first->child(0)),
             QStringLiteral("07:03 Weidenhof | 07:11 Rathaus | 8 Min |  | T2 Richtung Ostpark"));
    QCOMPARE(RowText(first->child(1)), QStringLiteral(" |  | 6 Min |  | Umstieg in Rathaus"));
    QCOMPARE(
        RowText(first->child(2)),
        QStringLiteral("07:17 Rathaus | 07:27 Südfriedhof | 10 Min |  | T1 Richtung Südfriedhof"));
    QVERIFY(first->isExpanded());

    // Every journey leaves within the two hours after 07:00 and they come in order.
    const QStringList departures = r.Departures();
    QStringList sorted = departures;
    sorted.sort();
    QCOMPARE(departures, sorted);
    QVERIFY(departures.front() >= QStringLiteral("07:00"));
    QVERIFY(departures.back() <= QStringLiteral("09:00"));
    QVERIFY(w.lbStatus->text().startsWith(
        QStringLiteral("%1 Verbindungen von Weidenhof nach Südfriedhof, Abfahrt 07:00 bis "
                       "09:00, Dienstag, 17. März 2026.")
            .arg(departures.size())));
  }

  void laterAndEarlierMoveTheWindowByItsLength() {
    RouteWindow r;
    TfmRoute& w = r.window();
    r.Search(QStringLiteral("Weidenhof"), QStringLiteral("Südfriedhof"), QTime(7, 0));
    const QStringList morning = r.Departures();

    w.btLater->click();
    QCOMPARE(w.dtpTime->time(), QTime(9, 0));
    QCOMPARE(w.dtpDate->date(), kTuesday);
    const QStringList later = r.Departures();
    QVERIFY(!later.isEmpty());
    QVERIFY(later.front() >= QStringLiteral("09:00"));
    QVERIFY(later.front() > morning.front());

    w.btEarlier->click();
    QCOMPARE(w.dtpTime->time(), QTime(7, 0));
    QCOMPARE(r.Departures(), morning);
    QVERIFY(r.app.boxes.isEmpty());
  }

  void theWindowMovesAcrossMidnightIntoTheNextDay() {
    RouteWindow r;
    TfmRoute& w = r.window();
    r.Search(QStringLiteral("Weidenhof"), QStringLiteral("Südfriedhof"), QTime(23, 30));
    // The first connection leaves the next morning.
    QCOMPARE(r.Departures().front(), QStringLiteral("05:03 (+1)"));
    w.btLater->click();
    QCOMPARE(w.dtpDate->date(), kTuesday.addDays(1));
    QCOMPARE(w.dtpTime->time(), QTime(1, 30));
    w.btEarlier->click();
    w.btEarlier->click();
    QCOMPARE(w.dtpDate->date(), kTuesday);
    QCOMPARE(w.dtpTime->time(), QTime(21, 30));
    QVERIFY(r.app.boxes.isEmpty());
  }

  void anUnknownStationIsReportedAndClearsTheList() {
    RouteWindow r;
    TfmRoute& w = r.window();
    r.Search(QStringLiteral("Weidenhof"), QStringLiteral("Südfriedhof"), QTime(7, 0));
    QVERIFY(w.tvJourneys->topLevelItemCount() > 0);
    r.Search(QStringLiteral("Weidenhof"), QStringLiteral("Nirgendwo"), QTime(7, 0));
    QCOMPARE(r.app.boxes,
             QStringList{QStringLiteral("[Fehler] Station nicht gefunden: Nirgendwo")});
    QCOMPARE(w.tvJourneys->topLevelItemCount(), 0);
    QVERIFY(!w.answer().has_value());
    QVERIFY(w.lbStatus->text().isEmpty());
  }
};

QTEST_MAIN(TfmRouteTest)
#include "tfm_route_test.moc"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "gui_test_support.h"
#include "tfm_stop_timetables.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

void Select(QListWidget& list, const QString& name) {
  const QList<QListWidgetItem*> items = list.findItems(name, Qt::MatchExactly);
  QVERIFY2(items.size() == 1, qPrintable(name));
  items.front()->setSelected(true);
}

}  // namespace

class StopTimetablesWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void refusesWithoutProject() {
    DrivenWindows app;
    app.main().StopTimetablesItem->trigger();
    QCOMPARE(app.boxes, QStringList{QStringLiteral("[Meldung] Kein Projekt geladen!")});
    QVERIFY(app.main().findChild<TfmStopTimetables*>() == nullptr);
  }

  void listsStationsAndLinesPreviewsAndSavesTheChosenPosters() {
    QTemporaryDir temp;
    DrivenWindows app;
    app.OpenThroughDialog(CopySample(temp));
    app.main().StopTimetablesItem->trigger();
    auto* window = app.main().findChild<TfmStopTimetables*>();
    QVERIFY(window != nullptr);
    QVERIFY2(window->isVisible(), qPrintable(app.boxes.join(QStringLiteral("; "))));
    QCOMPARE(window->lbLines->count(), 5);
    QVERIFY(
        !window->lbStations->findItems(QStringLiteral("Südfriedhof"), Qt::MatchExactly).isEmpty());
    QVERIFY(!window->lPreview->pixmap().isNull());

    Select(*window->lbStations, QStringLiteral("Marktplatz"));
    Select(*window->lbStations, QStringLiteral("Rathaus"));
    Select(*window->lbLines, QStringLiteral("T1"));
    QVERIFY(!window->lPreview->pixmap().isNull());
    const QString pdf = temp.filePath(QStringLiteral("auswahl.pdf"));
    // Marktplatz and Rathaus on T1, each in both directions: four one-page posters.
    QCOMPARE(window->SaveTo(pdf), std::optional<std::size_t>(4));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QCOMPARE(app.boxes, QStringList());

    QCOMPARE(window->SaveTo(temp.filePath(QStringLiteral("fehlt/auswahl.pdf"))), std::nullopt);
    QCOMPARE(app.boxes.size(), 1);
    QVERIFY2(app.boxes.front().startsWith(QStringLiteral("[Fehler] In ")),
             qPrintable(app.boxes.front()));
  }
};

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  StopTimetablesWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "stop_timetables_window_test.moc"

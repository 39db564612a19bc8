#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include "gui_test_support.h"
#include "tfm_preview.h"
#include "web_engine_setup.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

// Runs a script in the page and waits for its result.
QVariant Evaluate(QWebEngineView& view, const QString& script) {
  QVariant result;
  bool done = false;
  view.page()->runJavaScript(script, [&](const QVariant& value) {
    result = value;
    done = true;
  });
  if (!QTest::qWaitFor([&] { return done; }, 10000)) return {};
  return result;
}

void ConvertProject(TfmMain& main) {
  for (QPushButton* button : {main.sbEditProject, main.sbEditStations, main.sbEditLines,
                              main.sbAssignStations, main.sbEditTimeTable}) {
    button->click();
  }
}

}  // namespace

class PreviewWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void refusesWithoutProject() {
    DrivenWindows app;
    app.main().PreviewItem->trigger();
    QCOMPARE(app.boxes, QStringList{QStringLiteral("[Meldung] Kein Projekt geladen!")});
    QVERIFY(app.main().findChild<TfmPreview*>() == nullptr);
  }

  void saysWhenThePtfFilesAreNotMadeYet() {
    QTemporaryDir temp;
    DrivenWindows app;
    app.OpenThroughDialog(CopySample(temp));
    app.main().PreviewItem->trigger();
    QCOMPARE(app.boxes.size(), 1);
    QVERIFY2(app.boxes.front().startsWith(
                 QStringLiteral("[Fehler] Die PTF-Dateien sind noch nicht erstellt")),
             qPrintable(app.boxes.front()));
    QVERIFY(!QFileInfo::exists(temp.filePath(QStringLiteral("index.html"))));
    QVERIFY(app.main().findChild<TfmPreview*>() == nullptr);
  }

  void showsTheConvertedProject() {
    QTemporaryDir temp;
    DrivenWindows app;
    app.OpenThroughDialog(CopySample(temp));
    ConvertProject(app.main());

    app.main().PreviewItem->trigger();

    QVERIFY2(app.boxes.isEmpty(), qPrintable(app.boxes.join(QLatin1Char('\n'))));
    const QString page = temp.filePath(QStringLiteral("index.html"));
    QVERIFY(QFileInfo::exists(page));
    TfmPreview& window = app.windows.Preview();
    QVERIFY(window.isVisible());
    QVERIFY(QTest::qWaitFor(
        [&] {
          return Evaluate(*window.wbPreview, QStringLiteral("document.body.dataset.state")) ==
                 QStringLiteral("fertig");
        },
        20000));
    QCOMPARE(window.wbPreview->url(), QUrl::fromLocalFile(page));
    QCOMPARE(Evaluate(*window.wbPreview, QStringLiteral("document.getElementById('title')."
                                                        "textContent"))
                 .toString(),
             QStringLiteral("Linie T1 – Montag bis Freitag – Richtung Südfriedhof"));
    QCOMPARE(Evaluate(*window.wbPreview,
                      QStringLiteral("document.querySelector('#timetable tbody th').textContent"))
                 .toString(),
             QStringLiteral("Nordheim Schleife"));
    QCOMPARE(Evaluate(*window.wbPreview, QStringLiteral("document.getElementById('errors')."
                                                        "textContent"))
                 .toString(),
             QString());

    // Choosing it again writes the page again and shows the same window.
    app.main().PreviewItem->trigger();
    QVERIFY(app.boxes.isEmpty());
    QCOMPARE(app.main().findChildren<TfmPreview*>().size(), 1);
  }
};

// The embedded browser must be prepared before the application object exists.
int main(int argc, char** argv) {
  PrepareWebEngine();
  QApplication app(argc, argv);
  PreviewWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "preview_window_test.moc"

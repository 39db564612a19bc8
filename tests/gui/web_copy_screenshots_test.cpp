#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include "web_copy_test_support.h"
#include "web_engine_setup.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

// Pictures of the web copy window for the documentation: the tab "Website" with the
// timetable page of the tests loaded in the browser, and the tab "Tabellen-Kopie" with
// that page's timetable pasted and a block selected. Runs only when TRIVO_SCREENSHOT_DIR
// names the folder to write them to, under a real display (xvfb-run -a): the offscreen
// platform draws web content blank.
class WebCopyScreenshotsTest : public QObject {
  Q_OBJECT

 private slots:
  void takesThePictures() {
    const QString target = QString::fromLocal8Bit(qgetenv("TRIVO_SCREENSHOT_DIR"));
    if (target.isEmpty()) QSKIP("TRIVO_SCREENSHOT_DIR is not set");
    QVERIFY(QDir().mkpath(target));

    GuiUserInterface ui;
    TfmWebCopy window(ui);
    const trivo::StringGrid editor = StationsOfThePage();
    window.SetEditorGrid([&editor]() -> const trivo::StringGrid& { return editor; });
    window.ShowWithoutWaiting();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(ShowWebsite(window, TimetablePageUrl()));
    QVERIFY(Save(window, target, QStringLiteral("web-copy-website.png")));

    QVERIFY(CopyHtml(window));
    window.PageControl1->setCurrentWidget(window.tsTableGrid);
    window.Button1->click();
    const QAbstractItemModel* grid = window.sgWorkGrid->model();
    window.sgWorkGrid->selectionModel()->setCurrentIndex(grid->index(1, 1),
                                                         QItemSelectionModel::NoUpdate);
    window.sgWorkGrid->selectionModel()->select(
        QItemSelection(grid->index(1, 1), grid->index(5, 3)), QItemSelectionModel::ClearAndSelect);
    window.sgWorkGrid->setFocus();
    QVERIFY(Save(window, target, QStringLiteral("web-copy-html.png")));
  }

 private:
  // The window as the screen shows it: the browser draws through its own surface, which
  // a widget grab does not always include.
  static bool Save(QWidget& window, const QString& folder, const QString& name) {
    QTest::qWait(1500);
    const QPixmap picture = window.screen()->grabWindow(window.winId());
    return picture.save(QDir(folder).filePath(name));
  }
};

// Qt WebEngine needs its switches before the application object exists.
int main(int argc, char** argv) {
  PrepareWebEngine();
  QApplication app(argc, argv);
  WebCopyScreenshotsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "web_copy_screenshots_test.moc"

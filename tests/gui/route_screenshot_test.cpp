#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include "gui_test_support.h"
#include "project/project_commands.h"
#include "tfm_route.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

// A picture of the passenger search window after a search on the sample project, for the
// documentation. Runs only when TRIVO_SCREENSHOT_DIR names the folder to write it to,
// under a real display (xvfb-run -a).
class RouteScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void takesThePicture() {
    const QString target = QString::fromLocal8Bit(qgetenv("TRIVO_SCREENSHOT_DIR"));
    if (target.isEmpty()) QSKIP("TRIVO_SCREENSHOT_DIR is not set");
    QVERIFY(QDir().mkpath(target));

    DrivenWindows app;
    trivo::LoadProject(app.ctx(), (SampleDir() + QStringLiteral("/sample.tvp")).toStdString());
    app.main().RouteItem->trigger();
    TfmRoute& window = *app.windows.fmRoute;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.edStart->setText(QStringLiteral("Weidenhof"));
    window.edZiel->setText(QStringLiteral("Südfriedhof"));
    window.dtpDate->setDate(QDate(2026, 3, 17));
    window.dtpTime->setTime(QTime(7, 0));
    window.btSearch->click();
    QVERIFY2(app.boxes.isEmpty(), qPrintable(app.boxes.join('\n')));
    QTest::qWait(200);
    QVERIFY(window.grab().save(QDir(target).filePath(QStringLiteral("route-window.png"))));
  }
};

QTEST_MAIN(RouteScreenshotTest)
#include "route_screenshot_test.moc"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include "gui_test_support.h"
#include "project/project_commands.h"
#include "tfm_query.h"
#include "tfm_route.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

// Pictures of the connection-query window and of the passenger search window after a
// search from Weidenhof to Südfriedhof at 07:00 on the sample project, for the
// documentation. Run only when TRIVO_SCREENSHOT_DIR names the folder to write them to,
// under a real display (xvfb-run -a).
class QueryScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    target_ = QString::fromLocal8Bit(qgetenv("TRIVO_SCREENSHOT_DIR"));
    if (target_.isEmpty()) QSKIP("TRIVO_SCREENSHOT_DIR is not set");
    QVERIFY(QDir().mkpath(target_));
  }

  void takesThePicture() {
    DrivenWindows app;
    trivo::LoadProject(app.ctx(), (SampleDir() + QStringLiteral("/sample.tvp")).toStdString());
    TfmQuery& window = *app.windows.fmQuery;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.cbStartStation->setEditText(QStringLiteral("Weidenhof"));
    window.cbZielStation->setEditText(QStringLiteral("Südfriedhof"));
    window.dtpStartTime->setTime(QTime(7, 0));
    window.btStartQuery->click();
    Save(app, window, QStringLiteral("query-window.png"));
  }

  void takesThePassengerSearchPicture() {
    DrivenWindows app;
    trivo::LoadProject(app.ctx(), (SampleDir() + QStringLiteral("/sample.tvp")).toStdString());
    app.main().RouteItem->trigger();
    TfmRoute& window = *app.windows.fmRoute;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.edStart->setText(QStringLiteral("Weidenhof"));
    window.edZiel->setText(QStringLiteral("Südfriedhof"));
    window.dtpDate->setDate(QDate(2026, 3, 17));  // a Tuesday
    window.dtpTime->setTime(QTime(7, 0));
    window.btSearch->click();
    Save(app, window, QStringLiteral("route-window.png"));
  }

 private:
  void Save(const DrivenWindows& app, QWidget& window, const QString& file) {
    QVERIFY2(app.boxes.isEmpty(), qPrintable(app.boxes.join('\n')));
    QTest::qWait(200);
    QVERIFY(window.grab().save(QDir(target_).filePath(file)));
  }

  QString target_;
};

QTEST_MAIN(QueryScreenshotTest)
#include "query_screenshot_test.moc"

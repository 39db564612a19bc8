#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include "gui_test_support.h"
#include "project/project_commands.h"
#include "tfm_query.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

// A picture of the connection-query window after a query on the sample project, for the
// documentation. Runs only when TRIVO_SCREENSHOT_DIR names the folder to write it to,
// under a real display (xvfb-run -a).
class QueryScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void takesThePicture() {
    const QString target = QString::fromLocal8Bit(qgetenv("TRIVO_SCREENSHOT_DIR"));
    if (target.isEmpty()) QSKIP("TRIVO_SCREENSHOT_DIR is not set");
    QVERIFY(QDir().mkpath(target));

    DrivenWindows app;
    trivo::LoadProject(app.ctx(), (SampleDir() + QStringLiteral("/sample.tvp")).toStdString());
    TfmQuery& window = *app.windows.fmQuery;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.cbStartStation->setEditText(QStringLiteral("Weidenhof"));
    window.cbZielStation->setEditText(QStringLiteral("Südfriedhof"));
    window.dtpStartTime->setTime(QTime(7, 0));
    window.btStartQuery->click();
    QVERIFY2(app.boxes.isEmpty(), qPrintable(app.boxes.join('\n')));
    QTest::qWait(200);
    QVERIFY(window.grab().save(QDir(target).filePath(QStringLiteral("query-window.png"))));
  }
};

QTEST_MAIN(QueryScreenshotTest)
#include "query_screenshot_test.moc"

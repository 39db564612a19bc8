#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <string>

#include "project/context.h"
#include "project/project_commands.h"
#include "test_support.h"
#include "tfm_make.h"

namespace {

void WriteFile(const QString& path, const std::string& bytes) {
  std::ofstream(std::filesystem::path(path.toStdString()), std::ios::binary) << bytes;
}

// The texts of an item's subtree, depth-first, indented by two blanks per level.
void Collect(const QTreeWidgetItem* item, int depth, QStringList& out) {
  out << QString(depth * 2, QLatin1Char(' ')) + item->text(0);
  for (int i = 0; i < item->childCount(); ++i) Collect(item->child(i), depth + 1, out);
}

QStringList TreeTexts(const QTreeWidget* tree) {
  QStringList out;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) Collect(tree->topLevelItem(i), 0, out);
  return out;
}

}  // namespace

class TfmMakeTest : public QObject {
  Q_OBJECT

 private slots:
  void windowShowsItsElements() {
    trivo::test::RecordingUserInterface ui;
    trivo::Context ctx(ui);
    trivo::gui::TfmMake window(ctx);
    QCOMPARE(window.windowTitle(), QStringLiteral("Daten aufbereiten"));
    QCOMPARE(window.btStart->text(), QStringLiteral("Start"));
    QVERIFY(window.Memo1->isReadOnly());
    QCOMPARE(window.TreeView1->topLevelItemCount(), 0);
  }

  void startFillsTreeAndMemo() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // "Mühle" in Windows-1252.
    WriteFile(dir.filePath("line_stations.csv"), "L1=A,B,C,D\r\nL2=X,B,C,M\xFChle\r\n");
    WriteFile(dir.filePath("station_lines.csv"), "B=L1,L2\r\nC=L1,L2\r\nm\xFChle=L3\r\n");
    trivo::test::RecordingUserInterface ui;
    trivo::Context ctx(ui);
    ctx.ProjectDir = QDir::toNativeSeparators(dir.path()).toStdString();
    trivo::gui::TfmMake window(ctx);

    QTest::mouseClick(window.btStart, Qt::LeftButton);

    const QStringList expectedTree{
        "all",     "  L1",     "    A", "    B",    "      L2",
        "    C",   "      L2", "    D", "  L2",     "    X",
        "    B",   "      L1", "    C", "      L1", QString::fromUtf8("    Mühle"),
        "      L3"};
    QCOMPARE(TreeTexts(window.TreeView1), expectedTree);
    QCOMPARE(window.Memo1->toPlainText(), QStringLiteral("1: L1-L2: B-C\n2: L2-L1: B-C"));

    QTest::mouseClick(window.btStart, Qt::LeftButton);
    QCOMPARE(window.TreeView1->topLevelItemCount(), 2);
    QCOMPARE(window.TreeView1->topLevelItem(0)->childCount(), 4);
    QCOMPARE(window.Memo1->document()->blockCount(), 8);
    QVERIFY(window.Memo1->toPlainText().endsWith(QStringLiteral("8: L2-L1: B-C")));
  }

  void missingFileIsShownInAMessageBox() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    WriteFile(dir.filePath("line_stations.csv"), "L1=A,B\r\n");
    trivo::test::RecordingUserInterface ui;
    trivo::Context ctx(ui);
    ctx.ProjectDir = dir.path().toStdString();
    trivo::gui::TfmMake window(ctx);

    QString shown;
    QTimer::singleShot(0, [&shown] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        shown = box->text();
        box->accept();
      }
    });
    window.btStartClick();

    QVERIFY2(shown.startsWith(QString::fromUtf8("Datei ") + dir.filePath("station_lines.csv") +
                              QString::fromUtf8(" kann nicht geöffnet werden. ")),
             qPrintable(shown));
    QCOMPARE(window.TreeView1->topLevelItemCount(), 0);
    QVERIFY(window.Memo1->toPlainText().isEmpty());
  }

  // With TRIVO_SCREENSHOT_DIR set, saves the window after one press on the sample
  // project as make-window.png there.
  void screenshotOfSampleProject() {
    const QString target = qEnvironmentVariable("TRIVO_SCREENSHOT_DIR");
    if (target.isEmpty()) QSKIP("TRIVO_SCREENSHOT_DIR not set");
    const QString project =
        qEnvironmentVariable("TRIVO_SOURCE_DIR") + "/examples/sample/sample.tvp";
    QVERIFY2(QFile::exists(project), qPrintable(project));
    trivo::test::RecordingUserInterface ui;
    trivo::Context ctx(ui);
    trivo::LoadProject(ctx, project.toStdString());
    trivo::gui::TfmMake window(ctx);
    window.resize(760, 520);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.btStartClick();
    window.TreeView1->expandAll();
    QTest::qWait(50);
    QVERIFY(QDir().mkpath(target));
    QVERIFY(window.grab().save(target + "/make-window.png"));
  }
};

QTEST_MAIN(TfmMakeTest)
#include "tfm_make_test.moc"

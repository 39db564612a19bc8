#include <QDir>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include "gui_test_support.h"
#include "platform_texts.h"
#include "tfm_edit_project.h"
#include "tfm_edit_time_table.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

// Pictures of the windows for the documentation. Runs only when TRIVO_SCREENSHOT_DIR
// names the folder to write them to, under a real display (xvfb-run -a). Qt's own texts
// are German, as in the program.
class ScreenshotsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(UseGermanPlatformTexts(*QCoreApplication::instance())); }

  void takesThePictures() {
    const QString target = QString::fromLocal8Bit(qgetenv("TRIVO_SCREENSHOT_DIR"));
    if (target.isEmpty()) QSKIP("TRIVO_SCREENSHOT_DIR is not set");
    QVERIFY(QDir().mkpath(target));

    DrivenWindows app;
    TfmMain& main = app.main();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(Save(main, target, QStringLiteral("main-window-start.png")));

    QTemporaryDir temp;
    const QString project = CopySample(temp, QStringLiteral("Beispielstadt"));
    app.OpenThroughDialog(project);
    for (QPushButton* button : {main.sbEditProject, main.sbEditStations, main.sbEditLines,
                                main.sbAssignStations, main.sbEditTimeTable}) {
      button->click();
    }
    main.ShowHint(QStringLiteral("Existierendes Projekt öffnen"));
    QVERIFY(Save(main, target, QStringLiteral("main-window-project.png")));

    TfmEditProject& settings = *app.windows.fmEditProject;
    main.EditProjectItem->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&settings));
    settings.cbDayGroups->setCurrentIndex(0);
    QVERIFY(Save(settings, target, QStringLiteral("settings-window.png")));
    settings.close();

    // The editor on line T1, Mo-Fr, direction 1, with the cursor in a trip column.
    TfmEditTimeTable& editor = *app.windows.fmEditTimeTable;
    main.EditTimeTableItem->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.btCancel->click();
    editor.cbDirection->setCurrentIndex(0);
    editor.btTimeTableEdit->click();
    editor.sgTimeTable->Forward([&] { editor.model().sgTimeTableSelectCell({9, 7}); });
    QVERIFY(Save(editor, target, QStringLiteral("editor-window.png")));
    editor.btCancel->click();
    editor.close();

    // The real dialogs: the open dialog in the project's folder and a confirmation.
    bool saved = false;
    WhenModalShown([&saved, &target](QWidget& dialog) {
      dialog.resize(760, 440);
      if (auto* files = dialog.findChild<QTreeView*>()) {
        files->header()->resizeSections(QHeaderView::ResizeToContents);
      }
      saved = Save(dialog, target, QStringLiteral("open-dialog.png"));
      dialog.close();
    });
    AskProjectFileName(FileDialogKind::Open, &main, project);
    QVERIFY(saved);
    saved = false;
    WhenModalShown([&saved, &target](QWidget& box) {
      saved = Save(box, target, QStringLiteral("confirmation.png"));
      box.close();
    });
    app.windows.ui.SetBoxHook({});
    app.windows.ui.Confirm("Gleiche Werte einsetzen?", true);
    QVERIFY(saved);
  }

 private:
  static bool Save(QWidget& window, const QString& folder, const QString& name) {
    QTest::qWait(200);
    return window.grab().save(QDir(folder).filePath(name));
  }
};

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"

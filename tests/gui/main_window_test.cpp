#include <QApplication>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTest>

#include "convert/conversion_buttons.h"
#include "dlg_first_save.h"
#include "gui_test_support.h"
#include "hint.h"
#include "path_text.h"
#include "project/project_commands.h"
#include "project_argument.h"
#include "text_codec.h"
#include "tfm_edit_project.h"
#include "tfm_edit_time_table.h"
#include "tfm_make.h"
#include "tfm_query.h"
#include "tfm_route.h"
#include "tfm_web_copy.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

const QString kBaseCaption = QStringLiteral("Tavrin   PTF-Converter 1.0.1");

QList<QPushButton*> ConversionButtons(TfmMain& main) {
  return {main.sbEditProject, main.sbEditStations, main.sbEditLines, main.sbAssignStations,
          main.sbEditTimeTable};
}

QStringList MenuTexts(QMenu* menu) {
  QStringList texts;
  for (QAction* action : menu->actions()) {
    texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  return texts;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithoutProject() {
    DrivenWindows app;
    TfmMain& main = app.main();
    QCOMPARE(main.windowTitle(), kBaseCaption);
    QCOMPARE(main.size(), QSize(780, 580));
    QVERIFY(main.paWorkChoice->isHidden());
    QVERIFY(app.ctx().ProjectFileName.empty());
    QCOMPARE(app.ctx().PrjParams.MaxDriveMinutes, 720);
    QVERIFY(app.ctx().PrjParams.DayGroups.empty());
    QVERIFY(app.LogLines().isEmpty());
    QCOMPARE(main.StatusLine->currentMessage(), QString());
  }

  void createsTheWindowsInStartUpOrder() {
    DrivenWindows app;
    QList<QDialog*> created;
    for (QObject* child : app.main().children()) {
      if (auto* dialog = qobject_cast<QDialog*>(child)) created << dialog;
    }
    const QList<QDialog*> expected = {app.windows.fmEditProject,   app.windows.DlgFirstSave,
                                      app.windows.fmEditTimeTable, app.windows.fmWebCopy,
                                      app.windows.fmMake,          app.windows.fmQuery,
                                      app.windows.fmRoute};
    QCOMPARE(created, expected);
    QCOMPARE(app.windows.fmEditTimeTable->windowTitle(), QStringLiteral("Fahrplan bearbeiten"));
    QCOMPARE(app.windows.fmWebCopy->windowTitle(), QStringLiteral("Fahrplan Kopier-Bereich"));
    QCOMPARE(app.windows.fmMake->windowTitle(), QStringLiteral("Daten aufbereiten"));
    QCOMPARE(app.windows.fmQuery->windowTitle(), QStringLiteral("Verbindugns-Abfrage"));
    QCOMPARE(app.windows.fmRoute->windowTitle(), QStringLiteral("Fahrplanauskunft"));
    for (QDialog* dialog : expected) QVERIFY(dialog->isHidden());
    QCOMPARE(app.windows.dm1.cdsStations.GetState(), trivo::Table::State::Absent);
    QCOMPARE(app.windows.dm1.cdsDayGroups.GetState(), trivo::Table::State::Absent);
  }

  void showsTheInstructionAndTheButtonTexts() {
    DrivenWindows app;
    TfmMain& main = app.main();
    QCOMPARE(main.Memo2->toPlainText(),
             QStringLiteral("Zum Erstellen der PTF-Dateien \nklicken Sie die Buttons in der \n"
                            "richtigen Reihefolge an."));
    QStringList texts;
    for (QPushButton* button : ConversionButtons(main)) texts << button->text();
    QCOMPARE(texts, QStringList({QStringLiteral("1) daygroups.ptf erstellen"),
                                 QStringLiteral("2) stations.ptf erstellen"),
                                 QStringLiteral("3) lines.ptf erstellen"),
                                 QStringLiteral("4) line_stations.ptf erstellen"),
                                 QStringLiteral("5) Fahrplan-Dateien (PTF) erstellen")}));
  }

  void offersTheFileMenuAndTheExtras() {
    DrivenWindows app;
    TfmMain& main = app.main();
    QCOMPARE(main.FileMenu->title(), QStringLiteral("&Datei"));
    QCOMPARE(MenuTexts(main.FileMenu),
             QStringList({QStringLiteral("Projekt ö&ffnen..."), QStringLiteral("-"),
                          QStringLiteral("&Beenden")}));
    QCOMPARE(main.FileOpenItem->statusTip(), QStringLiteral("Existierendes Projekt öffnen"));
    QCOMPARE(main.FileExitItem->statusTip(), QStringLiteral("Diese Anwendung beenden"));
    QCOMPARE(main.ExtrasMenu->title(), QStringLiteral("&Extras"));
    QCOMPARE(
        MenuTexts(main.ExtrasMenu),
        QStringList(
            {QStringLiteral("Projekt-Einstellungen..."), QStringLiteral("Fahrplan bearbeiten..."),
             QStringLiteral("Daten aufbereiten..."), QStringLiteral("Verbindungs-Abfrage..."),
             QStringLiteral("Fahrplanauskunft..."), QStringLiteral("HTML-Import..."),
             QStringLiteral("Vorschau..."), QStringLiteral("Aushangfahrpläne..."),
             QStringLiteral("GTFS exportieren..."), QStringLiteral("GTFS importieren..."),
             QStringLiteral("Projekt prüfen..."), QStringLiteral("-"),
             QStringLiteral("Neues Projekt..."), QStringLiteral("Projekt speichern"),
             QStringLiteral("Projekt speichern unter...")}));
  }

  void opensAndEndsByKeyboard() {
    DrivenWindows app;
    TfmMain& main = app.main();
    const QKeySequence ctrlQ(Qt::CTRL | Qt::Key_Q);
    QCOMPARE(main.FileOpenItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    // The menu shows the first shortcut of each entry.
    QCOMPARE(main.FileExitItem->shortcuts(),
             (QList<QKeySequence>{ctrlQ, QKeySequence(Qt::ALT | Qt::Key_F4)}));
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    QTest::keySequence(&main, main.FileOpenItem->shortcut());
    QCOMPARE(app.fileDialogs.size(), std::size_t{1});
    QTest::keySequence(&main, ctrlQ);
    QVERIFY(!main.isVisible());
  }

  void showsLongHintsInTheStatusLine() {
    QCOMPARE(SplitHint(QStringLiteral("Öffnen|")).tooltip, QStringLiteral("Öffnen"));
    QCOMPARE(SplitHint(QStringLiteral("Öffnen|")).longHint, QString());
    QCOMPARE(SplitHint(QStringLiteral("a|b|c")).longHint, QStringLiteral("b|c"));
    QCOMPARE(SplitHint(QStringLiteral("ganz")).longHint, QStringLiteral("ganz"));

    DrivenWindows app;
    TfmMain& main = app.main();
    QCOMPARE(main.SpeedButton2->toolTip(), QStringLiteral("Öffnen"));
    QCOMPARE(main.SpeedButton2->statusTip(), QString());
    main.FileOpenItem->showStatusText(&main);
    QCOMPARE(main.StatusLine->currentMessage(), QStringLiteral("Existierendes Projekt öffnen"));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(main.SpeedButton2, &enter);
    QCOMPARE(main.StatusLine->currentMessage(), QString());
  }

  void takesTheProgramFactsFromTheBuild() {
    DrivenWindows app;
    const trivo::AppInfo& info = app.ctx().app;
    QCOMPARE(FromCorePath(info.ExeFileName), QCoreApplication::applicationFilePath());
    QCOMPARE(FromCorePath(info.DefaultProjectFile),
             QCoreApplication::applicationDirPath() + QStringLiteral("/default.tvp"));
    QCOMPARE(QString::fromStdString(info.AppName), QStringLiteral("Trivo Editor"));
    QCOMPARE(QString::fromStdString(info.AppEdition), QStringLiteral("Standard"));
    QCOMPARE(QString::fromStdString(info.AppVersion), QStringLiteral("1.0.1"));
    QVERIFY(info.AppType.empty());
  }

  void opensAProjectThroughTheOpenDialog() {
    QTemporaryDir temp;
    const QString project = CopySample(temp);
    DrivenWindows app;
    TfmMain& main = app.main();

    main.SpeedButton2->click();  // the dialog answers nothing: cancelled
    QCOMPARE(main.windowTitle(), kBaseCaption);
    QVERIFY(main.paWorkChoice->isHidden());

    app.OpenThroughDialog(project);

    QCOMPARE(app.fileDialogs.back().first, FileDialogKind::Open);
    QCOMPARE(main.windowTitle(), kBaseCaption + QStringLiteral(":   [") + project + "]");
    QVERIFY(!main.paWorkChoice->isHidden());
    for (QPushButton* button : ConversionButtons(main)) QVERIFY(button->isEnabled());
    QCOMPARE(FromCorePath(app.ctx().ProjectFileName), project);
    QCOMPARE(FromCorePath(app.ctx().ProjectDir), temp.path());
    QCOMPARE(FromCorePath(app.ctx().WorkingDir), temp.path());
    QCOMPARE(main.SaveDialogFileName(), project);
    QCOMPARE(app.ctx().PrjParams.DayGroups.size(), std::size_t{3});
    QCOMPARE(app.windows.fmEditProject->cbDayGroups->count(), 3);
    QCOMPARE(app.windows.fmEditProject->leMaxDriveMinutes->text(), QStringLiteral("720"));
    QVERIFY(app.boxes.isEmpty());

    app.OpenThroughDialog(QString());  // cancelled again: nothing changes
    QCOMPARE(app.fileDialogs.back().second, project);
    QCOMPARE(FromCorePath(app.ctx().ProjectFileName), project);
  }

  void takesTheOnlyArgumentAsProjectFile() {
    const QString program = QStringLiteral("trivo-editor");
    const QString project = QStringLiteral("Linien/stadt.tvp");
    QCOMPARE(ProjectFileArgument({program, project}), project);
    for (const QStringList& arguments :
         {QStringList{program}, QStringList{program, project, project},
          QStringList{program, QStringLiteral("--help")}, QStringList{program, QString()}}) {
      QCOMPARE(ProjectFileArgument(arguments), QString());
    }
  }

  // A project file given to the program (a double click on it) loads as choosing it in
  // the open dialog does, also when it is named relative to the current folder.
  void opensTheArgumentAsTheOpenDialogDoes() {
    QTemporaryDir temp;
    const QString project = CopySample(temp, QStringLiteral("Linien"));
    DrivenWindows throughDialog;
    throughDialog.OpenThroughDialog(project);
    DrivenWindows fromArgument;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(temp.path());
    fromArgument.main().OpenProjectFile(QStringLiteral("Linien/sample.tvp"));
    QDir::setCurrent(previous);

    QCOMPARE(fromArgument.main().windowTitle(), throughDialog.main().windowTitle());
    QCOMPARE(fromArgument.ctx().ProjectDir, throughDialog.ctx().ProjectDir);
    QCOMPARE(fromArgument.ctx().WorkingDir, throughDialog.ctx().WorkingDir);
    QCOMPARE(fromArgument.main().OpenDialogFileName(), project);
    QVERIFY(!fromArgument.main().paWorkChoice->isHidden());
  }

  void opensAMissingFileWithTheDefaultValues() {
    QTemporaryDir temp;
    const QString project = CopySample(temp);
    DrivenWindows app;
    app.OpenThroughDialog(project);
    const QString missing = temp.filePath(QStringLiteral("neu.tvp"));

    app.OpenThroughDialog(missing);

    QCOMPARE(app.main().windowTitle(), kBaseCaption + QStringLiteral(":   [") + missing + "]");
    QVERIFY(!app.main().paWorkChoice->isHidden());
    QCOMPARE(app.ctx().PrjParams.DayGroups.size(), std::size_t{3});  // the sample's remain
    QVERIFY(app.boxes.isEmpty());
    QVERIFY(!QFileInfo::exists(missing));
  }

  void runsTheFiveConversionsAsTheCoreDoes() {
    QTemporaryDir temp;
    const QString guiProject = CopySample(temp, QStringLiteral("gui"));
    const QString coreProject = CopySample(temp, QStringLiteral("core"));
    DrivenWindows app;
    app.OpenThroughDialog(guiProject);

    for (QPushButton* button : ConversionButtons(app.main()))
      QTest::mouseClick(button, Qt::LeftButton);

    RecordingUserInterface coreUi;
    trivo::Context core(coreUi);
    trivo::LoadProject(core, ToCorePath(coreProject));
    for (int button = 1; button <= 5; ++button) trivo::PressConversionButton(core, button);
    QStringList coreLog;
    QStringList coreBoxes;
    for (const std::string& event : coreUi.events) {
      (event.rfind("[Meldung] ", 0) == 0 ? coreBoxes : coreLog) << FromCp1252(event);
    }
    QVERIFY(coreLog.size() >= 5);
    QCOMPARE(app.LogLines(), coreLog);
    QCOMPARE(app.boxes, coreBoxes);
    QVERIFY(app.LogLines().contains(QStringLiteral("daygroups.ptf erstellt")) ||
            app.LogLines().front().contains(QStringLiteral("daygroups.ptf")));

    const QDir guiDir(temp.filePath(QStringLiteral("gui")));
    const QStringList ptfFiles = guiDir.entryList({QStringLiteral("*.ptf")}, QDir::Files);
    QVERIFY(ptfFiles.contains(QStringLiteral("daygroups.ptf")));
    QVERIFY(ptfFiles.contains(QStringLiteral("intervals.ptf")));
    QCOMPARE(ptfFiles, QDir(temp.filePath(QStringLiteral("core")))
                           .entryList({QStringLiteral("*.ptf")}, QDir::Files));
    for (const QString& name : ptfFiles) {
      QCOMPARE(FileBytes(guiDir.filePath(name)),
               FileBytes(temp.filePath(QStringLiteral("core/")) + name));
    }
  }

  void keepsTheLogAcrossProjects() {
    QTemporaryDir temp;
    const QString first = CopySample(temp, QStringLiteral("a"));
    const QString second = CopySample(temp, QStringLiteral("b"));
    DrivenWindows app;
    app.OpenThroughDialog(first);
    app.main().sbEditProject->click();
    app.OpenThroughDialog(second);
    app.main().sbEditProject->click();

    QCOMPARE(app.LogLines().size(), 2);
    QVERIFY(QFileInfo::exists(temp.filePath(QStringLiteral("b/daygroups.ptf"))));
  }

  void refusesTheProjectWindowsWithoutProject() {
    DrivenWindows app;
    app.main().MakeItem->trigger();
    app.main().QueryItem->trigger();
    app.main().EditTimeTableItem->trigger();
    QCOMPARE(app.boxes, QStringList(3, QStringLiteral("[Meldung] Kein Projekt geladen!")));
    QVERIFY(app.modalWindows.empty());
    QVERIFY(!app.windows.fmEditTimeTable->isVisible());

    app.main().WebCopyItem->trigger();  // needs no project, and is shown without waiting
    QVERIFY(app.modalWindows.empty());
    QVERIFY(app.windows.fmWebCopy->isVisible());
    QVERIFY(!app.windows.fmWebCopy->isModal());
  }

  void showsTheProjectWindowsModallyWithProject() {
    QTemporaryDir temp;
    DrivenWindows app;
    app.OpenThroughDialog(CopySample(temp));
    app.main().MakeItem->trigger();
    app.main().QueryItem->trigger();
    QCOMPARE(app.modalWindows, (std::vector<QDialog*>{app.windows.fmMake, app.windows.fmQuery}));
    QVERIFY(app.boxes.isEmpty());
  }

  void showsTheSettingsWindowFromTheExtras() {
    DrivenWindows app;
    app.main().EditProjectItem->trigger();
    QVERIFY(app.windows.fmEditProject->isVisible());
  }

  void fileNewCancelledHidesTheButtons() {
    QTemporaryDir temp;
    DrivenWindows app;
    app.OpenThroughDialog(CopySample(temp));

    app.main().FileNewItem->trigger();  // the save dialog is cancelled

    QCOMPARE(app.modalWindows, std::vector<QDialog*>{app.windows.DlgFirstSave});
    QCOMPARE(app.fileDialogs.back(), std::make_pair(FileDialogKind::Save, QString()));
    QVERIFY(app.main().paWorkChoice->isHidden());
    QVERIFY(app.ctx().ProjectFileName.empty());
    QCOMPARE(app.main().windowTitle(), QStringLiteral("Trivo-Editor: [neues Projekt]"));
    QCOMPARE(app.ctx().PrjParams.MaxDriveMinutes, 720);
  }

  void fileNewSavesTheNewProject() {
    QTemporaryDir temp;
    QDir(temp.path()).mkdir(QStringLiteral("neu"));
    const QString path = temp.filePath(QStringLiteral("neu/projekt.tvp"));
    DrivenWindows app;
    app.fileAnswers.push_back(path);

    app.main().FileNew();

    QCOMPARE(app.main().windowTitle(), QStringLiteral("Trivo-Editor: ") + path);
    QCOMPARE(FromCorePath(app.ctx().ProjectFileName), path);
    QCOMPARE(FromCorePath(app.ctx().ProjectDir), temp.filePath(QStringLiteral("neu")));
    QCOMPARE(FromCorePath(app.ctx().WorkingDir), temp.filePath(QStringLiteral("neu")));
    QCOMPARE(app.main().OpenDialogFileName(), path);
    QVERIFY(!app.main().paWorkChoice->isHidden());
    QVERIFY(app.main().sbEditProject->isEnabled());
    QVERIFY(app.main().sbEditStations->isEnabled());
    QVERIFY(!app.main().sbEditLines->isEnabled());
    QVERIFY(app.main().sbAssignStations->isEnabled());
    QVERIFY(!app.main().sbEditTimeTable->isEnabled());
    QVERIFY(FileBytes(path).contains("[timetable]\r\nmax_drive_minutes=720\r\n"));
    QVERIFY(QFileInfo::exists(temp.filePath(QStringLiteral("neu/daygroups.ptf"))));
    QVERIFY(app.boxes.isEmpty());
  }

  void newProjectShowsTheNoticeWithoutWaiting() {
    DrivenWindows app;
    app.main().NewProject();
    QVERIFY(app.windows.DlgFirstSave->isVisible());
    QVERIFY(app.modalWindows.empty());
    QCOMPARE(app.main().windowTitle(), QStringLiteral("Trivo-Editor: [neues Projekt]"));
    QVERIFY(!app.main().paWorkChoice->isHidden());
    QVERIFY(!app.main().sbEditLines->isEnabled());
    QVERIFY(!app.main().sbEditTimeTable->isEnabled());
    app.windows.DlgFirstSave->OKBtn->click();
    QVERIFY(app.windows.DlgFirstSave->isHidden());
  }

  void saveAsKeepsTheInputFolder() {
    QTemporaryDir temp;
    const QString project = CopySample(temp, QStringLiteral("alt"));
    QDir(temp.path()).mkdir(QStringLiteral("kopie"));
    const QString copy = temp.filePath(QStringLiteral("kopie/kopie.tvp"));
    DrivenWindows app;
    app.OpenThroughDialog(project);
    app.fileAnswers.push_back(copy);

    QVERIFY(app.main().FileSaveAs());

    QCOMPARE(app.main().windowTitle(), QStringLiteral("Trivo-Editor: ") + copy);
    QCOMPARE(FromCorePath(app.ctx().ProjectFileName), copy);
    QCOMPARE(FromCorePath(app.ctx().ProjectDir), temp.filePath(QStringLiteral("alt")));
    QVERIFY(FileBytes(copy).contains("daygroupnames=Mo-Fr,Sa,So\r\n"));

    QVERIFY(app.main().FileSave());  // now writes the copy without asking
    QCOMPARE(app.fileDialogs.size(), std::size_t{2});
  }

  void showsAnErrorThatEndsACommandAndGoesOn() {
    QTemporaryDir temp;
    const QString project = CopySample(temp);
    DrivenWindows app;
    app.OpenThroughDialog(project);
    const QString caption = app.main().windowTitle();
    // A folder under the chosen name: the project file cannot be written.
    QDir(temp.path()).mkdir(QStringLiteral("ordner.tvp"));
    app.fileAnswers.push_back(temp.filePath(QStringLiteral("ordner.tvp")));

    QVERIFY(!app.main().FileSaveAs());

    QCOMPARE(app.boxes.size(), 1);
    QVERIFY2(app.boxes.front().startsWith(QStringLiteral("[Fehler] In ")),
             qPrintable(app.boxes.front()));
    QVERIFY(app.boxes.front().endsWith(QStringLiteral(" kann nicht geschrieben werden")));
    QCOMPARE(app.main().windowTitle(), caption);
    QCOMPARE(FromCorePath(app.ctx().ProjectFileName), project);

    app.main().sbEditProject->click();  // the program goes on
    QCOMPARE(app.LogLines().size(), 1);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

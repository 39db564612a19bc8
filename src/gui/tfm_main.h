#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <functional>

#include "dialog_hooks.h"
#include "project/context.h"
#include "project/project_rules.h"

namespace trivo::gui {

class TrivoWindows;
class TfmGtfsExport;

// The main window: opens a project, shows its path in the caption and offers the five
// numbered conversion buttons; the conversions report into the log memo Memo1.
class TfmMain : public QMainWindow {
  Q_OBJECT

 public:
  // Creating the window runs FormCreate. The other windows of the set are created after
  // it and are reached only when a command runs.
  explicit TfmMain(TrivoWindows& windows);

  static QString BaseCaption();

  // Commands.
  void FileOpen();
  // Opens a project file named outside the open dialog (the program's argument) as
  // choosing it in the open dialog does.
  void OpenProjectFile(const QString& file);
  void FileExit();
  void LoadProject(const QString& path);
  void FileNew();
  void NewProject();
  // False when nothing was written (dialog cancelled, an error ended the command).
  bool FileSave();
  bool FileSaveAs();
  void sbMakeClick();
  void SpeedButton3Click();
  void ErstellenButtonClick();
  void WebAnsichtButtonClick();
  // "Vorschau...": writes the preview page beside the PTF files and shows it.
  void ShowPreview();
  // "Aushangfahrpläne...": the departure posters of the project's stops.
  void ShowStopTimetables();
  // "GTFS exportieren...": the export window over the loaded project.
  void ShowGtfsExport();
  // "GTFS importieren...": shows the import window.
  void ShowGtfsImport();
  void ShowEditProject();
  void ShowEditTimeTable();
  // "Fahrplanauskunft...": the passenger search window, shown without waiting.
  void ShowRoute();
  void ShowCheck();
  void ShowHint(const QString& longHint);

  // The dialogs' remembered file names.
  QString OpenDialogFileName() const { return openDialogFileName_; }
  QString SaveDialogFileName() const { return saveDialogFileName_; }

  QStatusBar* StatusLine;
  QToolBar* SpeedBar;
  QToolButton* SpeedButton2;
  QWidget* Panel1;
  QWidget* paWorkChoice;
  QTextEdit* Memo2;
  QPushButton* sbEditProject;
  QPushButton* sbEditStations;
  QPushButton* sbEditLines;
  QPushButton* sbAssignStations;
  QPushButton* sbEditTimeTable;
  QPlainTextEdit* Memo1;
  QMenu* FileMenu;
  QAction* FileOpenItem;
  QAction* N1;
  QAction* FileExitItem;
  QMenu* ExtrasMenu;
  QAction* EditProjectItem;
  QAction* EditTimeTableItem;
  QAction* MakeItem;
  QAction* QueryItem;
  QAction* RouteItem;
  QAction* WebCopyItem;
  QAction* PreviewItem;
  QAction* StopTimetablesItem;
  QAction* GtfsExportItem;
  // The export window, created when first shown.
  TfmGtfsExport* fmGtfsExport = nullptr;
  QAction* CheckItem;
  QAction* GtfsImportItem;
  QAction* FileNewItem;
  QAction* FileSaveItem;
  QAction* FileSaveAsItem;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void GetProgInfo();
  void BuildMenu();
  void BuildSpeedBar();
  void BuildWorkChoice();
  QPushButton* NewConversionButton(const char* name, const QString& text,
                                   void (*conversion)(trivo::Context&));
  QAction* NewMenuItem(QMenu* menu, const char* name, const QString& text, const QString& hint,
                       const std::function<void()>& command);
  // Reads a project file into PrjParams and refreshes the settings window.
  void ReadProjectFile(const QString& path);
  // Asks for a project file; a chosen file's folder becomes the working directory.
  QString AskFileName(FileDialogKind kind, const QString& fileName);
  // The full path of a chosen file, whose folder becomes the working directory.
  QString TakeChosenFile(const QString& chosen);
  void Run(const std::function<void()>& command);
  bool ProjectLoaded() const;
  // Whether a project is loaded; says "Kein Projekt geladen!" when none is.
  bool RequireProject();
  // Saves the project file under path, as the core's save step given does, and shows it.
  void SaveAs(const QString& path, void (*save)(trivo::Context&, const std::string&));
  void ShowConversionButtons(trivo::ProjectStage stage);
  // The common start of FileNew and NewProject: the default project's parameters, no
  // project file, the new-project caption.
  void StartNewProject();

  TrivoWindows& windows_;
  trivo::Context& ctx_;
  QString openDialogFileName_;
  QString saveDialogFileName_;
};

}  // namespace trivo::gui

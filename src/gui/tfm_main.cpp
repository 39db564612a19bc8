#include "tfm_main.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QMenuBar>
#include <QScreen>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "bring_to_front.h"
#include "command_guard.h"
#include "common/messages.h"
#include "convert/master_data.h"
#include "convert/timetable_conversion.h"
#include "dlg_first_save.h"
#include "hint.h"
#include "path_text.h"
#include "preview/preview_page.h"
#include "project/prj_load.h"
#include "project/prj_save.h"
#include "project/project_commands.h"
#include "project/project_rules.h"
#include "text_codec.h"
#include "tfm_check.h"
#include "tfm_edit_project.h"
#include "tfm_edit_time_table.h"
#include "tfm_gtfs_export.h"
#include "tfm_gtfs_import.h"
#include "tfm_make.h"
#include "tfm_preview.h"
#include "tfm_query.h"
#include "tfm_route.h"
#include "tfm_stop_timetables.h"
#include "tfm_web_copy.h"
#include "trivo_windows.h"

namespace trivo::gui {

namespace {

#ifdef TRIVO_VERSION
constexpr const char* kBuildVersion = TRIVO_VERSION;
#else
constexpr const char* kBuildVersion = "0.0.0";
#endif

const char* const kInstructionLines[] = {
    "Zum Erstellen der PTF-Dateien ",
    "klicken Sie die Buttons in der ",
    "richtigen Reihefolge an.",
};

QString NewProjectCaption() {
  return QStringLiteral("Trivo-Editor: [neues Projekt]");
}
QString SavedProjectCaption(const QString& path) {
  return QStringLiteral("Trivo-Editor: ") + path;
}

}  // namespace

TfmMain::TfmMain(TrivoWindows& windows)
    : QMainWindow(nullptr), windows_(windows), ctx_(windows.ctx) {
  setObjectName(QStringLiteral("fmMain"));
  setWindowTitle(BaseCaption());
  resize(780, 580);

  StatusLine = new QStatusBar(this);
  StatusLine->setObjectName(QStringLiteral("StatusLine"));
  setStatusBar(StatusLine);
  BuildMenu();
  BuildSpeedBar();
  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  setCentralWidget(Panel1);
  BuildWorkChoice();
  FormCreate();
}

QString TfmMain::BaseCaption() {
  return QStringLiteral("Tavrin   PTF-Converter 1.0.1");
}

QAction* TfmMain::NewMenuItem(QMenu* menu, const char* name, const QString& text,
                              const QString& hint, const std::function<void()>& command) {
  QAction* item = menu->addAction(text);
  item->setObjectName(QString::fromLatin1(name));
  ApplyHint(*item, hint);
  connect(item, &QAction::triggered, this, [command] { command(); });
  return item;
}

void TfmMain::BuildMenu() {
  FileMenu = menuBar()->addMenu(QStringLiteral("&Datei"));
  FileMenu->setObjectName(QStringLiteral("FileMenu"));
  FileOpenItem =
      NewMenuItem(FileMenu, "FileOpenItem", QStringLiteral("Projekt ö&ffnen..."),
                  QStringLiteral("Existierendes Projekt öffnen"), [this] { FileOpen(); });
  FileOpenItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  N1 = FileMenu->addSeparator();
  N1->setObjectName(QStringLiteral("N1"));
  FileExitItem = NewMenuItem(FileMenu, "FileExitItem", QStringLiteral("&Beenden"),
                             QStringLiteral("Diese Anwendung beenden"), [this] { FileExit(); });
  // The menu shows the first shortcut.
  FileExitItem->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::ALT | Qt::Key_F4)});

  ExtrasMenu = menuBar()->addMenu(QStringLiteral("&Extras"));
  ExtrasMenu->setObjectName(QStringLiteral("ExtrasMenu"));
  EditProjectItem =
      NewMenuItem(ExtrasMenu, "EditProjectItem", QStringLiteral("Projekt-Einstellungen..."),
                  QStringLiteral("Tag-Gruppen und Fahrzeit des Projekts bearbeiten"),
                  [this] { ShowEditProject(); });
  EditTimeTableItem = NewMenuItem(
      ExtrasMenu, "EditTimeTableItem", QStringLiteral("Fahrplan bearbeiten..."),
      QStringLiteral("Fahrplan einer Linie bearbeiten"), [this] { ShowEditTimeTable(); });
  MakeItem =
      NewMenuItem(ExtrasMenu, "MakeItem", QStringLiteral("Daten aufbereiten..."),
                  QStringLiteral("Parallel fahrende Linien suchen"), [this] { sbMakeClick(); });
  QueryItem = NewMenuItem(ExtrasMenu, "QueryItem", QStringLiteral("Verbindungs-Abfrage..."),
                          QStringLiteral("Verbindungen zwischen zwei Stationen suchen"),
                          [this] { SpeedButton3Click(); });
  RouteItem = NewMenuItem(ExtrasMenu, "RouteItem", QStringLiteral("Fahrplanauskunft..."),
                          QStringLiteral("Die schnellsten Verbindungen zu einer Zeit suchen"),
                          [this] { ShowRoute(); });
  WebCopyItem = NewMenuItem(ExtrasMenu, "WebCopyItem", QStringLiteral("HTML-Import..."),
                            QStringLiteral("Fahrpläne aus HTML-Tabellen übernehmen"),
                            [this] { WebAnsichtButtonClick(); });
  PreviewItem =
      NewMenuItem(ExtrasMenu, "PreviewItem", QStringLiteral("Vorschau..."),
                  QStringLiteral("Die Fahrpläne so ansehen, wie sie veröffentlicht werden"),
                  [this] { ShowPreview(); });
  StopTimetablesItem = NewMenuItem(
      ExtrasMenu, "StopTimetablesItem", QStringLiteral("Aushangfahrpläne..."),
      QStringLiteral("Aushangfahrpläne der Haltestellen ansehen, als PDF speichern und drucken"),
      [this] { ShowStopTimetables(); });
  GtfsExportItem =
      NewMenuItem(ExtrasMenu, "GtfsExportItem", QStringLiteral("GTFS exportieren..."),
                  QStringLiteral("Die Fahrpläne als GTFS-Feed für Fahrplanauskünfte schreiben"),
                  [this] { ShowGtfsExport(); });
  GtfsImportItem = NewMenuItem(ExtrasMenu, "GtfsImportItem", QStringLiteral("GTFS importieren..."),
                               QStringLiteral("Ein neues Projekt aus einem GTFS-Feed anlegen"),
                               [this] { ShowGtfsImport(); });
  CheckItem = NewMenuItem(ExtrasMenu, "CheckItem", QStringLiteral("Projekt prüfen..."),
                          QStringLiteral("Alle Probleme des Projekts auf einmal auflisten"),
                          [this] { ShowCheck(); });
  ExtrasMenu->addSeparator();
  FileNewItem =
      NewMenuItem(ExtrasMenu, "FileNewItem", QStringLiteral("Neues Projekt..."),
                  QStringLiteral("Neues Projekt anlegen und speichern"), [this] { FileNew(); });
  FileSaveItem = NewMenuItem(ExtrasMenu, "FileSaveItem", QStringLiteral("Projekt speichern"),
                             QStringLiteral("Projektdatei speichern"), [this] { FileSave(); });
  FileSaveAsItem = NewMenuItem(
      ExtrasMenu, "FileSaveAsItem", QStringLiteral("Projekt speichern unter..."),
      QStringLiteral("Projektdatei unter einem neuen Namen speichern"), [this] { FileSaveAs(); });
}

void TfmMain::BuildSpeedBar() {
  SpeedBar = new QToolBar(this);
  SpeedBar->setObjectName(QStringLiteral("SpeedBar"));
  SpeedBar->setMovable(false);
  SpeedBar->setFloatable(false);
  SpeedBar->setFixedHeight(33);
  SpeedBar->toggleViewAction()->setVisible(false);
  SpeedBar->setContextMenuPolicy(Qt::PreventContextMenu);
  addToolBar(Qt::TopToolBarArea, SpeedBar);

  SpeedButton2 = new QToolButton(SpeedBar);
  SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
  SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  SpeedButton2->setAutoRaise(true);
  ApplyHint(*SpeedButton2, QStringLiteral("Öffnen|"));
  connect(SpeedButton2, &QToolButton::clicked, this, &TfmMain::FileOpen);
  SpeedButton2->installEventFilter(this);
  SpeedBar->addWidget(SpeedButton2);
}

QPushButton* TfmMain::NewConversionButton(const char* name, const QString& text,
                                          void (*conversion)(trivo::Context&)) {
  auto* button = new QPushButton(text, paWorkChoice);
  button->setObjectName(QString::fromLatin1(name));
  button->setFixedSize(300, 41);
  QFont font = button->font();
  font.setBold(true);
  button->setFont(font);
  connect(button, &QPushButton::clicked, this,
          [this, conversion] { Run([this, conversion] { conversion(ctx_); }); });
  return button;
}

void TfmMain::BuildWorkChoice() {
  paWorkChoice = new QWidget(Panel1);
  paWorkChoice->setObjectName(QStringLiteral("paWorkChoice"));

  Memo2 = new QTextEdit(paWorkChoice);
  Memo2->setObjectName(QStringLiteral("Memo2"));
  Memo2->setReadOnly(true);
  Memo2->setFrameShape(QFrame::NoFrame);
  Memo2->setFocusPolicy(Qt::NoFocus);
  Memo2->setFixedSize(300, 64);
  Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QFont bold = Memo2->font();
  bold.setBold(true);
  Memo2->setFont(bold);
  QPalette palette = Memo2->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  Memo2->setPalette(palette);
  QStringList instruction;
  for (const char* line : kInstructionLines) instruction << QString::fromUtf8(line);
  Memo2->setPlainText(instruction.join(QLatin1Char('\n')));
  Memo2->selectAll();
  Memo2->setAlignment(Qt::AlignHCenter);
  Memo2->moveCursor(QTextCursor::Start);

  sbEditProject = NewConversionButton("sbEditProject", QStringLiteral("1) daygroups.ptf erstellen"),
                                      &trivo::sbEditProjectClick);
  sbEditStations = NewConversionButton(
      "sbEditStations", QStringLiteral("2) stations.ptf erstellen"), &trivo::sbEditStationsClick);
  sbEditLines = NewConversionButton("sbEditLines", QStringLiteral("3) lines.ptf erstellen"),
                                    &trivo::sbEditLinesClick);
  sbAssignStations =
      NewConversionButton("sbAssignStations", QStringLiteral("4) line_stations.ptf erstellen"),
                          &trivo::sbAssignStationsClick);
  sbEditTimeTable =
      NewConversionButton("sbEditTimeTable", QStringLiteral("5) Fahrplan-Dateien (PTF) erstellen"),
                          &trivo::sbEditTimeTableClick);

  Memo1 = new QPlainTextEdit(paWorkChoice);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(8);
  buttons->addWidget(Memo2);
  for (QPushButton* button :
       {sbEditProject, sbEditStations, sbEditLines, sbAssignStations, sbEditTimeTable}) {
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  auto* work = new QHBoxLayout(paWorkChoice);
  work->setContentsMargins(8, 8, 8, 8);
  work->addLayout(buttons);
  work->addWidget(Memo1, 1);

  auto* panel = new QVBoxLayout(Panel1);
  panel->setContentsMargins(0, 0, 0, 0);
  panel->addWidget(paWorkChoice);
  paWorkChoice->setVisible(false);
}

void TfmMain::FormCreate() {
  windows_.ui.SetDialogParent(this);
  windows_.ui.SetLogSink([this](const QString& line) { Memo1->appendPlainText(line); });
  GetProgInfo();
  if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TfmMain::GetProgInfo() {
  trivo::AppInfo& app = ctx_.app;
  const QString exe = QCoreApplication::applicationFilePath();
  app.ExeFileName = ToCorePath(exe);
  app.AppName = "Trivo Editor";
  app.DefaultProjectFile =
      ToCorePath(QFileInfo(exe).absolutePath() + QStringLiteral("/default.tvp"));
  app.AppEdition = "Standard";
  app.AppVersion = kBuildVersion;
}

bool TfmMain::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

// The open button's long hint is empty: resting on it empties the status line.
bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SpeedButton2 && event->type() == QEvent::Enter) {
    ShowHint(SpeedButton2->statusTip());
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfmMain::ShowHint(const QString& longHint) {
  StatusLine->showMessage(longHint);
}

void TfmMain::Run(const std::function<void()>& command) {
  RunCommand(windows_.ui, command);
}

bool TfmMain::ProjectLoaded() const {
  return !ctx_.ProjectFileName.empty();
}

QString TfmMain::AskFileName(FileDialogKind kind, const QString& fileName) {
  if (!windows_.dialogs.askFileName) return {};
  const QString chosen = windows_.dialogs.askFileName(kind, this, fileName);
  return chosen.isEmpty() ? QString() : TakeChosenFile(chosen);
}

QString TfmMain::TakeChosenFile(const QString& chosen) {
  const QString path = QFileInfo(chosen).absoluteFilePath();
  ctx_.WorkingDir = ToCorePath(FolderOf(path));
  return path;
}

void TfmMain::ReadProjectFile(const QString& path) {
  const trivo::ProjectReadResult result = trivo::ReadProjectFile(ctx_.PrjParams, ToCorePath(path));
  if (result.dayGroupsReplaced) windows_.fmEditProject->SetDayGroups();
  windows_.fmEditProject->ShowMaxDriveMinutes();
}

void TfmMain::FileOpen() {
  const QString path = AskFileName(FileDialogKind::Open, openDialogFileName_);
  if (path.isEmpty()) return;
  openDialogFileName_ = path;
  LoadProject(path);
}

void TfmMain::OpenProjectFile(const QString& file) {
  const QString path = TakeChosenFile(file);
  openDialogFileName_ = path;
  LoadProject(path);
}

void TfmMain::FileExit() {
  close();
}

void TfmMain::LoadProject(const QString& path) {
  Run([&] {
    const trivo::ProjectReadResult result = trivo::LoadProject(ctx_, ToCorePath(path));
    if (result.dayGroupsReplaced) windows_.fmEditProject->SetDayGroups();
    windows_.fmEditProject->ShowMaxDriveMinutes();
    const QString loaded = FromCorePath(ctx_.ProjectFileName);
    saveDialogFileName_ = loaded;
    setWindowTitle(BaseCaption() + QStringLiteral(":   [") + loaded + QStringLiteral("]"));
    paWorkChoice->setVisible(true);
    ShowConversionButtons(trivo::ProjectStage::Opened);
  });
}

void TfmMain::StartNewProject() {
  ReadProjectFile(FromCorePath(ctx_.app.DefaultProjectFile));
  ctx_.ProjectFileName.clear();
  saveDialogFileName_.clear();
  setWindowTitle(NewProjectCaption());
}

void TfmMain::FileNew() {
  Run([&] {
    StartNewProject();
    windows_.dialogs.execModal(*windows_.DlgFirstSave);

    const QString path = AskFileName(FileDialogKind::Save, saveDialogFileName_);
    if (path.isEmpty()) {
      paWorkChoice->setVisible(false);
      return;
    }
    SaveAs(path, trivo::SaveNewProject);
    paWorkChoice->setVisible(true);
    ShowConversionButtons(trivo::ProjectStage::NewSaved);
  });
}

void TfmMain::NewProject() {
  Run([&] {
    StartNewProject();
    windows_.DlgFirstSave->show();
    paWorkChoice->setVisible(true);
    ShowConversionButtons(trivo::ProjectStage::NewStarted);
  });
}

bool TfmMain::FileSave() {
  if (!ProjectLoaded()) return FileSaveAs();
  return RunCommand(windows_.ui, [&] { trivo::WriteProjectFile(ctx_, ctx_.ProjectFileName); });
}

bool TfmMain::FileSaveAs() {
  bool saved = false;
  Run([&] {
    const QString path = AskFileName(FileDialogKind::Save, saveDialogFileName_);
    if (path.isEmpty()) return;
    SaveAs(path, trivo::SaveProjectAs);
    saved = true;
  });
  return saved;
}

void TfmMain::SaveAs(const QString& path, void (*save)(trivo::Context&, const std::string&)) {
  saveDialogFileName_ = path;
  save(ctx_, ToCorePath(path));
  openDialogFileName_ = path;
  setWindowTitle(SavedProjectCaption(path));
}

void TfmMain::ShowConversionButtons(trivo::ProjectStage stage) {
  const trivo::ConversionButtonStates states = trivo::ConversionButtonsFor(stage);
  const std::pair<QPushButton*, std::optional<bool>> buttons[] = {
      {sbEditProject, states.editProject},
      {sbEditStations, states.editStations},
      {sbEditLines, states.editLines},
      {sbAssignStations, states.assignStations},
      {sbEditTimeTable, states.editTimeTable}};
  for (const auto& [button, enabled] : buttons) {
    if (enabled) button->setEnabled(*enabled);
  }
}

bool TfmMain::RequireProject() {
  if (ProjectLoaded()) return true;
  windows_.ui.ShowMessageText(FromCp1252(trivo::msg::NoProjectLoaded()));
  return false;
}

void TfmMain::sbMakeClick() {
  if (!RequireProject()) return;
  ErstellenButtonClick();
}

void TfmMain::SpeedButton3Click() {
  if (!RequireProject()) return;
  Run([&] { windows_.dialogs.execModal(*windows_.fmQuery); });
}

void TfmMain::ShowRoute() {
  if (!RequireProject()) return;
  BringToFront(*windows_.fmRoute);
}

void TfmMain::ErstellenButtonClick() {
  Run([&] { windows_.dialogs.execModal(*windows_.fmMake); });
}

void TfmMain::WebAnsichtButtonClick() {
  Run([&] { windows_.fmWebCopy->ShowWithoutWaiting(); });
}

void TfmMain::ShowPreview() {
  Run([&] {
    const std::optional<std::filesystem::path> page = trivo::WriteProjectPreview(ctx_);
    if (page) windows_.Preview().ShowPage(FromCorePath(page->string()));
  });
}

void TfmMain::ShowStopTimetables() {
  if (!RequireProject()) return;
  TfmStopTimetables& window = windows_.StopTimetables();
  if (!window.Reload()) return;
  BringToFront(window);
}

void TfmMain::ShowGtfsExport() {
  if (fmGtfsExport == nullptr) fmGtfsExport = new TfmGtfsExport(ctx_, windows_.ui, this);
  fmGtfsExport->ShowForProject();
}

void TfmMain::ShowGtfsImport() {
  TfmGtfsImport& window = windows_.GtfsImport();
  BringToFront(window);
}

void TfmMain::ShowEditProject() {
  BringToFront(*windows_.fmEditProject);
}

void TfmMain::ShowCheck() {
  if (!RequireProject()) return;
  TfmCheck& check = windows_.Check();
  check.RunCheck();
  BringToFront(check);
}

void TfmMain::ShowEditTimeTable() {
  if (!RequireProject()) return;
  BringToFront(*windows_.fmEditTimeTable);
}

}  // namespace trivo::gui

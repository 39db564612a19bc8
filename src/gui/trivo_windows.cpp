#include "trivo_windows.h"

#include "dlg_first_save.h"
#include "tfm_check.h"
#include "tfm_edit_project.h"
#include "tfm_edit_time_table.h"
#include "tfm_gtfs_import.h"
#include "tfm_main.h"
#include "tfm_make.h"
#include "tfm_preview.h"
#include "tfm_query.h"
#include "tfm_route.h"
#include "tfm_stop_timetables.h"
#include "tfm_web_copy.h"

namespace trivo::gui {

TrivoWindows::TrivoWindows() : dm1(ctx.dm1) {
  // PrjParams starts with no day groups and the default drive time of 720 minutes.
  fmMain = std::make_unique<TfmMain>(*this);
  fmEditProject = new TfmEditProject(ctx, ui, fmMain.get());
  fmEditProject->saveProject = [this] { return fmMain->FileSave(); };
  DlgFirstSave = new TDlgFirstSave(fmMain.get());
  fmEditTimeTable = new TfmEditTimeTable(ctx, ui, fmMain.get());
  fmWebCopy = new TfmWebCopy(ui, fmMain.get());
  fmMake = new TfmMake(ctx, fmMain.get());
  fmQuery = new TfmQuery(ctx, ui, fmMain.get());
  fmRoute = new TfmRoute(ctx, ui, fmMain.get());

  // The editor pastes the block selected in the web copy window's work grid, and the web
  // copy window scores the tables of a page against the editor's stations.
  fmEditTimeTable->showWebCopy = [this] { fmWebCopy->ShowWithoutWaiting(); };
  fmEditTimeTable->closeWebCopy = [this] { fmWebCopy->close(); };
  fmEditTimeTable->execModal = [this](QDialog& dialog) { return dialogs.execModal(dialog); };
  fmEditTimeTable->workGridSelection = [this] {
    const trivo::WebCopy& work = fmWebCopy->model();
    const std::optional<trivo::GridRect> selection = work.Selection();
    return selection ? TfmEditTimeTable::WorkGridSelection{&work.sgWorkGrid, *selection}
                     : TfmEditTimeTable::WorkGridSelection{};
  };
  fmWebCopy->SetEditorGrid(
      [this]() -> const trivo::StringGrid& { return fmEditTimeTable->model().sgTimeTable(); });
}

TfmStopTimetables& TrivoWindows::StopTimetables() {
  if (fmStopTimetables_ == nullptr)
    fmStopTimetables_ = new TfmStopTimetables(ctx, ui, fmMain.get());
  return *fmStopTimetables_;
}

TfmPreview& TrivoWindows::Preview() {
  if (fmPreview_ == nullptr) fmPreview_ = new TfmPreview(fmMain.get());
  return *fmPreview_;
}

TfmCheck& TrivoWindows::Check() {
  if (fmCheck_ == nullptr) {
    fmCheck_ = new TfmCheck(ctx, ui, fmMain.get());
    fmCheck_->openTimetable = [this](const trivo::TimetablePlace& place) {
      fmMain->ShowEditTimeTable();
      fmEditTimeTable->OpenTimetable(place.lineName, place.dayGroupName, place.direction,
                                     {place.col, place.row});
    };
  }
  return *fmCheck_;
}

TfmGtfsImport& TrivoWindows::GtfsImport() {
  if (fmGtfsImport_ == nullptr) {
    fmGtfsImport_ = new TfmGtfsImport(
        ctx, ui, [this](const QString& projectFile) { fmMain->OpenProjectFile(projectFile); },
        fmMain.get());
  }
  return *fmGtfsImport_;
}

TrivoWindows::~TrivoWindows() {
  ui.SetLogSink({});
  ui.SetDialogParent(nullptr);
  fmMain.reset();
}

}  // namespace trivo::gui

#pragma once

#include <memory>

#include "dialog_hooks.h"
#include "gui_user_interface.h"
#include "project/context.h"

namespace trivo::gui {

class TfmMain;
class TfmEditProject;
class TDlgFirstSave;
class TfmEditTimeTable;
class TfmWebCopy;
class TfmMake;
class TfmQuery;
class TfmRoute;
class TfmPreview;
class TfmStopTimetables;
class TfmCheck;
class TfmGtfsImport;

// The running program: its state (the Context with PrjParams and the data module dm1)
// and its windows, created in the start-up order: fmMain, fmEditProject, DlgFirstSave,
// fmEditTimeTable, fmWebCopy, fmMake, fmQuery, fmRoute, and last dm1, whose working tables are
// absent until a command first uses them. All live until the set is destroyed; only the
// main window is shown, by the caller.
class TrivoWindows {
 public:
  TrivoWindows();
  ~TrivoWindows();
  TrivoWindows(const TrivoWindows&) = delete;
  TrivoWindows& operator=(const TrivoWindows&) = delete;

  GuiUserInterface ui;
  DialogHooks dialogs = DialogHooks::Platform();
  trivo::Context ctx{ui};

  // fmMain owns the other windows as its children.
  std::unique_ptr<TfmMain> fmMain;
  TfmEditProject* fmEditProject = nullptr;
  TDlgFirstSave* DlgFirstSave = nullptr;
  TfmEditTimeTable* fmEditTimeTable = nullptr;
  TfmWebCopy* fmWebCopy = nullptr;
  TfmMake* fmMake = nullptr;
  TfmQuery* fmQuery = nullptr;
  // "Fahrplanauskunft", the passenger search.
  TfmRoute* fmRoute = nullptr;
  trivo::Tdm1& dm1;

  // The preview window, created when it is first needed: its embedded browser is costly
  // to start.
  TfmPreview& Preview();
  // The departure posters' window, created when it is first needed.
  TfmStopTimetables& StopTimetables();
  // The project check "Projekt prüfen", created when it is first needed.
  TfmCheck& Check();
  // The GTFS import window, created when it is first needed; it opens the project it
  // made in the main window.
  TfmGtfsImport& GtfsImport();

 private:
  TfmPreview* fmPreview_ = nullptr;
  TfmStopTimetables* fmStopTimetables_ = nullptr;
  TfmCheck* fmCheck_ = nullptr;
  TfmGtfsImport* fmGtfsImport_ = nullptr;
};

}  // namespace trivo::gui

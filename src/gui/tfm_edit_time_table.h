#pragma once

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <functional>
#include <optional>

#include "common/grid_rect.h"
#include "common/string_grid.h"
#include "dlg_repeat_trip.h"
#include "editor/edit_timetable.h"
#include "gui_user_interface.h"
#include "project/context.h"
#include "time_table_view.h"

namespace trivo::gui {

// "Fahrplan bearbeiten": one line's timetable for one day group and direction in a grid.
// The window shows the core editor's state and forwards every action to it.
class TfmEditTimeTable : public QDialog {
  Q_OBJECT

 public:
  TfmEditTimeTable(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent = nullptr);

  trivo::EditTimeTable& model() { return editor_; }

  // The web copy window, set by the program: showing it, closing it, and its work grid
  // with the selected rectangle (none while the window does not exist).
  struct WorkGridSelection {
    const trivo::StringGrid* grid = nullptr;
    trivo::GridRect selection;
  };
  std::function<void()> showWebCopy;
  std::function<void()> closeWebCopy;
  std::function<WorkGridSelection()> workGridSelection;
  // Shows a dialog modally and gives its result (set by the program; tests replace it).
  std::function<int(QDialog& dialog)> execModal;

  // The menu "Bearbeiten": undo and redo of the grid's changes, and the trip columns.
  QMenuBar* MenuBar;
  QMenu* EditMenu;
  QAction* UndoItem;
  QAction* RedoItem;
  QAction* InsertTripItem;
  QAction* DeleteTripItem;
  QAction* RepeatTripItem;
  TDlgRepeatTrip* DlgRepeatTrip;

  QWidget* pLineChoice;
  QLabel* Label2;
  QComboBox* cbLines;
  QLabel* Label4;
  QComboBox* cbDays;
  QLabel* Label3;
  QComboBox* cbDirection;
  QPushButton* btTimeTableEdit;
  QWidget* pTimeTableEdit;
  QPushButton* bbWebCopy;
  QToolButton* sbCopyMode;
  QPushButton* sbPaste;
  TimeTableView* sgTimeTable;
  QPushButton* btSave;
  QPushButton* btCancel;
  QPushButton* btClose;

  // Shows the core's state: lists, modes, buttons.
  void ShowState();

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Run(const std::function<void()>& action);
  void FormShow();
  void ShowList(QComboBox* box, const trivo::ChoiceList& list);
  void CreateEditMenu();
  void RepeatTripClick();

  trivo::Context& ctx_;
  GuiUserInterface& ui_;
  trivo::EditTimeTable editor_;
};

}  // namespace trivo::gui

#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>

#include "check/check_report.h"
#include "gui_user_interface.h"
#include "project/context.h"

namespace trivo::gui {

// "Projekt prüfen": every problem of the loaded project in one list, sorted by file; a
// double click on a timetable problem opens the editor at that line, day group,
// direction and cell. Shown without waiting, so that the list stays beside the editor.
class TfmCheck : public QDialog {
  Q_OBJECT

 public:
  TfmCheck(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent = nullptr);

  // Runs the check and shows its problems.
  void RunCheck();
  const trivo::CheckReport& report() const { return report_; }

  // Opens the editor at a problem's timetable cell (set by the program).
  std::function<void(const trivo::TimetablePlace& place)> openTimetable;

  QTreeWidget* lvProblems;
  QLabel* lbCount;
  QPushButton* btCheckAgain;
  QPushButton* btClose;

 private:
  void OpenProblem(QTreeWidgetItem* item);

  trivo::Context& ctx_;
  GuiUserInterface& ui_;
  trivo::CheckReport report_;
};

}  // namespace trivo::gui

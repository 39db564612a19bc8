#pragma once

#include <QDialog>

#include "analysis/query_model.h"
#include "gui_user_interface.h"
#include "project/context.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimeEdit;
class QTreeWidget;

namespace trivo::gui {

class DistanceGridModel;

// The connection-query window "Verbindugns-Abfrage": every showing loads the project's
// network (stations, lines, distance matrix, transfer stations); "Abfrage starten"
// searches connections between the chosen stations and ranks their trips after the start
// time. Shown modally by the main window; closing hides it, and the search trees, found
// connections and memos keep their contents.
class TfmQuery : public QDialog {
  Q_OBJECT

 public:
  TfmQuery(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent = nullptr);
  ~TfmQuery() override;

  const trivo::QueryModel& model() const { return model_; }

  void FormShow();
  void btStartQueryClick();
  void cbStartTimeClick();
  void cbEndTimeClick();

  QLabel* Label1;
  QComboBox* cbStartStation;
  QLabel* Label2;
  QComboBox* cbZielStation;
  QCheckBox* cbStartTime;
  QDateEdit* dtpStartDate;
  QTimeEdit* dtpStartTime;
  QCheckBox* cbEndTime;
  QDateEdit* dtpEndDate;
  QTimeEdit* dtpEndTime;
  QPushButton* btStartQuery;
  QTreeWidget* tvStart;
  QTreeWidget* tvZiel;
  QPlainTextEdit* Memo1;
  QPlainTextEdit* mSearchDistances;
  QPlainTextEdit* mZeiten;
  QPlainTextEdit* mReadyConnections;
  QTableView* StringGrid1;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowStationChoosers();
  void ShowTimeBoxes();
  void ShowSearch();

  trivo::Context& ctx_;
  GuiUserInterface& ui_;
  trivo::QueryModel model_;
  DistanceGridModel* gridModel_;
};

}  // namespace trivo::gui

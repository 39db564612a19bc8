#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <utility>

#include "editor/edit_timetable.h"

namespace trivo::gui {

// The trip cells of the editor grid (grid columns from 2, grid rows from 2) as a Qt
// model. It only reads the core grid: texts, invalid cells in red, the cream shading of
// alternate data rows in edit mode.
class TimeTableGridModel : public QAbstractTableModel {
 public:
  explicit TimeTableGridModel(const trivo::EditTimeTable& editor, QObject* parent = nullptr)
      : QAbstractTableModel(parent), editor_(editor) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // The cell editor forwards every edit as it happens; nothing is written on commit.
  bool setData(const QModelIndex&, const QVariant&, int) override { return false; }

  void Reload();
  void CellsChanged(const trivo::GridRect& rect);
  QModelIndex IndexOf(trivo::CellPos cell) const;
  static trivo::CellPos CellOf(const QModelIndex& index);

 private:
  const trivo::EditTimeTable& editor_;
};

// sgTimeTable: the grid with its fixed parts (trip numbers in the column headings, pair
// markers and station names in the row headings), the cell editor that is always shown
// on the current cell, range selection, trip columns dragged by their heading and the
// veto on leaving a cell. Every user action is forwarded to the core editor through
// `run`, which shows an error that ends it; the view then shows the core's state again.
class TimeTableView : public QTableView {
 public:
  using Runner = std::function<void(const std::function<void()>&)>;

  TimeTableView(trivo::EditTimeTable& editor, Runner run, QWidget* parent = nullptr);

  // Runs a core action and shows what it changed.
  void Forward(const std::function<void()>& action);
  // Shows the core's state: changed cells, the current cell, the cell editor.
  void SyncFromCore();
  // Forwards a character key (Enter is '\r', Backspace '\b'); whether it goes on to the
  // cell editor.
  bool ForwardKey(const QString& text);
  // Moves the current cell by Tab (next) or Backtab (previous), row by row.
  void ForwardTab(bool backwards);
  TimeTableGridModel& gridModel() { return model_; }
  // The first and last trip column of the selection, or the current column twice when
  // the selection is not around the current cell.
  std::pair<int, int> SelectedTripColumns() const;

  // Called after every forwarded action, so the window shows the modes and buttons.
  std::function<void()> stateChanged;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  void ShowCellEditor();

  trivo::EditTimeTable& editor_;
  Runner run_;
  TimeTableGridModel model_;
  QPersistentModelIndex editorIndex_;  // the cell the cell editor is open on
  bool syncing_ = false;
};

}  // namespace trivo::gui

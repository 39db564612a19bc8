#pragma once

#include <QAbstractTableModel>

#include "analysis/distance_grid.h"

namespace trivo::gui {

// The query window's matrix grid for a QTableView: the grid's fixed row and column are the
// view's headers (the station names), every other cell the minutes between two stations.
// Texts are made when the view asks for them, so a large matrix opens at once.
class DistanceGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit DistanceGridModel(const trivo::DistanceGrid& grid, QObject* parent = nullptr);

  // Call after the core replaced the grid.
  void Refresh();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  const trivo::DistanceGrid& grid_;
};

}  // namespace trivo::gui

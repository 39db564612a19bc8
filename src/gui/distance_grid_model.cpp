#include "distance_grid_model.h"

#include "text_codec.h"

namespace trivo::gui {

DistanceGridModel::DistanceGridModel(const trivo::DistanceGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

void DistanceGridModel::Refresh() {
  beginResetModel();
  endResetModel();
}

int DistanceGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.RowCount() - grid_.FixedRows();
}

int DistanceGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.ColCount() - grid_.FixedCols();
}

QVariant DistanceGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  return FromCp1252(
      grid_.Cell(index.column() + grid_.FixedCols(), index.row() + grid_.FixedRows()));
}

QVariant DistanceGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  // Long names keep their beginning readable in narrow columns.
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  return orientation == Qt::Horizontal ? FromCp1252(grid_.Cell(section + grid_.FixedCols(), 0))
                                       : FromCp1252(grid_.Cell(0, section + grid_.FixedRows()));
}

}  // namespace trivo::gui

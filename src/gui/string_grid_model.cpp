#include "string_grid_model.h"

#include "text_codec.h"

namespace trivo::gui {

QString GridCellText(std::string_view text) {
  QString shown = FromCp1252(text);
  for (QChar& c : shown) {
    if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
      c = QLatin1Char(' ');
    }
  }
  return shown;
}

StringGridModel::StringGridModel(const trivo::StringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

int StringGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.RowCount();
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.ColCount();
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  return GridCellText(grid_.Cell(index.column(), index.row()));
}

void StringGridModel::Refresh() {
  beginResetModel();
  endResetModel();
}

}  // namespace trivo::gui

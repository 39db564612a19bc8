#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <string_view>

#include "common/string_grid.h"

namespace trivo::gui {

// A cell text as a grid shows it: on one line, with tabs and line breaks drawn as blanks.
QString GridCellText(std::string_view text);

// Shows a core string grid in a QTableView, read-only: its ColCount columns and RowCount
// rows, each cell's text decoded from Windows-1252. The grid stays the one source of the
// contents; Refresh() after the grid changed.
class StringGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  StringGridModel(const trivo::StringGrid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Reads the grid again after it changed size or content.
  void Refresh();

 private:
  const trivo::StringGrid& grid_;
};

}  // namespace trivo::gui

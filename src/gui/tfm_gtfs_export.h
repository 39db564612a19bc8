#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <functional>

#include "gui_user_interface.h"
#include "project/context.h"

namespace trivo::gui {

// "GTFS exportieren": the project's [gtfs] settings, the route type of every line, a grid
// of the stations that still lack a position, and "Exportieren", which saves what was
// entered (the settings into the project file, the positions into station_positions.csv),
// asks for the ZIP file and writes the feed; the export's report is listed below. The
// work is the core's; the window only shows and collects it.
class TfmGtfsExport : public QDialog {
  Q_OBJECT

 public:
  TfmGtfsExport(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent = nullptr);

  // Fills the controls from the loaded project and shows the window.
  void ShowForProject();
  // Saves the settings and the positions entered; false (after saying why) when an entry
  // cannot be saved.
  bool btSaveClick();
  // btSaveClick, then the file dialog, then the export.
  void btExportClick();

  // The file dialog for the feed; tests replace it. Empty: cancelled.
  std::function<QString(QWidget* parent, const QString& suggested)> askTarget;

  QLineEdit* leAgencyName;
  QLineEdit* leAgencyUrl;
  QLineEdit* leAgencyTimezone;
  QLineEdit* leAgencyLang;
  QLineEdit* leStartDate;
  QLineEdit* leEndDate;
  QLineEdit* leHolidays;
  QLineEdit* leHolidayDayGroup;
  QTableWidget* sgRouteTypes;  // Linie | Routentyp
  QTableWidget* sgPositions;   // Station | Breite | Länge
  QCheckBox* cbExpandIntervals;
  QPushButton* btSave;
  QPushButton* btExport;
  QListWidget* lbReport;

 private:
  void Fill();
  trivo::Context& ctx_;
  GuiUserInterface& ui_;
};

}  // namespace trivo::gui

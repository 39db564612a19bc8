#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <functional>

#include "gui_user_interface.h"
#include "project/context.h"
#include "project/project_rules.h"

namespace trivo::gui {

// The project settings window: shows and extends the project's day groups and edits the
// maximum drive time between two stations. It works directly on PrjParams.
class TfmEditProject : public QDialog {
  Q_OBJECT

 public:
  TfmEditProject(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent = nullptr);

  // Writes the project file; false when nothing was written (no file chosen, an error).
  // The program sets it to the main window's FileSave.
  std::function<bool()> saveProject;

  // Refreshes the day-group column from PrjParams.
  void SetDayGroups();
  // Shows MaxDriveMinutes in decimal in leMaxDriveMinutes.
  void ShowMaxDriveMinutes();
  void ReadProjectParams();
  void EditOn();
  void EditOff();
  bool InEditMode() const;

  void btSaveClick();
  void btCancelClick();
  void btCloseClick();
  void btAddDayGroupClick();
  void cbDayGroupsChange();

  QPushButton* btSave;
  QPushButton* btCancel;
  QPushButton* btClose;
  QTabWidget* pcRubrik;
  QWidget* tsStationOptions;
  QGroupBox* gbStationFields;
  QCheckBox* cbPrjGeoPosition;
  QCheckBox* cbPrjTarifZone;
  QCheckBox* cbPrjTarifRing;
  QWidget* tsLineOptions;
  QWidget* tsDays;
  QGroupBox* GroupBox1;
  QLineEdit* leNewDaysName;
  QLineEdit* leNewDaysText;
  QListWidget* lbAllDays;
  QPushButton* btAddDayGroup;
  QLabel* StaticText1;
  QComboBox* cbDayGroups;
  QLineEdit* leDayGroupText;
  QListWidget* lbDayGroups;
  QWidget* tsTimeTable;
  QGroupBox* GroupBox2;
  QLineEdit* leMaxDriveMinutes;
  QLineEdit* leMaxOverlapMinutes;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildStationTab();
  void BuildDaysTab();
  void BuildTimeTableTab();
  void ShowDayGroup(const trivo::TDayGroupItem& group);
  void ReadMaxDriveMinutes();
  bool SaveToProjectFileName();

  trivo::Context& ctx_;
  GuiUserInterface& ui_;
  trivo::SettingsEditMode editMode_;
};

}  // namespace trivo::gui

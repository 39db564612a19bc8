#pragma once

#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>

#include "editor/edit_timetable.h"

namespace trivo::gui {

// "Fahrt wiederholen": every how many minutes the selected trips are copied, and until
// which last departure or how many times.
class TDlgRepeatTrip : public QDialog {
  Q_OBJECT

 public:
  explicit TDlgRepeatTrip(QWidget* parent = nullptr);

  QSpinBox* edEvery;
  QRadioButton* rbUntil;
  QTimeEdit* teUntil;
  QRadioButton* rbCount;
  QSpinBox* edCount;
  QPushButton* btOk;
  QPushButton* btCancel;

  trivo::TripRepeat Repeat() const;
};

}  // namespace trivo::gui

#include "dlg_repeat_trip.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "new_button.h"

namespace trivo::gui {

TDlgRepeatTrip::TDlgRepeatTrip(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DlgRepeatTrip"));
  setWindowTitle(QStringLiteral("Fahrt wiederholen"));

  edEvery = new QSpinBox(this);
  edEvery->setObjectName(QStringLiteral("edEvery"));
  edEvery->setRange(1, 1439);
  edEvery->setValue(10);
  edEvery->setSuffix(QStringLiteral(" Min"));
  rbUntil = new QRadioButton(QStringLiteral("bis zur letzten Abfahrt um"), this);
  rbUntil->setObjectName(QStringLiteral("rbUntil"));
  teUntil = new QTimeEdit(QTime(23, 59), this);
  teUntil->setObjectName(QStringLiteral("teUntil"));
  teUntil->setDisplayFormat(QStringLiteral("HH:mm"));
  rbCount = new QRadioButton(QStringLiteral("Anzahl der Wiederholungen"), this);
  rbCount->setObjectName(QStringLiteral("rbCount"));
  rbCount->setChecked(true);
  edCount = new QSpinBox(this);
  edCount->setObjectName(QStringLiteral("edCount"));
  edCount->setRange(1, 2000);
  edCount->setValue(1);
  teUntil->setEnabled(false);
  connect(rbUntil, &QRadioButton::toggled, teUntil, &QWidget::setEnabled);
  connect(rbCount, &QRadioButton::toggled, edCount, &QWidget::setEnabled);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Abstand:"), edEvery);
  form->addRow(rbUntil, teUntil);
  form->addRow(rbCount, edCount);

  btOk = NewButton(this, "btOk", QStringLiteral("OK"));
  btOk->setDefault(true);
  btCancel = NewButton(this, "btCancel", QStringLiteral("Abbrechen"));
  connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btOk);
  buttons->addWidget(btCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("Die gewählten Fahrten werden als ein Muster im Abstand wiederholt;\n"
                     "jede Kopie kommt an ihren Platz in der Reihenfolge der Abfahrten."),
      this));
  layout->addLayout(form);
  layout->addLayout(buttons);
}

trivo::TripRepeat TDlgRepeatTrip::Repeat() const {
  trivo::TripRepeat repeat;
  repeat.everyMinutes = edEvery->value();
  if (rbUntil->isChecked()) {
    const QTime until = teUntil->time();
    repeat.untilMinutes = until.hour() * 60 + until.minute();
  } else {
    repeat.copies = edCount->value();
  }
  return repeat;
}

}  // namespace trivo::gui

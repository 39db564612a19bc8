#include "tfm_check.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "check/project_check.h"
#include "command_guard.h"
#include "new_button.h"
#include "text_codec.h"

namespace trivo::gui {

namespace {

QString Number(int value) {
  return value > 0 ? QString::number(value) : QString();
}

}  // namespace

TfmCheck::TfmCheck(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui_(ui) {
  setObjectName(QStringLiteral("fmCheck"));
  setWindowTitle(QStringLiteral("Projekt prüfen"));
  resize(900, 500);

  lvProblems = new QTreeWidget(this);
  lvProblems->setObjectName(QStringLiteral("lvProblems"));
  lvProblems->setRootIsDecorated(false);
  lvProblems->setUniformRowHeights(true);
  lvProblems->setHeaderLabels({QStringLiteral("Datei"), QStringLiteral("Abschnitt"),
                               QStringLiteral("Zeile"), QStringLiteral("Spalte"),
                               QStringLiteral("Art"), QStringLiteral("Meldung")});
  lvProblems->header()->setStretchLastSection(true);
  connect(lvProblems, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { OpenProblem(item); });
  lbCount = new QLabel(this);
  lbCount->setObjectName(QStringLiteral("lbCount"));
  btCheckAgain = NewButton(this, "btCheckAgain", QStringLiteral("Erneut prüfen"));
  btClose = NewButton(this, "btClose", QStringLiteral("Schließen"));
  connect(btCheckAgain, &QPushButton::clicked, this, [this] { RunCheck(); });
  connect(btClose, &QPushButton::clicked, this, &QDialog::close);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lbCount, 1);
  buttons->addWidget(btCheckAgain);
  buttons->addWidget(btClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lvProblems, 1);
  layout->addLayout(buttons);
}

void TfmCheck::RunCheck() {
  RunCommand(ui_, [this] { report_ = trivo::CheckProject(ctx_); });
  lvProblems->clear();
  const std::vector<trivo::CheckProblem>& problems = report_.Problems();
  QList<QTreeWidgetItem*> items;
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const trivo::CheckProblem& problem = problems[i];
    const bool error = problem.severity == trivo::CheckSeverity::Error;
    auto* item = new QTreeWidgetItem({FromCp1252(problem.file), FromCp1252(problem.section),
                                      Number(problem.row), Number(problem.column),
                                      error ? QStringLiteral("Fehler") : QStringLiteral("Warnung"),
                                      FromCp1252(problem.text)});
    item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
    if (problem.place) {
      item->setToolTip(5, QStringLiteral("Doppelklick öffnet den Fahrplan an dieser Stelle"));
    }
    items << item;
  }
  lvProblems->addTopLevelItems(items);
  for (int c = 0; c < 5; ++c) lvProblems->resizeColumnToContents(c);
  lbCount->setText(FromCp1252(trivo::CountLine(report_)));
}

void TfmCheck::OpenProblem(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  const auto index = item->data(0, Qt::UserRole).toULongLong();
  if (index >= report_.Problems().size()) return;
  const trivo::CheckProblem& problem = report_.Problems()[index];
  if (problem.place && openTimetable) openTimetable(*problem.place);
}

}  // namespace trivo::gui

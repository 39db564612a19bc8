#include "tfm_gtfs_import.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "command_guard.h"
#include "gtfs/gtfs_import.h"
#include "gtfs/service_days.h"
#include "gui_user_interface.h"
#include "path_text.h"
#include "text_codec.h"

namespace trivo::gui {

namespace {

QWidget* WithButton(QWidget* parent, QLineEdit* edit, QPushButton* button) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(edit, 1);
  layout->addWidget(button);
  return row;
}

}  // namespace

TfmGtfsImport::TfmGtfsImport(trivo::Context& ctx, GuiUserInterface& ui,
                             std::function<void(const QString&)> openProject, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui_(ui), openProject_(std::move(openProject)) {
  setObjectName(QStringLiteral("fmGtfsImport"));
  setWindowTitle(QStringLiteral("GTFS importieren"));
  resize(720, 520);

  leFeed = new QLineEdit(this);
  leFeed->setObjectName(QStringLiteral("leFeed"));
  btFeed = new QPushButton(QStringLiteral("Feed wählen..."), this);
  btFeed->setObjectName(QStringLiteral("btFeed"));
  leFolder = new QLineEdit(this);
  leFolder->setObjectName(QStringLiteral("leFolder"));
  leFolder->setPlaceholderText(QStringLiteral("ein leerer oder neuer Ordner"));
  btFolder = new QPushButton(QStringLiteral("Ordner wählen..."), this);
  btFolder->setObjectName(QStringLiteral("btFolder"));
  leWeek = new QLineEdit(this);
  leWeek->setObjectName(QStringLiteral("leWeek"));
  leWeek->setPlaceholderText(
      QStringLiteral("JJJJ-MM-TT (ein Montag; leer: die erste volle Woche)"));
  btImport = new QPushButton(QStringLiteral("Importieren"), this);
  btImport->setObjectName(QStringLiteral("btImport"));
  mReport = new QPlainTextEdit(this);
  mReport->setObjectName(QStringLiteral("mReport"));
  mReport->setReadOnly(true);
  mReport->setLineWrapMode(QPlainTextEdit::NoWrap);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("GTFS-Feed (ZIP):"), WithButton(this, leFeed, btFeed));
  form->addRow(QStringLiteral("Projektordner:"), WithButton(this, leFolder, btFolder));
  form->addRow(QStringLiteral("Bezugswoche ab:"), leWeek);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(btImport, 0, Qt::AlignLeft);
  layout->addWidget(mReport, 1);

  connect(btFeed, &QPushButton::clicked, this, [this] { btFeedClick(); });
  connect(btFolder, &QPushButton::clicked, this, [this] { btFolderClick(); });
  connect(btImport, &QPushButton::clicked, this, [this] { btImportClick(); });
}

void TfmGtfsImport::btFeedClick() {
  const QString file =
      QFileDialog::getOpenFileName(this, QStringLiteral("GTFS-Feed wählen"), leFeed->text(),
                                   QStringLiteral("GTFS-Feed (*.zip)"));
  if (!file.isEmpty()) leFeed->setText(file);
}

void TfmGtfsImport::btFolderClick() {
  const QString folder = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Ordner für das neue Projekt wählen"), leFolder->text());
  if (!folder.isEmpty()) leFolder->setText(folder);
}

bool TfmGtfsImport::btImportClick() {
  mReport->clear();
  if (leFeed->text().isEmpty() || leFolder->text().isEmpty()) {
    ui_.ShowMessageText(QStringLiteral("Bitte einen GTFS-Feed und einen Ordner wählen."));
    return false;
  }
  trivo::gtfs::ImportOptions options;
  const QString week = leWeek->text().trimmed();
  if (!week.isEmpty()) {
    options.week = trivo::gtfs::ParseIsoDate(week.toStdString());
    if (!options.week || trivo::gtfs::WeekdayOf(*options.week) != 0) {
      ui_.ShowMessageText(QStringLiteral("Die Bezugswoche beginnt an einem Montag: JJJJ-MM-TT."));
      return false;
    }
  }
  trivo::gtfs::ImportResult result;
  const bool ran = RunCommand(ui_, [&] {
    result = trivo::gtfs::ImportGtfs(ctx_, ToCorePath(leFeed->text()), ToCorePath(leFolder->text()),
                                     options);
  });
  if (!ran) return false;
  QStringList lines;
  for (const std::string& line : result.report.Lines()) lines << FromCp1252(line);
  mReport->setPlainText(lines.join(QLatin1Char('\n')));
  if (result.projectFile.empty()) return false;
  if (openProject_) openProject_(FromCorePath(result.projectFile.string()));
  return true;
}

}  // namespace trivo::gui

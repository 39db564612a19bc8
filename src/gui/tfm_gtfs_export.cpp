#include "tfm_gtfs_export.h"

#include "bring_to_front.h"
#include "common/messages.h"
#include "text_codec.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "command_guard.h"
#include "common/comma_list.h"
#include "common/strings.h"
#include "gtfs/gtfs_export.h"
#include "path_text.h"
#include "text_codec.h"

namespace trivo::gui {

namespace {

QLineEdit* NewEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

QTableWidget* NewGrid(QWidget* parent, const char* name, const QStringList& headers) {
  auto* grid = new QTableWidget(0, static_cast<int>(headers.size()), parent);
  grid->setObjectName(QString::fromLatin1(name));
  grid->setHorizontalHeaderLabels(headers);
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->verticalHeader()->setVisible(false);
  return grid;
}

QString CellText(const QTableWidget& grid, int row, int column) {
  const QTableWidgetItem* item = grid.item(row, column);
  return item ? item->text().trimmed() : QString();
}

void SetCell(QTableWidget& grid, int row, int column, const QString& text, bool editable) {
  auto* item = new QTableWidgetItem(text);
  if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  grid.setItem(row, column, item);
}

// A position as the user typed it, read by the rule of station_positions.csv.
std::optional<gtfs::Position> PositionOf(const QString& latitude, const QString& longitude) {
  const std::string line =
      "x=" + ToCp1252Lossy(latitude).append(",").append(ToCp1252Lossy(longitude));
  return gtfs::StationPositions::Parse(line).Find("x");
}

QString DefaultTarget(const trivo::Context& ctx) {
  return FromCorePath(ctx.ProjectFile("gtfs.zip").string());
}

}  // namespace

TfmGtfsExport::TfmGtfsExport(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui_(ui) {
  setObjectName(QStringLiteral("fmGtfsExport"));
  setWindowTitle(QStringLiteral("GTFS exportieren"));
  resize(720, 760);
  askTarget = [](QWidget* owner, const QString& suggested) {
    return QFileDialog::getSaveFileName(owner, QStringLiteral("GTFS-Feed speichern"), suggested,
                                        QStringLiteral("GTFS-Feed (*.zip)"));
  };

  auto* form = new QFormLayout;
  leAgencyName = NewEdit(this, "leAgencyName");
  leAgencyUrl = NewEdit(this, "leAgencyUrl");
  leAgencyTimezone = NewEdit(this, "leAgencyTimezone");
  leAgencyLang = NewEdit(this, "leAgencyLang");
  leStartDate = NewEdit(this, "leStartDate");
  leEndDate = NewEdit(this, "leEndDate");
  leHolidays = NewEdit(this, "leHolidays");
  leHolidayDayGroup = NewEdit(this, "leHolidayDayGroup");
  leStartDate->setPlaceholderText(QStringLiteral("JJJJMMTT"));
  leEndDate->setPlaceholderText(QStringLiteral("JJJJMMTT"));
  leHolidays->setPlaceholderText(QStringLiteral("JJJJMMTT,JJJJMMTT,..."));
  leHolidayDayGroup->setPlaceholderText(QStringLiteral("die Tag-Gruppe nur sonntags"));
  form->addRow(QStringLiteral("Verkehrsunternehmen:"), leAgencyName);
  form->addRow(QStringLiteral("Internet-Adresse:"), leAgencyUrl);
  form->addRow(QStringLiteral("Zeitzone:"), leAgencyTimezone);
  form->addRow(QStringLiteral("Sprache:"), leAgencyLang);
  form->addRow(QStringLiteral("Gültig vom:"), leStartDate);
  form->addRow(QStringLiteral("Gültig bis:"), leEndDate);
  form->addRow(QStringLiteral("Feiertage:"), leHolidays);
  form->addRow(QStringLiteral("Tag-Gruppe an Feiertagen:"), leHolidayDayGroup);

  sgRouteTypes =
      NewGrid(this, "sgRouteTypes",
              {QStringLiteral("Linie"), QStringLiteral("Routentyp (0 Tram, 3 Bus, ...)")});
  sgPositions = NewGrid(
      this, "sgPositions",
      {QStringLiteral("Station ohne Position"), QStringLiteral("Breite"), QStringLiteral("Länge")});
  cbExpandIntervals = new QCheckBox(QStringLiteral("Takte als einzelne Fahrten"), this);
  cbExpandIntervals->setObjectName(QStringLiteral("cbExpandIntervals"));
  btSave = new QPushButton(QStringLiteral("Speichern"), this);
  btSave->setObjectName(QStringLiteral("btSave"));
  btExport = new QPushButton(QStringLiteral("Exportieren"), this);
  btExport->setObjectName(QStringLiteral("btExport"));
  btExport->setDefault(true);
  lbReport = new QListWidget(this);
  lbReport->setObjectName(QStringLiteral("lbReport"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cbExpandIntervals);
  buttons->addStretch();
  buttons->addWidget(btSave);
  buttons->addWidget(btExport);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(new QLabel(QStringLiteral("Routentyp je Linie:"), this));
  layout->addWidget(sgRouteTypes, 2);
  layout->addWidget(new QLabel(QStringLiteral("Positionen (WGS 84, Dezimalgrad):"), this));
  layout->addWidget(sgPositions, 2);
  layout->addLayout(buttons);
  layout->addWidget(new QLabel(QStringLiteral("Bericht:"), this));
  layout->addWidget(lbReport, 2);

  connect(btSave, &QPushButton::clicked, this, [this] { btSaveClick(); });
  connect(btExport, &QPushButton::clicked, this, [this] { btExportClick(); });
}

void TfmGtfsExport::ShowForProject() {
  if (ctx_.ProjectFileName.empty()) {
    ui_.ShowMessageText(FromCp1252(trivo::msg::NoProjectLoaded()));
    return;
  }
  if (!RunCommand(ui_, [this] { Fill(); })) return;
  BringToFront(*this);
}

void TfmGtfsExport::Fill() {
  const gtfs::ExportSetup setup = gtfs::ReadExportSetup(ctx_);
  const gtfs::GtfsSettings& s = setup.settings;
  leAgencyName->setText(FromCp1252(s.agencyName));
  leAgencyUrl->setText(FromCp1252(s.agencyUrl));
  leAgencyTimezone->setText(FromCp1252(s.agencyTimezone));
  leAgencyLang->setText(FromCp1252(s.agencyLang));
  leStartDate->setText(FromCp1252(s.startDate));
  leEndDate->setText(FromCp1252(s.endDate));
  std::string holidays;
  for (const std::string& day : s.holidays) holidays += (holidays.empty() ? "" : ",") + day;
  leHolidays->setText(FromCp1252(holidays));
  leHolidayDayGroup->setText(FromCp1252(s.holidayDayGroup));
  sgRouteTypes->setRowCount(static_cast<int>(setup.lines.size()));
  for (int row = 0; row < sgRouteTypes->rowCount(); ++row) {
    const std::string& line = setup.lines[static_cast<std::size_t>(row)];
    SetCell(*sgRouteTypes, row, 0, FromCp1252(line), false);
    SetCell(*sgRouteTypes, row, 1, QString::number(s.RouteType(line)), true);
  }
  sgPositions->setRowCount(static_cast<int>(setup.stationsWithoutPosition.size()));
  for (int row = 0; row < sgPositions->rowCount(); ++row) {
    SetCell(*sgPositions, row, 0,
            FromCp1252(setup.stationsWithoutPosition[static_cast<std::size_t>(row)]), false);
    SetCell(*sgPositions, row, 1, QString(), true);
    SetCell(*sgPositions, row, 2, QString(), true);
  }
}

bool TfmGtfsExport::btSaveClick() {
  gtfs::GtfsSettings settings;
  std::vector<std::pair<QLineEdit*, std::string*>> texts = {
      {leAgencyName, &settings.agencyName},
      {leAgencyUrl, &settings.agencyUrl},
      {leAgencyTimezone, &settings.agencyTimezone},
      {leAgencyLang, &settings.agencyLang},
      {leStartDate, &settings.startDate},
      {leEndDate, &settings.endDate},
      {leHolidayDayGroup, &settings.holidayDayGroup}};
  for (const auto& [edit, text] : texts) {
    const std::optional<std::string> value = TryToCp1252(edit->text().trimmed());
    if (!value) {
      ui_.ShowMessageText(QStringLiteral("Zeichen, die das Projekt nicht speichern kann: ") +
                          edit->text());
      return false;
    }
    *text = *value;
  }
  for (std::string& day : SplitCommaList(ToCp1252Lossy(leHolidays->text()))) {
    if (!day.empty()) settings.holidays.push_back(std::move(day));
  }
  for (int row = 0; row < sgRouteTypes->rowCount(); ++row) {
    bool isNumber = false;
    const int type = CellText(*sgRouteTypes, row, 1).toInt(&isNumber);
    if (!isNumber || !gtfs::IsGtfsRouteType(type)) {
      ui_.ShowMessageText(QStringLiteral("Kein Routentyp von GTFS für Linie ") +
                          CellText(*sgRouteTypes, row, 0) + QStringLiteral(": ") +
                          CellText(*sgRouteTypes, row, 1));
      return false;
    }
    settings.SetRouteType(ToCp1252Lossy(CellText(*sgRouteTypes, row, 0)), type);
  }
  std::vector<std::pair<std::string, gtfs::Position>> positions;
  for (int row = 0; row < sgPositions->rowCount(); ++row) {
    const QString latitude = CellText(*sgPositions, row, 1);
    const QString longitude = CellText(*sgPositions, row, 2);
    if (latitude.isEmpty() && longitude.isEmpty()) continue;
    const std::optional<gtfs::Position> position = PositionOf(latitude, longitude);
    if (!position) {
      ui_.ShowMessageText(QStringLiteral("Keine Position <Breite>,<Länge> in Dezimalgrad für ") +
                          CellText(*sgPositions, row, 0));
      return false;
    }
    positions.emplace_back(ToCp1252Lossy(CellText(*sgPositions, row, 0)), *position);
  }
  return RunCommand(ui_, [&] {
    gtfs::SaveExportSetup(ctx_, settings, positions);
    Fill();
  });
}

void TfmGtfsExport::btExportClick() {
  if (!btSaveClick()) return;
  const QString target = askTarget ? askTarget(this, DefaultTarget(ctx_)) : QString();
  if (target.isEmpty()) return;
  gtfs::ExportOptions options;
  options.expandIntervals = cbExpandIntervals->isChecked();
  lbReport->clear();
  RunCommand(ui_, [&] {
    const gtfs::ExportResult result = gtfs::ExportGtfs(ctx_, ToCorePath(target), options);
    for (const gtfs::ExportFinding& finding : result.findings) {
      lbReport->addItem(
          (finding.error ? QStringLiteral("[Fehler] ") : QStringLiteral("[Warnung] ")) +
          FromCp1252(finding.text));
    }
    lbReport->addItem(FromCp1252(gtfs::CountsText(result.counts)));
    lbReport->addItem(result.written
                          ? QStringLiteral("Geschrieben: ") + target
                          : QStringLiteral("Kein Feed geschrieben: der Bericht nennt Fehler."));
  });
}

}  // namespace trivo::gui

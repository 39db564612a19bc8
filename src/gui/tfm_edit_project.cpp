#include "tfm_edit_project.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "command_guard.h"
#include "common/messages.h"
#include "common/strings.h"
#include "cp1252_validator.h"
#include "path_text.h"
#include "project/prj_save.h"
#include "text_codec.h"

namespace trivo::gui {

namespace {

// The German weekday names, item i naming weekday bit i.
const char* const kGermanDayNames[] = {"Montag",  "Dienstag",  "Mittwoch", "Donnerstag",
                                       "Freitag", "Sonnabend", "Sonntag"};

QLineEdit* NewEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

// The caption of a labelled edit, named after it.
QLabel* NewEditLabel(const QString& text, QLineEdit* edit, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(edit->objectName() + QStringLiteral("Label"));
  label->setBuddy(edit);
  return label;
}

bool IsDigitOrErase(const QKeyEvent& key) {
  if (key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete) return true;
  const QString text = key.text();
  return text.size() == 1 && text.front() >= QLatin1Char('0') && text.front() <= QLatin1Char('9');
}

// Keys that type nothing into the field: cursor movement, focus change, the dialog's
// default and cancel keys, copying.
bool TypesNothing(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      return true;
    default:
      break;
  }
  if (key.matches(QKeySequence::Copy) || key.matches(QKeySequence::SelectAll)) return true;
  return key.text().isEmpty();
}

}  // namespace

TfmEditProject::TfmEditProject(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui_(ui) {
  setObjectName(QStringLiteral("fmEditProject"));
  setWindowTitle(QStringLiteral("fmEditProject"));
  resize(556, 405);

  pcRubrik = new QTabWidget(this);
  pcRubrik->setObjectName(QStringLiteral("pcRubrik"));
  BuildStationTab();
  tsLineOptions = new QWidget(pcRubrik);
  tsLineOptions->setObjectName(QStringLiteral("tsLineOptions"));
  pcRubrik->addTab(tsLineOptions, QStringLiteral("Linien"));
  BuildDaysTab();
  BuildTimeTableTab();
  pcRubrik->setCurrentWidget(tsDays);

  btSave = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                           QStringLiteral("Änderungen speichern"), this);
  btSave->setObjectName(QStringLiteral("btSave"));
  btSave->setDefault(true);
  btCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                             QStringLiteral("Änderungen verwerfen"), this);
  btCancel->setObjectName(QStringLiteral("btCancel"));
  btCancel->setAutoDefault(false);
  btClose = new QPushButton(QStringLiteral("Fenser schließen"), this);
  btClose->setObjectName(QStringLiteral("btClose"));
  btClose->setAutoDefault(false);
  connect(btSave, &QPushButton::clicked, this, &TfmEditProject::btSaveClick);
  connect(btCancel, &QPushButton::clicked, this, &TfmEditProject::btCancelClick);
  connect(btClose, &QPushButton::clicked, this, &TfmEditProject::btCloseClick);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btSave);
  buttons->addWidget(btCancel);
  buttons->addWidget(btClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pcRubrik, 1);
  layout->addLayout(buttons);

  saveProject = [this] { return SaveToProjectFileName(); };
  btSave->setVisible(false);
}

void TfmEditProject::BuildStationTab() {
  tsStationOptions = new QWidget(pcRubrik);
  tsStationOptions->setObjectName(QStringLiteral("tsStationOptions"));
  gbStationFields = new QGroupBox(QStringLiteral("Daten für Stationen"), tsStationOptions);
  gbStationFields->setObjectName(QStringLiteral("gbStationFields"));
  cbPrjGeoPosition = new QCheckBox(QStringLiteral("Geo-Positionen"), gbStationFields);
  cbPrjGeoPosition->setObjectName(QStringLiteral("cbPrjGeoPosition"));
  cbPrjGeoPosition->setChecked(true);
  cbPrjTarifZone = new QCheckBox(QStringLiteral("Tarifzone"), gbStationFields);
  cbPrjTarifZone->setObjectName(QStringLiteral("cbPrjTarifZone"));
  cbPrjTarifRing = new QCheckBox(QStringLiteral("Tarifring"), gbStationFields);
  cbPrjTarifRing->setObjectName(QStringLiteral("cbPrjTarifRing"));
  for (QCheckBox* box : {cbPrjGeoPosition, cbPrjTarifZone, cbPrjTarifRing}) {
    connect(box, &QCheckBox::clicked, this, &TfmEditProject::EditOn);
  }
  auto* boxLayout = new QVBoxLayout(gbStationFields);
  boxLayout->addWidget(cbPrjGeoPosition);
  boxLayout->addWidget(cbPrjTarifZone);
  boxLayout->addWidget(cbPrjTarifRing);
  auto* tabLayout = new QVBoxLayout(tsStationOptions);
  tabLayout->addWidget(gbStationFields);
  tabLayout->addStretch(1);
  gbStationFields->setVisible(false);
  pcRubrik->addTab(tsStationOptions, QStringLiteral("Stationen"));
}

void TfmEditProject::BuildDaysTab() {
  tsDays = new QWidget(pcRubrik);
  tsDays->setObjectName(QStringLiteral("tsDays"));
  GroupBox1 = new QGroupBox(QStringLiteral("Fahrtage zuweisen"), tsDays);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

  const auto beep = [this] { ui_.Beep(); };
  leNewDaysName = NewEdit("leNewDaysName", GroupBox1);
  leNewDaysName->setValidator(new Cp1252Validator(beep, leNewDaysName));
  leNewDaysText = NewEdit("leNewDaysText", GroupBox1);
  leNewDaysText->setValidator(new Cp1252Validator(beep, leNewDaysText));
  lbAllDays = new QListWidget(GroupBox1);
  lbAllDays->setObjectName(QStringLiteral("lbAllDays"));
  lbAllDays->setSelectionMode(QAbstractItemView::ExtendedSelection);
  for (const char* day : kGermanDayNames) lbAllDays->addItem(QString::fromUtf8(day));

  btAddDayGroup = new QPushButton(QStringLiteral("hinzufügen >>"), GroupBox1);
  btAddDayGroup->setObjectName(QStringLiteral("btAddDayGroup"));
  btAddDayGroup->setAutoDefault(false);
  connect(btAddDayGroup, &QPushButton::clicked, this, &TfmEditProject::btAddDayGroupClick);

  StaticText1 = new QLabel(QStringLiteral("Name:"), GroupBox1);
  StaticText1->setObjectName(QStringLiteral("StaticText1"));
  cbDayGroups = new QComboBox(GroupBox1);
  cbDayGroups->setObjectName(QStringLiteral("cbDayGroups"));
  cbDayGroups->setEditable(true);
  // Positions in the combo box are positions in the day-group list: typing never adds.
  cbDayGroups->setInsertPolicy(QComboBox::NoInsert);
  StaticText1->setBuddy(cbDayGroups);
  connect(cbDayGroups, &QComboBox::currentIndexChanged, this, &TfmEditProject::cbDayGroupsChange);
  connect(cbDayGroups, &QComboBox::editTextChanged, this, &TfmEditProject::cbDayGroupsChange);
  leDayGroupText = NewEdit("leDayGroupText", GroupBox1);
  leDayGroupText->setReadOnly(true);
  leDayGroupText->setFocusPolicy(Qt::ClickFocus);
  lbDayGroups = new QListWidget(GroupBox1);
  lbDayGroups->setObjectName(QStringLiteral("lbDayGroups"));

  auto* left = new QVBoxLayout;
  left->addWidget(NewEditLabel(QStringLiteral("Name:"), leNewDaysName, GroupBox1));
  left->addWidget(leNewDaysName);
  left->addWidget(NewEditLabel(QStringLiteral("Text:"), leNewDaysText, GroupBox1));
  left->addWidget(leNewDaysText);
  left->addWidget(lbAllDays, 1);
  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  middle->addWidget(btAddDayGroup);
  middle->addStretch(1);
  auto* right = new QVBoxLayout;
  right->addWidget(StaticText1);
  right->addWidget(cbDayGroups);
  right->addWidget(NewEditLabel(QStringLiteral("Text:"), leDayGroupText, GroupBox1));
  right->addWidget(leDayGroupText);
  right->addWidget(lbDayGroups, 1);
  auto* columns = new QHBoxLayout(GroupBox1);
  columns->addLayout(left, 1);
  columns->addLayout(middle);
  columns->addLayout(right, 1);

  auto* tabLayout = new QVBoxLayout(tsDays);
  tabLayout->addWidget(GroupBox1);
  pcRubrik->addTab(tsDays, QStringLiteral("Tag-Gruppen"));
}

void TfmEditProject::BuildTimeTableTab() {
  tsTimeTable = new QWidget(pcRubrik);
  tsTimeTable->setObjectName(QStringLiteral("tsTimeTable"));
  GroupBox2 = new QGroupBox(QStringLiteral("Zeit-Einstellungen"), tsTimeTable);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));

  leMaxDriveMinutes = NewEdit("leMaxDriveMinutes", GroupBox2);
  leMaxOverlapMinutes = NewEdit("leMaxOverlapMinutes", GroupBox2);
  auto* form = new QFormLayout(GroupBox2);
  form->addRow(NewEditLabel(QStringLiteral("Maximale Fahrzeit in Minuten zwischen 2 Stationen:"),
                            leMaxDriveMinutes, GroupBox2),
               leMaxDriveMinutes);
  QLabel* overlapLabel = NewEditLabel(
      QStringLiteral("Maximaler Vorsprung in Minuten bei später startender Fahrt gleicher Linie"),
      leMaxOverlapMinutes, GroupBox2);
  form->addRow(overlapLabel, leMaxOverlapMinutes);
  overlapLabel->setVisible(false);
  leMaxOverlapMinutes->setVisible(false);

  for (QLineEdit* edit : {leMaxDriveMinutes, leMaxOverlapMinutes}) {
    edit->setMaximumWidth(80);
    edit->installEventFilter(this);
    // Pasted or dropped text passes no key filter; it may hold digits only.
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    connect(edit, &QLineEdit::textEdited, this, &TfmEditProject::EditOn);
  }

  auto* tabLayout = new QVBoxLayout(tsTimeTable);
  tabLayout->addWidget(GroupBox2);
  tabLayout->addStretch(1);
  pcRubrik->addTab(tsTimeTable, QStringLiteral("Fahrplan"));
}

void TfmEditProject::SetDayGroups() {
  const QSignalBlocker blocker(cbDayGroups);
  cbDayGroups->clear();
  leDayGroupText->clear();
  lbDayGroups->clear();
  const auto& groups = ctx_.PrjParams.DayGroups;
  for (const trivo::TDayGroupItem& group : groups) cbDayGroups->addItem(FromCp1252(group.Name));
  if (groups.empty()) return;
  ShowDayGroup(groups.front());
  cbDayGroups->setCurrentIndex(0);
}

void TfmEditProject::ShowMaxDriveMinutes() {
  leMaxDriveMinutes->setText(QString::number(ctx_.PrjParams.MaxDriveMinutes));
}

// Shows the drive time as it is in PrjParams again, so that a discarded change is not
// written by a later save.
void TfmEditProject::ReadProjectParams() {
  ShowMaxDriveMinutes();
}

void TfmEditProject::EditOn() {
  editMode_.EditOn();
  btSave->setVisible(true);
}

void TfmEditProject::EditOff() {
  editMode_.EditOff();
  btSave->setVisible(false);
}

bool TfmEditProject::InEditMode() const {
  return editMode_.On();
}

void TfmEditProject::btSaveClick() {
  ReadMaxDriveMinutes();
  if (saveProject && saveProject()) EditOff();
}

void TfmEditProject::btCancelClick() {
  ReadProjectParams();
  EditOff();
}

void TfmEditProject::btCloseClick() {
  close();
}

void TfmEditProject::btAddDayGroupClick() {
  if (lbAllDays->selectedItems().isEmpty()) return;
  const std::optional<std::string> name = TryToCp1252(leNewDaysName->text());
  const std::optional<std::string> text = TryToCp1252(leNewDaysText->text());
  if (!name || !text) {
    ui_.Beep();
    return;
  }
  trivo::TDayGroupItem group{*name, *text, {}};
  for (int day = 0; day < lbAllDays->count(); ++day) {
    if (lbAllDays->item(day)->isSelected()) group.Days.set(static_cast<std::size_t>(day));
  }
  if (trivo::AddDayGroup(ctx_.PrjParams, group) != trivo::DayGroupAddition::Added) return;
  EditOn();

  const QSignalBlocker blocker(cbDayGroups);
  cbDayGroups->addItem(FromCp1252(group.Name));
  cbDayGroups->setCurrentIndex(cbDayGroups->findText(FromCp1252(group.Name), Qt::MatchFixedString));
  ShowDayGroup(group);
}

void TfmEditProject::cbDayGroupsChange() {
  const int index = cbDayGroups->currentIndex();
  // Typed text that is not the selected entry selects nothing.
  if (index < 0 || cbDayGroups->currentText() != cbDayGroups->itemText(index)) return;
  const auto& groups = ctx_.PrjParams.DayGroups;
  if (static_cast<std::size_t>(index) >= groups.size()) return;
  ShowDayGroup(groups[static_cast<std::size_t>(index)]);
}

void TfmEditProject::ShowDayGroup(const trivo::TDayGroupItem& group) {
  leDayGroupText->setText(FromCp1252(group.Text));
  lbDayGroups->clear();
  for (std::size_t day = 0; day < group.Days.size(); ++day) {
    if (group.Days.test(day)) lbDayGroups->addItem(lbAllDays->item(static_cast<int>(day))->text());
  }
}

// An empty field or a number beyond the 32-bit range keeps the drive time as it is.
void TfmEditProject::ReadMaxDriveMinutes() {
  const std::string text = ToCp1252Lossy(leMaxDriveMinutes->text());
  if (const auto minutes = trivo::TryStrToInt(text)) ctx_.PrjParams.MaxDriveMinutes = *minutes;
  ShowMaxDriveMinutes();
}

bool TfmEditProject::SaveToProjectFileName() {
  if (ctx_.ProjectFileName.empty()) {
    ui_.ShowMessageText(FromCp1252(trivo::msg::NoProjectLoaded()));
    return false;
  }
  return RunCommand(ui_, [this] { trivo::WriteProjectFile(ctx_, ctx_.ProjectFileName); });
}

void TfmEditProject::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  ReadProjectParams();
  EditOff();
}

void TfmEditProject::keyPressEvent(QKeyEvent* event) {
  // Escape discards the changes as the cancel button does; the window stays open.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    btCancel->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TfmEditProject::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress &&
      (watched == leMaxDriveMinutes || watched == leMaxOverlapMinutes)) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (IsDigitOrErase(key)) {
      EditOn();
      return false;
    }
    return !TypesNothing(key);
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace trivo::gui

#include "tfm_edit_time_table.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "command_guard.h"
#include "new_button.h"
#include "text_codec.h"

namespace trivo::gui {

namespace {

QComboBox* NewList(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setEditable(false);
  box->setMinimumWidth(140);
  return box;
}

}  // namespace

TfmEditTimeTable::TfmEditTimeTable(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui_(ui), editor_(ctx) {
  setObjectName(QStringLiteral("fmEditTimeTable"));
  setWindowTitle(QStringLiteral("Fahrplan bearbeiten"));
  resize(875, 602);

  pLineChoice = new QWidget(this);
  pLineChoice->setObjectName(QStringLiteral("pLineChoice"));
  Label2 = new QLabel(QStringLiteral("Linie:"), pLineChoice);
  cbLines = NewList(pLineChoice, "cbLines");
  Label4 = new QLabel(QStringLiteral("Tage:"), pLineChoice);
  cbDays = NewList(pLineChoice, "cbDays");
  Label3 = new QLabel(QStringLiteral("Richtung:"), pLineChoice);
  cbDirection = NewList(pLineChoice, "cbDirection");
  cbDirection->setMinimumWidth(60);
  btTimeTableEdit = NewButton(pLineChoice, "btTimeTableEdit", QStringLiteral("Fahrplan editieren"));
  auto* choice = new QHBoxLayout(pLineChoice);
  for (QWidget* widget : std::initializer_list<QWidget*>{Label2, cbLines, Label4, cbDays, Label3,
                                                         cbDirection, btTimeTableEdit}) {
    choice->addWidget(widget);
  }
  choice->addStretch(1);

  pTimeTableEdit = new QWidget(this);
  pTimeTableEdit->setObjectName(QStringLiteral("pTimeTableEdit"));
  bbWebCopy = NewButton(pTimeTableEdit, "bbWebCopy", QStringLiteral("HTML Import"));
  sbCopyMode = new QToolButton(pTimeTableEdit);
  sbCopyMode->setObjectName(QStringLiteral("sbCopyMode"));
  sbCopyMode->setText(QStringLiteral("Kopiermodus"));
  sbCopyMode->setCheckable(true);
  sbPaste = NewButton(pTimeTableEdit, "sbPaste", QStringLiteral("Zwischenablage einfügen"));
  sgTimeTable = new TimeTableView(
      editor_, [this](const std::function<void()>& action) { RunCommand(ui_, action); },
      pTimeTableEdit);
  sgTimeTable->stateChanged = [this] { ShowState(); };
  btSave = NewButton(pTimeTableEdit, "btSave", QStringLiteral("Änderungen speichern"));
  btSave->setDefault(true);
  btCancel = NewButton(pTimeTableEdit, "btCancel", QStringLiteral("Änderungen verwerfen"));
  auto* toolbar = new QHBoxLayout;
  toolbar->addWidget(bbWebCopy);
  toolbar->addWidget(sbCopyMode);
  toolbar->addWidget(sbPaste);
  toolbar->addStretch(1);
  auto* editButtons = new QHBoxLayout;
  editButtons->addStretch(1);
  editButtons->addWidget(btSave);
  editButtons->addWidget(btCancel);
  auto* edit = new QVBoxLayout(pTimeTableEdit);
  edit->setContentsMargins(0, 0, 0, 0);
  edit->addLayout(toolbar);
  edit->addWidget(sgTimeTable, 1);
  edit->addLayout(editButtons);

  btClose = NewButton(this, "btClose", QStringLiteral("Fenser schließen"));
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(btClose);
  auto* layout = new QVBoxLayout(this);
  CreateEditMenu();
  layout->setMenuBar(MenuBar);
  layout->addWidget(pLineChoice);
  layout->addWidget(pTimeTableEdit, 1);
  layout->addStretch(0);
  layout->addLayout(bottom);

  connect(cbLines, &QComboBox::currentIndexChanged, this,
          [this](int index) { editor_.cbLines.ItemIndex = index; });
  connect(cbDays, &QComboBox::currentIndexChanged, this,
          [this](int index) { editor_.cbDays.ItemIndex = index; });
  connect(cbDirection, &QComboBox::currentIndexChanged, this,
          [this](int index) { editor_.cbDirection.ItemIndex = index; });
  connect(btTimeTableEdit, &QPushButton::clicked, this, [this] {
    Run([this] { editor_.btTimeTableEditClick(); });
    if (editor_.EditMode()) sgTimeTable->setFocus();
  });
  connect(btCancel, &QPushButton::clicked, this,
          [this] { Run([this] { editor_.btCancelClick(); }); });
  connect(btSave, &QPushButton::clicked, this, [this] { Run([this] { editor_.btSaveClick(); }); });
  connect(btClose, &QPushButton::clicked, this, &QDialog::close);
  connect(bbWebCopy, &QPushButton::clicked, this, [this] {
    if (showWebCopy) showWebCopy();
  });
  connect(sbCopyMode, &QToolButton::toggled, this,
          [this](bool down) { Run([this, down] { editor_.sbCopyModeClick(down); }); });
  connect(sbPaste, &QPushButton::clicked, this, [this] {
    const WorkGridSelection source = workGridSelection ? workGridSelection() : WorkGridSelection{};
    if (source.grid == nullptr) return;
    Run([&] { editor_.sbPasteClick(*source.grid, source.selection); });
  });

  ShowState();
}

void TfmEditTimeTable::CreateEditMenu() {
  MenuBar = new QMenuBar(this);
  MenuBar->setObjectName(QStringLiteral("MenuBar"));
  EditMenu = MenuBar->addMenu(QStringLiteral("&Bearbeiten"));
  EditMenu->setObjectName(QStringLiteral("EditMenu"));
  const auto item = [this](const char* name, const QString& text,
                           const std::function<void()>& action) {
    QAction* added = EditMenu->addAction(text);
    added->setObjectName(QString::fromLatin1(name));
    connect(added, &QAction::triggered, this, action);
    addAction(added);  // its keys work wherever the focus is in the window
    return added;
  };
  UndoItem =
      item("UndoItem", QStringLiteral("Rückgängig"), [this] { Run([this] { editor_.Undo(); }); });
  UndoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  RedoItem =
      item("RedoItem", QStringLiteral("Wiederholen"), [this] { Run([this] { editor_.Redo(); }); });
  RedoItem->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  EditMenu->addSeparator();
  InsertTripItem = item("InsertTripItem", QStringLiteral("Fahrt einfügen"),
                        [this] { Run([this] { editor_.InsertTripColumn(); }); });
  DeleteTripItem = item("DeleteTripItem", QStringLiteral("Fahrt löschen"), [this] {
    const auto [first, last] = sgTimeTable->SelectedTripColumns();
    Run([&] { editor_.DeleteTripColumns(first, last); });
  });
  RepeatTripItem =
      item("RepeatTripItem", QStringLiteral("Fahrt wiederholen..."), [this] { RepeatTripClick(); });
  DlgRepeatTrip = new TDlgRepeatTrip(this);
}

void TfmEditTimeTable::RepeatTripClick() {
  const auto [first, last] = sgTimeTable->SelectedTripColumns();
  const int result = execModal ? execModal(*DlgRepeatTrip) : DlgRepeatTrip->exec();
  if (result != QDialog::Accepted) return;
  const trivo::TripRepeat repeat = DlgRepeatTrip->Repeat();
  Run([&] { editor_.RepeatTrips(first, last, repeat); });
}

void TfmEditTimeTable::Run(const std::function<void()>& action) {
  sgTimeTable->Forward(action);  // shows the errors, the grid and then the state
}

void TfmEditTimeTable::ShowList(QComboBox* box, const trivo::ChoiceList& list) {
  const QSignalBlocker blocker(box);
  QStringList items;
  for (const std::string& item : list.Items) items << FromCp1252(item);
  bool same = box->count() == items.size();
  for (int i = 0; same && i < items.size(); ++i) same = box->itemText(i) == items[i];
  if (!same) {
    box->clear();
    box->addItems(items);
  }
  box->setCurrentIndex(list.ItemIndex);
}

void TfmEditTimeTable::ShowState() {
  ShowList(cbLines, editor_.cbLines);
  ShowList(cbDays, editor_.cbDays);
  ShowList(cbDirection, editor_.cbDirection);
  const bool edit = editor_.EditMode();
  pLineChoice->setEnabled(!edit);
  btTimeTableEdit->setEnabled(!edit);
  pTimeTableEdit->setVisible(edit);
  btClose->setVisible(editor_.btCloseVisible());
  btSave->setVisible(editor_.btSaveVisible());
  UndoItem->setText(FromCp1252(editor_.UndoText()));
  UndoItem->setEnabled(editor_.CanUndo());
  RedoItem->setText(FromCp1252(editor_.RedoText()));
  RedoItem->setEnabled(editor_.CanRedo());
  for (QAction* trips : {InsertTripItem, DeleteTripItem, RepeatTripItem}) trips->setEnabled(edit);
  const QSignalBlocker blocker(sbCopyMode);
  sbCopyMode->setChecked(editor_.CopyMode());
}

void TfmEditTimeTable::FormShow() {
  if (parentWidget() != nullptr) {
    move(parentWidget()->geometry().center() - rect().center());
  }
  Run([this] { editor_.FormShow(); });
}

void TfmEditTimeTable::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TfmEditTimeTable::closeEvent(QCloseEvent* event) {
  if (!editor_.FormCloseQuery()) {
    event->ignore();  // edit mode: save or discard first
    return;
  }
  if (closeWebCopy) closeWebCopy();
  QDialog::reject();  // hides the window
  event->accept();
}

// Escape presses the cancel button "Änderungen verwerfen" while it is shown; the window
// itself closes only through close().
void TfmEditTimeTable::reject() {
  if (editor_.EditMode()) btCancel->click();
}

}  // namespace trivo::gui

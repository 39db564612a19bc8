#include "tfm_query.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableView>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "command_guard.h"
#include "distance_grid_model.h"
#include "named_widget.h"
#include "text_codec.h"

namespace trivo::gui {

namespace {

QPlainTextEdit* NewMemo(QWidget* parent, const char* name) {
  auto* memo = Named(new QPlainTextEdit(parent), name);
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  return memo;
}

QTreeWidget* NewTree(QWidget* parent, const char* name) {
  auto* tree = Named(new QTreeWidget(parent), name);
  tree->setHeaderHidden(true);
  tree->setColumnCount(1);
  return tree;
}

QComboBox* NewStationChooser(QWidget* parent, const char* name) {
  auto* combo = Named(new QComboBox(parent), name);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setMinimumContentsLength(18);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  return combo;
}

QTimeEdit* NewTimePicker(QWidget* parent, const char* name) {
  auto* picker = Named(new QTimeEdit(parent), name);
  picker->setDisplayFormat(QStringLiteral("HH:mm"));
  return picker;
}

void ShowLines(QPlainTextEdit* memo, const std::vector<std::string>& lines) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) texts << FromCp1252(line);
  memo->setPlainText(texts.join(QLatin1Char('\n')));
}

void ShowTree(QTreeWidget* view, const trivo::TreeModel& tree) {
  view->setUpdatesEnabled(false);
  view->clear();
  struct Builder {
    static QTreeWidgetItem* Make(const trivo::TreeNode& node) {
      auto* item = new QTreeWidgetItem(QStringList{FromCp1252(node.Text())});
      for (const auto& child : node.Children()) item->addChild(Make(*child));
      return item;
    }
  };
  QList<QTreeWidgetItem*> roots;
  for (const auto& root : tree.Roots()) roots.append(Builder::Make(*root));
  view->addTopLevelItems(roots);
  // The newest query's tree is the first root.
  if (!roots.isEmpty()) view->expandRecursively(view->model()->index(0, 0));
  view->setUpdatesEnabled(true);
}

}  // namespace

TfmQuery::TfmQuery(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui_(ui) {
  setObjectName(QStringLiteral("fmQuery"));
  setWindowTitle(QStringLiteral("Verbindugns-Abfrage"));
  resize(1100, 720);

  Label1 = Named(new QLabel(QStringLiteral("Start:"), this), "Label1");
  cbStartStation = NewStationChooser(this, "cbStartStation");
  Label2 = Named(new QLabel(QStringLiteral("Ziel:"), this), "Label2");
  cbZielStation = NewStationChooser(this, "cbZielStation");
  cbStartTime = Named(new QCheckBox(QStringLiteral("Zeit"), this), "cbStartTime");
  dtpStartDate = Named(new QDateEdit(QDate::currentDate(), this), "dtpStartDate");
  dtpStartTime = NewTimePicker(this, "dtpStartTime");
  dtpStartTime->setTime(QTime(0, 0).addSecs(trivo::QueryModel::kInitialStartMinutes * 60));
  cbEndTime = Named(new QCheckBox(QStringLiteral("Zeit"), this), "cbEndTime");
  dtpEndDate = Named(new QDateEdit(QDate::currentDate(), this), "dtpEndDate");
  dtpEndTime = NewTimePicker(this, "dtpEndTime");
  btStartQuery = Named(new QPushButton(QStringLiteral("Abfrage starten"), this), "btStartQuery");
  tvStart = NewTree(this, "tvStart");
  tvZiel = NewTree(this, "tvZiel");
  Memo1 = NewMemo(this, "Memo1");
  mSearchDistances = NewMemo(this, "mSearchDistances");
  mZeiten = NewMemo(this, "mZeiten");
  mReadyConnections = NewMemo(this, "mReadyConnections");
  StringGrid1 = Named(new QTableView(this), "StringGrid1");
  gridModel_ = new DistanceGridModel(model_.StringGrid1(), this);
  StringGrid1->setModel(gridModel_);
  StringGrid1->horizontalHeader()->setDefaultSectionSize(56);
  StringGrid1->verticalHeader()->setDefaultSectionSize(22);
  StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  ShowLines(mZeiten, model_.mZeiten());
  ShowTimeBoxes();

  auto* choosers = new QHBoxLayout;
  for (QWidget* widget : std::initializer_list<QWidget*>{
           Label1, cbStartStation, Label2, cbZielStation, cbStartTime, dtpStartDate, dtpStartTime,
           cbEndTime, dtpEndDate, dtpEndTime, btStartQuery}) {
    choosers->addWidget(widget);
  }
  choosers->addStretch(1);

  auto* search = new QSplitter(Qt::Horizontal);
  for (QWidget* widget :
       std::initializer_list<QWidget*>{tvStart, tvZiel, Memo1, mSearchDistances}) {
    search->addWidget(widget);
  }
  search->setSizes({220, 220, 420, 200});
  auto* results = new QSplitter(Qt::Horizontal);
  for (QWidget* widget : std::initializer_list<QWidget*>{mZeiten, StringGrid1, mReadyConnections}) {
    results->addWidget(widget);
  }
  results->setSizes({640, 360, 60});
  auto* views = new QSplitter(Qt::Vertical);
  views->addWidget(search);
  views->addWidget(results);
  views->setSizes({320, 360});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choosers);
  layout->addWidget(views, 1);

  connect(btStartQuery, &QPushButton::clicked, this, &TfmQuery::btStartQueryClick);
  connect(cbStartTime, &QCheckBox::clicked, this, &TfmQuery::cbStartTimeClick);
  connect(cbEndTime, &QCheckBox::clicked, this, &TfmQuery::cbEndTimeClick);
}

TfmQuery::~TfmQuery() {
  // The views read model_, which goes before the base class hides the window.
  hide();
  StringGrid1->setModel(nullptr);
}

void TfmQuery::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TfmQuery::FormShow() {
  const bool loaded = RunCommand(ui_, [this] { model_.FormShow(ctx_); });
  gridModel_->Refresh();
  if (loaded) ShowStationChoosers();
}

void TfmQuery::ShowStationChoosers() {
  QStringList names;
  for (const std::string& name : model_.StationItems()) names << FromCp1252(name);
  for (auto [combo, chooser] : {std::pair{cbStartStation, &model_.cbStartStation},
                                std::pair{cbZielStation, &model_.cbZielStation}}) {
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(names);
    combo->setCurrentIndex(chooser->ItemIndex);
    combo->setEditText(FromCp1252(chooser->Text));
  }
}

void TfmQuery::cbStartTimeClick() {
  model_.timeBoxes.SetStartChecked(cbStartTime->isChecked());
  ShowTimeBoxes();
}

void TfmQuery::cbEndTimeClick() {
  model_.timeBoxes.SetEndChecked(cbEndTime->isChecked());
  ShowTimeBoxes();
}

void TfmQuery::ShowTimeBoxes() {
  const trivo::TimeCheckBoxes& boxes = model_.timeBoxes;
  for (auto [box, checked] :
       {std::pair{cbStartTime, boxes.cbStartTime}, std::pair{cbEndTime, boxes.cbEndTime}}) {
    const QSignalBlocker blocker(box);
    box->setChecked(checked);
  }
  dtpStartTime->setVisible(boxes.StartPickersVisible);
  dtpStartDate->setVisible(boxes.StartPickersVisible);
  dtpEndTime->setVisible(boxes.EndPickersVisible);
  dtpEndDate->setVisible(boxes.EndPickersVisible);
}

void TfmQuery::btStartQueryClick() {
  // A text Windows-1252 cannot hold names no station; "?" keeps it unfound.
  model_.cbStartStation.Text = ToCp1252Lossy(cbStartStation->currentText());
  model_.cbZielStation.Text = ToCp1252Lossy(cbZielStation->currentText());
  const QTime time = dtpStartTime->time();
  model_.dtpStartTime = time.hour() * 60 + time.minute();
  RunCommand(ui_, [this] { model_.btStartQueryClick(ctx_); });
  ShowSearch();
}

void TfmQuery::ShowSearch() {
  ShowTree(tvStart, model_.tvStart());
  ShowTree(tvZiel, model_.tvZiel());
  ShowLines(Memo1, model_.Memo1());
  ShowLines(mSearchDistances, model_.mSearchDistances());
  ShowLines(mZeiten, model_.mZeiten());
}

}  // namespace trivo::gui

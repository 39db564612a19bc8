#include "tfm_web_copy.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <string>

#include "bring_to_front.h"
#include "command_guard.h"
#include "new_button.h"
#include "string_grid_model.h"
#include "text_codec.h"

namespace trivo::gui {

namespace {

QComboBox* NewDropDownList(QWidget* parent, const char* name,
                           const std::vector<std::string>& items) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  for (const std::string& item : items) box->addItem(FromCp1252(item));
  box->setCurrentIndex(0);
  return box;
}

QWidget* NewPanel(QWidget* parent, const char* name, int width) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFixedWidth(width);
  return panel;
}

}  // namespace

TfmWebCopy::TfmWebCopy(GuiUserInterface& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), headingOnlyGrid_(2, 2, 0, 0) {
  setObjectName(QStringLiteral("fmWebCopy"));
  setWindowTitle(QStringLiteral("Fahrplan Kopier-Bereich"));
  resize(821, 721);
  headingOnlyGrid_.SetCell(1, 1, "Stationen");
  editorGrid_ = [this]() -> const trivo::StringGrid& { return headingOnlyGrid_; };

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  BuildWebsiteTab();
  BuildTableGridTab();
  PageControl1->setCurrentWidget(tsTableGrid);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(PageControl1);

  connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
    if (PageControl1->currentWidget() == tsWebsite) Browser();
  });
}

TfmWebCopy::~TfmWebCopy() = default;

void TfmWebCopy::BuildWebsiteTab() {
  tsWebsite = new QWidget(PageControl1);
  tsWebsite->setObjectName(QStringLiteral("tsWebsite"));
  leURLLabel = new QLabel(QStringLiteral("URL: "), tsWebsite);
  leURLLabel->setObjectName(QStringLiteral("leURLLabel"));
  leURL = new QLineEdit(tsWebsite);
  leURL->setObjectName(QStringLiteral("leURL"));
  leURLLabel->setBuddy(leURL);
  btShowURL = NewButton(tsWebsite, "btShowURL", QStringLiteral("Website anzeigen"));
  btCopy = NewButton(tsWebsite, "btCopy", QStringLiteral("HTML kopieren"));
  Panel6 = NewPanel(tsWebsite, "Panel6", 24);
  Panel7 = NewPanel(tsWebsite, "Panel7", 32);

  auto* addressRow = new QHBoxLayout;
  addressRow->addWidget(leURLLabel);
  addressRow->addWidget(leURL, 1);
  addressRow->addWidget(btShowURL);
  browserRow_ = new QHBoxLayout;
  browserRow_->setSpacing(0);
  browserRow_->addWidget(Panel7);
  browserRow_->addStretch(1);  // the browser's place until it is created
  browserRow_->addWidget(Panel6);
  auto* copyRow = new QHBoxLayout;
  copyRow->addWidget(btCopy);
  copyRow->addStretch(1);
  auto* layout = new QVBoxLayout(tsWebsite);
  layout->addLayout(addressRow);
  layout->addLayout(browserRow_, 1);
  layout->addLayout(copyRow);
  PageControl1->addTab(tsWebsite, QStringLiteral("Website"));

  connect(btShowURL, &QPushButton::clicked, this, &TfmWebCopy::btShowURLClick);
  connect(leURL, &QLineEdit::returnPressed, this, &TfmWebCopy::btShowURLClick);
  connect(btCopy, &QPushButton::clicked, this, &TfmWebCopy::btCopyClick);
}

void TfmWebCopy::BuildTableGridTab() {
  tsTableGrid = new QWidget(PageControl1);
  tsTableGrid->setObjectName(QStringLiteral("tsTableGrid"));
  Button1 = NewButton(tsTableGrid, "Button1", QStringLiteral("HTML einfügen"));
  Button2 = NewButton(tsTableGrid, "Button2",
                      QStringLiteral("Selektieren Bereich in Zwischenablage kopieren"));
  cbActionArea = NewDropDownList(tsTableGrid, "cbActionArea", trivo::WebCopy::ActionAreaItems());
  cbAction = NewDropDownList(tsTableGrid, "cbAction", trivo::WebCopy::ActionItems());
  btAction = NewButton(tsTableGrid, "btAction", QStringLiteral("Aktion ausführen"));

  sgWorkGrid = new QTableView(tsTableGrid);
  sgWorkGrid->setObjectName(QStringLiteral("sgWorkGrid"));
  workGridModel_ = new StringGridModel(model_.sgWorkGrid, this);
  sgWorkGrid->setModel(workGridModel_);
  sgWorkGrid->horizontalHeader()->hide();
  sgWorkGrid->verticalHeader()->hide();
  sgWorkGrid->horizontalHeader()->setMinimumSectionSize(1);
  sgWorkGrid->verticalHeader()->setMinimumSectionSize(1);
  sgWorkGrid->horizontalHeader()->setDefaultSectionSize(trivo::WebCopy::kDefaultColWidth);
  sgWorkGrid->verticalHeader()->setDefaultSectionSize(trivo::WebCopy::kDefaultRowHeight);
  sgWorkGrid->setShowGrid(true);
  sgWorkGrid->setWordWrap(false);
  sgWorkGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgWorkGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);
  sgWorkGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
  // A column is widened to its widest text plus what the cell takes around it: the
  // text margin on both sides, the grid line and a little room for rounding.
  const int margin =
      2 * (sgWorkGrid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, sgWorkGrid) +
           1) +
      4;
  model_.SetTextWidth([this, margin](std::string_view text) {
    return sgWorkGrid->fontMetrics().horizontalAdvance(GridCellText(text)) + margin;
  });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addStretch(1);
  buttons->addWidget(cbActionArea);
  buttons->addWidget(cbAction);
  buttons->addWidget(btAction);
  auto* layout = new QVBoxLayout(tsTableGrid);
  layout->addLayout(buttons);
  layout->addWidget(sgWorkGrid, 1);
  PageControl1->addTab(tsTableGrid, QStringLiteral("Tabellen-Kopie"));

  connect(Button1, &QPushButton::clicked, this, &TfmWebCopy::btPasteClick);
  connect(Button2, &QPushButton::clicked, this, &TfmWebCopy::Button2Click);
  connect(btAction, &QPushButton::clicked, this, &TfmWebCopy::btActionClick);
  connect(cbActionArea, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.ActionAreaIndex = index; });
  connect(cbAction, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.ActionIndex = index; });
  connect(sgWorkGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TfmWebCopy::ReadSelection);
  connect(sgWorkGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TfmWebCopy::ReadSelection);
  ShowWorkGrid();
}

void TfmWebCopy::SetEditorGrid(std::function<const trivo::StringGrid&()> editorGrid) {
  editorGrid_ = std::move(editorGrid);
}

void TfmWebCopy::ShowWithoutWaiting() {
  BringToFront(*this);
}

QWebEngineView* TfmWebCopy::Browser() {
  if (wbWebCopy == nullptr) {
    wbWebCopy = new QWebEngineView(tsWebsite);
    wbWebCopy->setObjectName(QStringLiteral("wbWebCopy"));
    const int stretch = browserRow_->indexOf(Panel7) + 1;
    delete browserRow_->takeAt(stretch);
    browserRow_->insertWidget(stretch, wbWebCopy, 1);
  }
  return wbWebCopy;
}

void TfmWebCopy::btShowURLClick() {
  Browser()->load(QUrl(leURL->text()));
}

void TfmWebCopy::btCopyClick() {
  if (wbWebCopy == nullptr || wbWebCopy->url().isEmpty()) {
    emit htmlCopied(false);  // no document
    return;
  }
  wbWebCopy->page()->runJavaScript(QStringLiteral("document.body ? document.body.outerHTML : null"),
                                   [this](const QVariant& html) {
                                     const bool hasBody = html.typeId() == QMetaType::QString;
                                     if (hasBody)
                                       QGuiApplication::clipboard()->setText(html.toString());
                                     emit htmlCopied(hasBody);
                                   });
}

void TfmWebCopy::btPasteClick() {
  const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
  if (clipboard == nullptr || !clipboard->hasText()) return;
  // The text enters the system as Windows-1252, as the clipboard's plain text in the
  // ANSI code page does: a character that code page lacks becomes "?".
  const std::string html = ToCp1252Lossy(clipboard->text());
  RunCommand(ui_, [&] { model_.btPasteClick(html, editorGrid_()); });
  ShowWorkGrid();
}

void TfmWebCopy::Button2Click() {
  if (!model_.Selection()) return;
  QGuiApplication::clipboard()->setText(FromCp1252(model_.SelectionAsText()));
}

void TfmWebCopy::btActionClick() {
  RunCommand(ui_, [&] { model_.btActionClick(); });
  ShowWorkGrid();
}

void TfmWebCopy::ShowWorkGrid() {
  showingSelection_ = true;
  workGridModel_->Refresh();
  // With its updates off the header does not lay itself out after each section, which
  // would take as long as the row of columns is wide, for every column.
  QHeaderView* columns = sgWorkGrid->horizontalHeader();
  columns->setUpdatesEnabled(false);
  const std::vector<int>& widths = model_.ColWidths();
  for (int col = 0; col < static_cast<int>(widths.size()) && col < columns->count(); ++col) {
    if (columns->sectionSize(col) != widths[col]) columns->resizeSection(col, widths[col]);
  }
  columns->setUpdatesEnabled(true);
  if (const std::optional<trivo::GridRect> rect = model_.Selection()) {
    QItemSelectionModel* selection = sgWorkGrid->selectionModel();
    selection->setCurrentIndex(workGridModel_->index(model_.Row(), model_.Col()),
                               QItemSelectionModel::NoUpdate);
    selection->select(QItemSelection(workGridModel_->index(rect->Top, rect->Left),
                                     workGridModel_->index(rect->Bottom, rect->Right)),
                      QItemSelectionModel::ClearAndSelect);
  }
  showingSelection_ = false;
}

void TfmWebCopy::ReadSelection() {
  if (showingSelection_) return;
  const QModelIndex current = sgWorkGrid->selectionModel()->currentIndex();
  if (!current.isValid()) return;
  model_.SetCurrentCell(current.column(), current.row());
  const QItemSelection selected = sgWorkGrid->selectionModel()->selection();
  if (selected.isEmpty()) return;
  trivo::GridRect rect{selected.first().left(), selected.first().top(), selected.first().right(),
                       selected.first().bottom()};
  for (const QItemSelectionRange& range : selected) {
    rect =
        trivo::GridRect{std::min(rect.Left, range.left()), std::min(rect.Top, range.top()),
                        std::max(rect.Right, range.right()), std::max(rect.Bottom, range.bottom())};
  }
  model_.Select(rect);
}

}  // namespace trivo::gui

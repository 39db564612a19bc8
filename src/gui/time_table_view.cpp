#include "time_table_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

#include "cp1252_validator.h"
#include "text_codec.h"

namespace trivo::gui {

namespace {

using trivo::CellPos;
using trivo::EditTimeTable;

constexpr int kFirstCol = EditTimeTable::kFirstTripCol;
constexpr int kFirstRow = EditTimeTable::kFirstDataRow;
constexpr int kMarkerWidth = 20;
constexpr int kStationWidth = 140;
constexpr int kColumnWidth = 48;
constexpr int kRowHeight = 18;
const QColor kShading(255, 251, 240);
const QColor kInvalid(255, 0, 0);

bool IsUndoOrRedo(const QKeyEvent& key) {
  const QKeyCombination combination = key.keyCombination();
  return combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
         combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
         combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

// The first row of an arrival/departure pair carries a 2-pixel rule at its bottom.
bool FirstRowOfPair(const EditTimeTable& editor, int row) {
  const trivo::StringGrid& grid = editor.sgTimeTable();
  return row + 1 < grid.RowCount() && grid.Cell(1, row) == grid.Cell(1, row + 1);
}

void DrawPairRule(QPainter* painter, const QRect& rect) {
  painter->drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
  painter->drawLine(rect.left(), rect.bottom() - 1, rect.right(), rect.bottom() - 1);
}

// The fixed columns: the pair marker (a click on it splits or merges the station's rows)
// and the station name of every data row.
class StationHeader : public QHeaderView {
 public:
  StationHeader(EditTimeTable& editor, std::function<void(int row)> markerClicked, QWidget* parent)
      : QHeaderView(Qt::Vertical, parent),
        editor_(editor),
        markerClicked_(std::move(markerClicked)) {
    setSectionsClickable(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setDefaultSectionSize(kRowHeight);
    setMinimumSectionSize(kRowHeight);
  }

  QSize sizeHint() const override {
    return {kMarkerWidth + kStationWidth, QHeaderView::sizeHint().height()};
  }

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);  // the header background
    painter->setClipRect(rect);                              // the base leaves an empty clip behind
    const int row = logicalIndex + kFirstRow;
    const trivo::StringGrid& grid = editor_.sgTimeTable();
    const QRect marker(rect.left(), rect.top(), kMarkerWidth, rect.height());
    const QRect station(rect.left() + kMarkerWidth, rect.top(), rect.width() - kMarkerWidth,
                        rect.height());
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(station.topLeft(), station.bottomLeft());
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(marker.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                      FromCp1252(grid.Cell(0, row)));
    painter->drawText(station.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                      FromCp1252(grid.Cell(1, row)));
    if (FirstRowOfPair(editor_, row)) DrawPairRule(painter, rect);
    painter->restore();
  }

  void mousePressEvent(QMouseEvent* event) override {
    const int section = logicalIndexAt(event->position().toPoint());
    if (section >= 0 && event->position().x() < kMarkerWidth) markerClicked_(section + kFirstRow);
  }

 private:
  EditTimeTable& editor_;
  std::function<void(int row)> markerClicked_;
};

// Draws a cell with its text 2 pixels right of and below the corner, red when invalid,
// and the pair rule. Its line editor is the cell editor: character keys reach the core
// before the editor, Enter only the core; every edit becomes the cell's text at once.
class CellDelegate : public QStyledItemDelegate {
 public:
  CellDelegate(TimeTableView& view, EditTimeTable& editor)
      : QStyledItemDelegate(&view), view_(view), editor_(editor) {}

  QPointer<QLineEdit> openEditor;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    painter->save();
    const bool selected = (opt.state & QStyle::State_Selected) != 0;
    const QVariant foreground = index.data(Qt::ForegroundRole);
    painter->setPen(foreground.isValid() ? foreground.value<QColor>()
                    : selected           ? opt.palette.color(QPalette::HighlightedText)
                                         : QColor(Qt::black));
    painter->drawText(opt.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
    painter->setPen(opt.palette.color(QPalette::WindowText));
    if (FirstRowOfPair(editor_, TimeTableGridModel::CellOf(index).row)) {
      DrawPairRule(painter, opt.rect);
    }
    painter->restore();
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* line = new QLineEdit(parent);
    line->setFrame(false);
    line->setValidator(new Cp1252Validator([] { QApplication::beep(); }, line));
    QObject::connect(line, &QLineEdit::textEdited, &view_, [this](const QString& text) {
      if (const auto bytes = TryToCp1252(text)) {
        view_.Forward([&] { editor_.SetCellEditorText(*bytes); });
      }
    });
    const_cast<CellDelegate*>(this)->openEditor = line;
    return line;
  }

  // Called when the editor opens and whenever its cell changes: a text the core wrote
  // (a restore, a rewrite) replaces the editor's and is selected, so typing replaces it.
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* line = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() == text) return;
    line->setText(text);
    line->selectAll();
  }

  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    // Undo and redo are the window's ("Bearbeiten"), not the cell editor's own.
    if (event->type() == QEvent::ShortcutOverride &&
        IsUndoOrRedo(*static_cast<QKeyEvent*>(event))) {
      return true;
    }
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape) return true;
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        view_.ForwardKey(QStringLiteral("\r"));
        return true;
      }
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        view_.ForwardTab(key->key() == Qt::Key_Backtab);
        return true;
      }
      if (key->key() == Qt::Key_Backspace) return !view_.ForwardKey(QStringLiteral("\b"));
      if (!key->text().isEmpty() && key->text().at(0).isPrint() &&
          !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        return !view_.ForwardKey(key->text());
      }
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  TimeTableView& view_;
  EditTimeTable& editor_;
};

// Every change of the current cell, by mouse, keys or tab, asks the core first; the view
// then shows where the core's current cell is.
class CellSelectionModel : public QItemSelectionModel {
 public:
  CellSelectionModel(QAbstractItemModel* model, std::function<void(const QModelIndex&)> move,
                     const bool& syncing)
      : QItemSelectionModel(model), move_(std::move(move)), syncing_(syncing) {}

  void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override {
    if (syncing_ || !index.isValid() || index == currentIndex()) {
      QItemSelectionModel::setCurrentIndex(index, command);
      return;
    }
    move_(index);
  }

 private:
  std::function<void(const QModelIndex&)> move_;
  const bool& syncing_;
};

CellDelegate& DelegateOf(const TimeTableView& view) {
  return *static_cast<CellDelegate*>(view.itemDelegate());
}

QAbstractButton* CornerOf(const QTableView& view) {
  for (QAbstractButton* button : view.findChildren<QAbstractButton*>()) {
    if (button->parent() == &view) return button;
  }
  return nullptr;
}

}  // namespace

// --- the model ---

int TimeTableGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, editor_.sgTimeTable().RowCount() - kFirstRow);
}

int TimeTableGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, editor_.sgTimeTable().ColCount() - kFirstCol);
}

QVariant TimeTableGridModel::data(const QModelIndex& index, int role) const {
  const CellPos cell = CellOf(index);
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return FromCp1252(editor_.sgTimeTable().Cell(cell.col, cell.row));
    case Qt::ForegroundRole:
      if (editor_.GetCellState(cell.col, cell.row) == trivo::TCellState::csError) return kInvalid;
      return {};
    case Qt::BackgroundRole:
      if (editor_.EditMode() && !editor_.CopyMode() && cell.row % 2 == 0) return kShading;
      return {};
    default:
      return {};
  }
}

QVariant TimeTableGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return FromCp1252(editor_.sgTimeTable().Cell(section + kFirstCol, 0));
}

Qt::ItemFlags TimeTableGridModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.isValid() && !editor_.CopyMode()) flags |= Qt::ItemIsEditable;
  return flags;
}

void TimeTableGridModel::Reload() {
  beginResetModel();
  endResetModel();
}

void TimeTableGridModel::CellsChanged(const trivo::GridRect& rect) {
  const QModelIndex topLeft =
      IndexOf({std::max(rect.Left, kFirstCol), std::max(rect.Top, kFirstRow)});
  const QModelIndex bottomRight = IndexOf({rect.Right, rect.Bottom});
  if (topLeft.isValid() && bottomRight.isValid()) emit dataChanged(topLeft, bottomRight);
}

QModelIndex TimeTableGridModel::IndexOf(trivo::CellPos cell) const {
  return index(cell.row - kFirstRow, cell.col - kFirstCol);
}

trivo::CellPos TimeTableGridModel::CellOf(const QModelIndex& index) {
  return {index.column() + kFirstCol, index.row() + kFirstRow};
}

// --- the view ---

TimeTableView::TimeTableView(EditTimeTable& editor, Runner run, QWidget* parent)
    : QTableView(parent), editor_(editor), run_(std::move(run)), model_(editor, this) {
  setObjectName(QStringLiteral("sgTimeTable"));
  setModel(&model_);
  setSelectionModel(new CellSelectionModel(
      &model_,
      [this](const QModelIndex& index) {
        Forward([&] { editor_.sgTimeTableSelectCell(TimeTableGridModel::CellOf(index)); });
        // A refused move leaves the selection on the cell that stayed current.
        if (currentIndex() != index) {
          QMetaObject::invokeMethod(
              this,
              [this] {
                selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
              },
              Qt::QueuedConnection);
        }
      },
      syncing_));
  setItemDelegate(new CellDelegate(*this, editor_));
  setVerticalHeader(new StationHeader(
      editor_, [this](int row) { Forward([&] {
                                   editor_.sgTimeTableMouseDown({0, row});
                                 }); },
      this));
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(true);
  setFocusPolicy(Qt::ClickFocus);  // not a tab stop of the window
  setGridStyle(Qt::SolidLine);
  setWordWrap(false);
  horizontalHeader()->setDefaultSectionSize(kColumnWidth);
  horizontalHeader()->setMinimumSectionSize(8);
  horizontalHeader()->setSectionsMovable(true);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setHighlightSections(false);
  connect(horizontalHeader(), &QHeaderView::sectionMoved, this,
          [this](int, int oldVisual, int newVisual) {
            // The core moves the cells; the heading goes back to its place.
            {
              const QSignalBlocker blocker(horizontalHeader());
              horizontalHeader()->moveSection(newVisual, oldVisual);
            }
            Forward([&] {
              editor_.sgTimeTableColumnMoved(oldVisual + kFirstCol, newVisual + kFirstCol);
            });
          });

  // The corner above the station column shows the heading of the fixed row 1.
  setCornerButtonEnabled(false);
  if (QAbstractButton* corner = CornerOf(*this)) corner->installEventFilter(this);
}

bool TimeTableView::eventFilter(QObject* object, QEvent* event) {
  auto* corner = qobject_cast<QAbstractButton*>(object);
  if (corner == nullptr || event->type() != QEvent::Paint) {
    return QTableView::eventFilter(object, event);
  }
  QPainter painter(corner);
  QStyleOptionHeader option;
  option.initFrom(corner);
  option.rect = corner->rect();
  option.state |= QStyle::State_Raised;
  corner->style()->drawControl(QStyle::CE_HeaderSection, &option, &painter, corner);
  painter.setPen(palette().color(QPalette::ButtonText));
  painter.drawText(option.rect.adjusted(kMarkerWidth + 2, 2, 0, 0), Qt::AlignLeft | Qt::AlignBottom,
                   FromCp1252(editor_.sgTimeTable().Cell(1, 1)));
  return true;
}

void TimeTableView::ForwardTab(bool backwards) {
  const CellPos at = editor_.Current();
  const trivo::StringGrid& grid = editor_.sgTimeTable();
  CellPos next = at;
  if (backwards) {
    next = at.col > kFirstCol   ? CellPos{at.col - 1, at.row}
           : at.row > kFirstRow ? CellPos{grid.ColCount() - 1, at.row - 1}
                                : at;
  } else {
    next = at.col + 1 < grid.ColCount()   ? CellPos{at.col + 1, at.row}
           : at.row + 1 < grid.RowCount() ? CellPos{kFirstCol, at.row + 1}
                                          : at;
  }
  if (next != at) Forward([&] { editor_.sgTimeTableSelectCell(next); });
}

std::pair<int, int> TimeTableView::SelectedTripColumns() const {
  const int current = editor_.Current().col;
  const QModelIndex at = model_.IndexOf(editor_.Current());
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    if (range.contains(at)) return {range.left() + kFirstCol, range.right() + kFirstCol};
  }
  return {current, current};
}

void TimeTableView::Forward(const std::function<void()>& action) {
  run_(action);
  SyncFromCore();
}

bool TimeTableView::ForwardKey(const QString& text) {
  bool toEditor = false;
  for (const QChar c : text) {
    const auto byte = TryToCp1252(QString(c));
    if (!byte) {
      QApplication::beep();
      return false;
    }
    Forward([&] { toEditor = editor_.sgTimeTableKeyPress(byte->front()); });
  }
  return toEditor;
}

void TimeTableView::SyncFromCore() {
  const trivo::GridChanges changes = editor_.TakeChanges();
  if (changes.shape) {
    model_.Reload();  // closes the cell editor
    editorIndex_ = QPersistentModelIndex();
    DelegateOf(*this).openEditor = nullptr;
    verticalHeader()->viewport()->update();
  } else if (changes.cells) {
    model_.CellsChanged(*changes.cells);
  }
  const QModelIndex current = model_.IndexOf(editor_.Current());
  if (current.isValid() && current != currentIndex()) {
    syncing_ = true;
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
    syncing_ = false;
    scrollTo(current);
  }
  ShowCellEditor();
  if (stateChanged) stateChanged();
}

void TimeTableView::ShowCellEditor() {
  CellDelegate& delegate = DelegateOf(*this);
  const QModelIndex current = currentIndex();
  const bool wanted = editor_.EditMode() && !editor_.CopyMode() && current.isValid();
  if (editorIndex_.isValid() && (!wanted || editorIndex_ != current)) {
    closePersistentEditor(editorIndex_);
    editorIndex_ = QPersistentModelIndex();
    delegate.openEditor = nullptr;
  }
  if (!wanted) return;
  if (!editorIndex_.isValid() || delegate.openEditor == nullptr) {
    editorIndex_ = current;
    openPersistentEditor(current);
    if (delegate.openEditor && isVisible()) delegate.openEditor->setFocus();
  }
}

void TimeTableView::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    ForwardKey(QStringLiteral("\r"));
    return;
  }
  if (key == Qt::Key_Backspace) {
    ForwardKey(QStringLiteral("\b"));
    return;
  }
  const QString text = event->text();
  if (!text.isEmpty() && text.at(0).isPrint() &&
      !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    ForwardKey(text);  // in copy mode a character changes no cell
    return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace trivo::gui

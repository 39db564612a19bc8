#include "tfm_make.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "text_codec.h"

namespace trivo::gui {

TfmMake::TfmMake(trivo::Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName(QStringLiteral("fmMake"));
  setWindowTitle(QStringLiteral("Daten aufbereiten"));
  resize(640, 480);

  btStart = new QPushButton(QStringLiteral("Start"), this);
  btStart->setObjectName(QStringLiteral("btStart"));
  TreeView1 = new QTreeWidget(this);
  TreeView1->setObjectName(QStringLiteral("TreeView1"));
  TreeView1->setHeaderHidden(true);
  TreeView1->setColumnCount(1);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btStart);
  buttons->addStretch(1);
  auto* views = new QHBoxLayout;
  views->addWidget(TreeView1, 1);
  views->addWidget(Memo1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addLayout(views, 1);

  connect(btStart, &QPushButton::clicked, this, &TfmMake::btStartClick);
}

void TfmMake::btStartClick() {
  try {
    model_.btStartClick(ctx_);
  } catch (const trivo::Error& error) {
    QMessageBox::critical(this, windowTitle(), FromCp1252(error.what()));
    return;
  }
  ShowTree();
  ShowMemo();
}

void TfmMake::ShowTree() {
  TreeView1->setUpdatesEnabled(false);
  TreeView1->clear();
  QList<QTreeWidgetItem*> roots;
  // The items on the path to the node being added, by depth.
  std::vector<QTreeWidgetItem*> path;
  model_.TreeView1().ForEachNode([&](std::string_view text, int depth) {
    auto* item = new QTreeWidgetItem(QStringList{FromCp1252(text)});
    path.resize(static_cast<std::size_t>(depth));
    if (depth == 0) {
      roots.append(item);
    } else {
      path.back()->addChild(item);
    }
    path.push_back(item);
  });
  TreeView1->addTopLevelItems(roots);
  if (!roots.isEmpty()) roots.front()->setExpanded(true);
  TreeView1->setUpdatesEnabled(true);
}

void TfmMake::ShowMemo() {
  model_.ForEachMemoLine(memoLinesShown_, [this](const std::string& line) {
    Memo1->appendPlainText(FromCp1252(line));
  });
  memoLinesShown_ = model_.MemoLineCount();
}

}  // namespace trivo::gui

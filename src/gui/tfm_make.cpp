#include "tfm_make.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

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
  struct Builder {
    static QTreeWidgetItem* Make(const trivo::TreeNode& node) {
      auto* item = new QTreeWidgetItem(QStringList{FromCp1252(node.Text())});
      for (const auto& child : node.Children()) item->addChild(Make(*child));
      return item;
    }
  };
  for (const auto& root : model_.TreeView1().Roots()) roots.append(Builder::Make(*root));
  TreeView1->addTopLevelItems(roots);
  if (!roots.isEmpty()) roots.front()->setExpanded(true);
  TreeView1->setUpdatesEnabled(true);
}

void TfmMake::ShowMemo() {
  const auto& lines = model_.Memo1();
  for (; memoLinesShown_ < lines.size(); ++memoLinesShown_) {
    Memo1->appendPlainText(FromCp1252(lines[memoLinesShown_]));
  }
}

}  // namespace trivo::gui

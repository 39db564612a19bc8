#pragma once

#include <QDialog>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>

namespace trivo::gui {

// The notice shown when a new project is started: it has to be saved first.
class TDlgFirstSave : public QDialog {
  Q_OBJECT

 public:
  explicit TDlgFirstSave(QWidget* parent = nullptr);

  QFrame* Bevel1;
  QPlainTextEdit* Memo1;
  QPushButton* OKBtn;
};

}  // namespace trivo::gui

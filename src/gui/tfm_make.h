#pragma once

#include <QDialog>

#include "analysis/make_model.h"
#include "project/context.h"

class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace trivo::gui {

// The data-preparation window "Daten aufbereiten": the line tree of the loaded project
// and the parallel runs of its lines. Shown modally by the main window; closing hides
// it and tree, runs and memo keep their contents.
class TfmMake : public QDialog {
  Q_OBJECT

 public:
  explicit TfmMake(trivo::Context& ctx, QWidget* parent = nullptr);

  const trivo::MakeModel& model() const { return model_; }

  QPushButton* btStart;
  QTreeWidget* TreeView1;
  QPlainTextEdit* Memo1;

 public slots:
  void btStartClick();

 private:
  void ShowTree();
  void ShowMemo();

  trivo::Context& ctx_;
  trivo::MakeModel model_;
  std::size_t memoLinesShown_ = 0;
};

}  // namespace trivo::gui

#pragma once

#include <QDialog>

#include "project/context.h"

namespace trivo::gui {

// The web copy window: takes timetables over from HTML tables. Created at start-up with the other
// windows; its content is not built yet.
class TfmWebCopy : public QDialog {
  Q_OBJECT

 public:
  explicit TfmWebCopy(trivo::Context& ctx, QWidget* parent = nullptr);

 private:
  trivo::Context& ctx_;
};

}  // namespace trivo::gui

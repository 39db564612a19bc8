#pragma once

#include <QDialog>

#include "project/context.h"

namespace trivo::gui {

// The timetable editor: one line's timetable for one day group and direction in a grid. Created at
// start-up with the other windows; its content is not built yet.
class TfmEditTimeTable : public QDialog {
  Q_OBJECT

 public:
  explicit TfmEditTimeTable(trivo::Context& ctx, QWidget* parent = nullptr);

 private:
  trivo::Context& ctx_;
};

}  // namespace trivo::gui

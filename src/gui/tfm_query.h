#pragma once

#include <QDialog>

#include "project/context.h"

namespace trivo::gui {

// The connection-query window: searches travel connections between two stations. Created at
// start-up with the other windows; its content is not built yet.
class TfmQuery : public QDialog {
  Q_OBJECT

 public:
  explicit TfmQuery(trivo::Context& ctx, QWidget* parent = nullptr);

 private:
  trivo::Context& ctx_;
};

}  // namespace trivo::gui

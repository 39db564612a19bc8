#include "tfm_edit_time_table.h"

namespace trivo::gui {

TfmEditTimeTable::TfmEditTimeTable(trivo::Context& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx) {
  setObjectName(QStringLiteral("fmEditTimeTable"));
  setWindowTitle(QStringLiteral("Fahrplan bearbeiten"));
}

}  // namespace trivo::gui

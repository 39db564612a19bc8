#include "tfm_web_copy.h"

namespace trivo::gui {

TfmWebCopy::TfmWebCopy(trivo::Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName(QStringLiteral("fmWebCopy"));
  setWindowTitle(QStringLiteral("Fahrplan Kopier-Bereich"));
}

}  // namespace trivo::gui

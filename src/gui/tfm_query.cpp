#include "tfm_query.h"

namespace trivo::gui {

TfmQuery::TfmQuery(trivo::Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName(QStringLiteral("fmQuery"));
  setWindowTitle(QStringLiteral("Verbindugns-Abfrage"));
}

}  // namespace trivo::gui

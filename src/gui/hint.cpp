#include "hint.h"

namespace trivo::gui {

Hint SplitHint(const QString& hint) {
  const qsizetype bar = hint.indexOf(QLatin1Char('|'));
  if (bar < 0) return {hint, hint};
  return {hint.left(bar), hint.mid(bar + 1)};
}

void ApplyHint(QWidget& widget, const QString& hint) {
  const Hint parts = SplitHint(hint);
  widget.setToolTip(parts.tooltip);
  widget.setStatusTip(parts.longHint);
}

void ApplyHint(QAction& action, const QString& hint) {
  const Hint parts = SplitHint(hint);
  action.setToolTip(parts.tooltip);
  action.setStatusTip(parts.longHint);
}

}  // namespace trivo::gui

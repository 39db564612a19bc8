#pragma once

#include <QAction>
#include <QString>
#include <QWidget>

namespace trivo::gui {

// A hint text "tooltip|long hint": the part before "|" is the tooltip, the part after it
// the long hint that the status line shows; without "|" both are the whole text.
struct Hint {
  QString tooltip;
  QString longHint;
};

Hint SplitHint(const QString& hint);
void ApplyHint(QWidget& widget, const QString& hint);
void ApplyHint(QAction& action, const QString& hint);

}  // namespace trivo::gui

#pragma once

#include <QWidget>

namespace trivo::gui {

// Shows a window that may be hidden or behind others in front, with the focus.
inline void BringToFront(QWidget& window) {
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace trivo::gui

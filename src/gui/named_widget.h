#pragma once

#include <QString>

namespace trivo::gui {

// The widget, given its object name: the name tests and style sheets find it by.
template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace trivo::gui

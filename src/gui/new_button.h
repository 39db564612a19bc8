#pragma once

#include <QPushButton>
#include <QString>

namespace trivo::gui {

// A push button of a window, named for tests and style sheets. It never becomes the
// dialog's default button, so Enter in a grid or field never presses it.
inline QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace trivo::gui

#include "trivo_application.h"

#include <exception>

#include "text_codec.h"

namespace trivo::gui {

bool TrivoApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    // trivo::Error carries the German text as Windows-1252 bytes.
    if (errorDisplay_) errorDisplay_(FromCp1252(error.what()));
  }
  return false;
}

}  // namespace trivo::gui

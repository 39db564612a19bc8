#include "trivo_application.h"

#include <clocale>
#include <exception>

#include "common/messages.h"
#include "text_codec.h"

namespace trivo::gui {

TrivoApplication::TrivoApplication(int& argc, char** argv) : QApplication(argc, argv) {
  std::setlocale(LC_NUMERIC, "C");
}

bool TrivoApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    // trivo::Error carries the German text as Windows-1252 bytes; running out of memory
    // gets a German text too.
    if (errorDisplay_) errorDisplay_(FromCp1252(trivo::msg::ErrorText(error)));
  }
  return false;
}

}  // namespace trivo::gui

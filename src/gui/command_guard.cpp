#include "command_guard.h"

#include <exception>

#include "text_codec.h"

namespace trivo::gui {

bool RunCommand(GuiUserInterface& ui, const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const std::exception& error) {
    // trivo::Error carries the German text as Windows-1252 bytes.
    ui.ShowError(FromCp1252(error.what()));
  }
  return false;
}

}  // namespace trivo::gui

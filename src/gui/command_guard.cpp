#include "command_guard.h"

#include <exception>

#include "common/messages.h"
#include "text_codec.h"

namespace trivo::gui {

bool RunCommand(GuiUserInterface& ui, const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const std::exception& error) {
    // trivo::Error carries the German text as Windows-1252 bytes; running out of memory
    // gets a German text too.
    ui.ShowError(FromCp1252(trivo::msg::ErrorText(error)));
  }
  return false;
}

}  // namespace trivo::gui

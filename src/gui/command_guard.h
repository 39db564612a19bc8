#pragma once

#include <functional>

#include "gui_user_interface.h"

namespace trivo::gui {

// Runs one command of a window. An error the command does not handle itself ends it and
// is shown in one error box, as the default error display does; the program goes on
// with the windows in their state at that moment. Returns false when an error ended it.
bool RunCommand(GuiUserInterface& ui, const std::function<void()>& command);

}  // namespace trivo::gui

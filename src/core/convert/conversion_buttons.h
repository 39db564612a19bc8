#pragma once

#include "project/context.h"

namespace trivo {

// Presses the main window's conversion button with that number (1 to 5). Returns false
// for any other number.
bool PressConversionButton(Context& ctx, int button);

}  // namespace trivo

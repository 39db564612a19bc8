#pragma once

#include "project/context.h"

namespace trivo {

// The main window's button 5: converts the timetables of all lines into the tt_, ttc_,
// line_connections, tt_connections and intervals PTF files.
void sbEditTimeTableClick(Context& ctx);

}  // namespace trivo

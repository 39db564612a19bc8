#pragma once

#include "project/context.h"

namespace trivo {

// The main window's buttons 1 to 4: daygroups.ptf, stations.ptf, lines.ptf and
// line_stations.ptf. Each reports one log line or a message box; errors that end the
// command are thrown as trivo::Error.
void sbEditProjectClick(Context& ctx);
void sbEditStationsClick(Context& ctx);
void sbEditLinesClick(Context& ctx);
void sbAssignStationsClick(Context& ctx);

}  // namespace trivo

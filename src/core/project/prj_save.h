#pragma once

#include <filesystem>

#include "project/context.h"

namespace trivo {

// Writes the project file at path from the program facts and PrjParams, key by key:
// [application], [general]/lastsave, [daygroups], then rebuilds cdsDayGroups and writes
// daygroups.ptf into the working directory, and last [timetable]/max_drive_minutes.
//
// Keys already in the file stay unless rewritten (keys of removed day groups remain).
// A key that cannot be written fails with "In %s kann nicht geschrieben werden" and the
// later steps do not run. A daygroups.ptf that cannot be written is reported with a
// message box and the project file is still completed.
//
// When the file already holds [options]/max_drive_minutes, that key is rewritten too:
// reading prefers it, so leaving it alone would bring back an outdated drive time.
void WriteProjectFile(Context& ctx, const std::filesystem::path& path);

}  // namespace trivo

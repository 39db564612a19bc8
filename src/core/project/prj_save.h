#pragma once

#include <filesystem>

#include "project/context.h"

namespace trivo {

class IniFile;

// Writes the keys of the project file from the program facts and the parameters, key by
// key: [application], [general]/lastsave, [daygroups], last [timetable]/max_drive_minutes
// (and [options]/max_drive_minutes when the file holds that key: reading prefers it, so
// leaving it alone would bring back an outdated drive time). Keys already in the file stay
// unless rewritten (keys of removed day groups remain), and so do all other sections.
void WriteProjectSettings(const AppInfo& app, const TPrjParams& params, IniFile& ini);

// Writes the project file at path: WriteProjectSettings, then rebuilds cdsDayGroups and
// writes daygroups.ptf into the working directory. Saved under another name than the loaded
// project's, the file also gets the loaded project's sections that no key of the program
// belongs to (such as [gtfs]) when it lacks them.
//
// A key that cannot be written fails with "In %s kann nicht geschrieben werden" and the
// later steps do not run. A daygroups.ptf that cannot be written is reported with a
// message box and the project file is still completed.
void WriteProjectFile(Context& ctx, const std::filesystem::path& path);

}  // namespace trivo

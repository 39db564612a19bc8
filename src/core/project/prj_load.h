#pragma once

#include <filesystem>

#include "common/job_files.h"
#include "project/prj_params.h"

namespace trivo {

struct ProjectReadResult {
  // True when the file named at least one day group, so the list was replaced and the
  // settings window refreshes its day-group controls.
  bool dayGroupsReplaced = false;
};

// Fills the parameters from a project file, recording it as an input of the job when one
// is given. A missing, unreadable or malformed file leaves every value at its default; only
// a file too large to be read fails (trivo::Error).
ProjectReadResult ReadProjectFile(TPrjParams& params, const std::filesystem::path& path,
                                  JobFiles* job = nullptr);

}  // namespace trivo

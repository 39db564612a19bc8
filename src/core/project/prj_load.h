#pragma once

#include <filesystem>

#include "project/prj_params.h"

namespace trivo {

struct ProjectReadResult {
  // True when the file named at least one day group, so the list was replaced and the
  // settings window refreshes its day-group controls.
  bool dayGroupsReplaced = false;
};

// Fills the parameters from a project file. Never fails: a missing, unreadable or
// malformed file leaves every value at its default.
ProjectReadResult ReadProjectFile(TPrjParams& params, const std::filesystem::path& path);

}  // namespace trivo

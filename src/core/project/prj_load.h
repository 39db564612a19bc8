#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/job_files.h"
#include "project/prj_params.h"

namespace trivo {

struct ProjectReadResult {
  // True when the file named at least one day group, so the list was replaced and the
  // settings window refreshes its day-group controls.
  bool dayGroupsReplaced = false;
};

// Splits a list value of the project file (the day group names, a group's days): pieces
// are cut at ",", blanks stay, empty pieces are dropped, and a piece holding a single or
// double quote runs on to the matching quote character even across commas (the quotes
// stay in the piece).
std::vector<std::string> SplitProjectList(std::string_view text);

// Fills the parameters from a project file, recording it as an input of the job when one
// is given. A missing, unreadable or malformed file leaves every value at its default; only
// a file too large to be read fails (trivo::Error).
ProjectReadResult ReadProjectFile(TPrjParams& params, const std::filesystem::path& path,
                                  JobFiles* job = nullptr);

}  // namespace trivo

#pragma once

#include <string>

#include "project/context.h"
#include "project/prj_load.h"

namespace trivo {

// Loads the named project as opening it in the main window does: reads the project file
// into PrjParams, sets ProjectFileName, makes the file's folder ProjectDir and the working
// directory. The path is made absolute against the working directory.
ProjectReadResult LoadProject(Context& ctx, const std::string& path);

}  // namespace trivo

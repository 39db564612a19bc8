#pragma once

#include "project/context.h"

namespace trivo::cli {

// The program facts of the running `trivo`: its file, the default project beside it
// and the version it was built as.
AppInfo CliAppInfo();

}  // namespace trivo::cli

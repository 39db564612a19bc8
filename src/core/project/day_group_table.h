#pragma once

#include "project/context.h"

namespace trivo {

// Makes cdsDayGroups hold one record per day group of PrjParams, numbered from 1.
void BuildDayGroupTable(Context& ctx);

}  // namespace trivo

#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace trivo::cli {

// The conversion steps of `trivo convert --steps`: comma-separated single digits 1 to 5,
// run in the order given, for example "1,2,3". Returns nothing for any other text
// (empty items, blanks, other numbers).
std::optional<std::vector<int>> ParseStepList(std::string_view text);

// All five steps in order, the default.
std::vector<int> AllSteps();

}  // namespace trivo::cli

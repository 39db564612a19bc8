#pragma once

#include <optional>
#include <string>
#include <vector>

namespace trivo::cli {

struct ProjectCommandSpec;

// All five conversion steps in order, the default.
std::vector<int> AllSteps();

// The conversion steps of the option --steps of spec's command: comma-separated single
// digits 1 to 5, run in the order given, for example "1,2,3". For any other text (empty
// items, blanks, other numbers) the usage error is explained on standard error and
// nothing is returned.
std::optional<std::vector<int>> StepsOption(const ProjectCommandSpec& spec,
                                            const std::string& list);

}  // namespace trivo::cli

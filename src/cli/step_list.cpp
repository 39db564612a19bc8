#include "step_list.h"

#include <string_view>

#include "project_command.h"

namespace trivo::cli {

namespace {

std::optional<std::vector<int>> ParseStepList(std::string_view text) {
  std::vector<int> steps;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string_view item = text.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    if (item.size() != 1 || item[0] < '1' || item[0] > '5') return std::nullopt;
    steps.push_back(item[0] - '0');
    if (comma == std::string_view::npos) return steps;
    start = comma + 1;
  }
}

}  // namespace

std::vector<int> AllSteps() {
  return {1, 2, 3, 4, 5};
}

std::optional<std::vector<int>> StepsOption(const ProjectCommandSpec& spec,
                                            const std::string& list) {
  std::optional<std::vector<int>> steps = ParseStepList(list);
  if (!steps) {
    UsageError(spec, "invalid step list '" + list +
                         "': expected comma-separated numbers 1 to 5, for example 1,2,3");
  }
  return steps;
}

}  // namespace trivo::cli

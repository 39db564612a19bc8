#include "analysis/line_tree.h"

#include "common/comma_list.h"

namespace trivo {

LineTree::Line& LineTree::AddLine(std::string name) {
  lines_.push_back(Line{std::move(name), {}});
  return lines_.back();
}

const std::vector<std::string>& LineTree::Keep(std::vector<std::string> stationLines) {
  kept_.push_back(std::move(stationLines));
  return kept_.back();
}

void LineTree::ForEachOtherLine(const Line& line, const Station& station,
                                const std::function<void(std::string&& name)>& visit) {
  if (!station.lines) return;
  ForEachCommaItem(*station.lines, [&](std::string&& other) {
    if (other != line.name) visit(std::move(other));
  });
}

void LineTree::ForEachNode(
    const std::function<void(std::string_view text, int depth)>& visit) const {
  for (std::size_t root = 0; root < rootCount_; ++root) {
    visit("all", 0);
    if (root > 0) continue;  // every line hangs under the first root
    for (const Line& line : lines_) {
      visit(line.name, 1);
      for (const Station& station : line.stations) {
        visit(station.name, 2);
        ForEachOtherLine(line, station, [&](std::string&& other) { visit(other, 3); });
      }
    }
  }
}

std::size_t LineTree::NodeCount() const {
  std::size_t count = 0;
  ForEachNode([&count](std::string_view, int) { ++count; });
  return count;
}

}  // namespace trivo

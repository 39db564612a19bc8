#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace trivo {

// The lines of stations.csv, one station name each, in file order. A station's position
// is its row and column in the distance matrix.
class StationNames {
 public:
  StationNames() = default;
  explicit StationNames(std::vector<std::string> names);

  const std::vector<std::string>& Names() const { return names_; }
  std::size_t Count() const { return names_.size(); }
  // Position of the first station whose name equals name without regard to letter case,
  // or -1.
  int IndexOf(std::string_view name) const;

 private:
  std::vector<std::string> names_;
  std::unordered_map<std::string, int> index_;  // lower-case name -> first position
};

}  // namespace trivo

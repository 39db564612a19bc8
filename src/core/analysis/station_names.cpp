#include "analysis/station_names.h"

#include "common/strings.h"

namespace trivo {

StationNames::StationNames(std::vector<std::string> names) : names_(std::move(names)) {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    index_.try_emplace(LowerCaseCp1252(names_[i]), static_cast<int>(i));
  }
}

int StationNames::IndexOf(std::string_view name) const {
  const auto it = index_.find(LowerCaseCp1252(name));
  return it == index_.end() ? -1 : it->second;
}

}  // namespace trivo

#include "common/name_value_list.h"

#include "common/name_value.h"
#include "common/strings.h"

namespace trivo {

NameValueList::NameValueList(std::vector<std::string> lines) : lines_(std::move(lines)) {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].find('=') == std::string::npos) continue;
    index_.try_emplace(LowerCaseCp1252(NameOf(lines_[i])), i);
  }
}

const std::string* NameValueList::Find(std::string_view name) const {
  const auto it = index_.find(LowerCaseCp1252(name));
  return it == index_.end() ? nullptr : &lines_[it->second];
}

bool NameValueList::Contains(std::string_view name) const {
  return Find(name) != nullptr;
}

std::string_view NameValueList::Value(std::string_view name) const {
  const std::string* line = Find(name);
  return line == nullptr ? std::string_view() : ValueOf(*line);
}

void NameValueList::SetValue(std::string_view name, std::string_view value) {
  std::string line(name);
  line += '=';
  line += value;
  const auto [it, added] = index_.try_emplace(LowerCaseCp1252(name), lines_.size());
  if (added) {
    lines_.push_back(std::move(line));
  } else {
    lines_[it->second] = std::move(line);
  }
}

void NameValueList::Clear() {
  lines_.clear();
  index_.clear();
}

}  // namespace trivo

#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace trivo {

// A list of "<name>=<value>" lines read the way name=value lists are read: a name
// matches without regard to letter case, the first line with that name counts, lines
// without "=" name nothing, and a missing name gives the empty value. Names are looked
// up through an index, so long lists stay fast.
class NameValueList {
 public:
  NameValueList() = default;
  explicit NameValueList(std::vector<std::string> lines);

  const std::vector<std::string>& Lines() const { return lines_; }
  bool Contains(std::string_view name) const;
  std::string_view Value(std::string_view name) const;
  // Replaces the first line with that name by "<name>=<value>", or appends such a line.
  void SetValue(std::string_view name, std::string_view value);
  void Clear();

 private:
  const std::string* Find(std::string_view name) const;

  std::vector<std::string> lines_;
  std::unordered_map<std::string, std::size_t> index_;  // lower-case name -> first line
};

}  // namespace trivo

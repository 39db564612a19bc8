#include "common/name_value.h"

#include "common/strings.h"

namespace trivo {

std::string_view NameOf(std::string_view line) {
  const std::size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view() : line.substr(0, eq);
}

std::string_view ValueOf(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq != std::string_view::npos) return line.substr(eq + 1);
  return line.empty() ? line : line.substr(1);
}

int IndexOfName(const std::vector<std::string>& lines, std::string_view name) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::size_t eq = lines[i].find('=');
    if (eq != std::string::npos && SameText(std::string_view(lines[i]).substr(0, eq), name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string ValueOfName(const std::vector<std::string>& lines, std::string_view name) {
  const int index = IndexOfName(lines, name);
  return index < 0 ? std::string() : std::string(ValueOf(lines[index]));
}

}  // namespace trivo

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trivo {

// The name of a "<name>=<value>" line: the text before the first "="; empty when the
// line has no "=".
std::string_view NameOf(std::string_view line);
// The value: the text after the first "="; for a line without "=", the line from its
// second character on.
std::string_view ValueOf(std::string_view line);

// Position of the first line that has an "=" and whose name equals name without regard
// to letter case, or -1.
int IndexOfName(const std::vector<std::string>& lines, std::string_view name);
// The value of that line, or the empty text.
std::string ValueOfName(const std::vector<std::string>& lines, std::string_view name);

}  // namespace trivo

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trivo {

// Appends the pieces of text between delimiters to list (not emptied first) and returns
// how many were appended. A final empty piece is not appended; quotes mean nothing.
int SplitString(std::string_view text, std::vector<std::string>& list, char delimiter);

// Position of the first entry equal to text (exact comparison), or -1.
template <typename List>
int IndexOfString(const List& list, std::string_view text) {
  int i = 0;
  for (const auto& entry : list) {
    if (std::string_view(entry) == text) return i;
    ++i;
  }
  return -1;
}

// Least common multiple of two positive integers.
std::int64_t LeastCommonMultiple(std::int64_t a, std::int64_t b);

}  // namespace trivo

#include "common/sy_standard.h"

#include <algorithm>
#include <numeric>

namespace trivo {

int SplitString(std::string_view text, std::vector<std::string>& list, char delimiter) {
  int count = 0;
  for (std::size_t at = text.find(delimiter); at != std::string_view::npos;
       at = text.find(delimiter)) {
    list.emplace_back(text.substr(0, at));
    ++count;
    text.remove_prefix(at + 1);
  }
  if (!text.empty()) {
    list.emplace_back(text);
    ++count;
  }
  return count;
}

std::int64_t LeastCommonMultiple(std::int64_t a, std::int64_t b) {
  // The first multiple of the larger number that the smaller divides, found through the
  // greatest common divisor instead of trying multiple after multiple. Numbers that are
  // not positive, or a result beyond the range, give 0.
  if (a <= 0 || b <= 0) return 0;
  const std::int64_t larger = std::max(a, b);
  const std::int64_t smaller = std::min(a, b);
  std::int64_t result = 0;
  if (__builtin_mul_overflow(larger, smaller / std::gcd(larger, smaller), &result)) return 0;
  return result;
}

}  // namespace trivo

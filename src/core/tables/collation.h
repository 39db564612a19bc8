#pragma once

#include <string>
#include <string_view>

namespace trivo {

// The sort key of a Windows-1252 text under the root collation at tertiary strength
// (letter case and accents count). Comparing two keys bytewise orders the texts the way
// the table indexes do; texts that the collation finds equal get equal keys, so callers
// break ties on the raw bytes.
std::string CollationKey(std::string_view cp1252Text);

}  // namespace trivo

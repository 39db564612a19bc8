#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trivo {

// Splits a list value by the comma-list rule: blanks and control characters before an
// item are skipped; an item that begins with a double quote runs to the next double quote
// that is not doubled (a doubled one stands for one; a quote never closed takes the rest
// of the text except its last character); any other item runs up to the next blank,
// control character or comma. Between items blanks are skipped and one comma consumed;
// two commas give an empty item, a comma at the very end a final empty item.
std::vector<std::string> SplitCommaList(std::string_view text);

// The same items, handed to visit one by one in order instead of collected.
void ForEachCommaItem(std::string_view text, const std::function<void(std::string&& item)>& visit);

}  // namespace trivo

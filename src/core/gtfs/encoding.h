#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trivo::gtfs {

// A UTF-8 text converted to the project's code page.
struct Cp1252Text {
  std::string text;
  std::size_t replaced = 0;  // characters Windows-1252 lacks, each written as '?'
  std::size_t invalid = 0;   // byte sequences that are no UTF-8, each written as '?'
  bool Lossless() const { return replaced == 0 && invalid == 0; }
};

// UTF-8 to Windows-1252 (ICU's UTF-8 decoding). A character the code page lacks becomes
// its base letter when its canonical decomposition starts with one the code page holds
// ("ő" -> "o"), else '?'; either counts as replaced. A byte order mark is dropped.
Cp1252Text Utf8ToCp1252(std::string_view utf8);

// Whether the text is well-formed UTF-8.
bool IsUtf8(std::string_view text);
// The text with every byte sequence that is no UTF-8 replaced by '?'.
std::string RepairedUtf8(std::string_view text);

// Windows-1252 to UTF-8; every byte has its character.
std::string Cp1252ToUtf8(std::string_view text);

}  // namespace trivo::gtfs

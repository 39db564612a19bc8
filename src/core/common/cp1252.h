#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trivo {

// Windows-1252 to Unicode. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control characters of the same number.
char32_t Cp1252ToUnicode(unsigned char byte);
std::u16string DecodeCp1252(std::string_view bytes);

// The UTF-8 form of a Windows-1252 text.
std::string Utf8FromCp1252(std::string_view text);
// A JSON string literal (quotes included, in UTF-8) of a Windows-1252 text.
std::string JsonString(std::string_view cp1252Text);

// Unicode to Windows-1252; empty when the code page cannot hold the character.
std::optional<char> UnicodeToCp1252(char32_t character);

}  // namespace trivo

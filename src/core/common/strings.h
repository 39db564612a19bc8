#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trivo {

// Removes every character whose code is at most that of the blank (blanks and
// control characters) from both ends.
std::string Trim(std::string_view text);

// The text in double quotes, each double quote inside doubled: how a comma list item
// (SplitCommaList) or a cell of tab-separated lines holds any text.
std::string DoubleQuoted(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Integer text: leading blanks, an optional "+" or "-", then decimal digits; a leading
// "$", "x", "X", "0x" or "0X" after the sign makes the digits hexadecimal. Anything
// after the digits, or a value outside the signed 32-bit range, makes the text invalid.
std::optional<std::int32_t> TryStrToInt(std::string_view text);
// Fails with "'%s' ist kein gültiger Integerwert".
std::int32_t StrToInt(std::string_view text);
std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue);

// Decimal number with "." as decimal point: optional sign, digits with an optional
// fraction (at least one digit), optional exponent. Nothing else, no blanks.
bool IsDecimalNumber(std::string_view text);
// Fails with "'%s' ist kein gültiger Gleitkommawert" when the text is not a decimal number.
double StrToFloat(std::string_view text);
// Shortest general form with at most 15 significant digits, "." as decimal point,
// no trailing zeros (7.5 -> "7.5", 10.0 -> "10").
std::string FloatToStr(double value);

// Letter case of Windows-1252 text, for comparisons that ignore it.
char LowerCp1252(char c);
std::string LowerCaseCp1252(std::string_view text);
bool SameText(std::string_view a, std::string_view b);

}  // namespace trivo

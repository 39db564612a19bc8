#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trivo {

// Class of a timetable cell text.
enum class TCellState : std::uint8_t {
  csError = 0,
  csTime = 1,
  csInterval = 2,
  csEmpty = 3,
  csDummy = 4,  // never returned by the classification; treated like csError
};

struct DecodedTime {
  bool valid = false;
  bool set = false;  // whether hours and minutes were set (a colon with text on both sides)
  std::int32_t hours = -1;
  std::int32_t minutes = -1;
};

// The cell notation: times "7:05", intervals "10 Min", empty cells. Pure functions.
TCellState GetTimeStringState(std::string_view text);
DecodedTime DecodeTimeString(std::string_view text);
// Minutes after midnight, or -1. The text is not trimmed.
std::int32_t TimeStringToMinutes(std::string_view text);
// The number of an interval text, or -1.
std::int32_t StringToInterval(std::string_view text);
// "07:05" for 7 and 5; empty unless 0 <= hours <= 23 and 0 <= minutes <= 59.
std::string EncodeTimeString(std::int32_t hours, std::int32_t minutes);

// A cell at the start of a row's text, up to the next comma or the end, in one of the
// two forms the editor writes: a time "HH:MM" or "H:MM" (digits only) or an interval
// "<number> Min" (one to four digits). For such a cell the state and value are what the
// general way (GetTimeStringState, TimeStringToMinutes, StringToInterval) gives; any other
// cell reads as csError with length 0 and takes the general way. The conversion meets
// millions of cells; this spares almost all of them the general classification.
struct PlainCell {
  TCellState state = TCellState::csError;  // csTime, csInterval, or csError (not plain)
  std::int32_t value = -1;                 // minutes after midnight, or the interval
  std::size_t length = 0;                  // of the cell, its comma not counted
};

inline PlainCell ReadPlainCell(std::string_view text) {
  const std::size_t size = text.size();
  const auto digit = [text](std::size_t i) {
    return static_cast<unsigned>(static_cast<unsigned char>(text[i])) - unsigned{'0'};
  };
  const auto endsAt = [text, size](std::size_t length) {
    return size == length || (size > length && text[length] == ',');
  };
  // Times: the colon as the third or second character, the end or a comma after it.
  std::size_t colon = 0;
  if (size >= 5 && text[2] == ':' && endsAt(5)) {
    colon = 2;
  } else if (size >= 4 && text[1] == ':' && endsAt(4)) {
    colon = 1;
  }
  if (colon != 0) {
    const unsigned hours = colon == 2 ? digit(0) * 10 + digit(1) : digit(0);
    const unsigned tens = digit(colon + 1);
    const unsigned ones = digit(colon + 2);
    if ((digit(0) > 9) || (digit(colon - 1) > 9) || (tens > 5) || (ones > 9) || (hours > 23))
      return {};
    return {TCellState::csTime, static_cast<std::int32_t>(hours * 60 + tens * 10 + ones),
            colon + 3};
  }
  // Intervals: digits, then " Min".
  std::size_t digits = 0;
  unsigned number = 0;
  while (digits < 4 && digits < size && digit(digits) <= 9) number = number * 10 + digit(digits++);
  if (digits == 0 || size < digits + 4 || text.substr(digits, 4) != " Min" || !endsAt(digits + 4)) {
    return {};
  }
  return {TCellState::csInterval, static_cast<std::int32_t>(number), digits + 4};
}

}  // namespace trivo

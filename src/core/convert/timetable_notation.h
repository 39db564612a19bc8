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

}  // namespace trivo

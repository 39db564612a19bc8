#include "convert/timetable_notation.h"

#include <optional>

#include "common/strings.h"

namespace trivo {

namespace {

// Trimming without a copy: the classification runs for every cell of every timetable.
std::string_view TrimView(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

constexpr std::string_view kIntervalUnit = "Min";

// The number before " Min" (the text without its last four characters) as integer text.
// The caller has made sure the text ends in "Min".
std::optional<std::int32_t> IntervalNumber(std::string_view trimmed) {
  if (trimmed.size() < kIntervalUnit.size() + 1) return std::nullopt;
  return TryStrToInt(trimmed.substr(0, trimmed.size() - kIntervalUnit.size() - 1));
}

bool IsTimeOfDay(std::int32_t hours, std::int32_t minutes) {
  return hours >= 0 && hours <= 23 && minutes >= 0 && minutes <= 59;
}

void AppendTwoDigits(std::string& out, std::int32_t value) {
  out.push_back(static_cast<char>('0' + value / 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

TCellState GetTimeStringState(std::string_view text) {
  const std::string_view t = TrimView(text);
  if (t.empty()) return TCellState::csEmpty;
  const std::size_t length = t.size();
  if (length > kIntervalUnit.size() && t.ends_with(kIntervalUnit) &&
      t[length - kIntervalUnit.size() - 1] == ' ') {
    const auto number = IntervalNumber(t);
    if (number && *number >= 0) return TCellState::csInterval;
  }
  if (length < 3) return TCellState::csError;
  return DecodeTimeString(t).valid ? TCellState::csTime : TCellState::csError;
}

DecodedTime DecodeTimeString(std::string_view text) {
  DecodedTime result;
  const std::size_t colon = text.find(':');
  const std::size_t length = text.size();
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == length || length < 3) {
    return result;
  }
  result.set = true;
  result.hours = TryStrToInt(text.substr(0, colon)).value_or(-1);
  result.minutes = TryStrToInt(text.substr(colon + 1)).value_or(-1);
  result.valid = IsTimeOfDay(result.hours, result.minutes);
  return result;
}

std::int32_t TimeStringToMinutes(std::string_view text) {
  const DecodedTime time = DecodeTimeString(text);
  return time.valid ? time.hours * 60 + time.minutes : -1;
}

std::int32_t StringToInterval(std::string_view text) {
  const std::string_view t = TrimView(text);
  if (!t.ends_with(kIntervalUnit)) return -1;
  return IntervalNumber(t).value_or(-1);
}

std::string EncodeTimeString(std::int32_t hours, std::int32_t minutes) {
  std::string result;
  if (!IsTimeOfDay(hours, minutes)) return result;
  AppendTwoDigits(result, hours);
  result.push_back(':');
  AppendTwoDigits(result, minutes);
  return result;
}

}  // namespace trivo

// The timetable cell notation. Input: a text; it and each of its comma-separated cells
// are classified and converted.
//
// Properties: the classification agrees with the conversions: a csTime text decodes to a
// time of day, and when TimeStringToMinutes accepts it the minutes encode back to a time
// text of the same value and class; a csInterval text has a number of minutes; a csEmpty
// text is blank; a text that converts to minutes is itself csTime.

#include <string>
#include <string_view>
#include <vector>

#include "common/strings.h"
#include "common/sy_standard.h"
#include "convert/timetable_notation.h"
#include "fuzz_support.h"

namespace trivo {
namespace {

void CheckCell(std::string_view text) {
  const TCellState state = GetTimeStringState(text);
  const std::string trimmed = Trim(text);
  const std::int32_t minutes = TimeStringToMinutes(text);
  const std::int32_t interval = StringToInterval(text);
  FUZZ_CHECK(state != TCellState::csDummy);
  FUZZ_CHECK((state == TCellState::csEmpty) == trimmed.empty());

  if (minutes >= 0) {
    FUZZ_CHECK(state == TCellState::csTime);
    FUZZ_CHECK(minutes < 24 * 60);
  }
  if (state == TCellState::csTime) {
    const DecodedTime time = DecodeTimeString(trimmed);
    FUZZ_CHECK(time.valid && time.set);
    const std::int32_t value = TimeStringToMinutes(trimmed);
    FUZZ_CHECK(value == time.hours * 60 + time.minutes);
    FUZZ_CHECK(minutes < 0 || minutes == value);
    const std::string encoded = EncodeTimeString(value / 60, value % 60);
    FUZZ_CHECK(encoded.size() == 5);
    FUZZ_CHECK(GetTimeStringState(encoded) == TCellState::csTime);
    FUZZ_CHECK(TimeStringToMinutes(encoded) == value);
    FUZZ_CHECK(EncodeTimeString(time.hours, time.minutes) == encoded);
    FUZZ_CHECK(interval < 0);
  }
  if (state == TCellState::csInterval) {
    FUZZ_CHECK(interval >= 0);
    const std::string written = std::to_string(interval) + " Min";
    FUZZ_CHECK(GetTimeStringState(written) == TCellState::csInterval);
    FUZZ_CHECK(StringToInterval(written) == interval);
  }
  const DecodedTime decoded = DecodeTimeString(text);
  FUZZ_CHECK(decoded.valid == (minutes >= 0));
  FUZZ_CHECK(!decoded.valid || decoded.set);
}

}  // namespace
}  // namespace trivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  const std::string_view text = fuzz::AsText(data, size);
  CheckCell(text);
  std::vector<std::string> cells;
  SplitString(text, cells, ',');
  for (const std::string& cell : cells) CheckCell(cell);
  return 0;
}

#include "common/minutes.h"

namespace trivo {

std::string HourMinuteText(Minutes time) {
  std::int32_t count = time.Count();
  std::string text;
  if (count < 0) {
    text.push_back('-');
    count = -count;
  }
  const std::int32_t hours = count / 60;
  const std::int32_t minutes = count % 60;
  if (hours < 10) text.push_back('0');
  text.append(std::to_string(hours));
  text.push_back(':');
  if (minutes < 10) text.push_back('0');
  text.append(std::to_string(minutes));
  return text;
}

}  // namespace trivo

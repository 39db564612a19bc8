#include "project/prj_params.h"

#include <chrono>
#include <cstdio>

namespace trivo {

std::string FormatLastSave(const std::tm& localTime) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", localTime.tm_mday, localTime.tm_mon + 1,
                localTime.tm_year + 1900);
  std::string text = buffer;
  if (localTime.tm_hour != 0 || localTime.tm_min != 0 || localTime.tm_sec != 0) {
    std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d", localTime.tm_hour, localTime.tm_min,
                  localTime.tm_sec);
    text += buffer;
  }
  return text;
}

std::string CurrentLastSave() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  std::string text = FormatLastSave(local);
  // Only exactly midnight goes without the time; a moment within its first second does not.
  const auto fraction = now - std::chrono::system_clock::from_time_t(seconds);
  if (local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0 &&
      fraction >= std::chrono::milliseconds(1)) {
    text += " 00:00:00";
  }
  return text;
}

std::string DaysAsDigits(Weekdays days) {
  std::string digits;
  for (std::size_t day = 0; day < days.size(); ++day) digits += days.test(day) ? '1' : '0';
  return digits;
}

}  // namespace trivo

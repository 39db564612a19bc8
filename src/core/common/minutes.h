#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace trivo {

// A whole number of minutes: a time counted from midnight of its service day (past 1440
// for the hours after midnight, negative for the evening before) or a duration. One type
// for both, so that minutes never mix with other integers by accident.
class Minutes {
 public:
  constexpr Minutes() = default;
  constexpr explicit Minutes(std::int32_t count) : count_(count) {}
  static constexpr Minutes Hours(std::int32_t hours) { return Minutes(hours * 60); }

  constexpr std::int32_t Count() const { return count_; }
  // The time of day, 0 to 1439.
  constexpr Minutes OfDay() const { return Minutes(((count_ % 1440) + 1440) % 1440); }
  // Whole days from the service day's midnight (negative before it).
  constexpr std::int32_t Day() const {
    return count_ >= 0 ? count_ / 1440 : -((-count_ + 1439) / 1440);
  }

  friend constexpr auto operator<=>(Minutes, Minutes) = default;
  friend constexpr Minutes operator+(Minutes a, Minutes b) { return Minutes(a.count_ + b.count_); }
  friend constexpr Minutes operator-(Minutes a, Minutes b) { return Minutes(a.count_ - b.count_); }
  friend constexpr Minutes operator*(Minutes a, std::int32_t k) { return Minutes(a.count_ * k); }
  constexpr Minutes& operator+=(Minutes other) {
    count_ += other.count_;
    return *this;
  }
  constexpr Minutes& operator-=(Minutes other) {
    count_ -= other.count_;
    return *this;
  }

 private:
  std::int32_t count_ = 0;
};

inline constexpr Minutes kOneDay{1440};

// "07:05"; the hours go on past 23 for the next day ("24:05", "25:10"); a negative time
// gives "-00:10".
std::string HourMinuteText(Minutes time);

}  // namespace trivo

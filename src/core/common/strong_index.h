#pragma once

#include <compare>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace trivo {

// An index that says what it counts: StrongIndex<struct StationTag> and
// StrongIndex<struct TripTag> do not mix, and neither mixes with a plain integer.
template <typename Tag, typename Value = std::uint32_t>
class StrongIndex {
 public:
  using value_type = Value;
  static constexpr Value kInvalidValue = std::numeric_limits<Value>::max();

  constexpr StrongIndex() = default;
  template <std::integral Integer>
  constexpr explicit StrongIndex(Integer value) : value_(static_cast<Value>(value)) {}
  static constexpr StrongIndex Invalid() { return StrongIndex(); }

  constexpr Value Get() const { return value_; }
  constexpr std::size_t Slot() const { return static_cast<std::size_t>(value_); }
  constexpr bool Valid() const { return value_ != kInvalidValue; }

  constexpr StrongIndex& operator++() {
    ++value_;
    return *this;
  }
  friend constexpr auto operator<=>(StrongIndex, StrongIndex) = default;

 private:
  Value value_ = kInvalidValue;
};

// A vector addressed by one kind of index only.
template <typename Index, typename T>
class IndexedVector {
 public:
  IndexedVector() = default;
  explicit IndexedVector(std::size_t size, const T& value = T()) : items_(size, value) {}

  T& operator[](Index index) { return items_[index.Slot()]; }
  const T& operator[](Index index) const { return items_[index.Slot()]; }
  Index push_back(T item) {
    items_.push_back(std::move(item));
    return Index(items_.size() - 1);
  }
  template <typename... Args>
  T& emplace_back(Args&&... args) {
    return items_.emplace_back(std::forward<Args>(args)...);
  }
  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  void reserve(std::size_t size) { items_.reserve(size); }
  void resize(std::size_t size, const T& value = T()) { items_.resize(size, value); }
  void assign(std::size_t size, const T& value) { items_.assign(size, value); }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  std::vector<T>& Items() { return items_; }
  const std::vector<T>& Items() const { return items_; }

 private:
  std::vector<T> items_;
};

}  // namespace trivo

template <typename Tag, typename Value>
struct std::hash<trivo::StrongIndex<Tag, Value>> {
  std::size_t operator()(trivo::StrongIndex<Tag, Value> index) const noexcept {
    return std::hash<Value>{}(index.Get());
  }
};

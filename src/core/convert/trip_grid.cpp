#include "convert/trip_grid.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "ptf/ptf_writer.h"

namespace trivo {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::int32_t kMinutesPerDay = 1440;

void AppendInt(std::string& out, std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// The most characters a cell takes: an int32 ("-2147483648") and its comma.
constexpr std::size_t kCellWidth = 12;

// The text of every number below kTableSize (the minutes of two days: a time and its
// roll-over past midnight) with its comma, packed into eight bytes as a little-endian
// machine stores them, its length in the top byte.
constexpr std::int32_t kTableSize = 2 * kMinutesPerDay;
constexpr auto kNumberTexts = [] {
  std::array<std::uint64_t, kTableSize> texts{};
  for (std::int32_t value = 0; value < kTableSize; ++value) {
    char digits[4] = {};
    std::uint64_t length = 0;
    for (std::int32_t rest = value; rest > 0 || length == 0; rest /= 10) {
      digits[length++] = static_cast<char>('0' + rest % 10);
    }
    std::uint64_t word = 0;
    for (std::uint64_t i = 0; i < length; ++i) {
      word |= static_cast<std::uint64_t>(static_cast<unsigned char>(digits[length - 1 - i]))
              << (8 * i);
    }
    word |= std::uint64_t{','} << (8 * length);
    texts[static_cast<std::size_t>(value)] = word | ((length + 1) << 56);
  }
  return texts;
}();

// Writes the value and a comma at out, returns the end; out must have room for
// kCellWidth characters (at least eight). Almost every cell is "-1" (no stop) or minutes
// within two days: those are copied from the table in a single store of eight bytes, of
// which the ones after the comma are overwritten by the next cell.
char* PutCell(char* out, std::int32_t value) {
  if constexpr (std::endian::native == std::endian::little) {
    if (value >= 0 && value < kTableSize) {
      const std::uint64_t text = kNumberTexts[static_cast<std::size_t>(value)];
      std::memcpy(out, &text, sizeof text);
      return out + (text >> 56);
    }
  }
  if (value == TripGrid::kNoStop) {
    std::memcpy(out, "-1,", 3);
    return out + 3;
  }
  out = std::to_chars(out, out + kCellWidth, value).ptr;
  *out = ',';
  return out + 1;
}

}  // namespace

void TripGrid::Clear() {
  headers_.assign(1, std::string_view{});
  cells_.clear();
  columnStart_.assign(1, 0);
  maxTrips_ = 0;
}

void TripGrid::SetHeaders(const std::vector<std::string_view>& headers) {
  headers_ = headers;
  if (headers_.empty()) headers_.emplace_back();
}

void TripGrid::DeleteColumn(int col) {
  if (headers_.size() == 1) {
    headers_.front() = {};
    return;
  }
  const auto index = std::min(static_cast<std::size_t>(col), headers_.size() - 1);
  headers_.erase(headers_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TripGrid::KeepColumnsBefore(int col) {
  const auto keep = static_cast<std::size_t>(std::max(col, 1));
  if (keep < headers_.size()) headers_.resize(keep);
}

std::int32_t* TripGrid::AddColumnCells(int count) {
  const std::size_t start = cells_.size();
  cells_.resize(start + static_cast<std::size_t>(count), kNoStop);
  columnStart_.push_back(cells_.size());
  maxTrips_ = std::max(maxTrips_, count);
  return cells_.data() + start;
}

void TripGrid::FillEmptyHeaders() {
  for (auto& header : headers_) {
    if (header.empty()) header = "-1";
  }
}

std::int32_t TripGrid::Cell(int col, int trip) const {
  if (col >= FilledCols()) return kNoStop;
  const std::size_t begin = columnStart_[static_cast<std::size_t>(col)];
  const std::size_t end = columnStart_[static_cast<std::size_t>(col) + 1];
  const std::size_t index = begin + static_cast<std::size_t>(trip) - 1;
  return index < end ? cells_[index] : kNoStop;
}

void TripGrid::AppendPtfText(std::string& out) const {
  const int cols = ColCount();
  out.reserve(out.size() + 128 +
              static_cast<std::size_t>(maxTrips_) * (static_cast<std::size_t>(cols) * 6 + 10));
  out.append(kPtfFirstLine).append(kCrLf);
  out.append(kPtfSecondLine).append(kCrLf);
  out.append("\"ID\",");
  for (int col = 1; col <= cols; ++col) {
    out.push_back('"');
    AppendInt(out, col);
    out.append("\",");
  }
  out.append(kCrLf);
  // Each trip row is put together in a buffer that has room for the widest cells, then
  // appended. The cells of a column are looked up once per table, not once per cell.
  std::vector<const std::int32_t*> columnCells(static_cast<std::size_t>(cols), nullptr);
  std::vector<int> columnTrips(static_cast<std::size_t>(cols), 0);
  for (int col = 0; col < std::min(cols, FilledCols()); ++col) {
    const auto c = static_cast<std::size_t>(col);
    columnCells[c] = cells_.data() + columnStart_[c];
    columnTrips[c] = static_cast<int>(columnStart_[c + 1] - columnStart_[c]);
  }
  std::string row((static_cast<std::size_t>(cols) + 1) * kCellWidth + kCrLf.size(), '\0');
  for (int trip = 1; trip <= maxTrips_; ++trip) {
    char* put = PutCell(row.data(), trip);
    // A time smaller than the one before it belongs to the next day; once a trip has
    // passed midnight, every later time of it is moved as well, up to the next cell
    // without a time.
    std::int32_t last = 0;
    for (std::size_t col = 0; col < columnCells.size(); ++col) {
      std::int32_t value = trip <= columnTrips[col] ? columnCells[col][trip - 1] : kNoStop;
      if (value >= 0 && value < last) {
        value += kMinutesPerDay;
        last = value + kMinutesPerDay;
      } else {
        last = value;
      }
      put = PutCell(put, value);
    }
    *put++ = '\r';
    *put++ = '\n';
    out.append(row.data(), put);
  }
  AppendInt(out, static_cast<std::int64_t>(cols) + 1);
  out.append(");").append(kCrLf);
}

}  // namespace trivo

#include "convert/trip_grid.h"

#include <algorithm>
#include <charconv>

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
  out.reserve(out.size() + 128 + static_cast<std::size_t>(cols) * 8 +
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
  for (int trip = 1; trip <= maxTrips_; ++trip) {
    AppendInt(out, trip);
    out.push_back(',');
    // A time smaller than the one before it belongs to the next day; once a trip has
    // passed midnight, every later time of it is moved as well, up to the next cell
    // without a time.
    std::int32_t last = 0;
    for (int col = 0; col < cols; ++col) {
      std::int32_t value = Cell(col, trip);
      if (value >= 0 && value < last) {
        value += kMinutesPerDay;
        last = value + kMinutesPerDay;
      } else {
        last = value;
      }
      AppendInt(out, value);
      out.push_back(',');
    }
    out.append(kCrLf);
  }
  AppendInt(out, static_cast<std::int64_t>(cols) + 1);
  out.append(");").append(kCrLf);
}

}  // namespace trivo

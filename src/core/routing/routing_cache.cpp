#include "routing/routing_cache.h"

#include <system_error>

#include "common/strings.h"
#include "common/text_file.h"
#include "convert/ttd_file.h"

namespace trivo {

namespace {

constexpr std::size_t kKeptDays = 8;

}  // namespace

std::vector<RoutingCache::Stamp> RoutingCache::StampsOf(const Context& ctx) {
  std::vector<Stamp> stamps;
  const auto add = [&](const std::filesystem::path& path) {
    Stamp stamp{.path = path.string()};
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(path, error);
    if (!error) stamp.modified = modified.time_since_epoch().count();
    stamp.size = std::filesystem::file_size(path, error);
    if (error) stamp.size = static_cast<std::uintmax_t>(-1);
    stamps.push_back(std::move(stamp));
  };
  if (!ctx.ProjectFileName.empty()) add(ctx.ProjectFileName);
  add(ctx.ProjectFile("stations.csv"));
  const std::filesystem::path lines = ctx.ProjectFile("lines.csv");
  add(lines);
  for (const std::string& line : SplitTextLines(TryReadFileBytes(lines).bytes)) {
    const std::string name = Trim(line);
    if (name.empty()) continue;
    if (const auto path = TimetableFilePath(ctx, name)) add(*path);
  }
  return stamps;
}

const ProjectTrips& RoutingCache::Trips(const Context& ctx) {
  std::vector<Stamp> stamps = StampsOf(ctx);
  if (!trips_ || stamps != stamps_) {
    days_.clear();
    trips_ = std::make_unique<ProjectTrips>(ReadProjectTrips(ctx));
    stamps_ = std::move(stamps);
    ++reads_;
  }
  return *trips_;
}

const DayTimetable& RoutingCache::Day(const Context& ctx, const DaySelection& day) {
  const ProjectTrips& trips = Trips(ctx);
  for (const auto& [selection, timetable] : days_) {
    if (selection == day) return *timetable;
  }
  if (days_.size() >= kKeptDays) days_.erase(days_.begin());
  days_.emplace_back(day, std::make_unique<DayTimetable>(trips, day));
  return *days_.back().second;
}

}  // namespace trivo

// The connection query. Input: stations.csv, line_stations.csv, station_lines.csv,
// distances.csv, the .ttd files of the first two lines of line_stations.csv, and three
// bytes choosing the start station, the destination and the start time. The window is
// shown (network, distance matrix, transfer maps) and one query runs. Only the first 64
// stations are kept, so that the matrix stays small and the run fast.
//
// Properties: only German errors (trivo::Error) end a step; the distance matrix equals
// the one the repeated passes over all cells give; the top list is ordered by total
// minutes and no longer than its capacity.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/distance_file.h"
#include "analysis/query_model.h"
#include "common/error.h"
#include "common/name_value.h"
#include "common/text_file.h"
#include "fuzz_support.h"
#include "project/context.h"
#include "test_support.h"

namespace trivo {
namespace {

constexpr std::size_t kMaxStations = 64;

void CheckDistanceMatrix(const Context& ctx, const Network& network) {
  const std::size_t n = network.StationList.Count();
  MinuteMatrix byPasses(n);
  std::vector<DistanceEdge> edges;
  EnterDistanceFile(IniFile(ctx.ProjectFile("distances.csv")), network.StationList, byPasses,
                    edges);
  for (std::size_t i = 0; i < n; ++i) {
    if (byPasses.At(i, i) == NoDistance) byPasses.Set(i, i, 0);
  }
  CloseDistancesByPasses(byPasses);
  FUZZ_CHECK(byPasses == network.DistanceMatrix);
}

}  // namespace
}  // namespace trivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  const auto parts = fuzz::SplitParts(fuzz::AsText(data, size), 7);
  std::vector<std::string> stations = SplitTextLines(parts[0]);
  if (stations.size() > kMaxStations) stations.resize(kMaxStations);
  test::TempDir dir;
  dir.Write("stations.csv", JoinLinesCrLf(stations));
  dir.Write("line_stations.csv", parts[1]);
  dir.Write("station_lines.csv", parts[2]);
  dir.Write("distances.csv", parts[3]);
  const std::vector<std::string> courses = SplitTextLines(parts[1]);
  for (std::size_t i = 0; i < 2 && i < courses.size(); ++i) {
    const std::string_view line = NameOf(courses[i]);
    if (line.empty() || !fuzz::UsableFileName(line)) continue;
    dir.Write("line_" + std::string(line) + ".ttd", parts[4 + i]);
  }

  test::RecordingUserInterface ui;
  Context ctx(ui);
  fuzz::UseFolder(ctx, dir.path());
  QueryModel query;
  try {
    query.FormShow(ctx);
  } catch (const Error&) {
    return 0;  // a file or integer error ends the showing
  }
  CheckDistanceMatrix(ctx, query.network());

  const std::vector<std::string>& names = query.StationItems();
  const std::string_view choice = parts[6];
  if (names.empty() || choice.size() < 3) return 0;
  query.cbStartStation.Text = names[static_cast<unsigned char>(choice[0]) % names.size()];
  query.cbZielStation.Text = names[static_cast<unsigned char>(choice[1]) % names.size()];
  query.dtpStartTime = static_cast<unsigned char>(choice[2]) * 1440 / 256;
  try {
    query.btStartQueryClick(ctx);
  } catch (const Error&) {
    return 0;
  }
  const auto& top = query.TopConnections();
  FUZZ_CHECK(top.size() <= query.MaxTopConnections);
  FUZZ_CHECK(std::is_sorted(top.begin(), top.end(), [](const auto& a, const auto& b) {
    return a.totalMinutes < b.totalMinutes;
  }));
  return 0;
}

// The import and the export together: a feed that the import represents fully comes back
// from the export of the imported project with the same trips at the same moments.

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "gtfs/feed_reader.h"
#include "gtfs/gtfs_export.h"
#include "gtfs/gtfs_import.h"
#include "gtfs/zip_archive.h"
#include "gtfs_test_feeds.h"
#include "project/context.h"
#include "project/project_commands.h"
#include "test_support.h"

namespace trivo::gtfs {
namespace {

constexpr int kWeek = 7 * 24 * 60;

// A trip on one day of the reference week: its stop IDs in sequence, and the arrival and
// departure of each stop in minutes after the week's Monday midnight, taken modulo the
// week (a trip at 24:30 of a Sunday is the same as one at 0:30 of the Monday).
using Journey = std::tuple<std::vector<std::string>, std::vector<int>>;

Journey JourneyOf(const std::vector<std::string>& stops, const std::vector<std::int32_t>& arrivals,
                  const std::vector<std::int32_t>& departures, int day) {
  std::vector<int> times;
  for (std::size_t i = 0; i < stops.size(); ++i) {
    for (const std::int32_t seconds : {arrivals[i], departures[i]}) {
      times.push_back((day * 24 * 60 + seconds / 60) % kWeek);
    }
  }
  return {stops, times};
}

std::multiset<Journey> Journeys(const std::vector<test::GeneratedTrip>& trips) {
  std::multiset<Journey> journeys;
  for (const test::GeneratedTrip& trip : trips) {
    for (int day = 0; day < 7; ++day) {
      if ((trip.days >> day) & 1u) {
        journeys.insert(JourneyOf(trip.stops, trip.arrivals, trip.departures, day));
      }
    }
  }
  return journeys;
}

// The journeys of a feed as the import's reader reads it, in the week from monday.
std::multiset<Journey> Journeys(const std::filesystem::path& zip, Day monday) {
  ImportReport report;
  const reading::Feed feed = reading::ReadFeed(ZipReader(zip, "export.zip"), report, {});
  EXPECT_EQ(report.Kinds().size(), 0u) << "the exported feed reads without a complaint";
  std::multiset<Journey> journeys;
  for (std::size_t begin = 0; begin < feed.stopTimes.size();) {
    std::size_t end = begin;
    std::vector<std::string> stops;
    std::vector<std::int32_t> arrivals;
    std::vector<std::int32_t> departures;
    while (end < feed.stopTimes.size() && feed.stopTimes[end].trip == feed.stopTimes[begin].trip) {
      const reading::FeedStopTime& time = feed.stopTimes[end++];
      stops.push_back(feed.stops[time.stop].id);
      arrivals.push_back(time.arrival);
      departures.push_back(time.departure);
    }
    const reading::FeedTrip& trip = feed.trips[feed.stopTimes[begin].trip];
    for (int day = 0; day < 7; ++day) {
      if (feed.services[trip.service].RunsOn(monday + day)) {
        journeys.insert(JourneyOf(stops, arrivals, departures, day));
      }
    }
    begin = end;
  }
  return journeys;
}

TEST(GtfsRoundTrip, TheExportOfAnImportedFeedRunsTheSameTripsAtTheSameMoments) {
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const test::GeneratedFeed generated = test::RandomFeed(seed);
    test::TempDir dir;
    test::RecordingUserInterface ui;
    Context ctx(ui);
    const std::optional<Day> monday = ParseIsoDate(generated.week);
    ImportOptions options;
    options.week = monday;
    options.flush = false;
    const ImportResult imported =
        ImportGtfs(ctx, generated.feed.WriteTo(dir.path()), dir / "p", options);
    ASSERT_EQ(imported.trips, generated.trips.size()) << "seed " << seed;

    LoadProject(ctx, imported.projectFile.string());
    const ExportResult exported = ExportGtfs(ctx, dir / "export.zip");
    for (const ExportFinding& finding : exported.findings) {
      EXPECT_FALSE(finding.error) << "seed " << seed << ": " << finding.text;
    }
    ASSERT_TRUE(exported.written) << "seed " << seed;
    EXPECT_EQ(Journeys(dir / "export.zip", *monday), Journeys(generated.trips)) << "seed " << seed;
  }
}

}  // namespace
}  // namespace trivo::gtfs

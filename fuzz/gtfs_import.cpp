// The GTFS import. Input: the texts of a feed's files, separated by the part separator,
// in the order agency.txt, stops.txt, routes.txt, trips.txt, stop_times.txt,
// calendar.txt, calendar_dates.txt, frequencies.txt (an empty part: the file is absent);
// they go into a ZIP archive that is imported into a project folder.
//
// Properties: the import ends with a German reason or a result; a result with trips
// leaves a whole project (every file the import writes, the timetable of every line),
// one without trips and a failed import leave nothing, and no temporary folder is left
// behind; every line of the project has its timetable file.

#include <filesystem>
#include <string>

#include "common/error.h"
#include "common/text_file.h"
#include "fuzz_support.h"
#include "gtfs/gtfs_import.h"
#include "gtfs/zip_archive.h"
#include "test_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  namespace fs = std::filesystem;
  static const char* const kFiles[] = {"agency.txt",         "stops.txt",      "routes.txt",
                                       "trips.txt",          "stop_times.txt", "calendar.txt",
                                       "calendar_dates.txt", "frequencies.txt"};
  const auto parts = fuzz::SplitParts(fuzz::AsText(data, size), std::size(kFiles));
  gtfs::ZipWriter zip;
  for (std::size_t i = 0; i < std::size(kFiles); ++i) {
    if (!parts[i].empty()) zip.Add(kFiles[i], std::string(parts[i]));
  }
  test::TempDir dir;
  const fs::path feed = dir / "feed.zip";
  FUZZ_CHECK(zip.Write(feed).written);

  test::RecordingUserInterface ui;
  Context ctx(ui);
  gtfs::ImportOptions options;
  options.flush = false;
  const fs::path folder = dir / "p";
  bool made = false;
  try {
    const gtfs::ImportResult result = gtfs::ImportGtfs(ctx, feed, folder, options);
    made = result.trips > 0;
    FUZZ_CHECK(made == !result.projectFile.empty());
    FUZZ_CHECK(!result.report.summary.empty());
  } catch (const Error& error) {
    FUZZ_CHECK(std::string_view(error.what()).size() > 0);
  }
  FUZZ_CHECK(fs::exists(folder) == made);
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) ++entries;
  FUZZ_CHECK(entries == (made ? 2u : 1u));
  if (made) {
    for (const char* name :
         {"p.tvp", "stations.csv", "lines.csv", "line_stations.csv", "station_lines.csv",
          "distances.csv", "station_positions.csv", "gtfs_ids.csv", "gtfs-import.txt"}) {
      FUZZ_CHECK(fs::is_regular_file(folder / name));
    }
    for (const std::string& line : ReadTextLines(folder / "lines.csv")) {
      FUZZ_CHECK(!line.empty() && line.find_first_of(" ,\"=/\\_") == std::string::npos);
      FUZZ_CHECK(fs::is_regular_file(folder / ("line_" + line + ".ttd")));
    }
  }
  return 0;
}

// The GTFS export of a whole project. Input: the project target's seven parts (project
// file, stations.csv, lines.csv, line_stations.csv, station_lines.csv, the .ttd files of
// the first two lines), so it runs over that target's inputs. Every station gets a
// position and a project file without [gtfs] gets an agency and a service period, so
// that the export gets past its first checks; an odd input size expands the intervals.
//
// Properties: only German errors (trivo::Error) end the export; no input file changes;
// no temporary file is left; a feed is written exactly when the report has no error, and
// a written feed is a ZIP archive holding every file a feed needs.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "common/text_file.h"
#include "fuzz_support.h"
#include "gtfs/gtfs_export.h"
#include "gtfs/zip_archive.h"
#include "project/context.h"
#include "project/project_commands.h"
#include "test_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  namespace fs = std::filesystem;
  const auto parts = fuzz::SplitParts(fuzz::AsText(data, size), 7);
  test::TempDir dir;
  std::vector<std::pair<fs::path, std::string>> inputs;
  const auto write = [&](const std::string& name, std::string_view bytes) {
    inputs.emplace_back(dir.Write(name, bytes), std::string(bytes));
  };
  std::string project(parts[0]);
  if (project.find("[gtfs") == std::string::npos) {
    project +=
        "\r\n[gtfs]\r\nagency_name=F\r\nagency_url=https://f\r\nstart_date=20240101\r\n"
        "end_date=20241231\r\nholidays=20241225\r\n";
  }
  write("project.tvp", project);
  write("stations.csv", parts[1]);
  write("lines.csv", parts[2]);
  write("line_stations.csv", parts[3]);
  write("station_lines.csv", parts[4]);
  std::string positions;
  int number = 0;
  for (const std::string& station : SplitTextLines(parts[1])) {
    positions += station + "=50." + std::to_string(++number) + ",8.5\r\n";
  }
  write("station_positions.csv", positions);
  fuzz::WriteLineTimetables(parts, write);

  test::RecordingUserInterface ui;
  Context ctx(ui);
  ctx.WorkingDir = dir.path().string();
  LoadProject(ctx, (dir / "project.tvp").string());
  gtfs::ExportOptions options;
  options.expandIntervals = size % 2 == 1;
  const fs::path target = dir / "feed.zip";
  try {
    const gtfs::ExportResult result = gtfs::ExportGtfs(ctx, target, options);
    bool errors = false;
    for (const gtfs::ExportFinding& finding : result.findings) errors = errors || finding.error;
    FUZZ_CHECK(result.written == !errors);
    FUZZ_CHECK(FileExists(target) == result.written);
    if (result.written) {
      const gtfs::ZipReader zip(target, "feed.zip");
      for (const char* name : {"agency.txt", "stops.txt", "routes.txt", "trips.txt",
                               "stop_times.txt", "calendar.txt", "feed_info.txt"}) {
        FUZZ_CHECK(zip.Has(name));
      }
    }
  } catch (const Error&) {
    FUZZ_CHECK(!FileExists(target));
  }

  for (const auto& [path, bytes] : inputs) {
    if (path.filename() == "gtfs_ids.csv") continue;
    FUZZ_CHECK(test::TempDir::Read(path) == bytes);
  }
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    FUZZ_CHECK(!(name.size() > 8 && name.front() == '.' && name[name.size() - 7] == '.'));
  }
  return 0;
}

// The timetable data file and the conversion of one line's sections. Input: the course
// of the line L (a comma list of stations, as in line_stations.csv), then the text of
// line_L.ttd. The project has these stations, the line L and the day group Mo-Fr; buttons
// 1 to 4 prepare it and button 5 converts the sections 1_Mo-Fr and 2_Mo-Fr.
//
// Properties: the rows read are the keys 1, 2, ... up to the first missing or empty one,
// each at most 4095 characters; the conversion ends without an error; every PTF file it
// writes is complete, a timetable table has one record per trip, numbered from 1, with
// cells that are -1, minutes of at most two days, or references to intervals.ptf.

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/comma_list.h"
#include "common/error.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "convert/conversion_buttons.h"
#include "convert/ttd_file.h"
#include "fuzz_support.h"
#include "project/context.h"
#include "ptf/ptf_reader.h"
#include "ptf/ptf_writer.h"
#include "test_support.h"

namespace trivo {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDayGroup = "Mo-Fr";

void CheckRows(const IniFile& file, std::string_view section) {
  const std::vector<std::string> rows = ReadTimetableRows(file, section);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    FUZZ_CHECK(!rows[i].empty() && rows[i].size() <= IniFile::kTimetableRowLimit);
    FUZZ_CHECK(rows[i] ==
               file.ReadString(section, std::to_string(i + 1), "", IniFile::kTimetableRowLimit));
  }
  FUZZ_CHECK(file.ReadString(section, std::to_string(rows.size() + 1), "").empty());
}

// The record lines of a PTF file as the writer writes it; checks the frame.
std::vector<std::vector<std::string>> PtfRecords(const fs::path& file) {
  const std::vector<std::string> lines = ReadTextLines(file);
  FUZZ_CHECK(lines.size() >= 4);
  FUZZ_CHECK(lines[0] == kPtfFirstLine && lines[1] == kPtfSecondLine);
  FUZZ_CHECK(lines.back().ends_with(");"));
  std::vector<std::vector<std::string>> records;
  for (std::size_t i = 3; i + 1 < lines.size(); ++i) {
    std::vector<std::string> tokens;
    FUZZ_CHECK(ParsePtfValues(lines[i], tokens));
    records.push_back(std::move(tokens));
  }
  return records;
}

std::set<std::string> IntervalIds(const fs::path& folder) {
  std::set<std::string> ids;
  for (const auto& record : PtfRecords(folder / "intervals.ptf")) {
    FUZZ_CHECK(record.size() == 2);
    ids.insert("n=-" + record[0].substr(2));
  }
  return ids;
}

void CheckTimetableTable(const fs::path& file, const std::set<std::string>& intervals) {
  std::int32_t trip = 0;
  for (const auto& record : PtfRecords(file)) {
    FUZZ_CHECK(!record.empty() && record[0] == "n=" + std::to_string(++trip));
    for (std::size_t i = 1; i < record.size(); ++i) {
      const std::string& cell = record[i];
      FUZZ_CHECK(cell.starts_with("n="));
      const std::int32_t value = StrToInt(std::string_view(cell).substr(2));
      FUZZ_CHECK(value >= -1 ? value < 2 * 1440 : intervals.count(cell) == 1);
    }
  }
}

}  // namespace
}  // namespace trivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  const auto parts = fuzz::SplitParts(fuzz::AsText(data, size), 2);
  const std::string course = fuzz::FirstLine(parts[0]);
  std::vector<std::string> stations;
  for (const std::string& station : SplitCommaList(course)) {
    if (std::find(stations.begin(), stations.end(), station) == stations.end()) {
      stations.push_back(station);
    }
  }

  test::TempDir dir;
  dir.Write("stations.csv", JoinLinesCrLf(stations));
  dir.Write("lines.csv", "L\r\n");
  dir.Write("line_stations.csv", "L=" + course + "\r\n");
  dir.Write("station_lines.csv", "");
  dir.Write("line_L.ttd", parts[1]);
  test::RecordingUserInterface ui;
  Context ctx(ui);
  fuzz::UseFolder(ctx, dir.path());
  fuzz::AddDayGroup(ctx, kDayGroup);
  try {
    for (int button = 1; button <= 4; ++button) PressConversionButton(ctx, button);
  } catch (const Error&) {
    return 0;  // stations that the station table cannot tell apart
  }

  const IniFile file(dir / "line_L.ttd");
  for (int direction = 1; direction <= 2; ++direction) {
    CheckRows(file, TimetableSectionName(direction, kDayGroup));
  }
  PressConversionButton(ctx, 5);

  const std::set<std::string> intervals = IntervalIds(dir.path());
  for (int direction = 1; direction <= 2; ++direction) {
    const fs::path table = dir / ("tt_1_" + std::to_string(direction) + "_1.ptf");
    if (fs::exists(table)) CheckTimetableTable(table, intervals);
  }
  PtfRecords(dir / "ttc_1.ptf");
  PtfRecords(dir / "line_connections.ptf");
  PtfRecords(dir / "tt_connections.ptf");
  return 0;
}

#include "project/gtfs_settings.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "common/ini_file.h"
#include "common/text_file.h"
#include "gtfs/encoding.h"
#include "test_support.h"

namespace trivo::gtfs {
namespace {

using test::TempDir;

TEST(GtfsSettings, AMissingSectionGivesTheDefaults) {
  TempDir dir;
  const GtfsSettings settings = ReadGtfsSettings(IniFile(dir / "p.tvp"));
  EXPECT_EQ(settings.agencyTimezone, "Europe/Berlin");
  EXPECT_EQ(settings.agencyLang, "de");
  EXPECT_EQ(settings.agencyName, "");
  EXPECT_TRUE(settings.holidays.empty());
  EXPECT_EQ(settings.RouteType("T1"), 3);
}

TEST(GtfsSettings, ReadsWhatItWroteAndLeavesOtherSectionsAlone) {
  TempDir dir;
  const auto path = dir.Write("p.tvp", "[daygroups]\r\ndaygroupnames=Sa\r\n[routing]\r\nx=1\r\n");
  GtfsSettings settings;
  settings.agencyName = "Stadtwerke Süd";
  settings.agencyUrl = "https://example.org";
  settings.startDate = "20250101";
  settings.endDate = "20251231";
  settings.holidays = {"20250101", "20251225"};
  settings.holidayDayGroup = "So";
  settings.SetRouteType("T1", 0);
  settings.SetRouteType("B 5", 3);
  settings.SetRouteType("t1", 900);
  {
    IniFile file(path);
    WriteGtfsSettings(file, settings);
  }
  const IniFile file(path);
  EXPECT_EQ(file.ReadString("routing", "x", ""), "1");
  EXPECT_EQ(file.ReadString("daygroups", "daygroupnames", ""), "Sa");
  const GtfsSettings read = ReadGtfsSettings(file);
  EXPECT_EQ(read.agencyName, "Stadtwerke Süd");
  EXPECT_EQ(read.agencyUrl, "https://example.org");
  EXPECT_EQ(read.startDate, "20250101");
  EXPECT_EQ(read.endDate, "20251231");
  EXPECT_EQ(read.holidays, (std::vector<std::string>{"20250101", "20251225"}));
  EXPECT_EQ(read.holidayDayGroup, "So");
  EXPECT_EQ(read.RouteType("T1"), 900);
  EXPECT_EQ(read.RouteType("b 5"), 3);
  EXPECT_NE(ReadFileBytes(path).find("route_type_T1=900\r\n"), std::string::npos);
}

TEST(GtfsSettings, HolidaysAreACommaListAndBadRouteTypesAreLeftOut) {
  TempDir dir;
  const auto path = dir.Write("p.tvp",
                              "[gtfs]\r\nholidays=20250101, 20250421,,\r\n"
                              "route_type_T1=tram\r\nroute_type_T2=0\r\nroute_type_t2=5\r\n");
  const GtfsSettings settings = ReadGtfsSettings(IniFile(path));
  EXPECT_EQ(settings.holidays, (std::vector<std::string>{"20250101", "20250421"}));
  EXPECT_EQ(settings.RouteType("T1"), 3);
  EXPECT_EQ(settings.RouteType("T2"), 0) << "the first key of a line counts";
}

TEST(GtfsSettings, TheHolidayGroupDefaultsToTheSundayOnlyGroup) {
  TPrjParams params;
  params.DayGroups = {{"Mo-Fr", "", Weekdays("0011111")},
                      {"Sa-So", "", Weekdays("1100000")},
                      {"Sonntag", "", Weekdays("1000000")}};
  GtfsSettings settings;
  EXPECT_EQ(settings.HolidayDayGroup(params), "Sonntag");
  settings.holidayDayGroup = "Sa-So";
  EXPECT_EQ(settings.HolidayDayGroup(params), "Sa-So");
  params.DayGroups.pop_back();
  settings.holidayDayGroup.clear();
  EXPECT_EQ(settings.HolidayDayGroup(params), "");
}

TEST(GtfsSettings, DatesMustExistInTheCalendar) {
  for (const char* good : {"20250101", "20240229", "20001231"})
    EXPECT_TRUE(IsGtfsDate(good)) << good;
  for (const char* bad :
       {"20250229", "20251301", "20250100", "2025011", "2025-01-01", "19000229", ""}) {
    EXPECT_FALSE(IsGtfsDate(bad)) << bad;
  }
}

TEST(StationPositions, ReadsNameValueLinesWithCommaListValues) {
  const StationPositions positions = StationPositions::Parse(
      "Markt=52.5,13.25\r\nRathaus= 52.125 , -0.5\r\nmarkt=1,1\r\nZoo=91,0\r\nAlte Mühle=x,1\r\n"
      "Bahnhof\r\n\r\nDorf=1,2,3\r\n");
  EXPECT_EQ(positions.Find("MARKT"), (Position{52.5, 13.25})) << "first line, case ignored";
  EXPECT_EQ(positions.Find("Rathaus"), (Position{52.125, -0.5}));
  EXPECT_FALSE(positions.Find("Zoo")) << "latitude beyond 90";
  EXPECT_FALSE(positions.Find("Alte Mühle"));
  EXPECT_FALSE(positions.Find("Dorf"));
  EXPECT_FALSE(positions.Find("Nirgendwo"));
  EXPECT_EQ(positions.BadLines(), (std::vector<std::size_t>{4, 5, 6, 8}));
}

TEST(StationPositions, WritesSevenDecimalsAtMostAndReadsThemBack) {
  StationPositions positions;
  positions.Set("Markt", {52.52000001, 13.4});
  positions.Set("Süd", {-33.8688197, 151.2092955});
  positions.Set("markt", {1, -0.0});
  EXPECT_EQ(positions.Text(), "markt=1,0\r\nSüd=-33.8688197,151.2092955\r\n");
  EXPECT_EQ(StationPositions::Parse(positions.Text()).Find("Süd"),
            (Position{-33.8688197, 151.2092955}));
}

TEST(StationPositions, AMissingFileIsEmptyAndAFolderFails) {
  TempDir dir;
  EXPECT_TRUE(StationPositions::Read(dir / "station_positions.csv").Lines().empty());
  std::filesystem::create_directory(dir / "folder.csv");
  EXPECT_THROW(StationPositions::Read(dir / "folder.csv"), Error);
}

TEST(GtfsIds, KeepsStopAndRouteIdsAndOtherLines) {
  GtfsIds ids = GtfsIds::Parse("# von Hand\r\nstop:Markt=S1\r\nroute:T1=R-7\r\nstop:Leer=\r\n");
  EXPECT_EQ(ids.Stop("markt"), "S1");
  EXPECT_EQ(ids.Route("T1"), "R-7");
  EXPECT_FALSE(ids.Stop("T1"));
  EXPECT_FALSE(ids.Stop("Leer")) << "an empty ID is none";
  ids.SetStop("Zoo", "a=b");
  ids.SetRoute("t1", "R8");
  EXPECT_EQ(ids.Text(),
            "# von Hand\r\nstop:Markt=S1\r\nroute:t1=R8\r\nstop:Leer=\r\nstop:Zoo=a=b\r\n");
  EXPECT_EQ(GtfsIds::Parse(ids.Text()).Stop("Zoo"), "a=b");
}

TEST(Encoding, ConvertsUtf8ToTheCodePageAndCountsWhatItReplaced) {
  const Cp1252Text plain = Utf8ToCp1252("M\xC3\xBCnchen \xE2\x82\xAC");
  EXPECT_EQ(plain.text, "München €");
  EXPECT_TRUE(plain.Lossless());
  const Cp1252Text polish = Utf8ToCp1252("\xC5\x81\xC3\xB3\x64\xC5\xBA");  // Łódź
  EXPECT_EQ(polish.text, "?ódz");
  EXPECT_EQ(polish.replaced, 2u);
  const Cp1252Text broken = Utf8ToCp1252("a\xFF\xC3(b\xE2\x82");
  EXPECT_EQ(broken.text,
            "a?"
            "?(b?");
  EXPECT_EQ(broken.invalid, 3u);
  EXPECT_EQ(Utf8ToCp1252("\xEF\xBB\xBFx").text, "x");
}

TEST(Encoding, EveryByteOfTheCodePageGoesToUtf8AndBack) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  const Cp1252Text back = Utf8ToCp1252(Cp1252ToUtf8(all));
  EXPECT_EQ(back.text, all);
  EXPECT_TRUE(back.Lossless());
  EXPECT_EQ(Cp1252ToUtf8("€ü"), "\xE2\x82\xAC\xC3\xBC");
}

}  // namespace
}  // namespace trivo::gtfs

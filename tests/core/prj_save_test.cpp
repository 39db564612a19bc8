#include "project/prj_save.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/text_file.h"
#include "project/prj_load.h"
#include "test_support.h"

namespace trivo {
namespace {

namespace fs = std::filesystem;

TDayGroupItem Group(std::string name, std::string text, std::string days) {
  // days: "1" or "0" per weekday from Monday to Sunday
  Weekdays set;
  for (std::size_t day = 0; day < days.size(); ++day) set.set(day, days[day] == '1');
  return {std::move(name), std::move(text), set};
}

class WriteProjectFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx_.WorkingDir = dir_.string();
    ctx_.app.AppVersion = "1.0.1";
  }

  fs::path ProjectPath() const { return dir_ / "project.tvp"; }

  std::string WrittenFile() const { return ReadFileBytes(ProjectPath()); }

  static std::string WithoutLastSave(const std::string& text) {
    return std::regex_replace(text, std::regex("lastsave=[^\r\n]*"), "lastsave=<now>");
  }

  test::TempDir temp_;
  const fs::path& dir_ = temp_.path();
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
};

TEST_F(WriteProjectFileTest, WritesTheSectionsAndKeysInOrder) {
  ctx_.PrjParams.DayGroups = {Group("Mo-Fr", "Montag bis Freitag", "1111100"),
                              Group("Sa", "Samstag", "0000010")};

  WriteProjectFile(ctx_, ProjectPath());

  EXPECT_EQ(WithoutLastSave(WrittenFile()),
            "[application]\r\n"
            "name=Trivo Editor\r\n"
            "edition=Standard\r\n"
            "version=1.0.1\r\n"
            "type=\r\n"
            "[general]\r\n"
            "lastsave=<now>\r\n"
            "[daygroups]\r\n"
            "daygroupnames=Mo-Fr,Sa\r\n"
            "Mo-Fr_text=Montag bis Freitag\r\n"
            "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday\r\n"
            "Sa_text=Samstag\r\n"
            "Sa_days=saturday\r\n"
            "[timetable]\r\n"
            "max_drive_minutes=720\r\n");
  EXPECT_TRUE(ui_.events.empty());
}

TEST_F(WriteProjectFileTest, StampsTheTimeOfWriting) {
  WriteProjectFile(ctx_, ProjectPath());

  std::smatch match;
  const std::string text = WrittenFile();
  ASSERT_TRUE(std::regex_search(text, match, std::regex("lastsave=([^\r\n]*)")));
  EXPECT_TRUE(
      std::regex_match(match[1].str(), std::regex(R"(\d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)?)")))
      << match[1];
}

TEST_F(WriteProjectFileTest, WritesDaygroupsPtfIntoTheWorkingDirectory) {
  ctx_.PrjParams.DayGroups = {Group("Sa", "Samstag", "0000010")};

  WriteProjectFile(ctx_, ProjectPath());

  const std::string ptf = ReadFileBytes(dir_ / "daygroups.ptf");
  EXPECT_NE(ptf.find("\"ID\",\"Group\",\"Days\",\"Text\","), std::string::npos) << ptf;
  EXPECT_NE(ptf.find("\"Sa\",\"0000010\",\"Samstag\","), std::string::npos) << ptf;
}

TEST_F(WriteProjectFileTest, KeepsTheKeysOfGroupsThatNoLongerExist) {
  ctx_.PrjParams.DayGroups = {Group("A", "Alle", "1111111"), Group("B", "Werktage", "1111100")};
  WriteProjectFile(ctx_, ProjectPath());
  ctx_.PrjParams.DayGroups.pop_back();

  WriteProjectFile(ctx_, ProjectPath());

  const std::string text = WrittenFile();
  EXPECT_NE(text.find("daygroupnames=A\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("B_text=Werktage\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("B_days=monday,tuesday,wednesday,thursday,friday\r\n"), std::string::npos);
}

TEST_F(WriteProjectFileTest, KeepsTheSectionsOfOtherFeaturesAsTheyAre) {
  const std::string gtfs =
      "[gtfs]\r\nagency_name=\"Stadtwerke\"\r\nholidays=20250101,20251225\r\n"
      "route_type_T1=0\r\n[routing]\r\nfoot_minutes=5\r\n";
  temp_.Write("project.tvp", "[general]\r\nlastsave=x\r\n" + gtfs);
  ctx_.PrjParams.DayGroups = {Group("Sa", "Samstag", "0000010")};

  WriteProjectFile(ctx_, ProjectPath());

  const std::string text = WrittenFile();
  EXPECT_NE(text.find(gtfs), std::string::npos) << text;
  EXPECT_NE(text.find("daygroupnames=Sa\r\n"), std::string::npos) << text;
}

TEST_F(WriteProjectFileTest, SavedUnderAnotherNameItKeepsTheSectionsOfOtherFeatures) {
  const auto loaded = temp_.Write("alt.tvp",
                                  "[daygroups]\r\ndaygroupnames=Sa\r\n[gtfs]\r\nagency_name="
                                  "Stadtwerke\r\nroute_type_T1=0\r\n[routing]\r\nx=1\r\n");
  temp_.Write("project.tvp", "[routing]\r\nx=2\r\n");
  ctx_.ProjectFileName = loaded.string();

  WriteProjectFile(ctx_, ProjectPath());

  const std::string text = WrittenFile();
  EXPECT_NE(text.find("[gtfs]\r\nagency_name=Stadtwerke\r\nroute_type_T1=0\r\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("[routing]\r\nx=2\r\n"), std::string::npos) << "its own sections stay";
  EXPECT_EQ(text.find("x=1"), std::string::npos) << text;
}

TEST_F(WriteProjectFileTest, AGroupWithoutDaysIsWrittenEmptyAndDroppedOnReading) {
  ctx_.PrjParams.DayGroups = {Group("Mo", "Montag", "1000000"), Group("Nie", "Nie", "0000000")};

  WriteProjectFile(ctx_, ProjectPath());

  EXPECT_NE(WrittenFile().find("Nie_days=\r\n"), std::string::npos);
  TPrjParams read;
  ReadProjectFile(read, ProjectPath());
  ASSERT_EQ(read.DayGroups.size(), 1u);
  EXPECT_EQ(read.DayGroups[0].Name, "Mo");
}

TEST_F(WriteProjectFileTest, ReadingBackKeepsTheDayGroupsAndTheDriveTime) {
  ctx_.PrjParams.DayGroups = {Group("Mo-Fr", "Montag bis Freitag", "1111100"),
                              Group("So", "Sonn- und Feiertage", "0000001")};
  ctx_.PrjParams.MaxDriveMinutes = 45;

  WriteProjectFile(ctx_, ProjectPath());

  TPrjParams read;
  const ProjectReadResult result = ReadProjectFile(read, ProjectPath());
  EXPECT_TRUE(result.dayGroupsReplaced);
  ASSERT_EQ(read.DayGroups.size(), 2u);
  EXPECT_EQ(read.DayGroups[0].Name, "Mo-Fr");
  EXPECT_EQ(read.DayGroups[0].Text, "Montag bis Freitag");
  EXPECT_EQ(read.DayGroups[0].Days, Weekdays("0011111"));
  EXPECT_EQ(read.DayGroups[1].Text, "Sonn- und Feiertage");
  EXPECT_EQ(read.DayGroups[1].Days, Weekdays("1000000"));
  EXPECT_EQ(read.MaxDriveMinutes, 45);
}

TEST_F(WriteProjectFileTest, UpdatesADriveTimeKeptUnderOptions) {
  WriteFileAtomically(ProjectPath(), "[options]\r\nmax_drive_minutes=30\r\n");
  ctx_.PrjParams.MaxDriveMinutes = 90;

  WriteProjectFile(ctx_, ProjectPath());

  TPrjParams read;
  ReadProjectFile(read, ProjectPath());
  EXPECT_EQ(read.MaxDriveMinutes, 90);
}

TEST_F(WriteProjectFileTest, KeepsUnknownSectionsOfAnExistingFile) {
  WriteFileAtomically(ProjectPath(), "[own]\r\nkey=value\r\n");

  WriteProjectFile(ctx_, ProjectPath());

  EXPECT_EQ(WrittenFile().rfind("[own]\r\nkey=value\r\n", 0), 0u);
}

TEST_F(WriteProjectFileTest, AnUnwritableFileEndsTheWritingBeforeTheLaterSteps) {
  const fs::path path = dir_ / "missing folder" / "project.tvp";

  try {
    WriteProjectFile(ctx_, path);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("kann nicht geschrieben werden"), std::string::npos)
        << error.what();
    EXPECT_EQ(std::string(error.what()).rfind("In ", 0), 0u) << error.what();
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(fs::exists(dir_ / "daygroups.ptf"));
}

TEST_F(WriteProjectFileTest, AFailedDaygroupsPtfIsReportedAndTheFileCompleted) {
  ctx_.WorkingDir = (dir_ / "missing folder").string();

  WriteProjectFile(ctx_, ProjectPath());

  EXPECT_EQ(ui_.events,
            std::vector<std::string>{"[Meldung] fehler bei PTF-Erzeugung daygroups.ptf"});
  EXPECT_NE(WrittenFile().find("[timetable]\r\nmax_drive_minutes=720\r\n"), std::string::npos);
}

}  // namespace
}  // namespace trivo

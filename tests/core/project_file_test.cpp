#include <gtest/gtest.h>

#include "project/prj_load.h"
#include "project/prj_params.h"
#include "project/project_commands.h"
#include "test_support.h"

namespace trivo {
namespace {

using test::TempDir;

Weekdays Days(std::string_view digits) {
  Weekdays days;
  for (std::size_t i = 0; i < digits.size(); ++i) days.set(i, digits[i] == '1');
  return days;
}

class ProjectFile : public ::testing::Test {
 protected:
  ProjectReadResult Read(std::string_view text) {
    return ReadProjectFile(params_, folder_.Write("p.tvp", text));
  }
  std::vector<std::string> GroupNames() const {
    std::vector<std::string> names;
    for (const auto& group : params_.DayGroups) names.push_back(group.Name);
    return names;
  }

  TempDir folder_;
  TPrjParams params_;
};

TEST_F(ProjectFile, ReadsTheFileTheSystemWrites) {
  const auto result = Read(
      "[application]\r\nname=Trivo Editor\r\n[general]\r\nlastsave=05.03.2008 14:07:09\r\n"
      "[daygroups]\r\ndaygroupnames=Mo-Fr,Sa\r\nMo-Fr_text=Montag bis Freitag\r\n"
      "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday\r\nSa_text=Samstag\r\n"
      "Sa_days=saturday\r\n[timetable]\r\nmax_drive_minutes=45\r\n");
  EXPECT_TRUE(result.dayGroupsReplaced);
  EXPECT_EQ(params_.LastSave, "05.03.2008 14:07:09");
  ASSERT_EQ(params_.DayGroups.size(), 2u);
  EXPECT_EQ(params_.DayGroups[0].Text, "Montag bis Freitag");
  EXPECT_EQ(params_.DayGroups[0].Days, Days("1111100"));
  EXPECT_EQ(params_.DayGroups[1].Name, "Sa");
  EXPECT_EQ(params_.DayGroups[1].Days, Days("0000010"));
  // The drive time written under [timetable] is read back.
  EXPECT_EQ(params_.MaxDriveMinutes, 45);
}

TEST_F(ProjectFile, EmptyPiecesAreDroppedAndBlanksStay) {
  Read(
      "[daygroups]\ndaygroupnames=,A,,B,\nA_days=monday\nB_days=sunday\n"
      "C_days=monday\n");
  EXPECT_EQ(GroupNames(), (std::vector<std::string>{"A", "B"}));
  Read("[daygroups]\ndaygroupnames=A, B\nA_days=monday, tuesday,friday\n B_days=sunday\n");
  // " B" is a name of its own; its key " B_days" cannot be written with a leading blank.
  EXPECT_EQ(GroupNames(), (std::vector<std::string>{"A"}));
  EXPECT_EQ(params_.DayGroups[0].Days, Days("1000100"));
}

TEST_F(ProjectFile, QuotedPiecesRunAcrossCommas) {
  Read(
      "[daygroups]\ndaygroupnames=\"Mo,Fr\",x'a,b'y\n"
      "\"Mo,Fr\"_days=monday\nx'a,b'y_days=tuesday\n");
  EXPECT_EQ(GroupNames(), (std::vector<std::string>{"\"Mo,Fr\"", "x'a,b'y"}));
  Read("[daygroups]\ndaygroupnames=A\nA_days=monday,'tuesday,friday\n");
  EXPECT_EQ(params_.DayGroups[0].Days, Days("1000000"));
}

TEST_F(ProjectFile, DayNamesMatchExactly) {
  Read("[daygroups]\ndaygroupnames=G\nG_days=monday,Tuesday,friday\n");
  EXPECT_EQ(params_.DayGroups[0].Days, Days("1000100"));
  // Days that match no name still make the group part of the project, without days.
  Read("[daygroups]\ndaygroupnames=G\nG_days=Montag\n");
  ASSERT_EQ(params_.DayGroups.size(), 1u);
  EXPECT_EQ(params_.DayGroups[0].Days, Days("0000000"));
}

TEST_F(ProjectFile, GroupsWithoutDaysAreDroppedAndTextDefaultsToTheName) {
  Read(
      "[daygroups]\ndaygroupnames=NoKey,Empty,Commas,Kept\nEmpty_days=\nCommas_days=,,\n"
      "Kept_days=saturday\n");
  EXPECT_EQ(GroupNames(), (std::vector<std::string>{"Kept"}));
  EXPECT_EQ(params_.DayGroups[0].Text, "Kept");
}

TEST_F(ProjectFile, AFileNamingNoGroupKeepsTheGroupsReadBefore) {
  Read("[daygroups]\ndaygroupnames=Sa\nSa_days=saturday\n");
  const auto result = Read("[daygroups]\ndaygroupnames=,\n");
  EXPECT_FALSE(result.dayGroupsReplaced);
  EXPECT_EQ(GroupNames(), (std::vector<std::string>{"Sa"}));
  // A file naming only groups without days replaces the list by an empty one.
  EXPECT_TRUE(Read("[daygroups]\ndaygroupnames=X\n").dayGroupsReplaced);
  EXPECT_TRUE(params_.DayGroups.empty());
}

TEST_F(ProjectFile, DriveTimeFromOptionsThenTimetableThenDefault) {
  Read("[options]\nmax_drive_minutes=0x1E\n[timetable]\nmax_drive_minutes=99\n");
  EXPECT_EQ(params_.MaxDriveMinutes, 30);
  Read("[options]\nmax_drive_minutes=abc\n[timetable]\nmax_drive_minutes=$10\n");
  EXPECT_EQ(params_.MaxDriveMinutes, 16);
  Read("[options]\nmax_drive_minutes=abc\n");
  EXPECT_EQ(params_.MaxDriveMinutes, 720);
  Read("[timetable]\nmax_drive_minutes=12 \n");  // blanks around a value are not part of it
  EXPECT_EQ(params_.MaxDriveMinutes, 12);
  Read("[timetable]\nmax_drive_minutes=\"-5\"\n");
  EXPECT_EQ(params_.MaxDriveMinutes, -5);
  Read("[timetable]\nmax_drive_minutes=2147483648\n");
  EXPECT_EQ(params_.MaxDriveMinutes, 720);
}

TEST_F(ProjectFile, AMissingFileGivesTheDefaults) {
  params_.MaxDriveMinutes = 5;
  const auto result = ReadProjectFile(params_, folder_ / "missing.tvp");
  EXPECT_FALSE(result.dayGroupsReplaced);
  EXPECT_EQ(params_.MaxDriveMinutes, 720);
  // lastsave defaults to now, "dd.mm.yyyy" with an optional time.
  ASSERT_GE(params_.LastSave.size(), 10u);
  EXPECT_EQ(params_.LastSave[2], '.');
  EXPECT_EQ(params_.LastSave[5], '.');
  // A folder reads as a missing file.
  ReadProjectFile(params_, folder_.path());
  EXPECT_EQ(params_.MaxDriveMinutes, 720);
}

TEST(LastSave, DayMonthYearAndTimeButDateOnlyAtMidnight) {
  std::tm time{};
  time.tm_year = 2008 - 1900;
  time.tm_mon = 2;
  time.tm_mday = 5;
  time.tm_hour = 14;
  time.tm_min = 7;
  time.tm_sec = 9;
  EXPECT_EQ(FormatLastSave(time), "05.03.2008 14:07:09");
  time.tm_hour = time.tm_min = time.tm_sec = 0;
  EXPECT_EQ(FormatLastSave(time), "05.03.2008");
  time.tm_sec = 1;
  EXPECT_EQ(FormatLastSave(time), "05.03.2008 00:00:01");
}

TEST(DaysAsDigits, MondayFirst) {
  EXPECT_EQ(DaysAsDigits(Days("1111100")), "1111100");
  EXPECT_EQ(DaysAsDigits(Weekdays().set(6)), "0000001");
}

TEST(LoadProject, SetsTheProjectFolderAsWorkingDirectory) {
  TempDir folder;
  std::filesystem::create_directory(folder / "sub");
  folder.Write("sub/p.tvp", "[daygroups]\ndaygroupnames=Sa\nSa_days=saturday\n");
  test::RecordingUserInterface ui;
  Context ctx(ui);
  ctx.WorkingDir = folder.path().string();
  const auto result = LoadProject(ctx, "sub/p.tvp");
  EXPECT_TRUE(result.dayGroupsReplaced);
  EXPECT_EQ(ctx.ProjectFileName, (folder / "sub" / "p.tvp").string());
  EXPECT_EQ(ctx.ProjectDir, (folder / "sub").string());
  EXPECT_EQ(ctx.WorkingDir, ctx.ProjectDir);
  EXPECT_EQ(ctx.PrjParams.DayGroups.size(), 1u);

  // A path that does not exist still loads, with the defaults and the groups kept.
  LoadProject(ctx, (folder / "other" / "none.tvp").string());
  EXPECT_EQ(ctx.ProjectDir, (folder / "other").string());
  EXPECT_EQ(ctx.PrjParams.DayGroups.size(), 1u);
}

}  // namespace
}  // namespace trivo

#include "project/project_rules.h"

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "test_support.h"

namespace trivo {
namespace {

TEST(ConversionButtons, AnOpenedProjectEnablesAllFiveANewOneOnlyTheFirstSteps) {
  const ConversionButtonStates opened = ConversionButtonsFor(ProjectStage::Opened);
  EXPECT_TRUE(opened.editProject && opened.editStations && opened.editLines &&
              opened.assignStations && opened.editTimeTable);
  EXPECT_TRUE(*opened.editTimeTable);

  const ConversionButtonStates saved = ConversionButtonsFor(ProjectStage::NewSaved);
  EXPECT_EQ(saved.editProject, true);
  EXPECT_EQ(saved.editStations, true);
  EXPECT_EQ(saved.editLines, false);
  EXPECT_EQ(saved.assignStations, std::nullopt);
  EXPECT_EQ(saved.editTimeTable, false);

  const ConversionButtonStates started = ConversionButtonsFor(ProjectStage::NewStarted);
  EXPECT_EQ(started.editProject, std::nullopt);
  EXPECT_EQ(started.editStations, true);
  EXPECT_EQ(started.editTimeTable, false);
}

TEST(DayGroups, AreAddedOnlyWithANewNameAndANewText) {
  TPrjParams params;
  params.DayGroups = {{"Mo-Fr", "Montag - Freitag", {}}};
  EXPECT_EQ(AddDayGroup(params, {"", "Samstag", {}}), DayGroupAddition::Empty);
  EXPECT_EQ(AddDayGroup(params, {"Sa", "", {}}), DayGroupAddition::Empty);
  EXPECT_EQ(AddDayGroup(params, {"Mo-Fr", "Werktag", {}}), DayGroupAddition::Taken);
  EXPECT_EQ(AddDayGroup(params, {"Wt", "Montag - Freitag", {}}), DayGroupAddition::Taken);
  EXPECT_EQ(AddDayGroup(params, {"mo-fr", "Samstag", {}}), DayGroupAddition::Added);
  EXPECT_EQ(params.DayGroups.size(), 2u);
}

TEST(SavingAProject, ANewOneTakesItsFolderASavedCopyKeepsTheInputFolder) {
  test::TempDir dir;
  test::RecordingUserInterface ui;
  Context ctx(ui);
  ctx.ProjectDir = "/somewhere/else";
  const std::string copy = (dir / "kopie.tvp").string();
  SaveProjectAs(ctx, copy);
  EXPECT_EQ(ctx.ProjectFileName, copy);
  EXPECT_EQ(ctx.ProjectDir, "/somewhere/else");
  EXPECT_TRUE(FileExists(copy));

  const std::string fresh = (dir / "neu.tvp").string();
  SaveNewProject(ctx, fresh);
  EXPECT_EQ(ctx.ProjectFileName, fresh);
  EXPECT_EQ(ctx.ProjectDir, dir.path().string());
}

}  // namespace
}  // namespace trivo

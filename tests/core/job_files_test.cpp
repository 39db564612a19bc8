#include "common/job_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/folder_lock.h"
#include "common/messages.h"
#include "convert/conversion_buttons.h"
#include "convert/conversion_scope.h"
#include "project/context.h"
#include "project/prj_save.h"
#include "project/project_commands.h"
#include "test_support.h"

namespace trivo {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr const char* kProject =
    "[daygroups]\r\ndaygroupnames=Mo-Fr\r\nMo-Fr_days=monday\r\n"
    "[options]\r\nmax_drive_minutes=30\r\n";

// A whole small project whose five conversion buttons write every kind of output: one
// line L1 from A to B with one timetable section, an interval among its cells.
void WriteProject(const test::TempDir& dir, const std::string& projectName) {
  dir.Write(projectName, kProject);
  dir.Write("stations.csv", "A\r\nB\r\n");
  dir.Write("lines.csv", "L1\r\n");
  dir.Write("line_stations.csv", "L1=A,B\r\n");
  dir.Write("station_lines.csv", "A=L1\r\nB=L1\r\n");
  dir.Write("line_L1.ttd", "[1_Mo-Fr]\r\n1=A,7:00,10 Min,8:00\r\n2=B,7:05,,8:05\r\n");
}

class JobFilesTest : public ::testing::Test {
 protected:
  void WriteProject(const std::string& projectName) { trivo::WriteProject(dir_, projectName); }
  void Convert(const std::string& projectFile) {
    LoadProject(ctx_, (dir_ / projectFile).string());
    for (int button = 1; button <= 5; ++button) PressConversionButton(ctx_, button);
  }
  std::string Read(const std::string& name) const { return test::TempDir::Read(dir_ / name); }

  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
};

TEST_F(JobFilesTest, AProjectFileNamedLikeAnOutputIsNeverReplaced) {
  const Lines outputs = {"daygroups.ptf",        "stations.ptf",       "lines.ptf",
                         "line_stations.ptf",    "tt_1_1_1.ptf",       "ttc_1.ptf",
                         "line_connections.ptf", "tt_connections.ptf", "intervals.ptf"};
  for (const std::string& projectName : outputs) {
    SCOPED_TRACE(projectName);
    test::TempDir dir;
    test::RecordingUserInterface ui;
    Context ctx(ui);
    trivo::WriteProject(dir, projectName);

    LoadProject(ctx, (dir / projectName).string());
    for (int button = 1; button <= 5; ++button) PressConversionButton(ctx, button);

    EXPECT_EQ(test::TempDir::Read(dir / projectName), kProject);
    EXPECT_NE(std::find(ui.events.begin(), ui.events.end(),
                        "[Meldung] " + msg::WouldReplaceInput(projectName)),
              ui.events.end());
    EXPECT_EQ(ctx.files.FailedWrites(), 1);
    // Every other output was written.
    for (const std::string& other : outputs) {
      EXPECT_TRUE(other == projectName || fs::exists(dir / other)) << other;
    }
  }
}

TEST_F(JobFilesTest, TheRefusalNamesTheFileBeforeTheUsualFailure) {
  WriteProject("lines.ptf");
  LoadProject(ctx_, (dir_ / "lines.ptf").string());
  PressConversionButton(ctx_, 3);
  EXPECT_EQ(ui_.events, (Lines{"[Meldung] Datei lines.ptf wird nicht überschrieben, weil sie eine "
                               "Eingabedatei ist",
                               "[Meldung] Fehler beim Erstellen von lines.ptf"}));
}

TEST_F(JobFilesTest, AnInputReachedThroughALinkIsProtectedToo) {
  WriteProject("real.tvp");
  // The project opened through a link named like an output; and an output name linked
  // to the project file as a second name.
  fs::create_symlink(dir_ / "real.tvp", dir_ / "stations.ptf");
  ASSERT_EQ(::link((dir_ / "real.tvp").c_str(), (dir_ / "lines.ptf").c_str()), 0);
  Convert("stations.ptf");
  EXPECT_EQ(Read("real.tvp"), kProject);
  EXPECT_TRUE(fs::is_symlink(dir_ / "stations.ptf"));
  EXPECT_EQ(Read("lines.ptf"), kProject);
  EXPECT_EQ(ctx_.files.FailedWrites(), 2);
}

TEST_F(JobFilesTest, TheProjectFileWrittenAgainStaysProtected) {
  WriteProject("daygroups.ptf");
  LoadProject(ctx_, (dir_ / "daygroups.ptf").string());
  WriteProjectFile(ctx_, dir_ / "daygroups.ptf");  // a new file under the same name
  EXPECT_NE(Read("daygroups.ptf").find("[daygroups]"), std::string::npos);
  PressConversionButton(ctx_, 1);
  EXPECT_NE(Read("daygroups.ptf").find("[daygroups]"), std::string::npos);
}

TEST_F(JobFilesTest, LoadingAnotherProjectForgetsTheInputsOfTheLastOne) {
  WriteProject("lines.ptf");
  dir_.Write("other.tvp", kProject);
  LoadProject(ctx_, (dir_ / "lines.ptf").string());
  LoadProject(ctx_, (dir_ / "other.tvp").string());
  PressConversionButton(ctx_, 3);
  EXPECT_EQ(ui_.events, Lines{"lines.ptf erstellt"});
  EXPECT_EQ(ctx_.files.FailedWrites(), 0);
}

TEST_F(JobFilesTest, EveryFailedWriteIsCounted) {
  WriteProject("p.tvp");
  fs::create_directory(dir_ / "daygroups.ptf");
  fs::create_directory(dir_ / "ttc_1.ptf");
  Convert("p.tvp");
  EXPECT_EQ(ctx_.files.FailedWrites(), 2);
  EXPECT_NE(std::find(ui_.events.begin(), ui_.events.end(),
                      "[Meldung] Fehler beim Erstellen von daygroups.ptf"),
            ui_.events.end());
  EXPECT_NE(std::find(ui_.events.begin(), ui_.events.end(), "Fehler beim Erstellen von ttc_1"),
            ui_.events.end());
}

TEST_F(JobFilesTest, ASecondConversionOfTheFolderIsRefused) {
  WriteProject("p.tvp");
  LoadProject(ctx_, (dir_ / "p.tvp").string());
  std::optional<FolderLock> other;  // another program converting there
  ASSERT_EQ(FolderLock::TryLock(dir_.path(), other), FolderLock::Outcome::Locked);
  try {
    PressConversionButton(ctx_, 2);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.what(), msg::ConversionRunning(dir_.path().string()));
  }
  EXPECT_FALSE(fs::exists(dir_ / "stations.ptf"));
  other.reset();
  PressConversionButton(ctx_, 2);
  EXPECT_TRUE(fs::exists(dir_ / "stations.ptf"));
}

TEST_F(JobFilesTest, NestedScopesShareOneLock) {
  WriteProject("p.tvp");
  LoadProject(ctx_, (dir_ / "p.tvp").string());
  const ConversionScope outer(ctx_);
  PressConversionButton(ctx_, 2);  // takes its own scope inside the outer one
  std::optional<FolderLock> other;
  EXPECT_EQ(FolderLock::TryLock(dir_.path(), other), FolderLock::Outcome::Busy);
}

TEST_F(JobFilesTest, AConversionRemovesOnlyItsOwnStaleTemporaries) {
  const Lines stale = {".lines.ptf.a1B2c3", ".tt_1_2_3.ptf.XyZ789", ".ttc_12.ptf.000000"};
  const Lines kept = {".line_L1.ttd.a1B2c3", ".p.tvp.a1B2c3",     ".lines.ptf.a1B2c",
                      ".lines.ptf.a1B2c3d",  ".notes.ptf.a1B2c3", "lines.ptf.a1B2c3"};
  for (const std::string& name : stale) dir_.Write(name, "half");
  for (const std::string& name : kept) dir_.Write(name, "keep");
  // A project file that only looks like a temporary file stays as well.
  WriteProject(".intervals.ptf.q1W2e3");
  LoadProject(ctx_, (dir_ / ".intervals.ptf.q1W2e3").string());
  PressConversionButton(ctx_, 1);
  EXPECT_EQ(Read(".intervals.ptf.q1W2e3"), kProject);
  for (const std::string& name : stale) EXPECT_FALSE(fs::exists(dir_ / name)) << name;
  for (const std::string& name : kept) EXPECT_TRUE(fs::exists(dir_ / name)) << name;
}

TEST(ConversionOutputs, NamesOfTheConversionsOnly) {
  for (const char* name : {"daygroups.ptf", "intervals.ptf", "tt_1_2_3.ptf", "tt_10_1_-2.ptf",
                           "ttc_7.ptf", "tt_connections.ptf"}) {
    EXPECT_TRUE(IsConversionOutput(name)) << name;
  }
  for (const char* name : {"tt_1_2.ptf", "tt_1_2_3_4.ptf", "tt_a_1_1.ptf", "ttc_.ptf",
                           "ttc_1_2.ptf", "lines.PTF", "p.tvp", "tt__1_1.ptf", "x.ptf"}) {
    EXPECT_FALSE(IsConversionOutput(name)) << name;
  }
}

}  // namespace
}  // namespace trivo

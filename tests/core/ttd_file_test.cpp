#include "convert/ttd_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/sy_standard.h"
#include "test_support.h"

namespace trivo {
namespace {

namespace fs = std::filesystem;

class TtdFileTest : public ::testing::Test {
 protected:
  TtdFileTest() {
    ctx_.ProjectDir = dir_.path().string();
    ctx_.WorkingDir = dir_.path().string();
  }

  fs::path WriteTtd(const std::string& lineName, const std::string& content) {
    return dir_.Write(TimetableFilePath(ctx_, lineName)->filename().string(), content);
  }

  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
};

TEST_F(TtdFileTest, FileOfALineLiesInTheProjectFolder) {
  EXPECT_EQ(TimetableFilePath(ctx_, "Linie 1"), dir_.path() / "line_Linie 1.ttd");
  EXPECT_EQ(TimetableFilePath(ctx_, ""), dir_.path() / "line_.ttd");
}

TEST_F(TtdFileTest, LineNameWithAPathSeparatorHasNoFile) {
  EXPECT_EQ(TimetableFilePath(ctx_, "../x"), std::nullopt);
  EXPECT_EQ(TimetableFilePath(ctx_, "a/b"), std::nullopt);
  EXPECT_EQ(TimetableFilePath(ctx_, "..\\..\\x"), std::nullopt);
  EXPECT_EQ(TimetableFilePath(ctx_, std::string("a\0b", 3)), std::nullopt);
}

TEST(TimetableSectionName, DirectionThenDayGroup) {
  EXPECT_EQ(TimetableSectionName(1, "MO-FR"), "1_MO-FR");
  EXPECT_EQ(TimetableSectionName(2, "MO-FR"), "2_MO-FR");
}

TEST_F(TtdFileTest, RowsAreReadUpToTheFirstGap) {
  const fs::path path = WriteTtd("L", "[1_MO-FR]\r\n1=A,7:05\r\n2=B,7:10\r\n4=D,7:20\r\n");
  const IniFile file(path);
  EXPECT_EQ(ReadTimetableRows(file, "1_MO-FR"), (std::vector<std::string>{"A,7:05", "B,7:10"}));
}

TEST_F(TtdFileTest, AnEmptyRowEndsTheSection) {
  const fs::path path = WriteTtd("L", "[2_SA]\r\n1=A,7:05\r\n2=\r\n3=C,7:20\r\n");
  const IniFile file(path);
  EXPECT_EQ(ReadTimetableRows(file, "2_SA"), (std::vector<std::string>{"A,7:05"}));
}

TEST_F(TtdFileTest, MissingSectionFileOrFolderReadsAsNoRows) {
  const fs::path path = WriteTtd("L", "[1_MO-FR]\r\n1=A,7:05\r\n");
  EXPECT_TRUE(ReadTimetableRows(IniFile(path), "2_MO-FR").empty());
  EXPECT_TRUE(ReadTimetableRows(IniFile(dir_ / "line_missing.ttd"), "1_MO-FR").empty());

  fs::create_directory(dir_ / "line_Folder.ttd");
  EXPECT_TRUE(ReadTimetableRows(IniFile(*TimetableFilePath(ctx_, "Folder")), "1_MO-FR").empty());
}

TEST_F(TtdFileTest, LongRowsAreCutAt4095Characters) {
  const std::string row = "A" + std::string(4999, ',');
  const fs::path path = WriteTtd("L", "[1_MO-FR]\r\n1=" + row + "\r\n2=B\r\n");
  const std::vector<std::string> rows = ReadTimetableRows(IniFile(path), "1_MO-FR");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], row.substr(0, 4095));
  EXPECT_EQ(rows[1], "B");
}

TEST_F(TtdFileTest, ARowSplitsIntoCellsAtEveryComma) {
  const fs::path path = WriteTtd("L", "[1_MO-FR]\r\n1=A,7:05,,\r\n");
  const std::vector<std::string> rows = ReadTimetableRows(IniFile(path), "1_MO-FR");
  ASSERT_EQ(rows.size(), 1u);
  std::vector<std::string> cells;
  SplitString(rows[0], cells, ',');
  EXPECT_EQ(cells, (std::vector<std::string>{"A", "7:05", ""}));
}

}  // namespace
}  // namespace trivo

#include "convert/ttd_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/sy_standard.h"

namespace trivo {
namespace {

namespace fs = std::filesystem;

class SilentUi : public UserInterface {
 public:
  void ShowMessage(const std::string&) override {}
  Answer Confirm(const std::string&, bool) override { return Answer::No; }
  void Log(const std::string&) override {}
  void Beep() override {}
};

class TtdFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    dir_ = fs::temp_directory_path() /
           ("trivo_ttd_" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "_" +
            std::to_string(counter++));
    fs::create_directories(dir_);
    ctx_.ProjectDir = dir_.string();
    ctx_.WorkingDir = dir_.string();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  fs::path WriteTtd(const std::string& lineName, const std::string& content) {
    const fs::path path = *TimetableFilePath(ctx_, lineName);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  fs::path dir_;
  SilentUi ui_;
  Context ctx_{ui_};
};

TEST_F(TtdFileTest, FileOfALineLiesInTheProjectFolder) {
  EXPECT_EQ(TimetableFilePath(ctx_, "Linie 1"), dir_ / "line_Linie 1.ttd");
  EXPECT_EQ(TimetableFilePath(ctx_, ""), dir_ / "line_.ttd");
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

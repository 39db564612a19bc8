#include "convert/conversion_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "test_support.h"

namespace trivo {
namespace {

namespace fs = std::filesystem;

class ConversionRecordTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("stations.csv", "A\r\nB\r\n");
    dir_.Write("stations.ptf", "ptf");
    RecordConversion(dir_.path(), kWhat, "stations.ptf erstellt\n");
  }
  std::optional<std::string> Report(std::string_view what = kWhat) {
    return RecordedReport(dir_.path(), what);
  }

  static constexpr std::string_view kWhat = "trivo 1 convert 1 2";
  test::TempDir dir_;
};

TEST_F(ConversionRecordTest, AnUnchangedFolderGetsTheRecordedReport) {
  EXPECT_EQ(Report(), "stations.ptf erstellt\n");
  EXPECT_EQ(Report(), "stations.ptf erstellt\n");  // reading the record changes nothing
}

TEST_F(ConversionRecordTest, AnyChangeInTheFolderOrInWhatRunsMakesTheConversionRun) {
  EXPECT_EQ(Report("trivo 1 convert 2"), std::nullopt);

  const auto changed = [this](auto change) {
    RecordConversion(dir_.path(), kWhat, "report");
    change();
    return !Report().has_value();
  };
  EXPECT_TRUE(changed([this] { dir_.Write("stations.csv", "A\r\nC\r\n"); }));  // same size
  EXPECT_TRUE(changed([this] {
    const auto time = fs::last_write_time(dir_ / "stations.csv");
    dir_.Write("stations.csv", "A\r\nD\r\n");
    fs::last_write_time(dir_ / "stations.csv", time);  // the old time put back
  }));
  EXPECT_TRUE(changed([this] { dir_.Write("line_U1.ttd", ""); }));
  EXPECT_TRUE(changed([this] { fs::remove(dir_ / "line_U1.ttd"); }));
  EXPECT_TRUE(changed([this] { fs::permissions(dir_ / "stations.ptf", fs::perms::owner_read); }));
  EXPECT_FALSE(changed([] {}));
}

TEST_F(ConversionRecordTest, ADamagedRecordIsNoRecord) {
  for (const char* damage : {"", "Trivo conversion record 1\n", "Trivo conversion record 1\n9\nabc",
                             "Trivo conversion record 1\nx\n"}) {
    std::ofstream(dir_ / std::string(kConversionRecordFile), std::ios::binary) << damage;
    EXPECT_EQ(Report(), std::nullopt) << damage;
  }
}

}  // namespace
}  // namespace trivo

#include "convert/trip_grid.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "ptf/ptf_writer.h"

namespace trivo {
namespace {

// The PTF text of a grid with one station column and one trip per value.
std::string OneColumnText(const std::vector<std::int32_t>& values) {
  TripGrid grid;
  grid.SetHeaders({"A"});
  std::int32_t* cells = grid.AddColumnCells(static_cast<int>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) cells[i] = values[i];
  std::string text;
  grid.AppendPtfText(text);
  return text;
}

TEST(TripGrid, EveryCellValueIsWrittenAsItsDecimalNumber) {
  const std::vector<std::int32_t> values = {-1,  0,    1,      9,         10,       99,    100,
                                            999, 1000, 1439,   2879,      9999,     10000, 12345,
                                            -2,  -10,  -99999, INT32_MAX, INT32_MIN};
  std::string expected =
      std::string(kPtfFirstLine) + "\r\n" + std::string(kPtfSecondLine) + "\r\n\"ID\",\"1\",\r\n";
  for (std::size_t i = 0; i < values.size(); ++i) {
    expected += std::to_string(i + 1) + "," + std::to_string(values[i]) + ",\r\n";
  }
  expected += "2);\r\n";
  EXPECT_EQ(OneColumnText(values), expected);
}

TEST(TripGrid, ATimeSmallerThanTheOneBeforeItBelongsToTheNextDay) {
  TripGrid grid;
  grid.SetHeaders({"A", "B", "C", "D"});
  for (const std::int32_t value : {1430, 5, -1, 3}) *grid.AddColumnCells(1) = value;
  std::string text;
  grid.AppendPtfText(text);
  EXPECT_NE(text.find("\r\n1,1430,1445,-1,3,\r\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace trivo

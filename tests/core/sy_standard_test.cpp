#include "common/sy_standard.h"

#include <gtest/gtest.h>

#include "project/prj_params.h"

namespace trivo {
namespace {

using Lines = std::vector<std::string>;

Lines Split(std::string_view text, int expectedCount) {
  Lines pieces;
  EXPECT_EQ(SplitString(text, pieces, ','), expectedCount) << text;
  return pieces;
}

TEST(SplitString, CutsAtEveryDelimiterButDropsAnEmptyLastPiece) {
  EXPECT_EQ(Split("a,b,c", 3), (Lines{"a", "b", "c"}));
  EXPECT_EQ(Split("a,,b", 3), (Lines{"a", "", "b"}));
  EXPECT_EQ(Split("a,b,", 2), (Lines{"a", "b"}));
  EXPECT_EQ(Split(",a", 2), (Lines{"", "a"}));
  EXPECT_EQ(Split(",", 1), (Lines{""}));
  EXPECT_EQ(Split("", 0), Lines{});
  EXPECT_EQ(Split(" a , \"b,c\"", 3), (Lines{" a ", " \"b", "c\""}));
}

TEST(SplitString, AppendsToTheListWithoutEmptyingIt) {
  Lines list{"kept"};
  EXPECT_EQ(SplitString("x;y", list, ';'), 2);
  EXPECT_EQ(list, (Lines{"kept", "x", "y"}));
}

TEST(IndexOfString, ComparesExactly) {
  EXPECT_EQ(IndexOfString(DayNames, "Monday"), -1);
  EXPECT_EQ(IndexOfString(DayNames, "monday"), 0);
  EXPECT_EQ(IndexOfString(DayNames, "sunday"), 6);
  EXPECT_EQ(IndexOfString(Lines{"a", "b", "a"}, "a"), 0);
  EXPECT_EQ(IndexOfString(Lines{}, ""), -1);
}

TEST(LeastCommonMultiple, OfPositiveNumbers) {
  EXPECT_EQ(LeastCommonMultiple(4, 6), 12);
  EXPECT_EQ(LeastCommonMultiple(6, 4), 12);
  EXPECT_EQ(LeastCommonMultiple(5, 5), 5);
  EXPECT_EQ(LeastCommonMultiple(3, 12), 12);
  EXPECT_EQ(LeastCommonMultiple(1, 7), 7);
  EXPECT_EQ(LeastCommonMultiple(1'000'000'007, 998'244'353), 998'244'359'987'710'471);
}

TEST(LeastCommonMultiple, NumbersThatAreNotPositiveGiveZeroAtOnce) {
  EXPECT_EQ(LeastCommonMultiple(0, 5), 0);
  EXPECT_EQ(LeastCommonMultiple(5, 0), 0);
  EXPECT_EQ(LeastCommonMultiple(-4, 6), 0);
  EXPECT_EQ(LeastCommonMultiple(INT64_MAX, INT64_MAX - 1), 0);  // beyond the range
}

}  // namespace
}  // namespace trivo

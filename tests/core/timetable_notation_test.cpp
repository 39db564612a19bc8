#include "convert/timetable_notation.h"

#include <gtest/gtest.h>

#include <string>

namespace trivo {
namespace {

using enum TCellState;

TEST(GetTimeStringState, EmptyCellsAreBlanksAndControlCharactersOnly) {
  EXPECT_EQ(GetTimeStringState(""), csEmpty);
  EXPECT_EQ(GetTimeStringState("   "), csEmpty);
  EXPECT_EQ(GetTimeStringState("\t"), csEmpty);
}

TEST(GetTimeStringState, TimesWithOrWithoutLeadingZeros) {
  for (const char* text : {"7:05", "07:05", "7:5"}) {
    EXPECT_EQ(GetTimeStringState(text), csTime) << text;
    EXPECT_EQ(TimeStringToMinutes(text), 425) << text;
  }
  EXPECT_EQ(TimeStringToMinutes("0:00"), 0);
  EXPECT_EQ(TimeStringToMinutes("23:59"), 1439);
}

TEST(GetTimeStringState, TextsThatAreNoTimes) {
  for (const char* text : {"24:00", "7:60", "7:05:00", "705", ":05", "7:", "7.05", "-0:-5",
                           "99999999999:00", "7:99999999999", "a:05", "7 :05"}) {
    EXPECT_EQ(GetTimeStringState(text), csError) << text;
    EXPECT_EQ(TimeStringToMinutes(text), -1) << text;
  }
}

TEST(GetTimeStringState, IntegerTextRulesApplyToBothParts) {
  // A sign and the hexadecimal prefixes belong to integer text.
  EXPECT_EQ(GetTimeStringState("+7:05"), csTime);
  EXPECT_EQ(TimeStringToMinutes("+7:05"), 425);
  EXPECT_EQ(GetTimeStringState("0x10:05"), csTime);
  EXPECT_EQ(TimeStringToMinutes("0x10:05"), 16 * 60 + 5);
  EXPECT_EQ(TimeStringToMinutes("-0:05"), 5);
}

TEST(GetTimeStringState, Intervals) {
  EXPECT_EQ(GetTimeStringState("10 Min"), csInterval);
  EXPECT_EQ(StringToInterval("10 Min"), 10);
  EXPECT_EQ(GetTimeStringState("0 Min"), csInterval);
  EXPECT_EQ(StringToInterval("0 Min"), 0);
  EXPECT_EQ(GetTimeStringState("  10 Min\t"), csInterval);
  EXPECT_EQ(GetTimeStringState("2147483647 Min"), csInterval);
}

TEST(GetTimeStringState, TextsThatAreNoIntervals) {
  for (const char* text : {"10  Min", "10Min", "10 min", "-5 Min", "Min", " Min", "x Min",
                           "99999999999 Min", "10 Min."}) {
    EXPECT_EQ(GetTimeStringState(text), csError) << text;
  }
}

TEST(GetTimeStringState, ClassificationTrimsButTimeConversionDoesNot) {
  EXPECT_EQ(GetTimeStringState(" 7:05 "), csTime);
  EXPECT_EQ(TimeStringToMinutes(" 7:05 "), -1);
  EXPECT_EQ(TimeStringToMinutes(" 7:05"), 425);
  EXPECT_EQ(TimeStringToMinutes("7: 05"), 425);
}

TEST(DecodeTimeString, SetsPartsOnlyWithTextOnBothSidesOfTheColon) {
  const DecodedTime noColon = DecodeTimeString("705");
  EXPECT_FALSE(noColon.valid);
  EXPECT_FALSE(noColon.set);

  const DecodedTime badMinutes = DecodeTimeString("7:xx");
  EXPECT_FALSE(badMinutes.valid);
  EXPECT_TRUE(badMinutes.set);
  EXPECT_EQ(badMinutes.hours, 7);
  EXPECT_EQ(badMinutes.minutes, -1);

  const DecodedTime outOfRange = DecodeTimeString("25:10");
  EXPECT_FALSE(outOfRange.valid);
  EXPECT_EQ(outOfRange.hours, 25);
  EXPECT_EQ(outOfRange.minutes, 10);

  const DecodedTime time = DecodeTimeString("7:05");
  EXPECT_TRUE(time.valid);
  EXPECT_EQ(time.hours, 7);
  EXPECT_EQ(time.minutes, 5);
}

TEST(StringToInterval, ChecksOnlyTheUnitAndTheNumber) {
  EXPECT_EQ(StringToInterval("10xMin"), 10);
  EXPECT_EQ(StringToInterval("-5 Min"), -5);
  EXPECT_EQ(StringToInterval(" 15 Min "), 15);
  EXPECT_EQ(StringToInterval("10 min"), -1);
  EXPECT_EQ(StringToInterval("Min"), -1);
  EXPECT_EQ(StringToInterval("xMin"), -1);
  EXPECT_EQ(StringToInterval("99999999999 Min"), -1);
  EXPECT_EQ(StringToInterval("7:05"), -1);
  EXPECT_EQ(StringToInterval(""), -1);
}

TEST(EncodeTimeString, TwoDigitPartsWithinTheDay) {
  EXPECT_EQ(EncodeTimeString(7, 5), "07:05");
  EXPECT_EQ(EncodeTimeString(0, 0), "00:00");
  EXPECT_EQ(EncodeTimeString(23, 59), "23:59");
  EXPECT_EQ(EncodeTimeString(24, 0), "");
  EXPECT_EQ(EncodeTimeString(7, -1), "");
  EXPECT_EQ(EncodeTimeString(-1, 5), "");
  EXPECT_EQ(EncodeTimeString(7, 60), "");
}

TEST(TimetableNotation, EveryTimeOfTheDayRoundTrips) {
  for (std::int32_t minutes = 0; minutes < 1440; ++minutes) {
    const std::string text = EncodeTimeString(minutes / 60, minutes % 60);
    ASSERT_EQ(GetTimeStringState(text), csTime) << text;
    ASSERT_EQ(TimeStringToMinutes(text), minutes) << text;
  }
}

}  // namespace
}  // namespace trivo

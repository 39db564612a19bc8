#include "convert/timetable_notation.h"

#include <gtest/gtest.h>

#include <functional>
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

// The reading of the editor's own forms agrees with the general way on every short text
// over the characters that matter, and takes every time of the day and every interval in
// those forms.
TEST(ReadPlainCell, AgreesWithTheGeneralWayAndTakesEveryPlainCell) {
  // Every text of up to five characters over these, and of six over the fewer below.
  std::string_view alphabet = "0125:, +xM\xA0in";
  std::string text;
  int plain = 0;
  const std::function<void(std::size_t)> visit = [&](std::size_t length) {
    if (text.size() == length) {
      // Alone, and with more of a row after it (a longer text takes another way).
      for (const std::string& row : {text, text + ",00:00,1"}) {
        const PlainCell cell = ReadPlainCell(row);
        if (cell.state == csError) continue;
        ++plain;
        const std::string_view general = std::string_view(row).substr(0, row.find(','));
        EXPECT_EQ(cell.length, general.size()) << row;
        EXPECT_EQ(GetTimeStringState(general), cell.state) << row;
        EXPECT_EQ(cell.state == csTime ? TimeStringToMinutes(general) : StringToInterval(general),
                  cell.value)
            << row;
      }
      return;
    }
    for (const char c : alphabet) {
      text.push_back(c);
      visit(length);
      text.pop_back();
    }
  };
  for (std::size_t length = 0; length <= 5; ++length) visit(length);
  alphabet = "05:, Min";
  visit(6);
  EXPECT_GT(plain, 300);  // the enumeration meets plain cells of both kinds
  const auto expectPlain = [](const std::string& cellText, TCellState state, std::int32_t value) {
    for (const std::string& row : {cellText, cellText + ",", cellText + ",12:00"}) {
      const PlainCell cell = ReadPlainCell(row);
      EXPECT_EQ(cell.state, state) << row;
      EXPECT_EQ(cell.value, value) << row;
      EXPECT_EQ(cell.length, cellText.size()) << row;
    }
  };
  for (int hours = 0; hours < 24; ++hours) {
    for (int minutes = 0; minutes < 60; ++minutes) {
      const std::string padded = EncodeTimeString(hours, minutes);
      expectPlain(padded, csTime, hours * 60 + minutes);
      if (hours < 10) expectPlain(padded.substr(1), csTime, hours * 60 + minutes);
    }
  }
  for (int number = 0; number < 10000; number += 7) {
    expectPlain(std::to_string(number) + " Min", csInterval, number);
  }
  for (const std::string other : {"24:00",
                                  "12:60",
                                  "7:60",
                                  "7:5",
                                  "007:05",
                                  " 7:05",
                                  "7:05 ",
                                  "+7:05",
                                  "0x7:05",
                                  "1/:00",
                                  "12:0:",
                                  "\xB1"
                                  "2:00",
                                  "12:5\xB9",
                                  "12;00",
                                  "12:00;",
                                  "10 min",
                                  "10  Min",
                                  "10 Min ",
                                  "10000 Min",
                                  "-5 Min",
                                  " Min",
                                  "10 Min5",
                                  "",
                                  ",7:05"}) {
    for (const std::string& row : {other, other + ",00:00,1"}) {
      EXPECT_EQ(ReadPlainCell(row).state, csError) << row;
      EXPECT_EQ(ReadPlainCell(row).length, 0u) << row;
    }
  }
}

}  // namespace
}  // namespace trivo

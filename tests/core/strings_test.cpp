#include "common/strings.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "common/messages.h"

namespace trivo {
namespace {

TEST(IntegerText, DecimalWithLeadingBlanksAndSign) {
  EXPECT_EQ(TryStrToInt("42"), 42);
  EXPECT_EQ(TryStrToInt("  42"), 42);
  EXPECT_EQ(TryStrToInt("+7"), 7);
  EXPECT_EQ(TryStrToInt("-7"), -7);
  EXPECT_EQ(TryStrToInt("007"), 7);
  EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
  EXPECT_EQ(TryStrToInt("-2147483648"), INT32_MIN);
}

TEST(IntegerText, HexadecimalForms) {
  EXPECT_EQ(TryStrToInt("0x1E"), 30);
  EXPECT_EQ(TryStrToInt("0X1e"), 30);
  EXPECT_EQ(TryStrToInt("$1E"), 30);
  EXPECT_EQ(TryStrToInt("x1E"), 30);
  EXPECT_EQ(TryStrToInt("X1E"), 30);
  EXPECT_EQ(TryStrToInt("-$10"), -16);
  EXPECT_EQ(TryStrToInt("$7FFFFFFF"), INT32_MAX);
}

TEST(IntegerText, InvalidTexts) {
  for (const char* text :
       {"", " ", "abc", "12 ", "12a", "1.5", "- 1", "+", "-", "$", "0x", "x", "0x1G", "2147483648",
        "-2147483649", "$80000000", "$FFFFFFFF", "99999999999999999999", "\t5"}) {
    EXPECT_FALSE(TryStrToInt(text).has_value()) << '"' << text << '"';
  }
  EXPECT_EQ(StrToIntDef("abc", 720), 720);
  try {
    StrToInt("12 ");
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.what(), msg::NotAnInteger("12 "));
  }
}

TEST(Trimming, RemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(Trim(" \t\r\n\x01 a b \x1F "), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a  "), "  a");
  // Characters above the blank stay, the non-breaking space of Windows-1252 included.
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");
}

TEST(LetterCase, SameTextKnowsWindows1252Letters) {
  EXPECT_TRUE(SameText("Mo-Fr", "mO-fR"));
  EXPECT_TRUE(SameText("Mühle", "MÜHLE"));
  EXPECT_TRUE(SameText("\x8A\x9F", "\x9A\xFF"));  // Š Ÿ and š ÿ
  EXPECT_FALSE(SameText("ß", "SS"));
  EXPECT_FALSE(SameText("\xD7", "\xF7"));  // multiplication and division sign
  EXPECT_FALSE(SameText("a", "a "));
}

}  // namespace
}  // namespace trivo

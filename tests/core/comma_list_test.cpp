#include "common/comma_list.h"

#include <gtest/gtest.h>

#include "common/name_value.h"

namespace trivo {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(CommaList, QuotedNamesKeepTheirBlanks) {
  EXPECT_EQ(SplitCommaList("Hauptbahnhof,Markt,\"Alte Mühle\""),
            (Lines{"Hauptbahnhof", "Markt", "Alte Mühle"}));
}

TEST(CommaList, BlanksSeparateUnquotedItemsLikeCommas) {
  EXPECT_EQ(SplitCommaList("Zoo, Markt, Alte Mühle"), (Lines{"Zoo", "Markt", "Alte", "Mühle"}));
  EXPECT_EQ(SplitCommaList(" \t a\x01"
                           "b "),
            (Lines{"a", "b"}));
}

TEST(CommaList, EmptyItemsBetweenCommasAndAfterATrailingComma) {
  EXPECT_EQ(SplitCommaList("a,,b"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitCommaList("a,"), (Lines{"a", ""}));
  EXPECT_EQ(SplitCommaList(",,"), (Lines{"", "", ""}));
  EXPECT_EQ(SplitCommaList(","), (Lines{"", ""}));
  EXPECT_EQ(SplitCommaList("a , b"), (Lines{"a", "b"}));
  // Only a comma at the very end gives the final empty item.
  EXPECT_EQ(SplitCommaList("a, "), (Lines{"a"}));
  EXPECT_EQ(SplitCommaList(""), Lines{});
  EXPECT_EQ(SplitCommaList("   "), Lines{});
}

TEST(CommaList, DoubledQuotesAndUnclosedQuotes) {
  EXPECT_EQ(SplitCommaList("\"say \"\"hi\"\"\",x"), (Lines{"say \"hi\"", "x"}));
  EXPECT_EQ(SplitCommaList("\"\",x"), (Lines{"", "x"}));
  // A quote never closed takes the rest except its last character.
  EXPECT_EQ(SplitCommaList("a,\"Alte Mühle, Zoo"), (Lines{"a", "Alte Mühle, Zo"}));
  EXPECT_EQ(SplitCommaList("\"a\"\"b"), (Lines{"a\""}));
  EXPECT_EQ(SplitCommaList("\"x"), (Lines{""}));
  EXPECT_EQ(SplitCommaList("\""), (Lines{""}));
  EXPECT_EQ(SplitCommaList("\"\"\""), (Lines{""}));
  // Text right after a closing quote starts the next item; quotes inside an item are text.
  EXPECT_EQ(SplitCommaList("\"a\"b,c\"d"), (Lines{"a", "b", "c\"d"}));
}

TEST(CommaList, ANulEndsTheText) {
  EXPECT_EQ(SplitCommaList("a,b\0,c"s), (Lines{"a", "b"}));
}

TEST(NameValue, NameAndValueAroundTheFirstEquals) {
  EXPECT_EQ(NameOf("Linie 1=A,B=C"), "Linie 1");
  EXPECT_EQ(ValueOf("Linie 1=A,B=C"), "A,B=C");
  EXPECT_EQ(NameOf("=x"), "");
  EXPECT_EQ(ValueOf("=x"), "x");
  // Without "=": no name, and the value is the line from its second character on.
  EXPECT_EQ(NameOf("Linie"), "");
  EXPECT_EQ(ValueOf("Linie"), "inie");
  EXPECT_EQ(ValueOf(""), "");
}

TEST(NameValue, LookUpIgnoresLetterCaseAndTakesTheFirstLine) {
  const Lines lines{"nameless", "Mühle", "MÜHLE=1", "mühle=2", "b="};
  EXPECT_EQ(IndexOfName(lines, "mühle"), 2);
  EXPECT_EQ(ValueOfName(lines, "mühle"), "1");
  EXPECT_EQ(IndexOfName(lines, "B"), 4);
  EXPECT_EQ(ValueOfName(lines, "B"), "");
  EXPECT_EQ(IndexOfName(lines, "nameless"), -1);
  EXPECT_EQ(IndexOfName(lines, ""), -1);
  EXPECT_EQ(ValueOfName(lines, "missing"), "");
}

}  // namespace
}  // namespace trivo

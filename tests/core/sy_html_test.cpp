#include "html/sy_html.h"

#include <gtest/gtest.h>

namespace trivo {
namespace {

using Lines = std::vector<std::string>;

struct ScanCase {
  std::string text;
  std::size_t start;
  std::optional<std::string> name;  // none: no tag found
  std::size_t tagStart = 0;
  std::size_t tagEnd = 0;
};

TEST(ScanForTag, StatesOfTheTokenizer) {
  using namespace std::string_literals;
  const std::vector<ScanCase> cases = {
      {"ab<TD class=x>c", 1, "td", 3, 14},
      {"<a><b>", 4, "b", 4, 6},
      {"<a><b>", 0, "a", 1, 3},
      {"<>x<b>", 1, "b", 4, 6},                    // "<>" is no tag
      {"< b>", 1, "b", 1, 4},                      // blanks before the name are passed over
      {"<<a>", 1, "a", 1, 4},                      // the first "<" still starts the tag
      {"<a<b>", 1, "a<b", 1, 5},                   // "<" inside a tag is part of it
      {"<!-- <b> --><i>", 1, "i", 13, 15},         // a comment hides its tags
      {"<!-->x--><i>", 1, "i", 10, 12},            // "<!-->" opens a comment too
      {"<!--<b>--><i>", 1, "!--<b", 1, 7},         // no comment without blank or ">" after "!--"
      {"<!--b <i>", 1, "!--b", 1, 9},              // an ordinary tag name beginning with "!--"
      {"\"<b>\"<i>", 1, "i", 6, 8},                // a quoted run of text hides its tags
      {"<b x=\">\">", 1, "b", 1, 7},               // quotes inside a tag are not tracked
      {"<td\nclass=x>", 1, "td\nclass=x", 1, 12},  // only a blank ends the name
      {"<\xC4X>", 1, "\xE4x", 1, 4},               // names are lowered in Windows-1252
      {"\0<a>"s, 1, "a", 2, 4},                    // NUL is an ordinary character
      {"x<", 1, std::nullopt},                     // a lone "<" at the end
      {"<a", 1, std::nullopt},                     // a name without ">"
      {"<a href=x", 1, std::nullopt},              // a tag without ">": not found
      {"<!-- <b>", 1, std::nullopt},               // an unclosed comment
      {"\"<b>", 1, std::nullopt},                  // an unclosed quoted run
      {"<a>", 5, std::nullopt},                    // start past the end
  };
  for (const ScanCase& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<FoundTag> tag = ScanForTag(c.text, c.start);
    ASSERT_EQ(tag.has_value(), c.name.has_value());
    if (!tag) continue;
    EXPECT_EQ(tag->name, *c.name);
    EXPECT_EQ(tag->tagStart, c.tagStart);
    EXPECT_EQ(tag->tagEnd, c.tagEnd);
  }
}

TEST(ParseTagText, NameAndAttributes) {
  const std::vector<std::pair<std::string, Lines>> cases = {
      {"<TD Class=X>", {"tagname=td", "class=x"}},
      {"<td class=x id=y>", {"tagname=td", "class=x ", "id=y"}},  // the blank stays
      {"<td nowrap>", {"tagname=td", "nowrap"}},
      {"<td nowrap id=1>", {"tagname=td", "nowrap", "id=1"}},
      {"<td nowrap >", {"tagname=td", "nowrap "}},
      {"<A HREF=\"X Y\" title='Q'>", {"tagname=a", "href=x y", "title=q"}},
      {"<a href = \"v\">", {"tagname=a", "href=v"}},
      {"<a href=\"open>", {"tagname=a", "open"}},  // an unclosed quote: the value alone
      {"<a x=>", {"tagname=a", "x="}},
      {"<a x='1' y>", {"tagname=a", "x=1", "y"}},
      {"<br/>", {"tagname=br/"}},
      {"<td\nclass=x>", {"tagname=td\nclass=x"}},
      {"<\xC4>", {"tagname=\xC4"}},  // lowered A to Z only
      {"<=>", {}},
      {"<>", {}},
      {"", {}},
  };
  for (const auto& [tag, expected] : cases) {
    SCOPED_TRACE(tag);
    Lines list{"left over"};
    ParseTagText(tag, list);
    EXPECT_EQ(list, expected);
  }
}

TEST(NextTag, ParsesTheTagAndMovesOn) {
  Lines list;
  std::size_t next = 0;
  EXPECT_EQ(NextTag("x<a b=c>y", 1, list, next), 2u);
  EXPECT_EQ(list, (Lines{"tagname=a", "b=c"}));
  EXPECT_EQ(next, 9u);
  next = 42;
  EXPECT_EQ(NextTag("x<a b=c>y", 9, list, next), 0u);
  EXPECT_EQ(next, 42u);
}

TEST(FindTag, FirstTagOfThatName) {
  const std::string text = "<a><TABLE x><b><table>";
  const std::optional<FoundTag> tag = FindTag(text, 1, "Table");
  ASSERT_TRUE(tag);
  EXPECT_EQ(tag->tagStart, 4u);
  EXPECT_EQ(tag->tagEnd, 12u);
  EXPECT_EQ(FindTag(text, 5, "table")->tagStart, 16u);
  EXPECT_FALSE(FindTag(text, 1, "tr"));
}

TEST(FindElement, OpeningAndFirstClosingTag) {
  std::size_t afterEnd = 0;
  EXPECT_EQ(FindElement("x<table><tr></table>y", 1, "table", afterEnd), 2u);
  EXPECT_EQ(afterEnd, 21u);
  // Nested elements are not matched up: the inner closing tag ends the outer element.
  const std::string nested = "<table>A<table>B</table>C</table>";
  EXPECT_EQ(FindElement(nested, 1, "table", afterEnd), 1u);
  EXPECT_EQ(nested.substr(0, afterEnd - 1), "<table>A<table>B</table>");
  afterEnd = 7;
  EXPECT_EQ(FindElement("<table><tr>", 1, "table", afterEnd), 0u);
  EXPECT_EQ(FindElement("</table>", 1, "table", afterEnd), 0u);
  EXPECT_EQ(afterEnd, 7u);
}

TEST(FindAngleSpan, FirstSpanFromLessToGreaterThan) {
  std::string inner;
  std::size_t after = 0;
  EXPECT_EQ(FindAngleSpan("ab< x y >c", 1, inner, after), 3u);
  EXPECT_EQ(inner, "x y");
  EXPECT_EQ(after, 10u);
  EXPECT_EQ(FindAngleSpan("<a>b<c>", 2, inner, after), 5u);
  EXPECT_EQ(inner, "c");
  EXPECT_EQ(FindAngleSpan("ab<x", 1, inner, after), 0u);
  EXPECT_EQ(FindAngleSpan("a>b", 1, inner, after), 0u);
}

TEST(StripTags, RemovesEverySpan) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"<b>A</b> &amp; B", "A &amp; B"},
      {"\n  <span class=\"t\">08:15</span>\n", "\n  08:15\n"},
      {"a<b", "a<b"},  // a "<" without ">" stays with all after it
      {"a<b>c<d", "ac<d"},
      {"a>b<c>", "a>b"},
      {"<!-- <x> -->y", " -->y"},  // a comment goes only up to its first ">"
      {"<<a>>", ">"},
      {"", ""},
  };
  for (const auto& [html, expected] : cases) EXPECT_EQ(StripTags(html), expected) << html;
}

}  // namespace
}  // namespace trivo

#include "html/sy_html.h"

#include <algorithm>

#include "common/strings.h"

namespace trivo {

namespace {

constexpr char kBlank = ' ';
constexpr char kDoubleQuote = '"';
constexpr char kSingleQuote = '\'';
constexpr std::string_view kCommentName = "!--";

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

std::string LowerAscii(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = LowerAscii(c);
  return lowered;
}

// The 0-based index where a scan from the 1-based position start begins.
std::size_t FirstIndex(std::size_t start) {
  return start == 0 ? 0 : start - 1;
}

}  // namespace

std::optional<FoundTag> ScanForTag(std::string_view text, std::size_t start) {
  enum class State { Text, QuotedText, Comment, TagOpen, TagName, TagRest };
  State state = State::Text;
  FoundTag tag;
  std::size_t nameStart = 0;
  for (std::size_t i = FirstIndex(start); i < text.size(); ++i) {
    const char c = text[i];
    switch (state) {
      case State::Text:
        if (c == kDoubleQuote) {
          state = State::QuotedText;
        } else if (c == '<') {
          tag.tagStart = i + 1;
          state = State::TagOpen;
        }
        break;
      case State::QuotedText:
        if (c == kDoubleQuote) state = State::Text;
        break;
      case State::Comment:
        if (c == '>' && i >= 2 && text.substr(i - 2, 3) == "-->") state = State::Text;
        break;
      case State::TagOpen:
        if (c == '>') {
          state = State::Text;  // "<>" is no tag
        } else if (c != kBlank && c != kDoubleQuote && c != kSingleQuote && c != '<') {
          nameStart = i;
          state = State::TagName;
        }
        break;
      case State::TagName:
        if (c == kBlank || c == '>') {
          const std::string_view name = text.substr(nameStart, i - nameStart);
          if (name == kCommentName) {
            state = State::Comment;
            break;
          }
          tag.name = LowerCaseCp1252(name);
          if (c == '>') {
            tag.tagEnd = i + 1;
            return tag;
          }
          state = State::TagRest;
        }
        break;
      case State::TagRest:
        if (c == '>') {
          tag.tagEnd = i + 1;
          return tag;
        }
        break;
    }
  }
  // Also a tag whose name was read but whose ">" never came: with no end it cannot be
  // taken, and a search resumed after it would start over.
  return std::nullopt;
}

void ParseTagText(std::string_view tagText, std::vector<std::string>& list) {
  enum class State {
    BeforeName,
    Name,
    BetweenAttributes,
    AttrName,
    AfterAttrName,
    AfterEquals,
    UnquotedValue,
    SingleQuoted,
    DoubleQuoted
  };
  list.clear();
  if (tagText.size() < 2) return;
  // The walk covers the characters between "<" and ">"; indexes are into inner.
  const std::string_view inner = tagText.substr(1, tagText.size() - 2);
  const auto from = [&inner](std::size_t begin, std::size_t end) {
    return inner.substr(begin, end - begin);
  };
  State state = State::BeforeName;
  std::size_t start = 0;
  std::string pending;
  const auto addPending = [&list, &pending] {
    list.push_back(LowerAscii(pending));
    pending.clear();
  };
  for (std::size_t i = 0; i < inner.size(); ++i) {
    const char c = inner[i];
    const bool other = c != kBlank && c != kDoubleQuote && c != kSingleQuote && c != '=';
    switch (state) {
      case State::BeforeName:
        if (other) {
          start = i;
          state = State::Name;
        }
        break;
      case State::Name:
        if (c == kBlank) {
          list.push_back("tagname=" + LowerAscii(from(start, i)));
          state = State::BetweenAttributes;
        }
        break;
      case State::BetweenAttributes:
        if (other) {
          start = i;
          state = State::AttrName;
        }
        break;
      case State::AttrName:
        if (c == kBlank) {
          pending = LowerAscii(from(start, i));
          state = State::AfterAttrName;
        } else if (c == '=') {
          pending = LowerAscii(from(start, i + 1));
          state = State::AfterEquals;
        }
        break;
      case State::AfterAttrName:
        if (c == '=') {
          pending += '=';
          state = State::AfterEquals;
        } else if (other) {
          addPending();  // an attribute without value
          start = i;
          state = State::AttrName;
        }
        break;
      case State::AfterEquals:
        if (c == kDoubleQuote || c == kSingleQuote) {
          start = i + 1;
          state = c == kDoubleQuote ? State::DoubleQuoted : State::SingleQuoted;
        } else if (other) {
          start = i;
          state = State::UnquotedValue;
        }
        break;
      case State::UnquotedValue:
        if (c == kBlank) {
          pending += from(start, i + 1);  // the blank belongs to the value
          addPending();
          state = State::BetweenAttributes;
        }
        break;
      case State::SingleQuoted:
      case State::DoubleQuoted:
        if (c == (state == State::DoubleQuoted ? kDoubleQuote : kSingleQuote)) {
          pending += from(start, i);
          addPending();
          state = State::BetweenAttributes;
        }
        break;
    }
  }
  const std::string_view rest = inner.substr(std::min(start, inner.size()));
  switch (state) {
    case State::Name:
      list.push_back("tagname=" + LowerAscii(rest));
      break;
    case State::AttrName:
    case State::AfterAttrName:
    case State::AfterEquals:
    case State::SingleQuoted:  // an unclosed quote: the value alone
    case State::DoubleQuoted:
      list.push_back(LowerAscii(rest));
      break;
    case State::UnquotedValue:
      pending += rest;
      addPending();
      break;
    case State::BeforeName:
    case State::BetweenAttributes:
      break;
  }
}

std::size_t NextTag(std::string_view text, std::size_t start, std::vector<std::string>& list,
                    std::size_t& next) {
  const std::optional<FoundTag> tag = ScanForTag(text, start);
  if (!tag) return 0;
  ParseTagText(text.substr(tag->tagStart - 1, tag->tagEnd - tag->tagStart + 1), list);
  next = tag->tagEnd + 1;
  return tag->tagStart;
}

std::optional<FoundTag> FindTag(std::string_view text, std::size_t start, std::string_view name) {
  const std::string wanted = LowerCaseCp1252(name);
  std::optional<FoundTag> tag = ScanForTag(text, start);
  while (tag && tag->name != wanted) tag = ScanForTag(text, tag->tagEnd + 1);
  return tag;
}

std::size_t FindElement(std::string_view text, std::size_t start, std::string_view name,
                        std::size_t& afterEnd) {
  const std::optional<FoundTag> opening = FindTag(text, start, name);
  if (!opening) return 0;
  const std::optional<FoundTag> closing =
      FindTag(text, opening->tagEnd + 1, "/" + std::string(name));
  if (!closing) return 0;
  afterEnd = closing->tagEnd + 1;
  return opening->tagStart;
}

std::size_t FindAngleSpan(std::string_view text, std::size_t start, std::string& inner,
                          std::size_t& after) {
  const std::size_t open = text.find('<', FirstIndex(start));
  if (open == std::string_view::npos) return 0;
  const std::size_t close = text.find('>', open);
  if (close == std::string_view::npos) return 0;
  inner = Trim(text.substr(open + 1, close - open - 1));
  after = close + 2;
  return open + 1;
}

std::string StripTags(std::string_view text) {
  // Removing the first span and searching again from the beginning finds the first "<"
  // of what follows that span, so one pass from left to right gives the same text.
  std::string stripped;
  stripped.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t open = text.find('<', pos);
    const std::size_t close = open == std::string_view::npos ? open : text.find('>', open);
    if (close == std::string_view::npos) break;
    stripped.append(text.substr(pos, open - pos));
    pos = close + 1;
  }
  stripped.append(text.substr(std::min(pos, text.size())));
  return stripped;
}

}  // namespace trivo

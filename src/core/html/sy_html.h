#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A small, forgiving scanner for HTML text: tags, double-quoted text runs and comments.
// It decodes no character entities and builds no document tree; text it cannot make
// sense of is passed over as ordinary text, and it never fails.
//
// Positions are 1-based byte positions in the text, both ends of a span included; a
// position result of 0 means that nothing was found. A start position of 0 counts as 1.
namespace trivo {

// A tag found by the tokenizer: its name, lowered, and the positions of its "<" and ">".
// A closing tag's name begins with "/" ("/td"); only a blank ends a name, so a tab or a
// line break after it belongs to the name.
struct FoundTag {
  std::string name;
  std::size_t tagStart = 0;
  std::size_t tagEnd = 0;
};

// The tokenizer: the next tag at or after start. Comments ("<!--" followed by a blank or
// ">", up to "-->") are passed over, and so is a double-quoted run of ordinary text with
// the tags inside it. A "<" inside a tag is part of the tag, so "<!--<tr>" is one tag
// named "!--<tr". A tag whose ">" is missing before the end of the text is not found.
std::optional<FoundTag> ScanForTag(std::string_view text, std::size_t start);

// Clears list and fills it with the parsed tag: first "tagname=" + the tag's name, then
// one entry per attribute, "name=value" or the name alone, all lowered (A to Z only).
// tagText is the whole tag from "<" to ">".
void ParseTagText(std::string_view tagText, std::vector<std::string>& list);

// ScanForTag from start; when a tag is found, ParseTagText of its text into list and
// next := the position after its ">". Returns the position of the tag's "<", or 0.
std::size_t NextTag(std::string_view text, std::size_t start, std::vector<std::string>& list,
                    std::size_t& next);

// The first tag at or after start whose name equals name, lowered.
std::optional<FoundTag> FindTag(std::string_view text, std::size_t start, std::string_view name);

// The first tag named name at or after start and the first tag named "/" + name after
// it; afterEnd := the position after the closing tag's ">". Returns the position of the
// opening tag's "<", or 0 when either tag is missing. Elements of the same name nested
// in each other are not matched up: the first closing tag ends the element.
std::size_t FindElement(std::string_view text, std::size_t start, std::string_view name,
                        std::size_t& afterEnd);

// The first "<" at or after start and the first ">" after it: inner := the text between
// them trimmed at both ends, after := the position after the ">". Returns the position
// of the "<", or 0 when either character is missing.
std::size_t FindAngleSpan(std::string_view text, std::size_t start, std::string& inner,
                          std::size_t& after);

// The text with every span from a "<" to the next ">" removed. A "<" without a later
// ">" stays, with everything after it; a comment is removed only up to its first ">".
std::string StripTags(std::string_view text);

}  // namespace trivo

#include "common/comma_list.h"

namespace trivo {

namespace {

bool IsSkipped(char c) {
  return c >= 1 && static_cast<unsigned char>(c) <= ' ';
}

// The item after an opening double quote at text[0]; text is advanced past the closing
// quote, or to its end when the quote is never closed.
std::string QuotedItem(std::string_view& text) {
  std::string item;
  std::size_t i = 1;
  bool closed = false;
  while (i < text.size()) {
    if (text[i] != '"') {
      item += text[i++];
    } else if (i + 1 < text.size() && text[i + 1] == '"') {
      item += '"';
      i += 2;
    } else {
      ++i;
      closed = true;
      break;
    }
  }
  // A quote never closed takes the rest except its last character.
  if (!closed && !item.empty()) item.pop_back();
  text.remove_prefix(i);
  return item;
}

}  // namespace

void ForEachCommaItem(std::string_view text, const std::function<void(std::string&& item)>& visit) {
  // A NUL ends the text.
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  const auto skip = [&text] {
    while (!text.empty() && IsSkipped(text.front())) text.remove_prefix(1);
  };

  skip();
  while (!text.empty()) {
    if (text.front() == '"') {
      visit(QuotedItem(text));
    } else {
      std::size_t n = 0;
      while (n < text.size() && static_cast<unsigned char>(text[n]) > ' ' && text[n] != ',') ++n;
      visit(std::string(text.substr(0, n)));
      text.remove_prefix(n);
    }
    skip();
    if (!text.empty() && text.front() == ',') {
      if (text.size() == 1) visit(std::string());
      text.remove_prefix(1);
      skip();
    }
  }
}

std::vector<std::string> SplitCommaList(std::string_view text) {
  std::vector<std::string> items;
  ForEachCommaItem(text, [&items](std::string&& item) { items.push_back(std::move(item)); });
  return items;
}

}  // namespace trivo

// The list readers: the comma-list rule, SplitString and the name=value lists. Input: a
// text; its lines serve as a name=value list and as the names looked up.
//
// Properties: items of a comma list, written back in double quotes, split into the same
// items; the pieces of SplitString joined by the delimiter give the text again; the
// indexed NameValueList finds what the plain search through the lines finds, also after
// setting values.

#include <string>
#include <string_view>
#include <vector>

#include "common/comma_list.h"
#include "common/name_value.h"
#include "common/name_value_list.h"
#include "common/strings.h"
#include "common/sy_standard.h"
#include "common/text_file.h"
#include "fuzz_support.h"

namespace trivo {
namespace {

// Items in double quotes, inner double quotes doubled, separated by commas.
std::string QuotedCommaList(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) {
    if (!text.empty()) text += ',';
    text += DoubleQuoted(item);
  }
  return text;
}

void CheckCommaList(std::string_view text) {
  const std::vector<std::string> items = SplitCommaList(text);
  // A single empty item is written as "", which reads as one empty item too.
  FUZZ_CHECK(SplitCommaList(QuotedCommaList(items)) == items);
}

void CheckSplitString(std::string_view text, char delimiter) {
  std::vector<std::string> pieces{"kept"};
  const int count = SplitString(text, pieces, delimiter);
  FUZZ_CHECK(count >= 0 && pieces.size() == static_cast<std::size_t>(count) + 1);
  FUZZ_CHECK(pieces.front() == "kept");
  std::string joined;
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    if (i > 1) joined += delimiter;
    joined += pieces[i];
  }
  if (text.ends_with(delimiter)) joined += delimiter;
  FUZZ_CHECK(joined == text);
}

void CheckNameValues(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line.find('=') != std::string::npos) {
      FUZZ_CHECK(std::string(NameOf(line)) + "=" + std::string(ValueOf(line)) == line);
    }
  }
  NameValueList list(lines);
  std::vector<std::string> plain = lines;
  // The names, their upper-case forms and the values of the first and the last lines
  // serve as names to look up (a bounded number: the plain search is linear).
  std::vector<std::string> names;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == 16 && lines.size() > 32) i = lines.size() - 16;
    const std::string& line = lines[i];
    names.emplace_back(NameOf(line));
    names.emplace_back(ValueOf(line));
    std::string upper(NameOf(line));
    for (char& c : upper) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    names.push_back(std::move(upper));
  }
  const auto compare = [&] {
    FUZZ_CHECK(list.Lines() == plain);
    for (const std::string& name : names) {
      FUZZ_CHECK(list.Contains(name) == (IndexOfName(plain, name) >= 0));
      FUZZ_CHECK(list.Value(name) == ValueOfName(plain, name));
    }
  };
  compare();
  // Setting a value: the first line of that name is replaced, or a line appended. Names
  // hold no "=", as in every file these lists come from.
  for (std::size_t i = 0; i < names.size() && i < 16; ++i) {
    const std::string& name = names[i];
    if (name.find('=') != std::string::npos) continue;
    const std::string value = "v" + std::to_string(i);
    list.SetValue(name, value);
    const int at = IndexOfName(plain, name);
    if (at >= 0) {
      plain[static_cast<std::size_t>(at)] = name + "=" + value;
    } else {
      plain.push_back(name + "=" + value);
    }
    FUZZ_CHECK(list.Value(name) == value);
  }
  compare();
}

}  // namespace
}  // namespace trivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  const std::string_view text = fuzz::AsText(data, size);
  CheckCommaList(text);
  for (const char delimiter : {',', ';', '\0'}) CheckSplitString(text, delimiter);
  const std::vector<std::string> lines = SplitTextLines(text);
  for (const std::string& line : lines) {
    CheckCommaList(ValueOf(line));
    CheckSplitString(line, ',');
  }
  CheckNameValues(lines);
  return 0;
}

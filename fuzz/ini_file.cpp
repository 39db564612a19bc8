// The profile-file reader and writer. Input: the file's bytes, then (separated by the
// record separator) a section, a key and a value to write, a section to erase, and the
// lines of a section to replace.
//
// Properties: reading a file twice gives the same; after writing a key it reads back as
// written and every other section and key reads as before, byte for byte; after erasing
// a section all others read as before; the file on disk holds what the object holds;
// ReplaceSection gives the same bytes as EraseSection followed by WriteString of every
// key.

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/ini_file.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "fuzz_support.h"
#include "test_support.h"

namespace trivo {
namespace {

constexpr std::size_t kWhole = std::string::npos;

using fuzz::IniEntry;
using fuzz::IniSnapshot;
using fuzz::WithoutSection;

// A name as the writers' callers give it: one line, no blanks around it.
std::string Name(std::string_view text) {
  std::string name(text);
  std::erase_if(name, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
  return Trim(name);
}

// A key name: also no "=" and not starting like a comment or a section header.
std::string KeyName(std::string_view text) {
  std::string key(text);
  std::erase(key, '=');
  key = Name(key);
  while (!key.empty() && (key.front() == ';' || key.front() == '[')) key = Trim(key.substr(1));
  return key;
}

// A value that reads back unchanged: one line, no blanks around it, not in quotes.
std::string PlainValue(std::string_view text) {
  std::string value = Name(text);
  while (!value.empty() && (value.front() == '"' || value.front() == '\'')) {
    value = Trim(value.substr(1));
  }
  return value;
}

void CheckOnDisk(const IniFile& file) {
  FUZZ_CHECK(IniFile(file.Path()).Bytes() == file.Bytes());
}

void CheckWrite(IniFile& file, const std::string& section, const std::string& key,
                const std::string& value) {
  const std::vector<IniEntry> before = IniSnapshot(file);
  const bool sectionKnown = std::any_of(before.begin(), before.end(), [&](const IniEntry& e) {
    return SameText(e.section, section);
  });
  file.WriteString(section, key, value);
  CheckOnDisk(file);
  FUZZ_CHECK(file.ReadString(section, key, "\x01", kWhole) == value);

  const std::vector<IniEntry> after = IniSnapshot(file);
  FUZZ_CHECK(WithoutSection(after, section) == WithoutSection(before, section));
  if (!sectionKnown) {
    FUZZ_CHECK(after.size() == before.size() + 1 && after.back().section == section);
    return;
  }
  FUZZ_CHECK(after.size() == before.size());
  // The written section: the other keys as before; a new key comes last.
  const auto find = [&](const std::vector<IniEntry>& entries) {
    return *std::find_if(entries.begin(), entries.end(),
                         [&](const IniEntry& e) { return SameText(e.section, section); });
  };
  auto keysBefore = find(before).keys;
  auto keysAfter = find(after).keys;
  const auto isKey = [&](const auto& k) { return SameText(k.first, key); };
  const bool keyKnown = std::any_of(keysBefore.begin(), keysBefore.end(), isKey);
  if (!keyKnown) {
    FUZZ_CHECK(!keysAfter.empty() && keysAfter.back() == std::make_pair(key, value));
    keysAfter.pop_back();
  }
  std::erase_if(keysBefore, isKey);
  std::erase_if(keysAfter, isKey);
  FUZZ_CHECK(keysAfter == keysBefore);
}

void CheckErase(IniFile& file, const std::string& section) {
  const std::vector<IniEntry> before = IniSnapshot(file);
  file.EraseSection(section);
  CheckOnDisk(file);
  FUZZ_CHECK(!file.SectionExists(section));
  FUZZ_CHECK(IniSnapshot(file) == WithoutSection(before, section));
}

// ReplaceSection against its definition, on two copies of the file.
void CheckReplace(const test::TempDir& dir, const std::string& bytes, const std::string& section,
                  std::string_view lines) {
  std::vector<std::pair<std::string, std::string>> keys;
  std::size_t number = 0;
  for (std::string& line : SplitTextLines(lines)) {
    keys.emplace_back(std::to_string(++number), std::move(line));
  }
  IniFile replaced(dir.Write("replaced.ini", bytes));
  replaced.ReplaceSection(section, keys);
  CheckOnDisk(replaced);
  IniFile stepwise(dir.Write("stepwise.ini", bytes));
  stepwise.EraseSection(section);
  for (const auto& [key, value] : keys) stepwise.WriteString(section, key, value);
  FUZZ_CHECK(replaced.Bytes() == stepwise.Bytes());
}

}  // namespace
}  // namespace trivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  const auto parts = fuzz::SplitParts(fuzz::AsText(data, size), 6);
  const std::string bytes(parts[0]);
  test::TempDir dir;
  IniFile file(dir.Write("file.ini", bytes));
  FUZZ_CHECK(file.Bytes() == bytes);
  FUZZ_CHECK(IniSnapshot(file) == IniSnapshot(IniFile(file.Path())));

  const std::string section = Name(parts[1]);
  const std::string key = KeyName(parts[2]);
  if (!section.empty() && !key.empty()) CheckWrite(file, section, key, PlainValue(parts[3]));
  CheckErase(file, std::string(parts[4]));
  if (!section.empty()) CheckReplace(dir, bytes, section, parts[5]);
  return 0;
}

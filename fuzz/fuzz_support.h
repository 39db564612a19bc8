#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/ini_file.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "project/context.h"

// Helpers shared by the fuzz targets.
namespace trivo::fuzz {

// A property that must hold for every input: a violation ends the run like a crash, so
// that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                 \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                           \
    }                                                                                         \
  } while (false)

// The separator of the parts of an input that stands for several files or texts: the
// ASCII record separator, which no project file holds.
inline constexpr char kPartSeparator = '\x1e';

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input cut into count parts at the first count - 1 separators; missing parts are
// empty, the last part keeps any further separators.
inline std::vector<std::string_view> SplitParts(std::string_view input, std::size_t count) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const std::size_t at = input.find(kPartSeparator);
    if (at == std::string_view::npos) break;
    parts.push_back(input.substr(0, at));
    input.remove_prefix(at + 1);
  }
  parts.push_back(input);
  parts.resize(count);
  return parts;
}

// The first line of a text; empty when there is none.
inline std::string FirstLine(std::string_view text) {
  const std::vector<std::string> lines = SplitTextLines(text);
  return lines.empty() ? std::string() : lines.front();
}

// Whether a line's name gives a file of its own in the project folder, so that the
// target can write the line's .ttd file.
inline bool UsableFileName(std::string_view lineName) {
  return lineName.size() <= 64 && lineName != "." && lineName != ".." &&
         lineName.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// The .ttd files of the first two lines of lines.csv (the third part), from the parts
// after the first five, as the whole-project targets lay a project out.
inline void WriteLineTimetables(
    const std::vector<std::string_view>& parts,
    const std::function<void(const std::string& name, std::string_view bytes)>& write) {
  const std::vector<std::string> lines = SplitTextLines(parts[2]);
  for (std::size_t i = 0; i < 2 && i < lines.size(); ++i) {
    if (!UsableFileName(lines[i]) || (i == 1 && lines[1] == lines[0])) continue;
    write("line_" + lines[i] + ".ttd", parts[5 + i]);
  }
}

// Inputs and outputs of the run in folder, as after loading a project there.
inline void UseFolder(Context& ctx, const std::filesystem::path& folder) {
  ctx.ProjectDir = folder.string();
  ctx.WorkingDir = folder.string();
}

// A day group of the project, on all weekdays.
inline void AddDayGroup(Context& ctx, std::string_view name) {
  ctx.PrjParams.DayGroups.push_back(
      TDayGroupItem{std::string(name), std::string(name), Weekdays(0x1f)});
}

// What the reader shows of a profile file: every section in file order with its keys and
// values, read whole.
struct IniEntry {
  std::string section;
  std::vector<std::pair<std::string, std::string>> keys;
  friend bool operator==(const IniEntry&, const IniEntry&) = default;
};

inline std::vector<IniEntry> IniSnapshot(const IniFile& file) {
  std::vector<IniEntry> entries;
  for (const std::string& section : file.ReadSections()) {
    IniEntry entry{section, {}};
    for (const std::string& key : file.ReadSection(section)) {
      FUZZ_CHECK(file.ValueExists(section, key));
      // A key line without "=" has no value: the default comes back.
      entry.keys.emplace_back(key, file.ReadString(section, key, "\x01", std::string::npos));
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

// The snapshot without the sections named like section (letter case ignored).
inline std::vector<IniEntry> WithoutSection(std::vector<IniEntry> entries,
                                            std::string_view section) {
  std::erase_if(entries, [&](const IniEntry& e) { return SameText(e.section, section); });
  return entries;
}

}  // namespace trivo::fuzz

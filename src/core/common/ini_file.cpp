#include "common/ini_file.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "common/error.h"
#include "common/job_files.h"
#include "common/messages.h"
#include "common/strings.h"
#include "common/text_file.h"

namespace trivo {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// Offsets into the file's bytes.
struct Span {
  std::size_t begin = 0;
  std::size_t size = 0;
  std::size_t end() const { return begin + size; }
};

// One line of the file: its text and its terminator (CR LF, LF, CR or none).
struct RawLine {
  std::size_t begin = 0;
  std::size_t textSize = 0;
  std::size_t breakSize = 0;
  std::size_t textEnd() const { return begin + textSize; }
  std::size_t end() const { return begin + textSize + breakSize; }
};

struct Key {
  Span name;
  std::optional<Span> value;  // absent for a line without "="
  std::size_t line = 0;
};

struct Section {
  Span name;
  std::size_t headerLine = 0;
  std::vector<Key> keys;
  std::unordered_map<std::string, std::size_t> keyIndex;  // lower-case name -> first key
};

Span TrimSpan(std::string_view bytes, Span span) {
  std::size_t b = span.begin;
  std::size_t e = span.end();
  while (b < e && IsBlank(bytes[b])) ++b;
  while (e > b && IsBlank(bytes[e - 1])) --e;
  return {b, e - b};
}

std::vector<RawLine> SplitRawLines(std::string_view bytes) {
  std::vector<RawLine> lines;
  const char* const data = bytes.data();
  const std::size_t size = bytes.size();
  // A line ends at the first CR or LF. The next LF is searched for once and kept while
  // the lines before it end in CRs, so no byte is searched twice however the lines end.
  std::size_t start = 0;
  std::size_t lf = 0;
  bool lfAhead = false;
  while (start < size) {
    if (!lfAhead || lf < start) {
      const void* found = std::memchr(data + start, '\n', size - start);
      lf = found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - data)
                            : size;
      lfAhead = true;
    }
    const void* cr = std::memchr(data + start, '\r', lf - start);
    const std::size_t end =
        cr != nullptr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : lf;
    if (end == size) {
      lines.push_back({start, size - start, 0});
      break;
    }
    const std::size_t breakSize =
        (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') ? 2 : 1;
    lines.push_back({start, end - start, breakSize});
    start = end + breakSize;
  }
  return lines;
}

}  // namespace

struct IniFile::Impl {
  std::string bytes;
  bool unreadable = false;  // the file exists but could not be read: never overwrite it
  std::vector<RawLine> lines;
  std::vector<Section> sections;
  std::unordered_map<std::string, std::size_t> sectionIndex;  // lower-case name -> first

  std::string_view Text(Span span) const {
    return std::string_view(bytes).substr(span.begin, span.size);
  }

  void Parse() {
    lines = SplitRawLines(bytes);
    sections.clear();
    sectionIndex.clear();
    const std::string_view all(bytes);
    for (std::size_t n = 0; n < lines.size(); ++n) {
      const RawLine& line = lines[n];
      // A NUL ends the meaning of the line; its bytes stay for writing.
      std::string_view text = all.substr(line.begin, line.textSize);
      const std::size_t nul = text.find('\0');
      if (nul != std::string_view::npos) text = text.substr(0, nul);
      const Span trimmed = TrimSpan(all, {line.begin, text.size()});
      if (trimmed.size == 0 || all[trimmed.begin] == ';') continue;
      const std::string_view t = Text(trimmed);
      if (t.front() == '[') {
        const std::size_t close = t.rfind(']');
        if (close != std::string_view::npos && close > 0) {
          Section section;
          section.name = TrimSpan(all, {trimmed.begin + 1, close - 1});
          section.headerLine = n;
          sectionIndex.try_emplace(LowerCaseCp1252(Text(section.name)), sections.size());
          sections.push_back(std::move(section));
          continue;
        }
      }
      if (sections.empty()) continue;  // keys before the first section belong to none
      Key key;
      key.line = n;
      const std::size_t eq = t.find('=');
      if (eq == std::string_view::npos) {
        key.name = trimmed;
      } else {
        key.name = TrimSpan(all, {trimmed.begin, eq});
        key.value = TrimSpan(all, {trimmed.begin + eq + 1, trimmed.size - eq - 1});
      }
      Section& section = sections.back();
      section.keyIndex.try_emplace(LowerCaseCp1252(Text(key.name)), section.keys.size());
      section.keys.push_back(key);
    }
  }

  const Section* FindSection(std::string_view name) const {
    const auto it = sectionIndex.find(LowerCaseCp1252(name));
    return it == sectionIndex.end() ? nullptr : &sections[it->second];
  }

  const Key* FindKey(const Section& section, std::string_view name) const {
    const auto it = section.keyIndex.find(LowerCaseCp1252(name));
    return it == section.keyIndex.end() ? nullptr : &section.keys[it->second];
  }

  bool EndsWithLineBreak() const { return !lines.empty() && lines.back().breakSize > 0; }
};

IniFile::IniFile(std::filesystem::path path, JobFiles* job)
    : path_(std::move(path)), job_(job), impl_(new Impl) {
  FileRead file = TryReadFileBytes(path_, job_);
  if (file.TooLarge()) {
    throw Error(msg::FileTooLarge(path_.string(), file.size, kInputSizeLimit));
  }
  // A missing file reads as empty; one that exists but cannot be read (a folder, a pipe,
  // no permission) too, and it is never overwritten.
  impl_->unreadable = !file.read && file.error != ENOENT && file.error != ENOTDIR;
  impl_->bytes = std::move(file.bytes);
  impl_->Parse();
}

IniFile IniFile::InMemory(std::string bytes) {
  IniFile file{std::filesystem::path()};
  file.inMemory_ = true;
  file.impl_->bytes = std::move(bytes);
  file.impl_->Parse();
  return file;
}

void IniFile::Store(std::string updated) {
  if (!inMemory_) WriteFileAtomically(path_, updated, {}, {job_, false, true});
  impl_->bytes = std::move(updated);
  impl_->Parse();
}

IniFile::~IniFile() = default;
IniFile::IniFile(IniFile&&) noexcept = default;
IniFile& IniFile::operator=(IniFile&&) noexcept = default;

bool IniFile::SectionExists(std::string_view section) const {
  const Section* found = impl_->FindSection(section);
  return found != nullptr && !found->keys.empty();
}

std::vector<std::string> IniFile::ReadSections() const {
  std::vector<std::string> names;
  names.reserve(impl_->sections.size());
  for (const Section& section : impl_->sections) {
    names.emplace_back(impl_->Text(section.name));
  }
  return names;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> names;
  if (const Section* found = impl_->FindSection(section)) {
    names.reserve(found->keys.size());
    for (const Key& key : found->keys) names.emplace_back(impl_->Text(key.name));
  }
  return names;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
  const Section* found = impl_->FindSection(section);
  return found != nullptr && impl_->FindKey(*found, key) != nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, std::size_t maxLength) const {
  return std::string(ReadView(section, key, maxLength).value_or(defaultValue));
}

std::optional<std::string_view> IniFile::ReadView(std::string_view section, std::string_view key,
                                                  std::size_t maxLength) const {
  const Section* foundSection = impl_->FindSection(section);
  const Key* found = foundSection ? impl_->FindKey(*foundSection, key) : nullptr;
  if (found == nullptr || !found->value) return std::nullopt;
  std::string_view value = impl_->Text(*found->value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value.substr(0, maxLength);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
  return StrToIntDef(ReadString(section, key, ""), defaultValue);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (impl_->unreadable) throw Error(msg::CannotWrite(path_.string()));
  const std::string& bytes = impl_->bytes;
  std::string updated;
  const auto splice = [&](std::size_t from, std::size_t to, std::string_view insert) {
    updated.reserve(bytes.size() - (to - from) + insert.size());
    updated.append(bytes, 0, from);
    updated.append(insert);
    updated.append(bytes, to, std::string::npos);
  };

  const Section* foundSection = impl_->FindSection(section);
  if (foundSection == nullptr) {
    std::string tail;
    if (!bytes.empty() && !impl_->EndsWithLineBreak()) tail += kLineBreak;
    tail += '[';
    tail += section;
    tail += ']';
    tail += kLineBreak;
    tail += key;
    tail += '=';
    tail += value;
    tail += kLineBreak;
    splice(bytes.size(), bytes.size(), tail);
  } else if (const Key* found = impl_->FindKey(*foundSection, key)) {
    // The line becomes "<name>=<value>", the name spelled as in the file; its line
    // break stays.
    const RawLine& line = impl_->lines[found->line];
    std::string text(impl_->Text(found->name));
    text += '=';
    text += value;
    splice(line.begin, line.textEnd(), text);
  } else {
    const std::size_t after =
        foundSection->keys.empty() ? foundSection->headerLine : foundSection->keys.back().line;
    const RawLine& line = impl_->lines[after];
    std::string text;
    if (line.breakSize == 0) text += kLineBreak;
    text += key;
    text += '=';
    text += value;
    text += kLineBreak;
    splice(line.end(), line.end(), text);
  }
  Store(std::move(updated));
}

namespace {

// The bytes without every section named like section (letter case ignored); nullopt
// when there is none.
std::optional<std::string> WithoutSection(const std::string& bytes,
                                          const std::vector<RawLine>& lines,
                                          const std::vector<Section>& sections,
                                          std::string_view section) {
  const std::string lower = LowerCaseCp1252(section);
  std::string updated;
  std::size_t copied = 0;
  bool erased = false;
  for (std::size_t s = 0; s < sections.size(); ++s) {
    const Span name = sections[s].name;
    if (LowerCaseCp1252(std::string_view(bytes).substr(name.begin, name.size)) != lower) continue;
    const std::size_t from = lines[sections[s].headerLine].begin;
    const std::size_t to =
        s + 1 < sections.size() ? lines[sections[s + 1].headerLine].begin : bytes.size();
    updated.append(bytes, copied, from - copied);
    copied = to;
    erased = true;
  }
  if (!erased) return std::nullopt;
  updated.append(bytes, copied, std::string::npos);
  return updated;
}

// The same lines, each ending in CR LF: a line break of any kind becomes CR LF, and a
// last line without one gets it.
std::string WithCrLf(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 16 + 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') {
      text += c;
      continue;
    }
    text += kLineBreak;
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  if (!text.empty() && text.back() != '\n') text += kLineBreak;
  return text;
}

}  // namespace

const std::string& IniFile::Bytes() const {
  return impl_->bytes;
}

void IniFile::EraseSection(std::string_view section) {
  std::optional<std::string> updated =
      WithoutSection(impl_->bytes, impl_->lines, impl_->sections, section);
  if (!updated) return;
  if (impl_->unreadable) throw Error(msg::CannotWrite(path_.string()));
  Store(std::move(*updated));
}

void IniFile::ReplaceSection(std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& keys,
                             LineBreaks lineBreaks) {
  if (impl_->unreadable) throw Error(msg::CannotWrite(path_.string()));
  std::string updated =
      WithoutSection(impl_->bytes, impl_->lines, impl_->sections, section).value_or(impl_->bytes);
  if (!keys.empty()) {
    // What WriteString does for a section that is absent, then for keys appended to it.
    if (!updated.empty() && updated.back() != '\r' && updated.back() != '\n') {
      updated += kLineBreak;
    }
    updated += '[';
    updated += section;
    updated += ']';
    updated += kLineBreak;
    for (const auto& [key, value] : keys) {
      updated += key;
      updated += '=';
      updated += value;
      updated += kLineBreak;
    }
  }
  if (lineBreaks == LineBreaks::CrLf) updated = WithCrLf(updated);
  if (updated == impl_->bytes) return;
  Store(std::move(updated));
}

}  // namespace trivo

#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trivo {

class JobFiles;

// A profile (INI) file with the conventions of the platform's profile functions:
// section and key names match without regard to letter case (the first match wins); a
// value is returned without surrounding blanks and without one pair of single or double
// quotes enclosing it whole, cut at maxLength characters; a section without keys counts
// as absent. A missing or unreadable file reads as empty (and is never overwritten); a
// file larger than kInputSizeLimit fails with the message saying so.
//
// The file is read once on construction, as an input of the job when one is given. Every
// write goes to disk at once, through a complete temporary file renamed over the target
// and flushed to the disk (these are the user's own files: the project file, the .ttd
// files), and keeps all other bytes of the file as they were. A failed write throws
// "In %s kann nicht geschrieben werden" and is counted in the job.
class IniFile {
 public:
  static constexpr std::size_t kValueLimit = 2047;         // the general reader
  static constexpr std::size_t kTimetableRowLimit = 4095;  // timetable rows

  explicit IniFile(std::filesystem::path path, JobFiles* job = nullptr);
  // A profile file in memory only, starting from the bytes: writes change Bytes() and
  // nothing on disk, for a caller that writes the whole file once.
  static IniFile InMemory(std::string bytes = {});
  ~IniFile();
  IniFile(IniFile&&) noexcept;
  IniFile& operator=(IniFile&&) noexcept;

  const std::filesystem::path& Path() const { return path_; }
  // The file's bytes as read or last written.
  const std::string& Bytes() const;

  bool SectionExists(std::string_view section) const;
  // All section names in file order.
  std::vector<std::string> ReadSections() const;
  // Key names of a section in file order.
  std::vector<std::string> ReadSection(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t maxLength = kValueLimit) const;
  // The value ReadString gives for a key that has one, as a view into the file's bytes
  // (valid until the next write); nothing for a missing key or a line without "=".
  std::optional<std::string_view> ReadView(std::string_view section, std::string_view key,
                                           std::size_t maxLength = kValueLimit) const;
  // The value as integer text (see TryStrToInt), else the default.
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;

  // Replaces the key's value in place, or appends the key to its section; creates the
  // section and the file when missing.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Removes every section of that name with all its lines.
  void EraseSection(std::string_view section);
  // How a write ends the lines it does not change: as they were, or every line of the
  // file with CR LF (the last one too), as text files are written.
  enum class LineBreaks { AsTheyWere, CrLf };

  // EraseSection followed by WriteString of every key in order, written to disk once:
  // the file gets the same bytes (with lineBreaks CrLf: the same lines, each ending in
  // CR LF), and a failure leaves it as it was.
  void ReplaceSection(std::string_view section,
                      const std::vector<std::pair<std::string, std::string>>& keys,
                      LineBreaks lineBreaks = LineBreaks::AsTheyWere);

 private:
  struct Impl;
  void Store(std::string updated);

  std::filesystem::path path_;
  JobFiles* job_ = nullptr;
  bool inMemory_ = false;
  std::unique_ptr<Impl> impl_;
};

}  // namespace trivo

#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_file.h"
#include "gtfs/csv.h"

namespace trivo {
class JobFiles;
}

namespace trivo::gtfs {

// A ZIP archive opened for reading. Entries are looked up by their exact name only: a
// caller asks for the names it knows ("stops.txt") and never takes a name or path from
// the archive to address a file, so an entry named "../x" or "/etc/x" leads nowhere.
//
// Every failure is a trivo::Error with a German text naming the archive: a file that is
// not a ZIP archive, one that is cut short or damaged, an entry that is encrypted or
// packed by an unknown method, and an entry too large to unpack: one larger than
// kEntrySizeLimit, or larger than kRatioLimit times its packed size (and larger than
// kRatioFloor, below which no entry can do harm), is refused before a byte of it is
// unpacked. While an entry is read, the bytes are counted, so an entry that holds more
// than its header says is refused as well.
class ZipReader {
 public:
  static constexpr std::uint64_t kEntrySizeLimit = 2ull * 1024 * 1024 * 1024;
  static constexpr std::uint64_t kRatioLimit = 100;
  static constexpr std::uint64_t kRatioFloor = 1024 * 1024;

  // Opens the file (never blocking on a FIFO; only a regular file), recording it as an
  // input of the job when one is given. displayName names it in messages.
  ZipReader(const std::filesystem::path& path, std::string displayName, JobFiles* job = nullptr);
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  bool Has(std::string_view name) const;
  // The unpacked size of an entry as its header gives it; 0 for a missing one.
  std::uint64_t Size(std::string_view name) const;
  // The entry's bytes as a stream, after the size checks. A missing entry fails.
  std::unique_ptr<ByteSource> Open(std::string_view name) const;
  // The whole entry (for small entries).
  std::string ReadAll(std::string_view name) const;

  const std::string& DisplayName() const { return displayName_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string displayName_;
};

// Builds a ZIP archive in memory, every entry deflated, and writes it through the atomic
// writer: into a temporary file beside the target, renamed over it, never replacing an
// input of the job when the options say so (see WriteOptions and JobFiles).
class ZipWriter {
 public:
  ZipWriter();
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Adds an entry; the writer keeps the bytes until the archive is written.
  void Add(std::string name, std::string bytes);
  // The deflate level of the entries, 1 (fastest) to 9 (smallest); 0, the default, is
  // zlib's own default (6).
  void SetCompressionLevel(int level) { level_ = level; }
  // The archive's bytes (fails with trivo::Error when libzip cannot build it).
  std::string Bytes() const;
  // Writes the archive to path; the result says whether and why not.
  WriteResult Write(const std::filesystem::path& path, const WriteOptions& options = {}) const;

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
  int level_ = 0;
};

}  // namespace trivo::gtfs

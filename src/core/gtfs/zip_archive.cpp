#include "gtfs/zip_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "common/error.h"
#include "common/job_files.h"
#include "common/messages.h"

namespace trivo::gtfs {

namespace {

std::string Reason(int zipError) {
  switch (zipError) {
    case ZIP_ER_NOZIP:
      return "keine ZIP-Datei";
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
    case ZIP_ER_COMPRESSED_DATA:
    case ZIP_ER_ZLIB:
      return "unvollständig oder beschädigt";
    case ZIP_ER_CRC:
      return "beschädigt (Prüfsumme falsch)";
    case ZIP_ER_MULTIDISK:
      return "auf mehrere Dateien verteilt, was nicht unterstützt wird";
    case ZIP_ER_COMPNOTSUPP:
      return "mit einem nicht unterstützten Verfahren gepackt";
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
      return "verschlüsselt";
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_OPEN:
      return "nicht lesbar";
    case ZIP_ER_MEMORY:
      return msg::OutOfMemory();
    default:
      return "nicht lesbar (libzip-Fehler " + std::to_string(zipError) + ")";
  }
}

[[noreturn]] void Fail(const std::string& archive, const std::string& entry, int zipError) {
  if (zipError == ZIP_ER_MEMORY) throw std::bad_alloc();
  std::string text = "ZIP-Archiv " + archive;
  if (!entry.empty()) text += ", Eintrag " + entry;
  throw Error(text + ": " + Reason(zipError));
}

// The first bytes of a ZIP archive: a local file header or, for an empty one, the end
// of the central directory.
bool StartsLikeZip(int fd) {
  char start[4] = {};
  const ssize_t got = ::pread(fd, start, sizeof start, 0);
  return got == 4 &&
         (std::memcmp(start, "PK\x03\x04", 4) == 0 || std::memcmp(start, "PK\x05\x06", 4) == 0);
}

class EntrySource : public ByteSource {
 public:
  EntrySource(zip_file_t* file, std::uint64_t size, std::string archive, std::string entry)
      : file_(file), size_(size), archive_(std::move(archive)), entry_(std::move(entry)) {}
  ~EntrySource() override { zip_fclose(file_); }
  EntrySource(const EntrySource&) = delete;
  EntrySource& operator=(const EntrySource&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override {
    const zip_int64_t got = zip_fread(file_, buffer, size);
    if (got < 0) Fail(archive_, entry_, zip_error_code_zip(zip_file_get_error(file_)));
    read_ += static_cast<std::uint64_t>(got);
    // More than the header said: the checks made on that size would mean nothing.
    if (read_ > size_) Fail(archive_, entry_, ZIP_ER_INCONS);
    return static_cast<std::size_t>(got);
  }

 private:
  zip_file_t* file_;
  std::uint64_t size_;
  std::uint64_t read_ = 0;
  std::string archive_;
  std::string entry_;
};

}  // namespace

struct ZipReader::Impl {
  zip_t* archive = nullptr;
  ~Impl() {
    if (archive != nullptr) zip_discard(archive);
  }
  std::optional<zip_uint64_t> Locate(std::string_view name) const {
    const zip_int64_t index = zip_name_locate(archive, std::string(name).c_str(), ZIP_FL_ENC_RAW);
    if (index < 0) return std::nullopt;
    return static_cast<zip_uint64_t>(index);
  }
};

ZipReader::ZipReader(const std::filesystem::path& path, std::string displayName, JobFiles* job)
    : impl_(std::make_unique<Impl>()), displayName_(std::move(displayName)) {
  if (displayName_.empty()) displayName_ = path.string();
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw Error(msg::CannotOpenFile(displayName_, msg::SystemReason(errno)));
  struct stat info {};
  std::string reason;
  if (::fstat(fd, &info) != 0) {
    reason = msg::SystemReason(errno);
  } else if (S_ISDIR(info.st_mode)) {
    reason = msg::SystemReason(EISDIR);
  } else if (!S_ISREG(info.st_mode)) {
    reason = msg::NotARegularFile(info.st_mode);
  }
  if (!reason.empty()) {
    ::close(fd);
    throw Error(msg::CannotOpenFile(displayName_, reason));
  }
  if (job != nullptr) job->RecordInput(path);
  const bool looksLikeZip = StartsLikeZip(fd);
  int error = 0;
  impl_->archive = zip_fdopen(fd, ZIP_RDONLY, &error);
  if (impl_->archive == nullptr) {
    ::close(fd);
    // A file that begins as an archive but has no directory at its end was cut short.
    if (error == ZIP_ER_NOZIP && looksLikeZip) error = ZIP_ER_EOF;
    Fail(displayName_, {}, error);
  }
}

ZipReader::~ZipReader() = default;

bool ZipReader::Has(std::string_view name) const {
  return impl_->Locate(name).has_value();
}

std::uint64_t ZipReader::Size(std::string_view name) const {
  const std::optional<zip_uint64_t> index = impl_->Locate(name);
  zip_stat_t stat;
  if (!index || zip_stat_index(impl_->archive, *index, 0, &stat) != 0) return 0;
  return (stat.valid & ZIP_STAT_SIZE) != 0 ? stat.size : 0;
}

std::unique_ptr<ByteSource> ZipReader::Open(std::string_view name) const {
  const std::string entry(name);
  const std::optional<zip_uint64_t> index = impl_->Locate(name);
  if (!index) throw Error("ZIP-Archiv " + displayName_ + ": Eintrag " + entry + " fehlt");
  zip_stat_t stat;
  if (zip_stat_index(impl_->archive, *index, 0, &stat) != 0) {
    Fail(displayName_, entry, zip_error_code_zip(zip_get_error(impl_->archive)));
  }
  const std::uint64_t size = (stat.valid & ZIP_STAT_SIZE) != 0 ? stat.size : kEntrySizeLimit + 1;
  const std::uint64_t packed = (stat.valid & ZIP_STAT_COMP_SIZE) != 0 ? stat.comp_size : 0;
  if (size > kEntrySizeLimit) {
    throw Error("ZIP-Archiv " + displayName_ + ", Eintrag " + entry + ": entpackt " +
                std::to_string(size) + " Bytes, mehr als die erlaubten " +
                std::to_string(kEntrySizeLimit) + "; nicht entpackt");
  }
  if (size > kRatioFloor && size / kRatioLimit > packed) {
    throw Error("ZIP-Archiv " + displayName_ + ", Eintrag " + entry + ": entpackt " +
                std::to_string(size) + " Bytes aus " + std::to_string(packed) + ", mehr als das " +
                std::to_string(kRatioLimit) + "-fache; nicht entpackt (ZIP-Bombe?)");
  }
  zip_file_t* file = zip_fopen_index(impl_->archive, *index, 0);
  if (file == nullptr) Fail(displayName_, entry, zip_error_code_zip(zip_get_error(impl_->archive)));
  return std::make_unique<EntrySource>(file, size, displayName_, entry);
}

std::string ZipReader::ReadAll(std::string_view name) const {
  const std::unique_ptr<ByteSource> source = Open(name);
  std::string bytes;
  char buffer[65536];
  for (std::size_t got; (got = source->Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
  return bytes;
}

ZipWriter::ZipWriter() = default;
ZipWriter::~ZipWriter() = default;

void ZipWriter::Add(std::string name, std::string bytes) {
  entries_.emplace_back(std::move(name), std::move(bytes));
}

std::string ZipWriter::Bytes() const {
  // libzip writes nothing for an archive without entries; one is its end record alone.
  if (entries_.empty()) return std::string("PK\x05\x06", 4) + std::string(18, '\0');
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (buffer == nullptr) Fail("(neu)", {}, zip_error_code_zip(&error));
  // The archive's source outlives zip_close, which writes the archive into it.
  zip_source_keep(buffer);
  struct Release {
    zip_source_t* source;
    ~Release() { zip_source_free(source); }
  } release{buffer};
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  if (archive == nullptr) Fail("(neu)", {}, zip_error_code_zip(&error));
  for (const auto& [name, bytes] : entries_) {
    zip_source_t* data = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    const zip_int64_t index =
        data == nullptr ? -1 : zip_file_add(archive, name.c_str(), data, ZIP_FL_ENC_UTF_8);
    if (index < 0 ||
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                 static_cast<zip_uint32_t>(level_)) != 0) {
      if (data != nullptr && index < 0) zip_source_free(data);
      const int code = zip_error_code_zip(zip_get_error(archive));
      zip_discard(archive);
      Fail("(neu)", name, code);
    }
  }
  if (zip_close(archive) != 0) {
    const int code = zip_error_code_zip(zip_get_error(archive));
    zip_discard(archive);
    Fail("(neu)", {}, code);
  }
  std::string bytes;
  zip_stat_t stat;
  if (zip_source_stat(buffer, &stat) != 0 || zip_source_open(buffer) != 0) {
    Fail("(neu)", {}, zip_error_code_zip(zip_source_error(buffer)));
  }
  bytes.resize(static_cast<std::size_t>(stat.size));
  const zip_int64_t got = zip_source_read(buffer, bytes.data(), stat.size);
  zip_source_close(buffer);
  if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size) Fail("(neu)", {}, ZIP_ER_READ);
  return bytes;
}

WriteResult ZipWriter::Write(const std::filesystem::path& path, const WriteOptions& options) const {
  return TryWriteFileAtomically(path, Bytes(), options);
}

}  // namespace trivo::gtfs

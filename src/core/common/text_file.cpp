#include "common/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "common/error.h"
#include "common/job_files.h"
#include "common/messages.h"

namespace trivo {

namespace {

std::string DisplayName(const std::filesystem::path& path, const std::string& displayName) {
  return displayName.empty() ? path.string() : displayName;
}

// Writes all bytes; returns 0 or the errno of the failed write.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
  std::filesystem::path folder = path.parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Whether the regular file under path, found by stat as target with the size of bytes,
// holds exactly the bytes. It is streamed in pieces, so a large file costs no more memory
// than one piece, and the comparison stops at the first difference. A file that cannot be
// read, or that was replaced or changed its size meanwhile, counts as different: it is
// then written as usual. With flush, a file that matches is flushed to the disk, so that
// bytes an earlier write left in the cache only last as well (a clean file costs
// nothing).
bool HoldsExactly(const std::filesystem::path& path, const struct stat& target,
                  std::string_view bytes, bool flush) {
  // Without O_NONBLOCK, opening a FIFO put there since the stat would wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat opened {};
  bool same = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
              opened.st_dev == target.st_dev && opened.st_ino == target.st_ino &&
              opened.st_size == target.st_size;
  char buffer[65536];
  while (same) {
    // One byte more than is left: a file grown since its size was taken shows it, and a
    // short read proves the end without another call.
    const std::size_t wanted = std::min(sizeof buffer, bytes.size() + 1);
    const ssize_t got = ::read(fd, buffer, wanted);
    if (got < 0 && errno == EINTR) continue;
    const auto count = static_cast<std::size_t>(got);
    same = got >= 0 && count <= bytes.size() && std::memcmp(buffer, bytes.data(), count) == 0;
    bytes.remove_prefix(same ? count : 0);
    if (same && count < wanted) break;
  }
  same = same && bytes.empty();
  if (same && flush) ::fsync(fd);
  ::close(fd);
  return same;
}

}  // namespace

bool FileExists(const std::filesystem::path& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

void ForEachTextLine(std::string_view text,
                     const std::function<void(std::string_view line)>& visit) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    visit(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) visit(text.substr(start));
}

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  ForEachTextLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

FileRead TryReadFileBytes(const std::filesystem::path& path, JobFiles* job) {
  FileRead result;
  // Without O_NONBLOCK, opening a FIFO that has no writer waits for one for ever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    result.error = errno;
    result.reason = msg::SystemReason(result.error);
    return result;
  }
  const auto fail = [&](int error, std::string reason) {
    ::close(fd);
    result.error = error;
    result.reason = std::move(reason);
    return std::move(result);
  };
  struct stat info {};
  if (::fstat(fd, &info) != 0) return fail(errno, msg::SystemReason(errno));
  // A folder reads as the platform says ("Zugriff verweigert"); a FIFO, socket or device
  // would block or never end.
  if (S_ISDIR(info.st_mode)) return fail(EISDIR, msg::SystemReason(EISDIR));
  if (!S_ISREG(info.st_mode)) return fail(0, msg::NotARegularFile(info.st_mode));
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > kInputSizeLimit) {
    result.size = size;
    return fail(EFBIG, msg::SystemReason(EFBIG));
  }
  if (job != nullptr) job->RecordInput(path);
  result.bytes.reserve(static_cast<std::size_t>(size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      result.bytes = std::string();
      return fail(error, msg::SystemReason(error));
    }
    if (got == 0) break;
    // A file that grows while it is read is cut off at the limit, never read without end.
    if (result.bytes.size() + static_cast<std::size_t>(got) > kInputSizeLimit) {
      result.size = result.bytes.size() + static_cast<std::uint64_t>(got);
      result.bytes = std::string();
      return fail(EFBIG, msg::SystemReason(EFBIG));
    }
    result.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  result.read = true;
  return result;
}

std::string ReadFileBytes(const std::filesystem::path& path, const std::string& displayName,
                          JobFiles* job) {
  FileRead file = TryReadFileBytes(path, job);
  if (file.read) return std::move(file.bytes);
  const std::string name = DisplayName(path, displayName);
  if (file.TooLarge()) throw Error(msg::FileTooLarge(name, file.size, kInputSizeLimit));
  throw Error(msg::CannotOpenFile(name, file.reason));
}

std::vector<std::string> ReadTextLines(const std::filesystem::path& path,
                                       const std::string& displayName, JobFiles* job) {
  return SplitTextLines(ReadFileBytes(path, displayName, job));
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

WriteResult TryWriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                   const WriteOptions& options) {
  WriteResult result;
  const auto fail = [&](int error) {
    result.error = error;
    if (options.job != nullptr) options.job->WriteFailed(path, result);
    return result;
  };
  if (options.keepInputs && options.job != nullptr && options.job->IsInput(path)) {
    result.isInput = true;
    return fail(0);
  }
  struct stat target {};
  const bool exists = ::stat(path.c_str(), &target) == 0;
  if (exists && !S_ISREG(target.st_mode)) return fail(S_ISDIR(target.st_mode) ? EISDIR : EINVAL);
  if (exists && ::access(path.c_str(), W_OK) != 0) return fail(errno);
  // A target that already holds exactly these bytes is left alone: no temporary file, no
  // rename, its modification time and identity kept.
  if (exists && static_cast<std::uint64_t>(target.st_size) == bytes.size() &&
      HoldsExactly(path, target, bytes, options.durable)) {
    if (options.durable) SyncFolder(FolderOf(path));
    if (options.job != nullptr && !options.keepInputs) options.job->RecordInput(path);
    result.written = true;
    result.unchanged = true;
    return result;
  }

  const std::filesystem::path folder = FolderOf(path);
  std::string temp = (folder / ".").string();
  temp += path.filename().string();
  temp += ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return fail(errno);
  int error = WriteAll(fd, bytes);
  if (error == 0 && ::fchmod(fd, exists ? (target.st_mode & 07777) : 0644) != 0) error = errno;
  if (error == 0 && options.durable && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return fail(error);
  }
  // The rename itself lasts once the folder is on the disk; the file is complete either
  // way, so a folder that cannot be flushed does not make the write fail.
  if (options.durable) SyncFolder(folder);
  // A document of the job has a new identity now; it stays protected from the outputs.
  if (options.job != nullptr && !options.keepInputs) options.job->RecordInput(path);
  result.written = true;
  return result;
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         const std::string& displayName, const WriteOptions& options) {
  const WriteResult result = TryWriteFileAtomically(path, bytes, options);
  if (result.isInput) throw Error(msg::WouldReplaceInput(DisplayName(path, displayName)));
  if (!result) throw Error(msg::CannotWrite(DisplayName(path, displayName)));
}

std::optional<std::string> TemporaryTarget(std::string_view name) {
  constexpr std::size_t kSuffix = 7;  // "." and the six characters mkstemp chose
  if (name.size() < 2 + kSuffix || name.front() != '.') return std::nullopt;
  const std::string_view suffix = name.substr(name.size() - kSuffix);
  if (suffix.front() != '.') return std::nullopt;
  for (const char c : suffix.substr(1)) {
    const bool letterOrDigit =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!letterOrDigit) return std::nullopt;
  }
  return std::string(name.substr(1, name.size() - 1 - kSuffix));
}

int RemoveStaleTemporaries(const std::filesystem::path& folder,
                           const std::function<bool(std::string_view target)>& isOwnTarget,
                           const JobFiles& job) {
  int removed = 0;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    const std::optional<std::string> target = TemporaryTarget(name);
    if (!target || !isOwnTarget(*target) || job.IsInput(it->path())) continue;
    std::error_code ignored;
    if (it->is_regular_file(ignored) && std::filesystem::remove(it->path(), ignored)) ++removed;
  }
  return removed;
}

}  // namespace trivo

#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trivo {

class JobFiles;

// Splits text into lines at CR LF, LF or CR. A final line break starts no further line;
// a NUL character ends the text.
std::vector<std::string> SplitTextLines(std::string_view text);
// The same lines, handed to visit one by one in order instead of collected.
void ForEachTextLine(std::string_view text,
                     const std::function<void(std::string_view line)>& visit);

// Whether something other than a folder exists under the path: an input file counts as
// present then, as the project's existence checks expect.
bool FileExists(const std::filesystem::path& path);

// The largest input file that is read: far above any real network, small enough that
// reading it cannot exhaust the memory.
inline constexpr std::uint64_t kInputSizeLimit = 256ull * 1024 * 1024;

// The outcome of reading an input file.
struct FileRead {
  std::string bytes;
  bool read = false;
  int error = 0;           // errno of a failed open or read (ENOENT: it does not exist)
  std::string reason;      // why it was not read, in German
  std::uint64_t size = 0;  // the size of a file refused for being too large
  bool TooLarge() const { return !read && size > kInputSizeLimit; }
};

// Reads a whole input file as bytes, safe against whatever lies under the name: the file
// is opened without blocking (a FIFO without writer, a device), only a regular file is
// read, and one larger than kInputSizeLimit is refused unread. When job is given, the file
// is recorded there as an input of the running job. Never throws for a file problem.
FileRead TryReadFileBytes(const std::filesystem::path& path, JobFiles* job = nullptr);

// The same, failing with "Datei %s kann nicht geöffnet werden. %s" or with the message
// for a file that is too large, naming the file as displayName (the path when empty).
std::string ReadFileBytes(const std::filesystem::path& path, const std::string& displayName = {},
                          JobFiles* job = nullptr);

// ReadFileBytes followed by SplitTextLines.
std::vector<std::string> ReadTextLines(const std::filesystem::path& path,
                                       const std::string& displayName = {},
                                       JobFiles* job = nullptr);

// Joins lines, each followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// How a file is written.
struct WriteOptions {
  // The running job: a failed write is counted there (see JobFiles).
  JobFiles* job = nullptr;
  // Refuse to replace a file that job has read: for regenerated outputs, which must never
  // take the place of an input such as a project file named like an output. Without it,
  // the file is one of the job's own documents and, once written, counts as its input.
  bool keepInputs = false;
  // Flush the temporary file to the disk before the rename and the folder after it, so
  // that a power loss leaves the old or the new file, never an empty one: for the files a
  // user cannot regenerate.
  bool durable = false;
};

// The outcome of an atomic write.
struct WriteResult {
  bool written = false;    // the target holds the bytes now
  bool unchanged = false;  // written: it held them already and was left alone
  bool isInput = false;    // refused: the target is an input of the running job
  int error = 0;           // errno of the step that failed otherwise
  explicit operator bool() const { return written; }
};

// Writes the bytes to a temporary file in the target's folder (named "." + the target's
// name + "." + six letters or digits) and renames it over the target, so the target is
// either replaced completely or left as it was. When a step fails the temporary file is
// removed and the result says why.
//
// A target that already holds exactly the bytes is left alone and counts as written: no
// temporary file, no rename, so its modification time and identity stay and a later
// upload by date and size sees only what really changed. Its size is compared first and
// its bytes are then streamed, so a large unrelated file is never read whole. The checks
// that refuse a target (an input of the job, a folder, a file without write permission)
// come before the comparison and hold for an unchanged target as well.
WriteResult TryWriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                   const WriteOptions& options = {});
// The same, failing with "In %s kann nicht geschrieben werden" (or, for a refused input,
// with the message saying so).
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         const std::string& displayName = {}, const WriteOptions& options = {});

// The target file name of a temporary file name made by the atomic write, or nothing when
// the name is not of that pattern.
std::optional<std::string> TemporaryTarget(std::string_view name);

// Removes the temporary files in the folder that a killed write left behind for targets
// that isOwnTarget accepts, never an input of the job (a file that merely looks like a
// temporary one). Only for a caller that knows no write of its own to those targets is
// under way (such as a conversion holding the folder's lock). Returns how many were
// removed.
int RemoveStaleTemporaries(const std::filesystem::path& folder,
                           const std::function<bool(std::string_view target)>& isOwnTarget,
                           const JobFiles& job);

}  // namespace trivo

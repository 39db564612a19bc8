#include "common/job_files.h"

#include <sys/stat.h>

#include "common/messages.h"

namespace trivo {

void JobFiles::RecordInput(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) inputs_.emplace(info.st_dev, info.st_ino);
  // Opened through a symbolic link: the link's own name is the user's name for the input.
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    inputs_.emplace(info.st_dev, info.st_ino);
  }
}

bool JobFiles::IsInput(const std::filesystem::path& path) const {
  struct stat info {};
  return !inputs_.empty() && ::lstat(path.c_str(), &info) == 0 &&
         inputs_.count({info.st_dev, info.st_ino}) != 0;
}

void JobFiles::WriteFailed(const std::filesystem::path& path, const WriteResult& result) {
  ++failedWrites_;
  if (result.isInput) ui_.ShowMessage(msg::WouldReplaceInput(path.filename().string()));
}

}  // namespace trivo

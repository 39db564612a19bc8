#include "common/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace trivo {

FolderLock::Outcome FolderLock::TryLock(const std::filesystem::path& folder,
                                        std::optional<FolderLock>& lock) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Outcome::Unlockable;
  int result = 0;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return busy ? Outcome::Busy : Outcome::Unlockable;
  }
  lock.emplace(FolderLock(fd));
  return Outcome::Locked;
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace trivo

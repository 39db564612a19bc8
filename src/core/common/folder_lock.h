#pragma once

#include <filesystem>
#include <optional>

namespace trivo {

// An advisory lock (flock) on a folder, held while the object lives. Two programs that
// both take it on the same folder (the desktop program and a script) cannot run at the
// same time; the system releases it when the process ends, also when it is killed.
class FolderLock {
 public:
  enum class Outcome { Locked, Busy, Unlockable };

  // Takes the lock without waiting. Busy: another process holds it. Unlockable: the
  // folder cannot be opened to lock it (it is missing or unreadable), so nothing is held.
  static Outcome TryLock(const std::filesystem::path& folder, std::optional<FolderLock>& lock);

  FolderLock(FolderLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FolderLock& operator=(FolderLock&&) = delete;
  FolderLock(const FolderLock&) = delete;
  ~FolderLock();

 private:
  explicit FolderLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace trivo

// An exclusive lock held while the object lives, on a lock file beside the
// file it guards: a second process that wants the same file waits until the
// first lets go (or ends, however it ends).
#pragma once

#include <filesystem>

#include "model/Outcome.h"

namespace padkbd {

class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Locks "<guarded>.lock", waiting for another holder. A symlink there is
  // not followed.
  Outcome acquire(const std::filesystem::path& guarded);
  void release();

 private:
  int fd_ = -1;
};

}  // namespace padkbd

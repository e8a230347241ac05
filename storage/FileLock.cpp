#include "storage/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace padkbd {

FileLock::~FileLock() {
  release();
}

Outcome FileLock::acquire(const std::filesystem::path& guarded) {
  release();
  std::filesystem::path path = guarded;
  path += ".lock";
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    return Outcome::failure(Text(TextId::CannotLock, {guarded.string(), std::strerror(errno)}));
  }
  int locked;
  while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (locked != 0) {
    const int error = errno;
    ::close(fd);
    return Outcome::failure(Text(TextId::CannotLock, {guarded.string(), std::strerror(error)}));
  }
  fd_ = fd;
  return Outcome::success();
}

void FileLock::release() {
  if (fd_ >= 0) ::close(fd_);  // closing lets go of the lock
  fd_ = -1;
}

}  // namespace padkbd

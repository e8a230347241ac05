#include "storage/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "storage/PresetDictionary.h"
#include "storage/TempFiles.h"

namespace padkbd {

namespace fs = std::filesystem;

namespace {

std::string errorText(int error) {
  return std::strerror(error);
}

}  // namespace

FileBytes readFileLimited(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    return Outcome::failure(error == ENOENT ? Code::FileMissing : Code::FileUnreadable,
                            Text(TextId::CannotOpenIt, {errorText(error)}));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return FileBytes::failure(Text(TextId::NotRegularFile));
  }
  if (static_cast<std::uintmax_t>(info.st_size) > kMaxPresetFileBytes) {
    ::close(fd);
    return FileBytes::failure(
        Text(TextId::TooLargeSized, {static_cast<unsigned long>(info.st_size),
                                     static_cast<unsigned long>(kMaxPresetFileBytes)}));
  }
  // Read one byte more than allowed, in case the file grew since fstat.
  std::string bytes(kMaxPresetFileBytes + 1, '\0');
  std::size_t total = 0;
  while (total < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + total, bytes.size() - total);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return FileBytes::failure(Text(TextId::CannotReadIt, {errorText(error)}));
    }
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (total > kMaxPresetFileBytes) {
    return FileBytes::failure(
        Text(TextId::TooLarge, {static_cast<unsigned long>(kMaxPresetFileBytes)}));
  }
  bytes.resize(total);
  return bytes;
}

PlistNode readPlistFile(const fs::path& path) {
  FileBytes file = readFileLimited(path);
  if (!file) return PlistNode();
  return parsePlist(*file, nullptr);
}

PresetRead readPresetFile(const fs::path& path) {
  FileBytes file = readFileLimited(path);
  if (!file) return file.outcome();
  return parsePreset(*file);
}

std::string presetToXml(const ButtonValueList& buttons, const PadValue& global) {
  return ButtonAction::GetDicFromPreset(buttons, global).toXml();
}

Outcome writePresetFile(const fs::path& path, const ButtonValueList& buttons,
                        const PadValue& global) {
  return writeFileAtomically(path, presetToXml(buttons, global));
}

Outcome writeFileAtomically(const fs::path& path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  const fs::path name = path.filename();
  auto fail = [&](TextArg why) {
    return Outcome::failure(Text(TextId::CouldNotWrite, {path.string(), std::move(why)}));
  };
  if (name.empty() || name == "." || name == "..") return fail(Text(TextId::NotAFileName));
  const fs::path dir = path.parent_path().empty() ? fs::path(".") : path.parent_path();

  // What a run killed in the middle of writing this file left beside it.
  tempfiles::removeStale(dir / name);
  fs::path temporary;
  int fd = -1;
  int registered = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = tempfiles::siblingFor(dir / name, counter++);
    // Registered first: a signal between the creation and the rename removes it.
    registered = tempfiles::add(temporary);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
      const int error = errno;
      tempfiles::remove(registered);
      if (error != EEXIST) return fail(errorText(error));
    }
  }
  if (fd < 0) return fail(Text(TextId::NoTemporaryName));

  auto abandon = [&](int error) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.c_str());
    tempfiles::remove(registered);
    return fail(errorText(error));
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return abandon(errno);
    }
    done += static_cast<std::size_t>(wrote);
  }
  if (::fsync(fd) != 0) return abandon(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return abandon(errno);
  if (::rename(temporary.c_str(), path.c_str()) != 0) return abandon(errno);
  tempfiles::remove(registered);
  // Make the rename itself durable; the data is safe either way.
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return Outcome::success();
}

}  // namespace padkbd

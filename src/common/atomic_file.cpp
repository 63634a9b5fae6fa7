#include "common/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace common {

namespace {

// The rename is durable only once the folder holding the name is synced. Some file systems
// refuse fsync on a folder; the data itself is already safe then, so failures are ignored.
void SyncFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

}  // namespace

std::string WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string temporary = path + ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  int error = fd < 0 ? errno : 0;
  for (size_t done = 0; error == 0 && done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      error = n == 0 ? EIO : errno;
    }
  }
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (fd >= 0 && close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error == 0) {
    SyncFolderOf(path);
    return {};
  }
  if (fd >= 0) unlink(temporary.c_str());
  return "cannot write " + path + ": " + std::strerror(error);
}

}  // namespace common

#include "common/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace common {

namespace {

// As many links as the kernel follows in one path before it gives up.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string Failure(const std::string& path, const char* reason) {
  return "cannot write " + path + ": " + reason;
}

// The rename is durable only once the folder holding the name is synced. Some file systems
// refuse fsync on a folder; the data itself is already safe then, so failures are ignored.
void SyncFolderOf(const std::string& path) {
  const int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

}  // namespace

std::string WriteTarget(const std::string& path, std::string* target) {
  std::string at = path;
  for (int links = 0;; ++links) {
    struct stat info;
    if (lstat(at.c_str(), &info) != 0) {
      if (errno == ENOENT) break;  // made by the write
      return Failure(path, std::strerror(errno));
    }
    if (S_ISREG(info.st_mode)) break;
    if (S_ISDIR(info.st_mode)) return Failure(path, std::strerror(EISDIR));
    if (!S_ISLNK(info.st_mode)) return Failure(path, "not a regular file");
    if (links == kMaxLinks) return Failure(path, std::strerror(ELOOP));
    char link[PATH_MAX];
    const ssize_t n = readlink(at.c_str(), link, sizeof link);
    if (n < 0 || static_cast<size_t>(n) >= sizeof link) {
      return Failure(path, std::strerror(n < 0 ? errno : ENAMETOOLONG));
    }
    const std::string_view next(link, static_cast<size_t>(n));
    at = next[0] == '/' ? std::string(next) : FolderOf(at) + "/" + std::string(next);
  }
  *target = at;
  return {};
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes) {
  return WriteFileAtomically(path, std::vector<std::string_view>{bytes});
}

std::string WriteFileAtomically(const std::string& path,
                                const std::vector<std::string_view>& parts) {
  std::string target;
  if (std::string error = WriteTarget(path, &target); !error.empty()) return error;
  const std::string temporary = target + ".tmp";
  // Whatever was left at the temporary's name is replaced, but a link there is not followed,
  // and a FIFO there does not block the write forever.
  const int fd = open(temporary.c_str(),
                      O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  int error = fd < 0 ? errno : 0;
  struct stat info;
  if (error == 0 && fstat(fd, &info) != 0) error = errno;
  if (error == 0 && !S_ISREG(info.st_mode)) {
    close(fd);  // not ours to remove
    return Failure(path, (temporary + " is not a regular file").c_str());
  }
  for (std::string_view bytes : parts) {
    for (size_t done = 0; error == 0 && done < bytes.size();) {
      const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
      } else if (n == 0 || errno != EINTR) {
        error = n == 0 ? EIO : errno;
      }
    }
  }
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (fd >= 0 && close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error == 0) {
    SyncFolderOf(target);
    return {};
  }
  if (fd >= 0) unlink(temporary.c_str());
  return Failure(path, std::strerror(error));
}

}  // namespace common

#include "common/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

// Follows the links at `path` to what they lead to, which may be missing. Returns "" and sets
// `*target` and `*info` (st_mode 0 when missing), else the reason.
std::string FollowLinks(const std::string& path, std::string* target, struct stat* info) {
  std::string at = path;
  for (int links = 0;; ++links) {
    if (lstat(at.c_str(), info) != 0) {
      if (errno != ENOENT) return std::strerror(errno);
      info->st_mode = 0;
      break;
    }
    if (!S_ISLNK(info->st_mode)) break;
    if (links == kMaxLinks) return std::strerror(ELOOP);
    char link[PATH_MAX];
    const ssize_t n = readlink(at.c_str(), link, sizeof link);
    if (n < 0 || static_cast<size_t>(n) >= sizeof link) {
      return std::strerror(n < 0 ? errno : ENAMETOOLONG);
    }
    const std::string_view next(link, static_cast<size_t>(n));
    at = next[0] == '/' ? std::string(next) : FolderOf(at) + "/" + std::string(next);
  }
  *target = at;
  return {};
}

// Creates a new, empty temporary file beside `target`, under a name no one else uses; returns
// its descriptor and sets *name, or -1 with errno set.
int CreateTemporary(const std::string& target, std::string* name) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int tries = 0; tries < 100; ++tries) {
    unsigned char random[8];
    if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
      // No entropy to be had: the process and the attempt still tell copies apart.
      std::snprintf(reinterpret_cast<char*>(random), sizeof random, "%07d", getpid() + tries);
    }
    *name = target + ".tmp.";
    for (unsigned char r : random) name->push_back(kLetters[r % (sizeof kLetters - 1)]);
    // O_NONBLOCK and O_NOFOLLOW: nothing put at the name can make the write block or escape.
    const int fd = open(name->c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::string WriteTarget(const std::string& path, std::string* target) {
  std::string at;
  struct stat info;
  if (std::string error = FollowLinks(path, &at, &info); !error.empty()) {
    return Failure(path, error.c_str());
  }
  if (S_ISDIR(info.st_mode)) return Failure(path, std::strerror(EISDIR));
  if (info.st_mode != 0 && !S_ISREG(info.st_mode)) return Failure(path, "not a regular file");
  *target = at;
  return {};
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes, AtLink at_link) {
  return WriteFileAtomically(path, std::vector<std::string_view>{bytes}, at_link);
}

std::string WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& parts,
                                AtLink at_link) {
  std::string target = path;
  if (at_link == AtLink::kFollow) {
    if (std::string error = WriteTarget(path, &target); !error.empty()) return error;
  }
  std::string temporary;
  const int fd = CreateTemporary(target, &temporary);
  int error = fd < 0 ? errno : 0;
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

std::string MakeFolders(const std::string& folder) {
  struct stat info;
  if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return {};
  const size_t slash = folder.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    if (std::string error = MakeFolders(folder.substr(0, slash)); !error.empty()) return error;
  }
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return "cannot make " + folder + ": " + std::strerror(errno);
  }
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return "cannot make " + folder + ": " + std::strerror(ENOTDIR);
  }
  return {};
}

std::string SetAside(const std::string& path, std::string_view suffix, std::string* aside) {
  std::string target;
  struct stat info;
  if (std::string error = FollowLinks(path, &target, &info); !error.empty()) return error;
  for (int n = 1; n < 1000; ++n) {
    std::string name = target + std::string(suffix) + (n == 1 ? "" : "-" + std::to_string(n));
    int moved = renameat2(AT_FDCWD, target.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE);
    if (moved != 0 && errno == EINVAL) {
      // A file system that cannot refuse to replace: look first, and take the small race.
      struct stat taken;
      moved = lstat(name.c_str(), &taken) == 0 ? (errno = EEXIST, -1)
                                               : rename(target.c_str(), name.c_str());
    }
    if (moved == 0) {
      *aside = name;
      return {};
    }
    if (errno != EEXIST) return std::strerror(errno);
  }
  return std::strerror(EEXIST);
}

}  // namespace common

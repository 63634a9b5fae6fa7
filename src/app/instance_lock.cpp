#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace app {

bool RuntimeFolder(std::string* path, std::string* error) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  *path = runtime != nullptr && *runtime != '\0'
              ? std::string(runtime) + "/jubo"
              : "/tmp/jubo-" + std::to_string(static_cast<unsigned long>(getuid()));
  if (mkdir(path->c_str(), 0700) != 0 && errno != EEXIST) {
    *error = "cannot create " + *path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st;
  if (lstat(path->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = *path + " is not a folder";
    return false;
  }
  // In /tmp anyone could have made it first: it must be ours and closed to others.
  if (st.st_uid != getuid() || (st.st_mode & 077) != 0) {
    *error = *path + " belongs to another user or is open to others; remove it";
    return false;
  }
  return true;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) close(fd_);
}

InstanceLock::Result InstanceLock::Acquire(const std::string& folder, std::string* error) {
  std::string path = folder + "/lock";
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) {
    *error = "cannot open " + path + ": " + std::strerror(errno);
    return Result::kError;
  }
  if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return Result::kAcquired;
  if (errno == EWOULDBLOCK) return Result::kHeldElsewhere;
  *error = "cannot lock " + path + ": " + std::strerror(errno);
  return Result::kError;
}

}  // namespace app

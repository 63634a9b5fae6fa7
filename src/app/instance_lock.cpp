#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace app {

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

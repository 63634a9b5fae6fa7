// One running copy per user: an advisory lock on a file in the runtime folder, which also
// holds the remote-control socket.
#pragma once

#include <string>

namespace app {

// $XDG_RUNTIME_DIR/jubo, else /tmp/jubo-<uid>: created with mode 0700 if needed. Fails, with a
// message, when it cannot be made or is not a folder of this user's closed to others.
bool RuntimeFolder(std::string* path, std::string* error);

class InstanceLock {
 public:
  enum class Result { kAcquired, kHeldElsewhere, kError };

  InstanceLock() = default;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

  // Takes the lock on `folder`/lock. kHeldElsewhere when a running copy holds it; the lock is
  // released when this object goes, or when the process ends however it ends.
  Result Acquire(const std::string& folder, std::string* error);

 private:
  int fd_ = -1;
};

}  // namespace app

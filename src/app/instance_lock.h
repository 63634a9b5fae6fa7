// One running copy per user: an advisory lock on a file in the runtime folder (see
// remote/runtime_folder.h), which also holds the remote-control socket.
#pragma once

#include <string>

namespace app {

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

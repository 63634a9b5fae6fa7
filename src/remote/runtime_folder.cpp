#include "remote/runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace remote {

std::string RuntimeFolderPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') return std::string(runtime) + "/jubo";
  return "/tmp/jubo-" + std::to_string(static_cast<unsigned long>(getuid()));
}

bool MakeRuntimeFolder(std::string* path, std::string* error) {
  *path = RuntimeFolderPath();
  if (mkdir(path->c_str(), 0700) != 0 && errno != EEXIST) {
    *error = "cannot create " + *path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st;
  if (lstat(path->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = *path + " is not a folder";
    return false;
  }
  if (st.st_uid != getuid() || (st.st_mode & 077) != 0) {
    *error = *path + " belongs to another user or is open to others; remove it";
    return false;
  }
  return true;
}

}  // namespace remote

#include "common/user_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace common {

std::string XdgFolder(const char* variable, const char* below_home) {
  if (const char* named = std::getenv(variable); named != nullptr && named[0] == '/') {
    return named;
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    // A service started without a login environment still belongs to a user with a home.
    const passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  if (home == nullptr || *home == '\0') return {};
  return std::string(home) + "/" + below_home;
}

}  // namespace common

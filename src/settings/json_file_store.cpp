#include "settings/json_file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/atomic_file.h"
#include "common/user_folder.h"

namespace settings {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? "" : path.substr(0, slash);
}

// Reads the file into *bytes. False when there is none; a file that cannot be read gives true
// and the reason in *error.
bool ReadAll(const std::string& path, std::string* bytes, std::string* error) {
  // O_NONBLOCK: a FIFO put in the file's place must not hang the start.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int reason = errno;
    *error = std::strerror(reason);
    // A file in the place of a folder on the way: there is no settings file either.
    return reason != ENOENT && reason != ENOTDIR;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    *error = "not a regular file";
  } else {
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes->append(buffer, static_cast<size_t>(n));
    if (n < 0) *error = std::strerror(errno);
  }
  close(fd);
  return true;
}

}  // namespace

JsonFileStore::JsonFileStore(std::string path)
    : path_(std::move(path)),
      report_([](const std::string& line) { std::fprintf(stderr, "jubo: %s\n", line.c_str()); }) {}

std::string JsonFileStore::Load() {
  keys = KeyTree();
  std::string text, problem;
  if (!ReadAll(path_, &text, &problem)) return {};
  std::vector<std::string> skipped;
  if (problem.empty()) problem = FromJson(text, &keys, &skipped);
  keys.MarkSaved();
  if (problem.empty()) {
    for (const std::string& line : skipped) {
      report_("the settings file " + path_ + ": " + line +
              "; the default is used in its place, and the next save leaves it out");
    }
    return {};
  }
  keys = KeyTree();
  std::string aside;
  const std::string error = common::SetAside(path_, ".corrupt", &aside);
  return "the settings file " + path_ + " cannot be read (" + problem + "); " +
         (error.empty() ? "it is now " + aside : "it could not be moved aside: " + error) +
         ", and the default settings are used";
}

std::string JsonFileStore::Save() {
  if (const std::string folder = FolderOf(path_); !folder.empty()) {
    if (std::string error = common::MakeFolders(folder); !error.empty()) return error;
  }
  return common::WriteFileAtomically(path_, ToJson(keys));
}

std::string UserSettingsPath() {
  const std::string config = common::XdgFolder("XDG_CONFIG_HOME", ".config");
  return config.empty() ? config : config + "/jubo/registry.json";
}

}  // namespace settings

#include "scan/walk.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <utility>

#include "scan/text.h"

namespace scan {

namespace {

struct Entry {
  std::string name;
  unsigned char type;  // d_type; DT_UNKNOWN when the file system does not tell
};

class Walker {
 public:
  explicit Walker(const WalkCallbacks& callbacks) : callbacks_(callbacks) {}

  void Root(const std::string& root) {
    const std::string path = AbsolutePath(root);
    if (path.empty()) return Unreadable(root, ENOENT);
    if (!IsUtf8(path)) {
      callbacks_.on_problem(path + ": the name is not valid UTF-8; rename it to list its songs");
      return;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return Unreadable(path, errno);
    if (S_ISDIR(info.st_mode)) {
      Folder(path);
    } else if (S_ISREG(info.st_mode) && callbacks_.is_audio(path)) {
      Audio(path, info);
    } else {
      callbacks_.on_problem(path + ": neither a folder nor an audio file");
    }
  }

  std::vector<std::string> TakeUnreadable() { return std::move(unreadable_); }

 private:
  // A song reached a second way (a link to it, a hard link, a root naming it again) is the
  // same song: listed once.
  void Audio(const std::string& path, const struct stat& info) {
    if (songs_.emplace(info.st_dev, info.st_ino).second) {
      callbacks_.on_audio(path, info);
    } else {
      callbacks_.on_skipped(path);
    }
  }

  void Unreadable(const std::string& path, int error) {
    callbacks_.on_problem("cannot read folder " + path + ": " + std::strerror(error));
    unreadable_.push_back(path);
  }

  void Folder(const std::string& path) {
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) return Unreadable(path, errno);
    struct stat info;
    if (fstat(dirfd(dir), &info) != 0 || !visited_.emplace(info.st_dev, info.st_ino).second) {
      closedir(dir);  // already walked: a link loop, or another way into the same folder
      return;
    }
    std::vector<Entry> entries;
    errno = 0;
    while (const dirent* e = readdir(dir)) {
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
        entries.push_back({e->d_name, e->d_type});
      }
      errno = 0;
    }
    if (errno != 0) Unreadable(path, errno);  // keeps what was read before the failure
    closedir(dir);  // before going down, so deep trees do not hold a descriptor per level

    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    const std::string prefix = path == "/" ? path : path + "/";
    for (const Entry& entry : entries) Child(prefix + entry.name, entry);
  }

  void Child(const std::string& path, const Entry& entry) {
    const bool audio = callbacks_.is_audio(entry.name);
    if (entry.name[0] == '.') {
      if (entry.type != DT_DIR) callbacks_.on_skipped(path);
      return;
    }
    if (!IsUtf8(entry.name)) {
      if (audio || entry.type == DT_DIR) {
        callbacks_.on_problem(path + ": the name is not valid UTF-8; rename it to list " +
                              (audio ? "it" : "its songs"));
      }
      if (entry.type != DT_DIR) callbacks_.on_skipped(path);
      return;
    }
    if (entry.type == DT_DIR) return Folder(path);
    if (entry.type == DT_REG && !audio) return callbacks_.on_skipped(path);
    if (entry.type != DT_REG && entry.type != DT_LNK && entry.type != DT_UNKNOWN) {
      return callbacks_.on_skipped(path);  // devices, pipes, sockets
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
      if (audio) callbacks_.on_problem("cannot read " + path + ": " + std::strerror(errno));
      return callbacks_.on_skipped(path);
    }
    if (S_ISDIR(info.st_mode)) return Folder(path);
    if (S_ISREG(info.st_mode) && audio) return Audio(path, info);
    callbacks_.on_skipped(path);
  }

  const WalkCallbacks& callbacks_;
  std::set<std::pair<dev_t, ino_t>> visited_;  // folders walked
  std::set<std::pair<dev_t, ino_t>> songs_;    // audio files handed out
  std::vector<std::string> unreadable_;
};

}  // namespace

std::vector<std::string> WalkMusic(const std::vector<std::string>& roots,
                                   const WalkCallbacks& callbacks) {
  Walker walker(callbacks);
  for (const std::string& root : roots) walker.Root(root);
  return walker.TakeUnreadable();
}

bool IsUnder(const std::string& path, const std::string& folder) {
  if (folder == "/") return !path.empty() && path[0] == '/';
  return path.size() >= folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         (path.size() == folder.size() || path[folder.size()] == '/');
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
  if (error) return {};
  while (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
  return absolute;
}

}  // namespace scan

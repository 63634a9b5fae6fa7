#include "textdb/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace textdb {
namespace {

constexpr size_t kChunk = 1 << 20;
constexpr int kAttempts = 3;

Status Failure(const std::string& path, const std::string& why) {
  return Status::Error(ErrorCode::kRefused, "cannot read " + path + ": " + why);
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

Status ReadFileBytes(const std::string& path, const std::string& name, std::string* bytes,
                     std::vector<LoadNote>* notes, const std::function<void()>& after_chunk,
                     struct stat* read_as) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      return Status::Error(ErrorCode::kNotFound, name + " not found (looked for " + path + ")");
    }
    return Failure(path, std::strerror(errno));
  }
  Status status;
  struct stat before;
  if (fstat(fd, &before) != 0) {
    status = Failure(path, std::strerror(errno));
  } else if (!S_ISREG(before.st_mode)) {
    status = Failure(path, "not a regular file");
  }
  for (int attempt = 1; status.ok(); ++attempt) {
    // A file growing as fast as it is read must not keep us reading: a chunk past the size
    // it had is enough to see that it changed.
    const size_t limit = static_cast<size_t>(before.st_size) + kChunk;
    bytes->clear();
    bytes->reserve(limit);
    off_t offset = 0;
    while (bytes->size() < limit) {
      size_t size = bytes->size();
      size_t want = std::min(kChunk, limit - size);
      bytes->resize(size + want);
      ssize_t n = pread(fd, bytes->data() + size, want, offset);
      bytes->resize(size + static_cast<size_t>(std::max<ssize_t>(n, 0)));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        status = Failure(path, std::strerror(errno));
        break;
      }
      if (n == 0) break;
      offset += n;
      if (after_chunk) after_chunk();
    }
    struct stat after;
    if (!status.ok() || fstat(fd, &after) != 0) break;
    if (SameFile(before, after) && static_cast<off_t>(bytes->size()) == after.st_size) {
      if (read_as != nullptr) *read_as = after;
      break;
    }
    if (attempt == kAttempts) {
      notes->push_back({0,
                        "the file changed while it was read; rows may be missing or cut "
                        "short (restart to read it again)"});
      break;
    }
    before = after;
  }
  close(fd);
  return status;
}

}  // namespace textdb

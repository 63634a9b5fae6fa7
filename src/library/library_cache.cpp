#include "library/library_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <vector>

#include "common/atomic_file.h"
#include "common/user_folder.h"

namespace library {
namespace {

constexpr char kMagic[8] = {'J', 'u', 'b', 'o', 'L', 'i', 'b', 'C'};
// Changes whenever this file's layout changes; the table's own is TableImage::kVersion.
constexpr uint32_t kFormat = 1;

// A cache file is this header, the library's path, the table's state, its pages, and the
// checksum (XXH3 128, low half first) of everything before it.
struct Header {
  char magic[8];
  uint32_t format;
  uint32_t image_version;
  uint64_t library_size;
  int64_t mtime_sec, mtime_nsec;
  uint64_t hash_low, hash_high;  // of the library's bytes
  uint64_t path_size, state_size, pages_size;
};
static_assert(sizeof(Header) == 80, "the header is laid out without padding");
constexpr size_t kChecksumSize = 16;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

using HashState = std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)>;

HashState NewHash() {
  HashState state(XXH3_createState(), XXH3_freeState);
  if (state != nullptr) XXH3_128bits_reset(state.get());
  return state;
}

// Reads exactly `size` bytes into `data`, adding them to `hash`; false at an error or the end.
bool ReadAll(int fd, void* data, size_t size, XXH3_state_t* hash) {
  auto* at = static_cast<char*>(data);
  for (size_t done = 0; done < size;) {
    const ssize_t n = read(fd, at + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  if (hash != nullptr) XXH3_128bits_update(hash, data, size);
  return true;
}

std::string Hex(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

bool SameTime(const struct stat& st, int64_t sec, int64_t nsec) {
  return st.st_mtim.tv_sec == sec && st.st_mtim.tv_nsec == nsec;
}

// The XXH3 128 of the file at `path`, which must still be the file `expected` describes.
std::optional<XXH128_hash_t> HashFile(const std::string& path, const struct stat& expected) {
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat st;
  if (fd.get() < 0 || fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      st.st_size != expected.st_size ||
      !SameTime(st, expected.st_mtim.tv_sec, expected.st_mtim.tv_nsec)) {
    return std::nullopt;
  }
  HashState hash = NewHash();
  if (hash == nullptr) return std::nullopt;
  std::vector<char> buffer(size_t{1} << 20);
  auto left = static_cast<uint64_t>(st.st_size);
  while (left > 0) {
    const size_t want = left < buffer.size() ? static_cast<size_t>(left) : buffer.size();
    if (!ReadAll(fd.get(), buffer.data(), want, hash.get())) return std::nullopt;
    left -= want;
  }
  return XXH3_128bits_digest(hash.get());
}

// Serves the library from its cache when the cache belongs to it as it is now. Otherwise
// returns false, with load->note set when the cache was there but could not be used.
bool ServeCache(textdb::Connection& connection, LibraryLoad* load) {
  const std::string& path = load->cache_path;
  auto unused = [&](const std::string& why) {
    load->note = "library cache " + path + " not used (" + why + "); reading " + kLibraryFile +
                 " and keeping it again";
    return false;
  };
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  // No cache yet, or no folder for one: writing it says why, when it cannot be made.
  if (fd.get() < 0) {
    return errno == ENOENT || errno == ENOTDIR ? false : unused(std::strerror(errno));
  }
  struct stat cache;
  if (fstat(fd.get(), &cache) != 0) return unused(std::strerror(errno));
  if (!S_ISREG(cache.st_mode)) return unused("not a regular file");
  HashState checksum = NewHash();
  if (checksum == nullptr) return unused("out of memory");
  Header h;
  if (!ReadAll(fd.get(), &h, sizeof h, checksum.get())) return unused("it is cut short");
  if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0) return unused("not a library cache");
  if (h.format != kFormat || h.image_version != textdb::TableImage::kVersion) {
    return unused("made by another version of Jubo");
  }
  const uint64_t parts[] = {sizeof h, h.path_size, h.state_size, h.pages_size, kChecksumSize};
  uint64_t total = 0;
  for (uint64_t part : parts) {
    total = total + part < total ? UINT64_MAX : total + part;
  }
  const auto size = static_cast<uint64_t>(cache.st_size);
  if (total > size) return unused("it is cut short");
  if (total < size) return unused("it runs on past its end");

  // Made for another library (whose path hashes alike), or for this one as it was before.
  std::string library_path(h.path_size, '\0');
  if (!ReadAll(fd.get(), library_path.data(), library_path.size(), checksum.get())) {
    return unused("it is cut short");
  }
  struct stat library;
  if (library_path != load->library_path || stat(library_path.c_str(), &library) != 0 ||
      static_cast<uint64_t>(library.st_size) != h.library_size ||
      !SameTime(library, h.mtime_sec, h.mtime_nsec)) {
    return false;
  }
  // The library's own bytes (the same size and time may hide other contents) are hashed on a
  // second thread while the cache is read; the future waits for it on every way out.
  std::future<std::optional<XXH128_hash_t>> contents = std::async(
      std::launch::async, [&library_path, library] { return HashFile(library_path, library); });
  std::string state(h.state_size, '\0');
  textdb::Pages pages = textdb::Pages::Allocate(h.pages_size);
  if (pages.empty()) return unused("no memory for " + std::to_string(h.pages_size >> 20) + " MB");
  uint64_t stored[2];
  if (!ReadAll(fd.get(), state.data(), state.size(), checksum.get()) ||
      !ReadAll(fd.get(), pages.data(), pages.size(), checksum.get()) ||
      !ReadAll(fd.get(), stored, sizeof stored, nullptr)) {
    return unused("it is cut short");
  }
  const XXH128_hash_t sum = XXH3_128bits_digest(checksum.get());
  if (sum.low64 != stored[0] || sum.high64 != stored[1]) return unused("its checksum is wrong");
  const std::optional<XXH128_hash_t> hash = contents.get();
  if (!hash || hash->low64 != h.hash_low || hash->high64 != h.hash_high) return false;
  if (textdb::Status s = connection.RestoreTable(std::move(pages), state); !s.ok()) {
    return unused(s.message());
  }
  return true;
}

}  // namespace

std::string CacheFolder() {
  const std::string cache = common::XdgFolder("XDG_CACHE_HOME", ".cache");
  return cache.empty() ? cache : cache + "/jubo";
}

LibraryLoad LoadLibrary(LibraryState& state, const std::string& cache_folder) {
  LibraryLoad load;
  textdb::Connection& connection = state.LibraryConnection;
  // The cache belongs to the file the load opens: through links and "..", whatever the way to
  // it was named (a folder "a/link/.." is where the link leads, not "a").
  const std::string named = connection.folder() + "/" + kLibraryFile;
  std::error_code error;
  load.library_path = std::filesystem::canonical(named, error).string();
  if (error) load.library_path = std::filesystem::absolute(named, error).string();
  if (!cache_folder.empty()) {
    const std::string& path = load.library_path;
    load.cache_path = cache_folder + "/library-" + Hex(XXH3_64bits(path.data(), path.size()));
    if (ServeCache(connection, &load)) {
      load.from_cache = true;
      return load;
    }
  }
  load.status =
      connection.LoadTable(kLibraryFile, load.cache_path.empty() ? nullptr : &load.source);
  return load;
}

std::string WriteCache(const textdb::TableImage& image, const LibraryLoad& load) {
  if (!load.ShouldKeep() || image.empty()) return "";
  const std::string state = image.State();
  const std::string_view pages = image.pages();
  Header h;
  std::memset(&h, 0, sizeof h);
  std::memcpy(h.magic, kMagic, sizeof kMagic);
  h.format = kFormat;
  h.image_version = textdb::TableImage::kVersion;
  h.library_size = load.source->size;
  h.mtime_sec = load.source->mtime_sec;
  h.mtime_nsec = load.source->mtime_nsec;
  h.hash_low = load.source->hash_low;
  h.hash_high = load.source->hash_high;
  h.path_size = load.library_path.size();
  h.state_size = state.size();
  h.pages_size = pages.size();
  const std::string_view header(reinterpret_cast<const char*>(&h), sizeof h);
  std::vector<std::string_view> parts = {header, load.library_path, state, pages};
  HashState checksum = NewHash();
  if (checksum == nullptr) return "library cache not kept: out of memory";
  for (std::string_view part : parts) XXH3_128bits_update(checksum.get(), part.data(), part.size());
  const XXH128_hash_t sum = XXH3_128bits_digest(checksum.get());
  const uint64_t stored[2] = {sum.low64, sum.high64};
  parts.emplace_back(reinterpret_cast<const char*>(stored), sizeof stored);

  const std::string folder = load.cache_path.substr(0, load.cache_path.rfind('/'));
  std::string error = common::MakeFolders(folder);
  // The cache's name is ours: a link put there is replaced, never written through.
  if (error.empty()) {
    error = common::WriteFileAtomically(load.cache_path, parts, common::AtLink::kReplace);
  }
  return error.empty() ? "" : "library cache not kept: " + error;
}

}  // namespace library

#include "scan/scanner.h"

#include <sys/stat.h>

#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "scan/tags.h"
#include "scan/walk.h"

namespace scan {

namespace {

bool Before(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// A file whatever path leads to it.
using Identity = std::pair<dev_t, ino_t>;

std::optional<Identity> IdentityOf(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return Identity(info.st_dev, info.st_ino);
}

bool UnderAny(const std::string& path, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (IsUnder(path, folder)) return true;
  }
  return false;
}

}  // namespace

ScanResult Scan(const ScanOptions& options, ScanObserver& observer) {
  ScanResult result;
  // The previous library's songs by file, and whether the walk met them.
  std::unordered_map<std::string_view, size_t> previous_index;
  std::vector<bool> met;
  if (options.previous != nullptr) {
    previous_index.reserve(options.previous->size());
    met.resize(options.previous->size());
    for (size_t i = 0; i < options.previous->size(); ++i) {
      // A file listed twice is listed once, as the walk meets each file once.
      if (!previous_index.emplace((*options.previous)[i].filename, i).second) met[i] = true;
    }
  }

  WalkCallbacks callbacks;
  callbacks.is_audio = IsAudioName;
  callbacks.on_problem = [&](const std::string& message) {
    ++result.problems;
    observer.Problem(message);
  };
  callbacks.on_skipped = [&](const std::string&) {
    ++result.files_seen;
    ++result.files_skipped;
    observer.Progress(result.files_seen, result.songs.size());
  };
  // The previous library's songs by the file their path leads to now, made when a walked path
  // is not in the library: a song is the same song reached through another link or folder.
  std::map<Identity, size_t> previous_by_identity;
  bool identities_known = false;
  const auto previous_song = [&](const std::string& path,
                                 const struct stat& info) -> std::optional<size_t> {
    if (const auto found = previous_index.find(path); found != previous_index.end()) {
      return found->second;
    }
    if (options.previous == nullptr) return std::nullopt;
    if (!identities_known) {
      identities_known = true;
      for (size_t i = 0; i < options.previous->size(); ++i) {
        const auto identity = IdentityOf((*options.previous)[i].filename);
        if (identity && !met[i]) previous_by_identity.emplace(*identity, i);
      }
    }
    const auto found = previous_by_identity.find({info.st_dev, info.st_ino});
    if (found == previous_by_identity.end()) return std::nullopt;
    return found->second;
  };
  // The files listed so far: the walk's, then the previous library's kept without it.
  std::set<Identity> listed;
  // What the previous scan saw of a file, when it recorded anything.
  const auto previous_state = [&](const std::string& path) -> std::optional<FileState> {
    if (options.previous_states == nullptr) return std::nullopt;
    const auto found = options.previous_states->find(path);
    if (found == options.previous_states->end()) return std::nullopt;
    return found->second;
  };
  callbacks.on_audio = [&](const std::string& path, const struct stat& info) {
    ++result.files_seen;
    const FileState state = StateOf(info);
    result.states.push_back(Before(info.st_ctim, options.settled_before)
                                ? std::optional<FileState>(state)
                                : std::nullopt);
    listed.emplace(info.st_dev, info.st_ino);
    std::optional<size_t> previous = previous_song(path, info);
    if (previous && met[*previous]) previous.reset();
    if (previous) met[*previous] = true;
    if (previous && previous_state((*options.previous)[*previous].filename) == state) {
      result.songs.push_back((*options.previous)[*previous]);
      result.songs.back().filename = path;
      ++result.songs_kept;
    } else {
      ReadResult read = ReadSong(path);
      if (!read.problem.empty()) {
        callbacks.on_problem(path + ": " + read.problem + "; listed under its file name");
      }
      result.songs.push_back(std::move(read.song));
      ++result.songs_read;
    }
    observer.Progress(result.files_seen, result.songs.size());
  };
  std::vector<std::string> roots;
  for (const std::string& root : options.roots) {
    if (std::string path = AbsolutePath(root); !path.empty()) roots.push_back(std::move(path));
  }
  const std::vector<std::string> unreadable = WalkMusic(options.roots, callbacks);

  for (size_t i = 0; i < met.size(); ++i) {
    if (met[i]) continue;
    const Song& song = (*options.previous)[i];
    const std::optional<Identity> identity = IdentityOf(song.filename);
    // A second path to a file listed already: the song is listed once.
    if (identity && listed.count(*identity) > 0) continue;
    // Not met below a folder that was walked whole: the file is gone.
    const bool keep = UnderAny(song.filename, unreadable) ||
                      (!UnderAny(song.filename, roots) && identity.has_value());
    if (keep) {
      if (identity) listed.insert(*identity);
      result.songs.push_back(song);
      result.states.push_back(previous_state(song.filename));
      ++result.songs_kept;
    } else {
      ++result.songs_dropped;
    }
  }
  return result;
}

}  // namespace scan

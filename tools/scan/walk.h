// Walking the music folders: every file below them, each folder once.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace scan {

// What the walk hands out and reports. Paths are absolute and lexically normal (no "." or
// "..", no doubled or trailing slash) but keep the symbolic links they were reached through.
struct WalkCallbacks {
  // Whether a file name is worth opening (IsAudioName in the program).
  std::function<bool(std::string_view name)> is_audio;
  // An audio file that is, or links to, a regular file; `info` is stat's.
  std::function<void(const std::string& path, const struct stat& info)> on_audio;
  // Any other file, or one left out: hidden (its name begins with a dot), a broken link, a
  // second way to a song already handed out, or a name that is not UTF-8 (the library, being
  // UTF-8, could not name it).
  std::function<void(const std::string& path)> on_skipped;
  // A folder or file that could not be read, with a message a user can act on.
  std::function<void(const std::string& message)> on_problem;
};

// Walks `roots` (absolute or relative to the current folder; files are taken as they are)
// in order, entries of each folder in byte order of their names, depth first. Symbolic links
// are followed, but a folder already walked (a link loop, or a second way into the same
// folder) is not walked again, and a file already handed out (through a link, a hard link or
// a second root) is skipped. Unreadable folders are reported and skipped.
//
// Returns the folders that could not be read, roots included, as absolute paths.
std::vector<std::string> WalkMusic(const std::vector<std::string>& roots,
                                   const WalkCallbacks& callbacks);

// True when `path` is `folder` or lies below it (both absolute and lexically normal).
bool IsUnder(const std::string& path, const std::string& folder);

// `path` made absolute against the current folder and lexically normal; empty on failure.
std::string AbsolutePath(const std::string& path);

}  // namespace scan

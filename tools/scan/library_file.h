// The library file jubo-scan writes and, for an update, reads back, and the state file kept
// beside it: what each listed file looked like when the scan that listed it saw it.
#pragma once

#include <sys/stat.h>
#include <time.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "scan/song.h"

namespace scan {

// The file's text: a header row naming the columns (kColumns), then one CSV row per song in
// the given order, LF line ends, UTF-8 without a byte-order mark.
std::string LibraryText(const std::vector<Song>& songs);

// Reads the library file at `path` into `songs` (in file order), its columns found by name in
// any order and case, as Jubo finds them; a missing Album, Artist, Title, Track, Genre or
// Tempo column reads as empty fields. Lines that cannot be read, rows without a Filename, and
// columns other than the seven (which an update does not carry over) are described in
// `notes`, one message each.
//
// Returns an empty string on success; otherwise a message naming the file and what is wrong
// with it (it cannot be read, or it has no Filename column), `songs` then being unspecified.
std::string ReadLibrary(const std::string& path, std::vector<Song>* songs,
                        std::vector<std::string>* notes);

// The counts a scan closes with: distinct albums, artists and genres as Jubo lists them
// (ignoring case and accents; empty fields are not counted).
struct LibraryCounts {
  size_t songs = 0;
  size_t albums = 0;
  size_t artists = 0;
  size_t genres = 0;
};
LibraryCounts CountLibrary(const std::vector<Song>& songs);

// A file as stat saw it. Any write, rename or change of mode, owner or times moves the
// status-change time, which no program can set back; the modification time and size are
// compared as well, for file systems (some network ones) that keep no status-change time of
// their own. Equal states mean the file has not changed, whatever the clocks' granularity,
// provided the state was taken after the tick of its last change (see ScanOptions).
struct FileState {
  timespec modified{};
  timespec changed{};
  int64_t size = 0;
  bool operator==(const FileState& other) const;
};
FileState StateOf(const struct stat& info);

// States by the song's Filename.
using FileStates = std::unordered_map<std::string, FileState>;

// The state file of the library at `library_path`: that name with ".scan" appended.
std::string StatePath(const std::string& library_path);

// The state file's text: a version line, then one record per song that has a state
// (`states` runs parallel to `songs`), in order: the times and size in decimal, then the file
// name ended by a NUL byte and a line break (a file name may hold line breaks, never a NUL).
std::string StateText(const std::vector<Song>& songs,
                      const std::vector<std::optional<FileState>>& states);

// Reads the state file at `path` into `states`. Returns an empty string on success; otherwise
// a message naming the file and what is wrong with it, `states` then being empty.
std::string ReadStates(const std::string& path, FileStates* states);

}  // namespace scan

// The library file jubo-scan writes and, for an update, reads back.
#pragma once

#include <string>
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

}  // namespace scan

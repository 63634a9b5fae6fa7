// One row of the library file jubo-scan writes, and the file's columns.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace scan {

// A song as listed: every field UTF-8, empty when unknown (read back as Null).
struct Song {
  std::string album;
  std::string artist;
  std::string title;     // never empty: the file's name without its extension when untagged
  std::string track;     // the track number in decimal ("7"), empty when none
  std::string filename;  // absolute path of the audio file, exactly as found on disk
  std::string genre;
  std::string tempo;  // words ("Slow" ... "Very Fast") or the file's own tempo text

  bool operator==(const Song&) const = default;
};

// The columns in the order they are written.
inline constexpr std::array<std::string_view, 7> kColumns = {"Album",    "Artist", "Title", "Track",
                                                             "Filename", "Genre",  "Tempo"};

}  // namespace scan

// Songs another program lists (a beets library, an MPD database), turned into the rows a folder
// scan of the same files would write.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scan/scanner.h"
#include "scan/song.h"

namespace scan {

// Who listed the songs, as the messages about them name it.
struct SongSource {
  std::string name;    // "the beets library", "MPD's database"
  std::string remedy;  // what makes it forget a song whose file is gone ("beet update")
};

// The `Track` field from a track number as other programs give it ("7", "03", "3/12"): its
// leading digits in decimal, empty when there are none or they make 0 (no track).
std::string TrackField(std::string_view number);

// `path` as a song's Filename: kept when absolute or when `music_dir` is empty (unknown), else
// taken below `music_dir` (absolute and lexically normal).
std::string SongPath(std::string_view path, const std::string& music_dir);

// Makes `listed` rows as a folder scan writes them and returns them in the order a walk of
// their folders meets them (entries of each folder in byte order of their names, depth first).
// Every field is cleaned (CleanText); an empty Title becomes the file's name. Left out, each
// reported to `observer` as a problem naming `source`: paths that are not absolute (the music
// folder they are relative to is unknown), names that are not UTF-8, files that are gone or no
// regular files, and a second row of the same file. `left_out` counts them.
std::vector<Song> FinishListedSongs(std::vector<Song> listed, const SongSource& source,
                                    ScanObserver& observer, size_t* left_out);

}  // namespace scan

// The songs of a beets library: its SQLite database, read without changing it.
#pragma once

#include <string>
#include <vector>

#include "scan/song.h"

namespace scan {

// Where beets keeps its library when its configuration names no other: library.db in its
// configuration folder, $BEETSDIR, else $XDG_CONFIG_HOME/beets, else ~/.config/beets.
std::string DefaultBeetsLibrary();

// Reads every item of the beets database at `path`, opened read-only (a running `beet` may
// go on writing it; a write in progress is waited for). Fields as beets holds them: title,
// artist, album, genre, the track number (0, none, gives no Track), the path's bytes as
// Filename (a relative one taken below `music_dir` unless that is empty), and Tempo in words
// from the beats per minute (beets keeps no tempo words); the rows are to be finished by
// FinishListedSongs. Returns an empty string on success; otherwise a message a user can act
// on, naming `path` (no such file, not a database, not beets' database), `songs` then empty.
std::string ReadBeetsLibrary(const std::string& path, const std::string& music_dir,
                             std::vector<Song>* songs);

}  // namespace scan

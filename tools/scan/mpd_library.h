// The songs of a running MPD's database, asked over its protocol (libmpdclient).
#pragma once

#include <string>
#include <vector>

#include "scan/scanner.h"
#include "scan/song.h"

namespace scan {

// Where MPD listens: a host name or address with a TCP port (0: MPD_PORT, else 6600), or the
// path of its local socket. An empty host means MPD_HOST, else libmpdclient's default (the
// local socket, then localhost), as every MPD client finds it.
struct MpdAddress {
  std::string host;
  unsigned port = 0;
};

// Reads "HOST", "HOST:PORT", "[IPV6]:PORT", "/socket/path" or "@abstract-socket". Returns an
// empty string, or a message saying what is wrong with `text` (a port that is no number from
// 1 to 65535).
std::string ParseMpdAddress(const std::string& text, MpdAddress* address);

// Reads every song of the database of the MPD at `address` (its password taken from MPD_HOST,
// "password@host", as MPD clients do), one folder at a time. Paths, relative to MPD's music
// folder, are taken below `music_dir` (absolute), or, when that is empty, below the folder MPD
// names itself, which it tells only to clients on its local socket: over TCP `music_dir` must
// be given. Artist, album, title and genre with several values are joined with "; ", as a
// folder scan joins them; the rows are to be finished by FinishListedSongs, then given their
// tempo from the file (ReadTempos). Returns an empty string on success; otherwise a message a
// user can act on (MPD does not answer, refuses, will not name its music folder, or finds a
// folder's answer too large to send), `songs` then empty.
std::string ReadMpdLibrary(const MpdAddress& address, const std::string& music_dir,
                           std::vector<Song>* songs);

// MPD keeps no beats per minute: sets each song's Tempo from its file's own tags, read as a
// folder scan reads them, telling `observer` the progress after each file. A file whose tags
// cannot be read is reported to it as a problem, its Tempo left empty.
void ReadTempos(std::vector<Song>* songs, ScanObserver& observer);

}  // namespace scan

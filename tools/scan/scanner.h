// A whole scan: the music folders walked, every audio file's tags read (or, in an update,
// taken from the previous library when the file has not changed), the songs in walk order.
#pragma once

#include <time.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "scan/library_file.h"
#include "scan/song.h"

namespace scan {

// What a scan tells while it runs. Called on the scanning thread.
class ScanObserver {
 public:
  virtual ~ScanObserver() = default;
  // After each file seen; cheap calls, the observer decides how often to show anything.
  virtual void Progress(size_t files_seen, size_t songs_found) = 0;
  // Something a user can act on: a folder or file that could not be read.
  virtual void Problem(const std::string& message) = 0;
};

struct ScanOptions {
  std::vector<std::string> roots;  // folders (or single audio files) to scan, in order
  // The library being updated, or nullptr for a full scan. A walked file is the song of it
  // with the same path or, failing that, whose path leads to the same file (through another
  // link or folder): a song is one row whatever path leads to it. When the file's state equals
  // the one `previous_states` holds for the song's path, the song is kept as it is (under the
  // walked path) instead of being read again; any other walked file is read.
  const std::vector<Song>* previous = nullptr;
  const FileStates* previous_states = nullptr;
  // The file system's time when the scan began. A file whose status changed at or after it may
  // change again within the same tick of the file system's clock, after the scan saw it, and
  // keep the very same state: its state is not recorded, so the next update reads it again.
  timespec settled_before{};
};

struct ScanResult {
  // The walk's songs in walk order; then, in an update, songs of the previous library kept
  // although no walked file matched them: those below a folder that could not be read, and
  // those outside every root whose file still exists, each file once.
  std::vector<Song> songs;
  // Parallel to `songs`: the file's state for the next update to compare with; none when the
  // file changed too recently to tell, or when a kept song's state is unknown.
  std::vector<std::optional<FileState>> states;
  size_t files_seen = 0;     // every file met, audio or not
  size_t files_skipped = 0;  // files left out: not audio, hidden, broken links, unusable names
  size_t songs_read = 0;     // songs whose tags were read from their file
  size_t songs_kept = 0;     // songs taken unchanged from the previous library
  size_t songs_dropped = 0;  // songs of the previous library whose file is gone
  size_t problems = 0;       // messages given to ScanObserver::Problem
};

// Runs the scan. Problems are reported and the scan carries on; it has no failure of its own.
ScanResult Scan(const ScanOptions& options, ScanObserver& observer);

}  // namespace scan

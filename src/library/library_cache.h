// The loaded library kept between runs. A living-room library changes rarely, so after a load
// from `jubodb.txt` the loaded table (its pages and the driver's state, see textdb::TableImage)
// is written to a cache file, and the next start reads that instead of parsing and ranking the
// same file again.
//
// One cache file per library file (named by its real path, links and ".." resolved), in
// $XDG_CACHE_HOME/jubo/ (else ~/.cache/jubo/). It is served only when it provably belongs to the
// library as it is now: it records the library's path, size, modification time and the XXH3 hash of
// its whole contents, and all four must match the file (so a file replaced or edited in place, even
// with its old time put back, is seen); its own format version must be this program's, and the XXH3
// checksum of everything in it must be right. Anything else loads the library from its file and
// makes the cache again.
#pragma once

#include <optional>
#include <string>

#include "library/library_connection.h"
#include "textdb/connection.h"
#include "textdb/status.h"

namespace library {

// The folder caches are kept in: $XDG_CACHE_HOME/jubo, else ~/.cache/jubo; "" when no home
// folder is known (no cache is kept then).
std::string CacheFolder();

// How the library came to be loaded, and what keeping it needs.
struct LibraryLoad {
  textdb::Status status;  // of the load, as OpenLibrary's
  bool from_cache = false;
  // Why a cache that was there was not used, as one line for the user; "" when there was none,
  // or it was simply of another state of the library.
  std::string note;
  std::string library_path;                  // the real path of the file loaded
  std::string cache_path;                    // "" when no cache is kept
  std::optional<textdb::SourceFile> source;  // the bytes loaded from the file, when a cache of
                                             // them is to be written

  // Whether WriteCache should follow: loaded from the file, which stood still while it was read.
  bool ShouldKeep() const { return status.ok() && !from_cache && source && !cache_path.empty(); }
};

// Loads the library into `state.LibraryConnection`, which must be open on the library's folder
// with nothing loaded: from its cache in `cache_folder` when the cache belongs to the file as
// it is now, else from the file (as OpenLibrary does). `cache_folder` "" keeps no cache.
LibraryLoad LoadLibrary(LibraryState& state, const std::string& cache_folder);

// Writes the cache of `image` (the connection's table as `load` loaded it) atomically, making
// the cache folder (mode 0700) if need be; a link at the cache's name is replaced, never
// written through, and copies of the program writing it at once each write it whole. Made for a
// thread of its own: it reads `image` only (see textdb::TableImage for how long that is good).
// Returns "" once written, else one line saying why not.
std::string WriteCache(const textdb::TableImage& image, const LibraryLoad& load);

}  // namespace library

// Replacing a file whole: readers see the old bytes or the new ones, never a part of either,
// even when the writer is killed or the machine loses power half-way.
#pragma once

#include <string>
#include <string_view>

namespace common {

// Writes `bytes` to `path` through a temporary file beside it (`path` with ".tmp" appended),
// which is synced to disk and renamed over `path`; the folder is synced after the rename.
// Returns an empty string on success. On failure returns a message naming the file and the
// reason ("cannot write /x/jubodb.txt: No space left on device"), removes the temporary file
// and leaves `path` as it was.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace common

// Replacing a file whole: readers see the old bytes or the new ones, never a part of either,
// even when the writer is killed or the machine loses power half-way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace common {

// The file a write to `path` replaces: `path` itself, or the file its symbolic links lead to
// (relative links read against the folder holding them), which may not exist yet. Returns an
// empty string and sets `*target`; otherwise (the path or a link leads to anything but a
// regular file or a missing one, or the links loop) a message naming `path` and the reason
// ("cannot write /x/jubodb.txt: not a regular file"), `*target` left as it was.
std::string WriteTarget(const std::string& path, std::string* target);

// Writes `bytes` to the file `path` leads to (WriteTarget), through a temporary file beside it
// (its name with ".tmp" appended), which is synced to disk and renamed over it; the folder is
// synced after the rename. A symbolic link at `path` stays, leading to the new file. Returns
// an empty string on success. On failure returns a message naming `path` and the reason
// ("cannot write /x/jubodb.txt: No space left on device"), removes the temporary file and
// leaves the file as it was.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);
// The same, the file's bytes given as parts written one after the other.
std::string WriteFileAtomically(const std::string& path,
                                const std::vector<std::string_view>& parts);

}  // namespace common

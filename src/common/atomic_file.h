// Replacing a file whole: readers see the old bytes or the new ones, never a part of either,
// even when the writer is killed or the machine loses power half-way; and the other file
// operations the program's stored files need (their folders, setting a bad one aside).
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

// What a write does with a symbolic link found at the path it is given.
enum class AtLink {
  kFollow,   // writes the file the link leads to, and the link stays: the user's own files
             // (a library or settings file kept in a dotfiles repository)
  kReplace,  // replaces the link itself: the program's own files (a cache), which must never
             // write through a link someone else put at their name
};

// Writes `bytes` to `path` (with AtLink::kFollow, to the file it leads to, see WriteTarget)
// through a temporary file beside it, which is synced to disk and renamed over it; the folder
// is synced after the rename. The temporary file has a name of its own (the file's name,
// ".tmp." and random letters), so copies of the program writing the same file at once never
// write into each other's: the last rename wins, whole. Returns an empty string on success. On
// failure returns a message naming `path` and the reason ("cannot write /x/jubodb.txt: No
// space left on device"), removes the temporary file and leaves the file as it was.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes,
                                AtLink at_link = AtLink::kFollow);
// The same, the file's bytes given as parts written one after the other.
std::string WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& parts,
                                AtLink at_link = AtLink::kFollow);

// Makes `folder` and the folders above it that are missing, each with mode 0700 (a user's
// settings and caches are nobody else's). Returns "" once `folder` is a folder, else "cannot
// make FOLDER: reason".
std::string MakeFolders(const std::string& folder);

// Moves the file `path` leads to (through its links, which stay) out of the way: to its name
// with `suffix` appended, or, when a file has that name already, with "-2", "-3" ... after it,
// never over another file. Returns "" and sets `*aside` to the new name, else the reason it
// could not be moved.
std::string SetAside(const std::string& path, std::string_view suffix, std::string* aside);

}  // namespace common

// The runtime folder: where the running copy keeps its lock and its "Remote" socket.
// $XDG_RUNTIME_DIR/jubo, else /tmp/jubo-<uid>. The program makes it; jubo-remote only finds
// the socket in it, and links nothing else of the program.
#pragma once

#include <string>

namespace remote {

inline constexpr const char* kSocketName = "Remote";

std::string RuntimeFolderPath();

// Creates the folder with mode 0700 if needed. Fails, with a message, when it cannot be made
// or is not a folder of this user's closed to others (in /tmp anyone could have made it).
bool MakeRuntimeFolder(std::string* path, std::string* error);

}  // namespace remote

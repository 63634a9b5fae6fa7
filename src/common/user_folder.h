// The user's own folders, found as the XDG base directory rules say.
#pragma once

#include <string>

namespace common {

// The folder the variable `variable` names (XDG_CONFIG_HOME, XDG_CACHE_HOME, XDG_DATA_HOME)
// when it holds an absolute path (a relative one is to be ignored, as the rules say), else
// `below_home` (".config", ".cache", ".local/share") in the user's home: $HOME, else the home
// of the user's account. Without a trailing slash; empty when there is no home either.
std::string XdgFolder(const char* variable, const char* below_home);

}  // namespace common

// Where the program's files are, found from where its executable is: PREFIX/bin/jubo installed
// (its assets in PREFIX/share/jubo), or build/jubo in the build tree (build/assets, which the
// build copies there from the source tree's assets/).
#pragma once

#include <string>

namespace platform {

// The folder of the running executable (links followed), without a trailing slash; empty if
// unknown.
std::string ExecutableFolder();

// Whether the running executable is an installed one: the installed assets folder is there
// beside its bin folder.
bool RunsInstalled();

// The folder the pictures (<name>.svg) and the help text are read from: the installed assets
// when the executable is installed, else the `assets` folder beside it, else the source tree's
// assets folder this build was made from.
std::string AssetFolder();

}  // namespace platform

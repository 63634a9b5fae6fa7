// Where the program's pictures (assets/<name>.svg) are.
#pragma once

#include <string>

namespace platform {

// The `assets` folder beside the running executable when there is one (the build copies it
// there), else the source tree's assets folder this build was made from.
std::string AssetFolder();

// The folder of the running executable, without a trailing slash; empty if unknown.
std::string ExecutableFolder();

}  // namespace platform

#include "platform/asset_folder.h"

#include <filesystem>
#include <system_error>

namespace platform {
namespace {

bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

// JUBO_INSTALLED_ASSETS is relative to the installed bin folder ("../share/jubo"), so an
// installed tree works from whatever prefix it was installed or copied to.
std::string InstalledAssets(const std::string& executable_folder) {
  return executable_folder + "/" + JUBO_INSTALLED_ASSETS;
}

}  // namespace

std::string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return exe.parent_path().string();
}

bool RunsInstalled() {
  const std::string folder = ExecutableFolder();
  return !folder.empty() && IsFolder(InstalledAssets(folder));
}

std::string AssetFolder() {
  const std::string folder = ExecutableFolder();
  if (folder.empty()) return JUBO_SOURCE_ASSETS;
  if (IsFolder(InstalledAssets(folder))) {
    return std::filesystem::path(InstalledAssets(folder)).lexically_normal().string();
  }
  if (IsFolder(folder + "/assets")) return folder + "/assets";
  return JUBO_SOURCE_ASSETS;
}

}  // namespace platform

#include "platform/asset_folder.h"

#include <filesystem>
#include <system_error>

namespace platform {

std::string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return exe.parent_path().string();
}

std::string AssetFolder() {
  const std::string folder = ExecutableFolder();
  std::error_code error;
  if (!folder.empty() && std::filesystem::is_directory(folder + "/assets", error)) {
    return folder + "/assets";
  }
  return JUBO_SOURCE_ASSETS;
}

}  // namespace platform

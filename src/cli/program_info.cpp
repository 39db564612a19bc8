#include "program_info.h"

#include <filesystem>
#include <system_error>

namespace trivo::cli {

AppInfo CliAppInfo() {
  AppInfo info;
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    info.ExeFileName = exe.string();
    info.DefaultProjectFile = (exe.parent_path() / "default.tvp").string();
  }
  info.AppVersion = TRIVO_VERSION;
  return info;
}

}  // namespace trivo::cli

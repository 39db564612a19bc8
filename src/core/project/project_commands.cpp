#include "project/project_commands.h"

#include <filesystem>
#include <system_error>

namespace trivo {

ProjectReadResult LoadProject(Context& ctx, const std::string& path) {
  std::filesystem::path file(path);
  if (file.is_relative()) {
    std::filesystem::path base(ctx.WorkingDir);
    if (base.empty()) {
      std::error_code error;
      base = std::filesystem::current_path(error);
    }
    file = (base / file).lexically_normal();
  }
  // A new project is a new job: only its own files are its inputs.
  ctx.files.ForgetInputs();
  const ProjectReadResult result = ReadProjectFile(ctx.PrjParams, file, &ctx.files);
  ctx.ProjectFileName = file.string();
  std::filesystem::path folder = file.parent_path();
  // The folder without a trailing separator; the root keeps its only one.
  if (folder.has_relative_path() && folder.filename().empty()) folder = folder.parent_path();
  ctx.ProjectDir = folder.string();
  ctx.WorkingDir = ctx.ProjectDir;
  return result;
}

}  // namespace trivo

#include "project/project_commands.h"

#include "project/project_rules.h"

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
  ctx.ProjectDir = ProjectFolderOf(ctx.ProjectFileName);
  ctx.WorkingDir = ctx.ProjectDir;
  return result;
}

}  // namespace trivo

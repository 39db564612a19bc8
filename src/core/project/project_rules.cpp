#include "project/project_rules.h"

#include <algorithm>
#include <filesystem>

#include "project/prj_save.h"

namespace trivo {

ConversionButtonStates ConversionButtonsFor(ProjectStage stage) {
  switch (stage) {
    case ProjectStage::Opened:
      return {true, true, true, true, true};
    case ProjectStage::NewSaved:
      return {true, true, false, std::nullopt, false};
    case ProjectStage::NewStarted:
      return {std::nullopt, true, false, std::nullopt, false};
  }
  return {};
}

std::string ProjectFolderOf(const std::string& projectFile) {
  std::filesystem::path folder = std::filesystem::path(projectFile).parent_path();
  if (folder.has_relative_path() && folder.filename().empty()) folder = folder.parent_path();
  return folder.string();
}

void SaveNewProject(Context& ctx, const std::string& path) {
  SaveProjectAs(ctx, path);
  ctx.ProjectDir = ProjectFolderOf(path);
}

void SaveProjectAs(Context& ctx, const std::string& path) {
  WriteProjectFile(ctx, path);
  ctx.ProjectFileName = path;
}

DayGroupAddition AddDayGroup(TPrjParams& params, const TDayGroupItem& group) {
  if (group.Name.empty() || group.Text.empty()) return DayGroupAddition::Empty;
  const bool taken = std::any_of(params.DayGroups.begin(), params.DayGroups.end(),
                                 [&group](const TDayGroupItem& other) {
                                   return other.Name == group.Name || other.Text == group.Text;
                                 });
  if (taken) return DayGroupAddition::Taken;
  params.DayGroups.push_back(group);
  return DayGroupAddition::Added;
}

}  // namespace trivo

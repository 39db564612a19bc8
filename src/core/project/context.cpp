#include "project/context.h"

namespace trivo {

std::filesystem::path Context::ProjectFile(std::string_view name) const {
  return std::filesystem::path(ProjectDir) / std::string(name);
}

std::filesystem::path Context::WorkingFile(std::string_view name) const {
  return std::filesystem::path(WorkingDir) / std::string(name);
}

}  // namespace trivo

#include "project_command.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "common/error.h"
#include "common/messages.h"
#include "exit_status.h"
#include "program_info.h"
#include "project/project_commands.h"

namespace trivo::cli {

int UsageError(const ProjectCommandSpec& spec, const std::string& text) {
  std::cerr << "trivo " << spec.name << ": " << OneLine(text) << " (see 'trivo " << spec.name
            << " --help')\n";
  return kExitUsage;
}

ParsedProjectCommand ParseProjectCommand(const ProjectCommandSpec& spec, int argc, char** argv) {
  const auto usage = [&spec](const std::string& text) {
    return ParsedProjectCommand{std::nullopt, UsageError(spec, text)};
  };
  const bool hasOption = !spec.option.empty();
  const std::string optionWithValue = std::string(spec.option) + "=";
  ProjectCommandArguments arguments;
  bool haveProject = false;
  bool haveExtra = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::cout << spec.help << std::flush;
      return {std::nullopt, kExitOk};
    }
    if (hasOption && arg == spec.option) {
      if (i + 1 >= argc) return usage(std::string(spec.optionHint));
      arguments.optionValue = argv[++i];
    } else if (hasOption && arg.starts_with(optionWithValue)) {
      arguments.optionValue = std::string(arg.substr(optionWithValue.size()));
    } else if (arg.starts_with("-") && arg != "-") {
      return usage("unknown option '" + std::string(arg) + "'");
    } else if (haveProject && !spec.extra.empty() && !haveExtra) {
      arguments.extra = std::string(arg);
      haveExtra = true;
    } else if (haveProject) {
      return usage(spec.extra.empty() ? "more than one project file given"
                                      : "too many arguments given");
    } else {
      arguments.projectFile = std::string(arg);
      haveProject = true;
    }
  }
  if (arguments.projectFile.empty()) return usage("no project file given");
  if (!spec.extra.empty() && !haveExtra) return usage("no " + std::string(spec.extra) + " given");
  return {std::move(arguments), kExitOk};
}

bool ProjectFileExists(const ProjectCommandSpec& spec, const std::string& projectFile) {
  std::error_code error;
  if (std::filesystem::is_regular_file(projectFile, error)) return true;
  std::cerr << "trivo " << spec.name << ": project file '" << OneLine(projectFile)
            << "' does not exist\n";
  return false;
}

ProjectSession::ProjectSession() : ui(std::cout), ctx(ui) {
  ctx.app = CliAppInfo();
  std::error_code error;
  const std::filesystem::path currentDir = std::filesystem::current_path(error);
  ctx.WorkingDir = error ? std::string(".") : currentDir.string();
}

bool ProjectSession::Load(const std::string& projectFile) {
  return RunReportingErrors([&] { LoadProject(ctx, projectFile); });
}

bool ProjectSession::RunReportingErrors(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& error) {
    ui.ReportError(msg::ErrorText(error));
  } catch (...) {
    ui.ReportError("Unbekannter Fehler");
  }
  failed_ = true;
  return false;
}

int ProjectSession::ExitStatus() const {
  return failed_ || ctx.files.FailedWrites() > 0 ? kExitFailed : kExitOk;
}

}  // namespace trivo::cli

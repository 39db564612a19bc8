#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "cli_user_interface.h"
#include "project/context.h"

namespace trivo::cli {

// The shape shared by the subcommands that work on one project:
//   trivo <name> PROJECT.tvp [<option> VALUE | <option>=VALUE] [--help]
struct ProjectCommandSpec {
  std::string_view name;        // "convert"
  std::string_view option;      // "--steps"; empty for a command without an option
  std::string_view optionHint;  // shown when the option lacks its value
  std::string_view help;        // the whole --help text
  std::string_view extra = {};  // a second argument after the project file ("SCRIPT"), or none
};

struct ProjectCommandArguments {
  std::string projectFile;
  std::string extra;  // the second argument, when the command takes one
  std::optional<std::string> optionValue;
};

// Writes "trivo <name>: <text> (see ...)" to standard error; returns kExitUsage.
int UsageError(const ProjectCommandSpec& spec, const std::string& text);

// Reads the arguments. Returns them, or an exit status when the command is already
// answered: the help text was printed (kExitOk) or a usage error was explained
// (kExitUsage).
struct ParsedProjectCommand {
  std::optional<ProjectCommandArguments> arguments;
  int exitStatus = 0;
};
ParsedProjectCommand ParseProjectCommand(const ProjectCommandSpec& spec, int argc, char** argv);

// False, after saying so on standard error, when the project file does not exist.
bool ProjectFileExists(const ProjectCommandSpec& spec, const std::string& projectFile);

// A run of the program on one project: the command line's user interface, a Context
// whose working directory is the current one, and the project loaded into it.
class ProjectSession {
 public:
  ProjectSession();

  // LoadProject; false (after reporting the error) when it failed.
  bool Load(const std::string& projectFile);
  // Runs an action that may end with an error; reports such an error as "[Fehler] ..."
  // and returns whether the action ended normally.
  bool RunReportingErrors(const std::function<void()>& action);
  // kExitFailed when an action ended with an error or a file that should have been
  // written was not, else kExitOk.
  int ExitStatus() const;

  CliUserInterface ui;
  Context ctx;

 private:
  bool failed_ = false;
};

}  // namespace trivo::cli

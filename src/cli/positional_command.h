#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project_command.h"

namespace trivo::cli {

// Reads the arguments of a subcommand that takes positional arguments only:
//   trivo <name> ARG... [--help]
// "--" ends the options, so an argument after it may begin with "-". Returns the
// arguments, or an exit status when the command is already answered: the help text was
// printed (kExitOk) or a usage error was explained (kExitUsage).
struct ParsedPositionalCommand {
  std::optional<std::vector<std::string>> arguments;
  int exitStatus = 0;
};
ParsedPositionalCommand ParsePositionalCommand(const ProjectCommandSpec& spec, std::size_t minCount,
                                               std::size_t maxCount, int argc, char** argv);

// A name given on the command line as the system's Windows-1252 text: valid UTF-8 that
// Windows-1252 can hold is converted, any other text is taken byte for byte.
std::string ArgumentText(std::string_view argument);

}  // namespace trivo::cli

#include "positional_command.h"

#include <unicode/utf8.h>

#include <cstdint>
#include <iostream>

#include "common/cp1252.h"
#include "exit_status.h"

namespace trivo::cli {

ParsedPositionalCommand ParsePositionalCommand(const ProjectCommandSpec& spec, std::size_t minCount,
                                               std::size_t maxCount, int argc, char** argv) {
  std::vector<std::string> arguments;
  bool optionsEnded = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!optionsEnded && (arg == "-h" || arg == "--help")) {
      std::cout << spec.help << std::flush;
      return {std::nullopt, kExitOk};
    }
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.starts_with("-") && arg != "-") {
      return {std::nullopt, UsageError(spec, "unknown option '" + std::string(arg) + "'")};
    } else {
      arguments.emplace_back(arg);
    }
  }
  if (arguments.empty()) return {std::nullopt, UsageError(spec, "no project file given")};
  if (arguments.size() < minCount) return {std::nullopt, UsageError(spec, "missing arguments")};
  if (arguments.size() > maxCount) return {std::nullopt, UsageError(spec, "too many arguments")};
  return {std::move(arguments), kExitOk};
}

std::string ArgumentText(std::string_view argument) {
  std::string converted;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(argument.data());
  const auto length = static_cast<std::int32_t>(argument.size());
  for (std::int32_t at = 0; at < length;) {
    UChar32 character = 0;
    U8_NEXT(bytes, at, length, character);
    const std::optional<char> byte =
        character < 0 ? std::nullopt : UnicodeToCp1252(static_cast<char32_t>(character));
    if (!byte) return std::string(argument);
    converted += *byte;
  }
  return converted;
}

}  // namespace trivo::cli

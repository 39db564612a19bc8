#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli_user_interface.h"
#include "commands.h"
#include "common/error.h"
#include "convert/conversion_buttons.h"
#include "exit_status.h"
#include "program_info.h"
#include "project/context.h"
#include "project/project_commands.h"
#include "step_list.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kConvertHelp =
    R"(Usage: trivo convert PROJECT.tvp [--steps LIST]

Loads the project file PROJECT.tvp and runs the conversion steps, as pressing the
numbered buttons of the main window does:
  1  daygroups.ptf      the project's day groups
  2  stations.ptf       the station list (stations.csv)
  3  lines.ptf          the line list (lines.csv)
  4  line_stations.ptf  the station sequence of every line (line_stations.csv)
  5  the timetables     tt_*.ptf, ttc_*.ptf, line_connections.ptf,
                        tt_connections.ptf, intervals.ptf (line_*.ttd)
The inputs are read from the project file's folder and the PTF files are written
there too.

Options:
  --steps LIST  comma-separated step numbers 1 to 5, run in the order given
                (default: 1,2,3,4,5). Step 5 uses what steps 1, 3 and 4 produced
                in the same run.
  -h, --help    show this text

Output (standard output, one line each, texts in Windows-1252 as the system writes
them):
  <text>               a line of the main window's log
  [Meldung] <text>     a message box
  [Frage] <text>       a question; the command line always answers Yes
  [Fehler] <text>      an error that ended a step; the next step still runs

Exit status: 0 when no step ended with an error, 1 when at least one did, 2 for a
usage error or a project file that does not exist (explained on standard error,
nothing on standard output).
)";

struct ConvertArguments {
  std::string projectFile;
  std::vector<int> steps = AllSteps();
  bool help = false;
};

int UsageError(const std::string& text) {
  std::cerr << "trivo convert: " << text << " (see 'trivo convert --help')\n";
  return kExitUsage;
}

// Reads the arguments; on a usage error writes its explanation and returns nothing.
std::optional<ConvertArguments> ParseArguments(int argc, char** argv, int& status) {
  ConvertArguments arguments;
  bool haveProject = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      arguments.help = true;
      return arguments;
    }
    std::optional<std::string_view> stepText;
    if (arg == "--steps") {
      if (i + 1 >= argc) {
        status = UsageError("--steps needs a list of steps, for example --steps 1,2,3");
        return std::nullopt;
      }
      stepText = argv[++i];
    } else if (arg.starts_with("--steps=")) {
      stepText = arg.substr(std::string_view("--steps=").size());
    } else if (arg.starts_with("-") && arg != "-") {
      status = UsageError("unknown option '" + std::string(arg) + "'");
      return std::nullopt;
    } else if (haveProject) {
      status = UsageError("more than one project file given");
      return std::nullopt;
    } else {
      arguments.projectFile = std::string(arg);
      haveProject = true;
    }
    if (stepText) {
      std::optional<std::vector<int>> steps = ParseStepList(*stepText);
      if (!steps) {
        status = UsageError("invalid step list '" + std::string(*stepText) +
                            "': expected comma-separated numbers 1 to 5, for example 1,2,3");
        return std::nullopt;
      }
      arguments.steps = std::move(*steps);
    }
  }
  if (!haveProject || arguments.projectFile.empty()) {
    status = UsageError("no project file given");
    return std::nullopt;
  }
  return arguments;
}

// Runs one action and reports an error that ends it; returns whether it ended normally.
template <typename Action>
bool RunReportingErrors(CliUserInterface& ui, Action&& action) {
  try {
    action();
    return true;
  } catch (const Error& error) {
    ui.ReportError(error.what());
  } catch (const std::exception& error) {
    ui.ReportError(error.what());
  } catch (...) {
    ui.ReportError("Unbekannter Fehler");
  }
  return false;
}

}  // namespace
}  // namespace trivo::cli

int RunConvert(int argc, char** argv) {
  using namespace trivo::cli;
  int status = kExitUsage;
  const std::optional<ConvertArguments> arguments = ParseArguments(argc, argv, status);
  if (!arguments) return status;
  if (arguments->help) {
    std::cout << kConvertHelp << std::flush;
    return kExitOk;
  }

  std::error_code error;
  if (!std::filesystem::is_regular_file(arguments->projectFile, error)) {
    std::cerr << "trivo convert: project file '" << arguments->projectFile << "' does not exist\n";
    return kExitUsage;
  }

  CliUserInterface ui(std::cout);
  trivo::Context ctx(ui);
  ctx.app = CliAppInfo();
  const std::filesystem::path currentDir = std::filesystem::current_path(error);
  ctx.WorkingDir = error ? std::string(".") : currentDir.string();

  if (!RunReportingErrors(ui, [&] { trivo::LoadProject(ctx, arguments->projectFile); })) {
    return kExitFailed;
  }
  bool allSucceeded = true;
  for (const int step : arguments->steps) {
    allSucceeded &= RunReportingErrors(ui, [&] { trivo::PressConversionButton(ctx, step); });
  }
  return allSucceeded ? kExitOk : kExitFailed;
}

#include <charconv>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "analysis/make_model.h"
#include "cli_user_interface.h"
#include "commands.h"
#include "common/error.h"
#include "exit_status.h"
#include "program_info.h"
#include "project/context.h"
#include "project/project_commands.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kParallelsHelp =
    R"(Usage: trivo parallels PROJECT.tvp [--presses N]

Loads the project file PROJECT.tvp and presses "Start" in the data-preparation
window "Daten aufbereiten": builds the tree of lines, their stations and the other
lines stopping there (line_stations.csv, station_lines.csv) and lists the stretches
where two lines pass the same stations in the same order. Nothing is written.

Options:
  --presses N   press "Start" N times (default 1). Nothing is reset between
                presses, as in the window: each press appends a further root "all"
                and every line again, and lists all runs found so far once more.
  -h, --help    show this text

Output (standard output, texts in Windows-1252 as the system holds them):
  [Meldung] <text>   a message box
  [Fehler] <text>    an error that ended a press; the next press still runs
  [TreeView1]        followed by every node of the tree, depth-first in tree
                     order, indented by two blanks per level
  [Memo1]            followed by the memo's lines, one per parallel run:
                     <n>: <line>-<other line>: <first station>-<last station>

Exit status: 0 when no press ended with an error, 1 when one did, 2 for a usage
error or a project file that does not exist (explained on standard error, nothing
on standard output).
)";

struct ParallelsArguments {
  std::string projectFile;
  int presses = 1;
  bool help = false;
};

int UsageError(const std::string& text) {
  std::cerr << "trivo parallels: " << text << " (see 'trivo parallels --help')\n";
  return kExitUsage;
}

std::optional<int> ParsePresses(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// Reads the arguments; on a usage error writes its explanation and returns nothing.
std::optional<ParallelsArguments> ParseArguments(int argc, char** argv, int& status) {
  ParallelsArguments arguments;
  bool haveProject = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      arguments.help = true;
      return arguments;
    }
    std::optional<std::string_view> pressText;
    if (arg == "--presses") {
      if (i + 1 >= argc) {
        status = UsageError("--presses needs a number, for example --presses 2");
        return std::nullopt;
      }
      pressText = argv[++i];
    } else if (arg.starts_with("--presses=")) {
      pressText = arg.substr(std::string_view("--presses=").size());
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
    if (pressText) {
      const std::optional<int> presses = ParsePresses(*pressText);
      if (!presses) {
        status = UsageError("invalid number of presses '" + std::string(*pressText) + "'");
        return std::nullopt;
      }
      arguments.presses = *presses;
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

void PrintWindow(const MakeModel& model, std::ostream& out) {
  out << "[TreeView1]\n";
  ForEachNode(model.TreeView1(), [&out](const TreeNode& node, int depth) {
    out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << node.Text() << '\n';
  });
  out << "[Memo1]\n";
  for (const std::string& line : model.Memo1()) out << line << '\n';
  out << std::flush;
}

}  // namespace
}  // namespace trivo::cli

int RunParallels(int argc, char** argv) {
  using namespace trivo::cli;
  int status = kExitUsage;
  const std::optional<ParallelsArguments> arguments = ParseArguments(argc, argv, status);
  if (!arguments) return status;
  if (arguments->help) {
    std::cout << kParallelsHelp << std::flush;
    return kExitOk;
  }

  std::error_code error;
  if (!std::filesystem::is_regular_file(arguments->projectFile, error)) {
    std::cerr << "trivo parallels: project file '" << arguments->projectFile
              << "' does not exist\n";
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
  trivo::MakeModel fmMake;
  bool allSucceeded = true;
  for (int press = 0; press < arguments->presses; ++press) {
    allSucceeded &= RunReportingErrors(ui, [&] { fmMake.btStartClick(ctx); });
  }
  PrintWindow(fmMake, std::cout);
  return allSucceeded ? kExitOk : kExitFailed;
}

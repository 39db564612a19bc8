#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/make_model.h"
#include "commands.h"
#include "exit_status.h"
#include "project_command.h"

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

Output (standard output, texts in Windows-1252 as the system holds them, a line
feed or carriage return inside a text written as \n or \r):
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

constexpr ProjectCommandSpec kParallels{"parallels",
                                        "--presses",
                                        "--presses needs a number, for example --presses 2",
                                        kParallelsHelp,
                                        {}};

std::optional<int> ParsePresses(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// Tree and memo are written line by line as they are walked: on a large network, or
// after many presses, they run to gigabytes.
void PrintWindow(const MakeModel& model, CliUserInterface& ui) {
  ui.PrintLine("[TreeView1]");
  std::string line;
  model.TreeView1().ForEachNode([&](std::string_view text, int depth) {
    line.assign(static_cast<std::size_t>(depth) * 2, ' ');
    line.append(text);
    ui.PrintLine(line);
  });
  ui.PrintLine("[Memo1]");
  model.ForEachMemoLine(0, [&ui](const std::string& memoLine) { ui.PrintLine(memoLine); });
  ui.Flush();
}

}  // namespace
}  // namespace trivo::cli

int RunParallels(int argc, char** argv) {
  using namespace trivo::cli;
  const ParsedProjectCommand parsed = ParseProjectCommand(kParallels, argc, argv);
  if (!parsed.arguments) return parsed.exitStatus;
  int presses = 1;
  if (const auto& pressText = parsed.arguments->optionValue) {
    const std::optional<int> chosen = ParsePresses(*pressText);
    if (!chosen) return UsageError(kParallels, "invalid number of presses '" + *pressText + "'");
    presses = *chosen;
  }
  if (!ProjectFileExists(kParallels, parsed.arguments->projectFile)) return kExitUsage;

  ProjectSession session;
  if (!session.Load(parsed.arguments->projectFile)) return kExitFailed;
  trivo::MakeModel fmMake;
  for (int press = 0; press < presses; ++press) {
    session.RunReportingErrors([&] { fmMake.btStartClick(session.ctx); });
  }
  session.RunReportingErrors([&] { PrintWindow(fmMake, session.ui); });
  return session.ExitStatus();
}

#include <iostream>
#include <optional>
#include <string_view>

#include "commands.h"
#include "exit_status.h"
#include "preview/preview_page.h"
#include "project_command.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kPreviewHelp =
    R"(Usage: trivo preview PROJECT.tvp

Loads the project file PROJECT.tvp and copies the preview page (index.html,
viewer.css, viewer.js) beside the project's PTF files, as "Extras" -> "Vorschau..."
of the main window does. Opened in a browser, the page shows the lines, day groups,
directions and timetables of the PTF files as a passenger will see them on the
published site, and names missing or malformed files. Convert the project first
(trivo convert PROJECT.tvp).

Files of these names that the preview did not write are never replaced.

Options:
  -h, --help    show this text

Output (standard output): the path of the page written, or
  [Fehler] <text>      why no page was written (Windows-1252)

Exit status: 0 when the page was written, 1 when not (the PTF files are missing,
a file of the page's names is not the preview's, a write failed), 2 for a usage
error or a project file that does not exist (explained on standard error, nothing
on standard output).
)";

constexpr ProjectCommandSpec kPreview{"preview", "", "", kPreviewHelp};

}  // namespace
}  // namespace trivo::cli

int RunPreview(int argc, char** argv) {
  using namespace trivo::cli;
  const ParsedProjectCommand parsed = ParseProjectCommand(kPreview, argc, argv);
  if (!parsed.arguments) return parsed.exitStatus;
  if (!ProjectFileExists(kPreview, parsed.arguments->projectFile)) return kExitUsage;

  ProjectSession session;
  if (!session.Load(parsed.arguments->projectFile)) return kExitFailed;
  std::optional<std::filesystem::path> page;
  const bool written =
      session.RunReportingErrors([&] { page = trivo::WriteProjectPreview(session.ctx); });
  if (!written || !page) return kExitFailed;
  std::cout << OneLine(page->string()) << std::endl;
  return kExitOk;
}

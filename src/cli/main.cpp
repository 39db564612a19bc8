#include <iostream>
#include <string_view>

#include "cli_user_interface.h"
#include "commands.h"
#include "exit_status.h"

namespace {

constexpr std::string_view kHelp =
    R"(Usage: trivo COMMAND [ARGUMENTS]

The command line of Trivo, which turns bus and tram timetable projects into PTF
files for the web timetable viewer.

Commands:
  convert PROJECT.tvp [--steps LIST]
                 run the conversion steps 1 to 5 of the main window on a project
                 and write the PTF files beside the project file
  parallels ...  analyse where the lines of a project run in parallel, as the
                 data-preparation window does
  edit PROJECT.tvp SCRIPT [--steps LIST]
                 drive the timetable editor with a script: choose a timetable,
                 type into its cells, save it
  network PROJECT.tvp
                 load the network of the connection query and print its
                 matrix of shortest travel times and its transfer stations
  query PROJECT.tvp FROM TO [HH:MM]
                 search connections from FROM to TO at HH:MM (default 14:58),
                 as "Abfrage starten" in the connection-query window does
  html-import FILE.html [--station NAME]...
                 copy the table of a web page that best matches the given
                 stations into the web copy window's work grid and print it
  preview PROJECT.tvp
                 copy the preview page beside the project's PTF files and print
                 its path; open it in a browser to see the published timetables
  route PROJECT.tvp FROM TO [--at HH:MM] [--date YYYY-MM-DD | --day NAME] [--json]
                 passenger connections: earliest arrival for each number of
                 transfers and the next connections within a window
  stop-timetable PROJECT.tvp OUT.pdf [--station NAME] [--line NAME] [--html DIR]
                 make the departure posters of the stops (one per station, line
                 and direction) as one PDF, and as HTML pages with --html
  gtfs-export PROJECT.tvp OUT.zip [--expand-intervals]
                 check the project and write its timetables as a GTFS feed
                 (a ZIP archive) for trip planners and map apps
  check PROJECT.tvp [--json]
                 list every problem of the project (files, master data,
                 timetables, distances) in one pass, one line each
  gtfs-import FEED.zip FOLDER [--week YYYY-MM-DD] [--routes ID,ID...]
                 make a new project in FOLDER from a GTFS feed, with a report
                 of what the feed held that the project does not take
  --help, -h     show this text
  --version      show the program version

'trivo COMMAND --help' explains a command. Exit status: 0 success, 1 a step of the
command ended with an error or a file that it should have written was not written,
2 a usage error.
)";

}  // namespace

int main(int argc, char** argv) {
  using namespace trivo::cli;
  if (argc < 2) {
    std::cerr << "trivo: no command given (see 'trivo --help')\n";
    return kExitUsage;
  }
  const std::string_view command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kHelp << std::flush;
    return kExitOk;
  }
  if (command == "--version") {
    std::cout << "trivo " << TRIVO_VERSION << '\n';
    return kExitOk;
  }
  if (command == "convert") return RunConvert(argc - 2, argv + 2);
  if (command == "parallels") return RunParallels(argc - 2, argv + 2);
  if (command == "edit") return RunEdit(argc - 2, argv + 2);
  if (command == "network") return RunNetwork(argc - 2, argv + 2);
  if (command == "query") return RunQuery(argc - 2, argv + 2);
  if (command == "html-import") return RunHtmlImport(argc - 2, argv + 2);
  if (command == "preview") return RunPreview(argc - 2, argv + 2);
  if (command == "route") return RunRoute(argc - 2, argv + 2);
  if (command == "stop-timetable") return RunStopTimetable(argc - 2, argv + 2);
  if (command == "gtfs-export") return RunGtfsExport(argc - 2, argv + 2);
  if (command == "check") return RunCheck(argc - 2, argv + 2);
  if (command == "gtfs-import") return RunGtfsImport(argc - 2, argv + 2);
  std::cerr << "trivo: unknown command '" << OneLine(command) << "' (see 'trivo --help')\n";
  return kExitUsage;
}

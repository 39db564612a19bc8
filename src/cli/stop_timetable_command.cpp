#include <malloc.h>
#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "commands.h"
#include "common/error.h"
#include "common/messages.h"
#include "common/text_file.h"
#include "exit_status.h"
#include "positional_command.h"
#include "poster_painter.h"
#include "project_command.h"
#include "publish/poster_html.h"
#include "publish/stop_timetable.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kStopTimetableHelp =
    R"(Usage: trivo stop-timetable PROJECT.tvp OUT.pdf [--station NAME]... [--line NAME]...
                            [--html DIR]

Makes the departure posters of the stops ("Aushangfahrpläne"): for every station,
line and direction the departures of each day group, hour by hour, with the following
stops and their minutes, on A4 pages, all in one PDF, ordered by station, then line,
then direction. Reads stations.csv, lines.csv, line_stations.csv, the line_*.ttd files
and the service period (start_date, end_date of the project file's [gtfs] section).

Options:
  --station NAME  only this station (may be given more than once)
  --line NAME     only this line (may be given more than once)
  --html DIR      also write one HTML page per station into DIR,
                  aushang_<station ID>.html (the preview page links to them when
                  DIR is the project's folder)
  -h, --help      show this text

Output (standard output, Windows-1252): one line per poster
  <station>, Linie <line>, Richtung <last station>: <pages> Seite(n)
then the count line "<posters> Aushangfahrpläne, <pages> Seiten: OUT.pdf", and
  [Warnung] <text>     a timetable cell that no poster shows (an error cell and the like)
  [Fehler] <text>      an error that ended the command

The PDF is written to a temporary file beside OUT.pdf and renamed over it at the end,
so a failed run leaves no partial PDF.

Exit status: 0 every poster was written, 1 an error (an unknown station or line, an
input that cannot be read, an output that cannot be written), 2 a usage error or a
project file that does not exist.
)";

constexpr ProjectCommandSpec kStopTimetable{"stop-timetable", "", "", kStopTimetableHelp};

struct Arguments {
  std::string projectFile;
  std::string output;
  std::optional<std::string> htmlDir;
  StopTimetableOptions options;
};

struct Parsed {
  std::optional<Arguments> arguments;
  int exitStatus = kExitOk;
};

Parsed Parse(int argc, char** argv) {
  const auto usage = [](const std::string& text) {
    return Parsed{std::nullopt, UsageError(kStopTimetable, text)};
  };
  Arguments arguments;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!optionsEnded && (arg == "-h" || arg == "--help")) {
      std::cout << kStopTimetableHelp << std::flush;
      return {std::nullopt, kExitOk};
    }
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && (arg == "--station" || arg == "--line" || arg == "--html")) {
      if (i + 1 >= argc) return usage(std::string(arg) + " needs a value");
      const std::string value = argv[++i];
      if (arg == "--station") arguments.options.stations.push_back(ArgumentText(value));
      if (arg == "--line") arguments.options.lines.push_back(ArgumentText(value));
      if (arg == "--html") arguments.htmlDir = value;
      continue;
    }
    if (!optionsEnded && arg.starts_with("-") && arg != "-") {
      return usage("unknown option '" + std::string(arg) + "'");
    }
    positional.emplace_back(arg);
  }
  if (positional.empty()) return usage("no project file given");
  if (positional.size() < 2) return usage("no PDF file given");
  if (positional.size() > 2) return usage("too many arguments given");
  arguments.projectFile = positional[0];
  arguments.output = positional[1];
  return {std::move(arguments), kExitOk};
}

// Writes the poster pages of one station at a time.
class HtmlPages {
 public:
  HtmlPages(Context& ctx, std::filesystem::path dir) : ctx_(ctx), dir_(std::move(dir)) {
    std::error_code error;
    std::filesystem::create_directories(dir_, error);
    if (!std::filesystem::is_directory(dir_)) throw Error(msg::CannotWrite(dir_.string()));
  }

  void Add(const StopPoster& poster) {
    if (!posters_.empty() && posters_.front().stationId != poster.stationId) Flush();
    posters_.push_back(poster);
  }

  void Flush() {
    if (posters_.empty()) return;
    const std::filesystem::path path = dir_ / PosterPageFileName(posters_.front().stationId);
    WriteFileAtomically(path, PosterPageHtml(posters_.front().station, posters_), path.string(),
                        {.job = &ctx_.files, .keepInputs = true});
    posters_.clear();
  }

 private:
  Context& ctx_;
  std::filesystem::path dir_;
  std::vector<StopPoster> posters_;
};

std::string PagesText(std::size_t pages) {
  return std::to_string(pages) + (pages == 1 ? " Seite" : " Seiten");
}

}  // namespace
}  // namespace trivo::cli

int RunStopTimetable(int argc, char** argv) {
  using namespace trivo::cli;
  Parsed parsed = Parse(argc, argv);
  if (!parsed.arguments) return parsed.exitStatus;
  const Arguments& arguments = *parsed.arguments;
  if (!ProjectFileExists(kStopTimetable, arguments.projectFile)) return kExitUsage;

  // Qt draws the PDF; without a display, on its offscreen platform.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  char programName[] = "trivo";
  char* qtArgv[] = {programName, nullptr};
  // Qt's own notes (a missing runtime folder and the like) are no concern of the user's.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
  });
  QGuiApplication application(qtArgc, qtArgv);
  // Qt writes every page through a fresh zlib stream and a read buffer of 10 MB, which
  // the C library would hand back to the system after each page and take anew, zeroed,
  // for the next: about a tenth of the time of a book of thousands of pages.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);

  ProjectSession session;
  if (!session.Load(arguments.projectFile)) return kExitFailed;
  session.RunReportingErrors([&] {
    const trivo::StopTimetableBook book(session.ctx, arguments.options);
    for (const std::string& warning : book.Warnings()) session.ui.PrintLine("[Warnung] " + warning);
    session.ui.Flush();
    std::optional<HtmlPages> html;
    if (arguments.htmlDir) html.emplace(session.ctx, *arguments.htmlDir);
    if (session.ctx.files.IsInput(arguments.output)) {
      throw trivo::Error(trivo::msg::WouldReplaceInput(arguments.output));
    }
    trivo::pdf::PosterPdf pdf(arguments.output);
    const std::size_t posters = book.ForEachPoster([&](const trivo::StopPoster& poster) {
      const std::size_t pages = pdf.Add(poster);
      if (html) html->Add(poster);
      session.ui.PrintLine(poster.station + ", Linie " + poster.line + ", Richtung " +
                           poster.towards + ": " + PagesText(pages));
    });
    if (posters == 0) throw trivo::Error("Keine Abfahrten für einen Aushangfahrplan gefunden");
    if (html) html->Flush();
    pdf.Commit();
    session.ui.PrintLine(std::to_string(posters) + " Aushangfahrpläne, " + PagesText(pdf.Pages()) +
                         ": " + arguments.output);
    session.ui.Flush();
  });
  return session.ExitStatus();
}

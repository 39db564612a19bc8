#include <iostream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "common/error.h"
#include "common/ini_file.h"
#include "common/strings.h"
#include "exit_status.h"
#include "positional_command.h"
#include "project_command.h"
#include "routing/journey_format.h"
#include "routing/route_query.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kRouteHelp =
    R"(Usage: trivo route PROJECT.tvp FROM TO [--at HH:MM] [--date YYYY-MM-DD | --day NAME]
                   [--window MIN] [--transfer-minutes N] [--json]
       trivo route PROJECT.tvp --batch [--window MIN] [--transfer-minutes N]

Searches the passenger connections from station FROM to station TO: for every number
of trips up to 8 the earliest arrival when leaving at --at (default: now) or later,
each leaving as late as still reaches it, and every other journey no other beats on
departure, arrival and transfers that leaves within --window minutes (default 120).
A transfer at a station takes at least --transfer-minutes (default: the project's
[routing] min_transfer_minutes, else 2); staying on a trip takes none.

The day of travel: --date picks the day groups by the date's weekday (a date in the
project's [gtfs] holidays counts as the holiday group's day), --day a day group by
name; default today. Trips of the day before that run past midnight serve the
morning, trips of the next day serve a late search (times 24:00 and later).

Station names: the exact name, else the one name that matches ignoring letter case
and accents. Give them in UTF-8 or Windows-1252; output is UTF-8.

Options:
  --json        one JSON object instead of the text blocks
  --batch       read queries from standard input, one a line:
                FROM<TAB>TO<TAB>HH:MM<TAB>YYYY-MM-DD (or a day group name);
                write one JSON line each ({"error": ...} for a bad line)
  -h, --help    show this text

Exit status: 0 when the search ran (also when it found no connection), 1 for an
unknown or ambiguous station, a bad time, date or day group, or a bad batch line;
2 for a usage error or a project file that does not exist.
)";

constexpr ProjectCommandSpec kRoute{"route", "", "", kRouteHelp};

struct RouteArguments {
  std::vector<std::string> positional;
  std::optional<std::string> at, date, day, window, transfer;
  bool json = false;
  bool batch = false;
};

std::optional<RouteArguments> ParseArguments(int argc, char** argv, int& status) {
  RouteArguments parsed;
  bool optionsEnded = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      parsed.positional.emplace_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "-h" || argument == "--help") {
      std::cout << kRouteHelp;
      status = kExitOk;
      return std::nullopt;
    } else if (argument == "--json") {
      parsed.json = true;
    } else if (argument == "--batch") {
      parsed.batch = true;
    } else {
      std::string name(argument);
      std::optional<std::string> value;
      if (const std::size_t equals = name.find('='); equals != std::string::npos) {
        value = name.substr(equals + 1);
        name.resize(equals);
      } else if (i + 1 < argc) {
        value = argv[++i];
      }
      std::optional<std::string>* target = name == "--at"                 ? &parsed.at
                                           : name == "--date"             ? &parsed.date
                                           : name == "--day"              ? &parsed.day
                                           : name == "--window"           ? &parsed.window
                                           : name == "--transfer-minutes" ? &parsed.transfer
                                                                          : nullptr;
      if (target == nullptr) {
        status = UsageError(kRoute, "unknown option '" + name + "'");
        return std::nullopt;
      }
      if (!value) {
        status = UsageError(kRoute, "option " + name + " needs a value");
        return std::nullopt;
      }
      *target = *value;
    }
  }
  const std::size_t wanted = parsed.batch ? 1 : 3;
  if (parsed.positional.size() != wanted) {
    status = UsageError(kRoute, parsed.batch ? "--batch takes the project file only"
                                             : "expected PROJECT.tvp FROM TO");
    return std::nullopt;
  }
  if (parsed.date && parsed.day) {
    status = UsageError(kRoute, "give --date or --day, not both");
    return std::nullopt;
  }
  return parsed;
}

std::optional<Minutes> MinutesValue(const std::string& text) {
  if (!IsDecimalNumber(text) || text.size() > 4) return std::nullopt;
  return Minutes(StrToInt(text));
}

// The day of travel of a request: an ISO date, else a day group's name.
void SetDay(RouteRequest& request, const std::string& text, bool dateOnly) {
  if (const auto date = ParseIsoDate(text)) {
    request.date = date;
  } else if (dateOnly || (text.size() == 10 && text[4] == '-' && text[7] == '-')) {
    throw Error(BadDateMessage(text));
  } else {
    request.dayGroup = text;
  }
}

Minutes TimeValue(const std::string& text) {
  const auto time = ParseClockTime(text);
  if (!time) throw Error(BadTimeMessage(text));
  return *time;
}

Minutes Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Minutes(local.tm_hour * 60 + local.tm_min);
}

void PrintWarnings(const ProjectTrips& trips) {
  for (const std::string& warning : trips.warnings) {
    std::cerr << "[Warnung] " << Utf8FromCp1252(warning) << '\n';
  }
}

int RunBatch(ProjectSession& session, RoutingCache& cache, const RoutingSettings& settings,
             const RouteRequest& defaults) {
  PrintWarnings(cache.Trips(session.ctx));
  bool allAnswered = true;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (Trim(line).empty()) continue;
    std::vector<std::string> fields;
    std::size_t begin = 0;
    for (;;) {
      const std::size_t tab = line.find('\t', begin);
      fields.push_back(ArgumentText(line.substr(begin, tab - begin)));
      if (tab == std::string::npos) break;
      begin = tab + 1;
    }
    try {
      if (fields.size() != 4) {
        throw Error("Ungültige Anfragezeile: erwartet VON<TAB>NACH<TAB>HH:MM<TAB>JJJJ-MM-TT");
      }
      RouteRequest request = defaults;
      request.from = fields[0];
      request.to = fields[1];
      request.at = TimeValue(fields[2]);
      SetDay(request, fields[3], false);
      const RouteAnswer answer = AnswerRoute(session.ctx, cache, settings, request);
      std::cout << JourneysJson(*answer.timetable, answer.from, answer.to, answer.date,
                                answer.journeys)
                << '\n';
    } catch (const std::exception& error) {
      allAnswered = false;
      std::cout << "{\"from\":" << JsonString(fields[0])
                << ",\"to\":" << JsonString(fields.size() > 1 ? fields[1] : "")
                << ",\"error\":" << JsonString(error.what()) << "}\n";
    }
  }
  std::cout << std::flush;
  return allAnswered ? kExitOk : kExitFailed;
}

}  // namespace
}  // namespace trivo::cli

int RunRoute(int argc, char** argv) {
  using namespace trivo;
  using namespace trivo::cli;
  int status = kExitUsage;
  const std::optional<RouteArguments> arguments = ParseArguments(argc, argv, status);
  if (!arguments) return status;
  const std::string& projectFile = arguments->positional[0];
  if (!ProjectFileExists(kRoute, projectFile)) return kExitUsage;

  RouteRequest request;
  try {
    if (arguments->window) {
      const auto window = MinutesValue(*arguments->window);
      if (!window) throw Error("Ungültige Fensterlänge: " + ArgumentText(*arguments->window));
      request.window = *window;
    }
    if (arguments->transfer) {
      const auto transfer = MinutesValue(*arguments->transfer);
      if (!transfer) throw Error("Ungültige Umstiegszeit: " + ArgumentText(*arguments->transfer));
      request.transfer = *transfer;
    }
  } catch (const Error& error) {
    std::cerr << Utf8FromCp1252(error.what()) << '\n';
    return kExitFailed;
  }

  ProjectSession session;
  if (!session.Load(projectFile)) return kExitFailed;
  const RoutingSettings settings = ReadRoutingSettings(IniFile(projectFile));
  RoutingCache cache;
  if (arguments->batch) return RunBatch(session, cache, settings, request);

  try {
    request.from = ArgumentText(arguments->positional[1]);
    request.to = ArgumentText(arguments->positional[2]);
    request.at = arguments->at ? TimeValue(*arguments->at) : Now();
    if (arguments->date) SetDay(request, *arguments->date, true);
    if (arguments->day) request.dayGroup = ArgumentText(*arguments->day);
    PrintWarnings(cache.Trips(session.ctx));
    const RouteAnswer answer = AnswerRoute(session.ctx, cache, settings, request);
    if (arguments->json) {
      std::cout << JourneysJson(*answer.timetable, answer.from, answer.to, answer.date,
                                answer.journeys)
                << '\n';
    } else if (answer.journeys.empty()) {
      std::cout << "Keine Verbindung gefunden.\n";
    } else {
      for (std::size_t j = 0; j < answer.journeys.size(); ++j) {
        if (j > 0) std::cout << '\n';
        for (const std::string& line :
             JourneyTextLines(*answer.timetable, answer.journeys[j], static_cast<int>(j) + 1)) {
          std::cout << Utf8FromCp1252(line) << '\n';
        }
      }
    }
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << Utf8FromCp1252(error.what()) << '\n';
    return kExitFailed;
  }
  std::cout << std::flush;
  return kExitOk;
}
